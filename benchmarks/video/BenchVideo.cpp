// The frame-exact engine through the AVI form's player (and the movie form's, for stepping),
// against plain libavcodec decoding of the same film. Three films are generated on first run into
// a temporary folder (or into $KINEPO_BENCH_FILMS, where they are kept and reused):
//   mjpeg640   640x480 Motion JPEG AVI, 25 fps, 10 s
//   h264_1080  1920x1080 H.264 MP4, 30 fps, 10 s, a keyframe every 250 frames
//   h264_1080_portrait  the same, 4 s, stored sideways with a display rotation of 90 degrees
// Every benchmark's time is per frame or per step, so each ratio to BM_DecodeOnly of the same
// film reads directly.
#include "platform/video/LecteurFilm.h"
#include "platform/video/LecteurMci.h"
#include "platform/video/MoteurVideo.h"
#include "platform/video/RotationImage.h"
#include "shell/base/PanneauImage.h"
#include "support/FilmSynthetique.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <ctime>
#include <memory>
#include <string>

using namespace kinepo;
using namespace kinepo::test;

namespace {

struct Film {
    std::string nom;
    ParametresFilm parametres;
    std::int64_t derniereAvantCle; // last frame before a keyframe (or the film's end)
    QString chemin;
};

// Decoder threads, for the engine and the reference alike: $KINEPO_BENCH_THREADS, else one per
// core. On a loaded machine, 1 makes the CPU column the whole cost.
int FilsDecodage() {
    return qEnvironmentVariableIntValue("KINEPO_BENCH_THREADS");
}

QString DossierFilms() {
    static QTemporaryDir temporaire;
    const QString choisi = qEnvironmentVariable("KINEPO_BENCH_FILMS");
    if (!choisi.isEmpty()) {
        QDir().mkpath(choisi);
        return choisi;
    }
    return temporaire.path();
}

bool Preparer(Film& f) {
    f.chemin = DossierFilms() + "/" + QString::fromStdString(f.nom) +
               (f.parametres.codec == CodecFilm::H264Mp4 ? ".mp4" : ".avi");
    if (QFile::exists(f.chemin)) return true;
    std::fprintf(stderr, "generating %s...\n", f.nom.c_str());
    const ParametresFilm p = f.parametres;
    QString erreur;
    if (!EcrireFilm(
            f.chemin, p, [&](int n) { return ImageNumerotee(n, p.largeur, p.hauteur); }, &erreur)) {
        std::fprintf(stderr, "cannot write %s: %s\n", f.nom.c_str(), qPrintable(erreur));
        return false;
    }
    return true;
}

// CPU seconds of the whole process (every thread: the engine's worker and the decoder's own
// threads included), which a loaded machine changes far less than wall time.
double CpuProcessus() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Reports the process CPU per iteration, in milliseconds, as the counter "cpu_ms".
struct CompteurCpu {
    benchmark::State& etat;
    double debut = CpuProcessus();
    ~CompteurCpu() {
        const double iterations = double(std::max<benchmark::IterationCount>(1, etat.iterations()));
        etat.counters["cpu_ms"] = (CpuProcessus() - debut) * 1000.0 / iterations;
    }
};

// Where the engine's frames came from during the benchmark, as shares of the requests.
void CompterOrigines(benchmark::State& etat, const MoteurVideo::StatistiquesImages& avant,
                     const MoteurVideo::StatistiquesImages& apres) {
    const double pretes = double(apres.pretes - avant.pretes);
    const double attendues = double(apres.attendues - avant.attendues);
    const double appelant = double(apres.surAppelant - avant.surAppelant);
    const double total = std::max(1.0, pretes + attendues + appelant);
    etat.counters["pretes"] = pretes / total;
    etat.counters["attendues"] = attendues / total;
    etat.counters["appelant"] = appelant / total;
}

// Plain libavcodec decoding, set up as the engine sets up its decoder.
struct DecodeurSimple {
    AVFormatContext* format = nullptr;
    AVCodecContext* decodeur = nullptr;
    AVPacket* paquet = av_packet_alloc();
    AVFrame* trame = av_frame_alloc();
    int flux = -1;
    bool vidange = false;

