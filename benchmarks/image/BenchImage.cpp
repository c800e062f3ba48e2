// The image form's costly steps on photographs:
// - opening a 24-megapixel JPEG through the shared reader, against djpeg on the same file;
// - opening a 48-megapixel JPEG (time and the memory it leaves held);
// - one contrast pass on a 12-megapixel picture;
// - one repaint of the view (picture part, 3 series of 1000 points with labels, vectors) at
//   zoom 1/4 and x8, alone and with the grid that every repaint refills.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise (under Xvfb: the paint reaches an X
// server, as on a desktop): bench_image --benchmark_repetitions=5
#include "image/logic/Contraste.h"
#include "image/logic/DessinImage.h"
#include "image/logic/VueZoom.h"
#include "image/ui/BitmapForm.h"
#include "platform/LectureImage.h"
#include "shell/base/PanneauImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <sys/resource.h>

using namespace kinepo;

namespace {

QTemporaryDir& Dossier() {
    static QTemporaryDir d;
    return d;
}

// A photograph-like picture: smooth shading with fine detail, so the JPEG is of a camera's size.
QImage Photo(int w, int h) {
    QImage i(w, h, QImage::Format_RGB32);
    QRandomGenerator alea(1);
    for (int y = 0; y < h; ++y) {
        auto* l = reinterpret_cast<QRgb*>(i.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int bruit = int(alea.generate() & 15);
            const int r = int(127 + 120 * std::sin(x * 0.003) * std::cos(y * 0.002)) + bruit;
            const int g = int(127 + 100 * std::cos(x * 0.0021 + y * 0.0013)) + bruit;
            const int b = (x ^ y) & 0xFF;
            l[x] = qRgb(std::min(r, 255), std::min(g, 255), b);
        }
    }
    return i;
}

QString Jpeg(int w, int h) {
    const QString nom = Dossier().filePath(QStringLiteral("photo-%1x%2.jpg").arg(w).arg(h));
    if (!QFileInfo::exists(nom)) EcrireImageFichier(Photo(w, h), nom, FormatImage::Jpeg);
    return nom;
}

long PicMemoireKo() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_OuvrirJpeg24MP(benchmark::State& state) {
    const QString nom = Jpeg(6000, 4000);
    for (auto _ : state) {
        QString c = nom;
        QImage i = LireImageFichier(c);
        benchmark::DoNotOptimize(i.constBits());
    }
    state.counters["Mo_fichier"] = double(QFileInfo(nom).size()) / 1e6;
}
BENCHMARK(BM_OuvrirJpeg24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// djpeg on the same file, its output thrown away (PPM to /dev/null), process start included.
void BM_Djpeg24MP(benchmark::State& state) {
    const QString nom = Jpeg(6000, 4000);
    rusage avant{}, apres{};
    getrusage(RUSAGE_CHILDREN, &avant);
    for (auto _ : state) {
        const int rc =
            QProcess::execute(QStringLiteral("djpeg"),
                              {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), nom});
        if (rc != 0) state.SkipWithError("djpeg failed (libjpeg-turbo-progs)");
    }
    getrusage(RUSAGE_CHILDREN, &apres);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    // The child's own processor time (user + system) per run: the machine's load left out.
    state.counters["cpu_ms_djpeg"] =
        (ms(apres.ru_utime) + ms(apres.ru_stime) - ms(avant.ru_utime) - ms(avant.ru_stime)) /
        double(state.iterations());
}
BENCHMARK(BM_Djpeg24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OuvrirJpeg48MP(benchmark::State& state) {
    const QString nom = Jpeg(8000, 6000);
    const long avant = PicMemoireKo();
    for (auto _ : state) {
        QString c = nom;
        QImage i = LireImageFichier(c);
        benchmark::DoNotOptimize(i.constBits());
        state.counters["Mo_image"] = double(i.sizeInBytes()) / 1e6;
    }
    state.counters["pic_Mo_processus"] = double(PicMemoireKo()) / 1024;
    state.counters["pic_Mo_avant"] = double(avant) / 1024;
}
BENCHMARK(BM_OuvrirJpeg48MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Contraste12MP(benchmark::State& state) {
    // As the form does at each step of the up-down: the displayed picture written again.
    static const QImage source = Photo(4000, 3000);
    QImage affichee = AppliquerContraste(source, 100, 11);
    for (auto _ : state) {
        AppliquerContraste(source, 100, 12, affichee);
        benchmark::DoNotOptimize(affichee.constBits());
    }
}
BENCHMARK(BM_Contraste12MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The form with a 4000 x 3000 picture, 3 series of 1000 points, at zoom range(0)/4 (4: x1).
std::unique_ptr<TBitmapForm> g_forme; // freed before the application ends

TBitmapForm& Forme() {
    static TBitmapForm* f = [] {
        auto forme = std::make_unique<TBitmapForm>();
        forme->resize(1280, 800);
        forme->show();
        QApplication::processEvents();
        forme->TakeAcquiredPicture(Photo(4000, 3000), QString());
        forme->Calibration.SeriesCount = 3;
        QRandomGenerator alea(3);
        for (int s = 1; s <= 3; ++s)
            for (int i = 0; i < 1000; ++i)
                forme->Series.Ajouter(s, {int(alea.bounded(4000)), int(alea.bounded(3000))});
        g_forme = std::move(forme);
        return g_forme.get();
    }();
    return *f;
}

void Zoomer(TBitmapForm& f, double z) {
    f.ZoomAnchor = f.ImagePaintBox->mapToGlobal(f.ImagePaintBox->rect().center());
    f.SetZoom(1);
    f.SetZoom(z);
    QApplication::processEvents();
}

// range(0): 1 for zoom 1/4, 8 for x8. The view as painted: picture part, points, overlay.
void BM_RepeindreVue(benchmark::State& state) {
    TBitmapForm& f = Forme();
    Zoomer(f, state.range(0) == 1 ? 0.25 : 8.0);
    for (auto _ : state) {
        f.ImagePaintBox->repaint();
    }
    state.counters["largeur_vue"] = f.ImagePaintBox->width();
    state.counters["hauteur_vue"] = f.ImagePaintBox->height();
}
BENCHMARK(BM_RepeindreVue)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of a repaint at zoom 1/4, apart: the picture's part, then the points drawn on it.
void BM_PartiesRepeinte(benchmark::State& state) {
    TBitmapForm& f = Forme();
    Zoomer(f, 0.25);
    const QImage rendu = RenduVue(f.Image(), f.Vue(), 0);
    for (auto _ : state) {
        if (state.range(0) == 0) {
            QImage r = RenduVue(f.Image(), f.Vue(), 0);
            benchmark::DoNotOptimize(r.constBits());
        } else {
            QImage r = rendu.copy();
            DessinerVue(r, f.Vue(), f.Calibration, f.Series, f.TraceColours);
            benchmark::DoNotOptimize(r.constBits());
        }
    }
}
BENCHMARK(BM_PartiesRepeinte)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole PaintView: the grid refilled (1000 rows) and the view repainted.
void BM_PaintViewAvecGrille(benchmark::State& state) {
    TBitmapForm& f = Forme();
    Zoomer(f, state.range(0) == 1 ? 0.25 : 8.0);
    for (auto _ : state) {
        f.PaintView();
        f.ImagePaintBox->repaint();
    }
}
BENCHMARK(BM_PaintViewAvecGrille)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KINEPO_INI", QFile::encodeName(Dossier().filePath(QStringLiteral("bench.INI"))));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_forme.reset();
    return 0;
}