    explicit DecodeurSimple(const QString& chemin) {
        const QByteArray nom = chemin.toUtf8();
        if (avformat_open_input(&format, nom.constData(), nullptr, nullptr) < 0) return;
        avformat_find_stream_info(format, nullptr);
        const AVCodec* codec = nullptr;
        flux = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (flux < 0) return;
        decodeur = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decodeur, format->streams[flux]->codecpar);
        decodeur->thread_count = FilsDecodage();
        decodeur->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        avcodec_open2(decodeur, codec, nullptr);
    }
    ~DecodeurSimple() {
        av_frame_free(&trame);
        av_packet_free(&paquet);
        avcodec_free_context(&decodeur);
        avformat_close_input(&format);
    }
    void Rembobiner() {
        av_seek_frame(format, flux, 0, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decodeur);
        vidange = false;
    }
    // To the keyframe at or before ms (from the first frame).
    void AllerCle(double ms) {
        const std::int64_t debut = format->start_time == AV_NOPTS_VALUE ? 0 : format->start_time;
        av_seek_frame(format, -1, debut + std::int64_t(ms * 1000.0), AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decodeur);
        vidange = false;
    }
    // The next frame in order; false at the end of the film.
    bool Suivante() {
        for (;;) {
            const int r = avcodec_receive_frame(decodeur, trame);
            if (r == 0) {
                av_frame_unref(trame);
                return true;
            }
            if (r != AVERROR(EAGAIN) || vidange) return false;
            if (av_read_frame(format, paquet) < 0) {
                avcodec_send_packet(decodeur, nullptr);
                vidange = true;
                continue;
            }
            if (paquet->stream_index == flux) avcodec_send_packet(decodeur, paquet);
            av_packet_unref(paquet);
        }
    }
};

void BM_DecodeOnly(benchmark::State& etat, Film* f) {
    DecodeurSimple d(f->chemin);
    if (!d.decodeur) {
        etat.SkipWithError("cannot open");
        return;
    }
    CompteurCpu cpu{etat};
    for (auto _ : etat) {
        if (!d.Suivante()) {
            etat.PauseTiming();
            d.Rembobiner();
            etat.ResumeTiming();
            d.Suivante();
        }
    }
}

// Demuxing the file once (open, stream probing and reading every packet): the yardstick of
// opening, which has to index every packet.
void BM_DemuxOnce(benchmark::State& etat, Film* f) {
    const QByteArray nom = f->chemin.toUtf8();
    AVPacket* paquet = av_packet_alloc();
    for (auto _ : etat) {
        AVFormatContext* format = nullptr;
        if (avformat_open_input(&format, nom.constData(), nullptr, nullptr) < 0) break;
        avformat_find_stream_info(format, nullptr);
        while (av_read_frame(format, paquet) >= 0)
            av_packet_unref(paquet);
        avformat_close_input(&format);
    }
    av_packet_free(&paquet);
}

void BM_Open(benchmark::State& etat, Film* f) {
    for (auto _ : etat) {
        LecteurMci lecteur;
        if (!lecteur.Ouvrir(f->chemin)) {
            etat.SkipWithError("cannot open");
            break;
        }
        benchmark::DoNotOptimize(lecteur.ImageAffichee().constBits());
        etat.PauseTiming();
        lecteur.Fermer();
        etat.ResumeTiming();
    }
}

// One step forward, the picture converted and ready to display.
void BM_StepForward(benchmark::State& etat, Film* f) {
    LecteurMci lecteur;
    if (!lecteur.Ouvrir(f->chemin)) {
        etat.SkipWithError("cannot open");
        return;
    }
    const std::int64_t dernier = lecteur.Moteur()->Infos().nombreImages - 1;
    const auto avant = lecteur.Moteur()->Statistiques();
    CompteurCpu cpu{etat};
    for (auto _ : etat) {
        if (lecteur.ImageCourante() >= dernier) {
            etat.PauseTiming();
            lecteur.Moteur()->ViderCache();
            lecteur.AllerDebut(false);
            etat.ResumeTiming();
        }
        lecteur.Pas(+1, false);
        benchmark::DoNotOptimize(lecteur.ImageAffichee().constBits());
    }
    CompterOrigines(etat, avant, lecteur.Moteur()->Statistiques());
}

// The same step through the second video form's movie player: a seek to the next frame
// index, then the copy of the current frame that the form shows and measures on.
void BM_MovieStepForward(benchmark::State& etat, Film* f) {
    LecteurFilm lecteur;
    if (!lecteur.Ouvrir(f->chemin)) {
        etat.SkipWithError("cannot open");
        return;
    }
    const std::int64_t dernier = lecteur.FrameCount() - 1;
    benchmark::DoNotOptimize(lecteur.CopierImage().constBits());
    for (auto _ : etat) {
        if (lecteur.FrameIndex() >= dernier) {
            etat.PauseTiming();
            lecteur.Moteur()->ViderCache();
            lecteur.AllerImage(0);
            etat.ResumeTiming();
        }
        lecteur.AllerImage(lecteur.FrameIndex() + 1);
        benchmark::DoNotOptimize(lecteur.CopierImage().constBits());
    }
}

// Turning one 1920 x 1080 RGB frame upright (a film shot in portrait): the cost a portrait
// film adds to each converted frame.
void BM_RotationUpright(benchmark::State& etat) {
    const int degres = int(etat.range(0));
    QImage source(1920, 1080, QImage::Format_RGB888);
    source.fill(qRgb(40, 90, 160));
    QImage cible(LargeurTournee(1920, 1080, degres), HauteurTournee(1920, 1080, degres),
                 QImage::Format_RGB888);
    for (auto _ : etat) {
        TournerRgb24(source.constBits(), source.bytesPerLine(), 1920, 1080, cible.bits(),
                     cible.bytesPerLine(), degres);
        benchmark::DoNotOptimize(cible.constBits());
    }
}

// One step back among frames already shown (the refresh return trip, undo).
void BM_StepBackCached(benchmark::State& etat, Film* f) {
    LecteurMci lecteur;
    if (!lecteur.Ouvrir(f->chemin)) {
        etat.SkipWithError("cannot open");
        return;
    }
    const std::int64_t bas = 120, haut = 130;
    lecteur.SetFormat(LecteurMci::FormatTemps::Images);
    lecteur.AllerA(double(bas), false);
    while (lecteur.ImageCourante() < haut)
        lecteur.Pas(+1, false);
    for (auto _ : etat) {
        if (lecteur.ImageCourante() <= bas) {
            etat.PauseTiming();
            lecteur.AllerA(double(haut), false);
            etat.ResumeTiming();
        }
        lecteur.Pas(-1, false);
        benchmark::DoNotOptimize(lecteur.ImageAffichee().constBits());
    }
}

// 25 steps back from the last frame before a keyframe, reached by a seek with nothing cached
// beforehand; the time is per step.
void BM_StepBackRun25(benchmark::State& etat, Film* f) {
    LecteurMci lecteur;
    if (!lecteur.Ouvrir(f->chemin)) {
        etat.SkipWithError("cannot open");
        return;
    }
    lecteur.SetFormat(LecteurMci::FormatTemps::Images);
    for (auto _ : etat) {
        lecteur.Moteur()->ViderCache();
        lecteur.AllerA(double(f->derniereAvantCle), false);
        const auto debut = std::chrono::steady_clock::now();
        for (int pas = 0; pas < 25; ++pas) {
            lecteur.Pas(-1, false);
            benchmark::DoNotOptimize(lecteur.ImageAffichee().constBits());
        }
        const std::chrono::duration<double> duree = std::chrono::steady_clock::now() - debut;
        etat.SetIterationTime(duree.count() / 25);
    }
}

// A command to a random frame with nothing cached, the same frames for every benchmark.
void VersImagesAuHasard(benchmark::State& etat, Film* f,
                        const std::function<void(LecteurMci&, std::int64_t)>& commande) {
    LecteurMci lecteur;
    if (!lecteur.Ouvrir(f->chemin)) {
        etat.SkipWithError("cannot open");
        return;
    }
    lecteur.SetFormat(LecteurMci::FormatTemps::Images);
    const std::int64_t nombre = lecteur.Moteur()->Infos().nombreImages;
    QRandomGenerator hasard(12345);
    for (auto _ : etat) {
        etat.PauseTiming();
        lecteur.Moteur()->ViderCache();
        const std::int64_t cible = hasard.bounded(qint64(nombre));
        etat.ResumeTiming();
        commande(lecteur, cible);
        benchmark::DoNotOptimize(lecteur.ImageAffichee().constBits());
    }
}

// A seek to a random frame with nothing cached: the exact frame.
void BM_SeekRandom(benchmark::State& etat, Film* f) {
    VersImagesAuHasard(etat, f, [](LecteurMci& l, std::int64_t n) { l.AllerA(double(n), false); });
}

// The yardstick of BM_SeekRandom: plain decoding from the keyframe before each of the same
// random frames up to it (the frames decoding has to go through to reach the target).
void BM_DecodeFromKey(benchmark::State& etat, Film* f) {
    auto moteur = MoteurVideo::Ouvrir(f->chemin);
    DecodeurSimple d(f->chemin);
    if (!moteur || !d.decodeur) {
        etat.SkipWithError("cannot open");
        return;
    }
    const std::int64_t nombre = moteur->Infos().nombreImages;
    QRandomGenerator hasard(12345);
    for (auto _ : etat) {
        etat.PauseTiming();
        const std::int64_t cible = hasard.bounded(qint64(nombre));
        const std::int64_t cle = moteur->ImageCleAvant(cible);
        etat.ResumeTiming();
        d.AllerCle(moteur->TempsMs(cle));
        for (std::int64_t i = cle; i <= cible; ++i)
            d.Suivante();
    }
}

// Scrubbing: the time from a trackbar move to the first picture shown, with nothing cached
// (the worst case: a new part of the film).
void BM_ScrubPreview(benchmark::State& etat, Film* f) {
    VersImagesAuHasard(etat, f, [](LecteurMci& l, std::int64_t n) { l.Apercu(double(n)); });
}

// One repaint of the picture panel at zoom z, as the scroll area shows it: a 1280 x 800
// viewport in the middle of the zoomed frame, the overlay holding 3 points x 100 rows of
// crosses and the scale's rubber band across it.
void BM_Repaint(benchmark::State& etat, Film* f) {
    const int z = int(etat.range(0));
    auto moteur = MoteurVideo::Ouvrir(f->chemin);
    if (!moteur) {
        etat.SkipWithError("cannot open");
        return;
    }
    const QImage image = moteur->Image(0);
    const QImage affichee = image.scaled(image.width() * z, image.height() * z,
                                         Qt::IgnoreAspectRatio, Qt::FastTransformation);
    PanneauImage panneau;
    panneau.resize(affichee.size());
    panneau.SourceImage = [&affichee] { return affichee; };
    panneau.EffacerOverlay();
    {
        QPainter p(&panneau.Overlay());
        p.setPen(QPen(QColor(255, 0, 0), 1));
        for (int rang = 0; rang < 100; ++rang)
            for (int point = 0; point < 3; ++point) {
                const QPoint c(z * (100 + rang * 17 % 1700), z * (100 + 300 * point + rang * 3));
                p.drawLine(c - QPoint(4 * z, 0), c + QPoint(4 * z, 0));
                p.drawLine(c - QPoint(0, 4 * z), c + QPoint(0, 4 * z));
            }
    }
    const QRect vue(std::max(0, (affichee.width() - 1280) / 2),
                    std::max(0, (affichee.height() - 800) / 2), 1280, 800);
    panneau.SetElastique(QLine(vue.topLeft() + QPoint(50, 60), vue.bottomRight() - QPoint(90, 30)),
                         qRgb(255, 255, 0));
    QImage ecran(vue.size(), QImage::Format_RGB32);
    const QRegion zone(vue & panneau.rect());
    for (auto _ : etat) {
        panneau.render(&ecran, QPoint(), zone);
        benchmark::DoNotOptimize(ecran.constBits());
    }
}

// The stepping benchmarks of both players. With KINEPO_BENCH_PROCESS_CPU=1 their CPU column is
// the whole process's (decoder threads and the prefetch worker included), which compares the
// players' work on a machine whose load makes wall times wander.
void Pas(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond);
    if (qEnvironmentVariableIntValue("KINEPO_BENCH_PROCESS_CPU") != 0) b->MeasureProcessCPUTime();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    MoteurVideo::FixerFilsDecodage(FilsDecodage());

    static Film films[2];
    films[0].nom = "mjpeg640";
    films[0].parametres.codec = CodecFilm::MjpegAvi;
    films[0].parametres.largeur = 640;
    films[0].parametres.hauteur = 480;
    films[0].parametres.images = 250;
    films[0].parametres.cadenceNum = 25;
    films[0].parametres.qualite = 4;
    films[0].derniereAvantCle = 249;
    films[1].nom = "h264_1080";
    films[1].parametres.codec = CodecFilm::H264Mp4;
    films[1].parametres.largeur = 1920;
    films[1].parametres.hauteur = 1080;
    films[1].parametres.images = 300;
    films[1].parametres.cadenceNum = 30;
    films[1].parametres.gop = 250;
    films[1].parametres.imagesB = true;
    films[1].derniereAvantCle = 249;

    for (Film& f : films) {
        if (!Preparer(f)) return 1;
        benchmark::RegisterBenchmark(("BM_DecodeOnly/" + f.nom).c_str(), BM_DecodeOnly, &f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_DemuxOnce/" + f.nom).c_str(), BM_DemuxOnce, &f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Open/" + f.nom).c_str(), BM_Open, &f)
            ->Unit(benchmark::kMillisecond);
        Pas(benchmark::RegisterBenchmark(("BM_StepForward/" + f.nom).c_str(), BM_StepForward, &f));
        Pas(benchmark::RegisterBenchmark(("BM_MovieStepForward/" + f.nom).c_str(),
                                         BM_MovieStepForward, &f));
        benchmark::RegisterBenchmark(("BM_StepBackCached/" + f.nom).c_str(), BM_StepBackCached, &f)
            ->Unit(benchmark::kMillisecond);
        // Runs and random seeks on a long GOP decode hundreds of frames per iteration: a fixed
        // count keeps the run short.
        const bool longGop = f.parametres.gop > 25;
        auto* run = benchmark::RegisterBenchmark(("BM_StepBackRun25/" + f.nom).c_str(),
                                                 BM_StepBackRun25, &f);
        run->UseManualTime()->Unit(benchmark::kMillisecond);
        auto* seek =
            benchmark::RegisterBenchmark(("BM_SeekRandom/" + f.nom).c_str(), BM_SeekRandom, &f);
        seek->Unit(benchmark::kMillisecond);
        auto* cle = benchmark::RegisterBenchmark(("BM_DecodeFromKey/" + f.nom).c_str(),
                                                 BM_DecodeFromKey, &f);
        cle->Unit(benchmark::kMillisecond);
        if (longGop) {
            run->Iterations(4);
            seek->Iterations(12);
            cle->Iterations(12);
            benchmark::RegisterBenchmark(("BM_ScrubPreview/" + f.nom).c_str(), BM_ScrubPreview, &f)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(24);
        } else {
            run->Iterations(40);
        }
    }
    // A phone film shot in portrait: the 1080p film stored sideways with a display rotation.
    static Film portrait;
    portrait.nom = "h264_1080_portrait";
    portrait.parametres = films[1].parametres;
    portrait.parametres.images = 120;
    portrait.parametres.rotation = 90;
    portrait.derniereAvantCle = 119;
    if (!Preparer(portrait)) return 1;
    for (Film* f : {&portrait}) {
        Pas(benchmark::RegisterBenchmark(("BM_StepForward/" + f->nom).c_str(), BM_StepForward, f));
        Pas(benchmark::RegisterBenchmark(("BM_MovieStepForward/" + f->nom).c_str(),
                                         BM_MovieStepForward, f));
    }
    benchmark::RegisterBenchmark("BM_RotationUpright", BM_RotationUpright)
        ->Arg(90)
        ->Arg(180)
        ->Arg(270)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Repaint/h264_1080", BM_Repaint, &films[1])
        ->DenseRange(1, 5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
