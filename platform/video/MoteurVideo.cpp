// FFmpeg back-end of the frame-exact engine.
//
// Opening demuxes the whole video stream once and keeps one entry per packet that carries a
// picture. Frames are numbered by sorting the presentation timestamps, so a film with B-frames
// or a lying header still counts and times its frames right. Decoded frames are identified by
// their timestamp, never by counting outputs after a seek, which keeps seeking exact even when
// the demuxer lands on an earlier keyframe than asked.
#include "platform/video/MoteurVideo.h"
#include "platform/LimiteFfmpeg.h"

#include "platform/video/RotationImage.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include <QByteArray>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace kinepo {

namespace {

struct FermeFormat {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct LibereDecodeur {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct LibereImage {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct LiberePaquet {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct LibereConvertisseur {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FermeFormat>;
using DecodeurPtr = std::unique_ptr<AVCodecContext, LibereDecodeur>;
using ImagePtr = std::unique_ptr<AVFrame, LibereImage>;
using PaquetPtr = std::unique_ptr<AVPacket, LiberePaquet>;

constexpr std::size_t kBudgetParDefaut = std::size_t(512) << 20;
// The end of a film is checked at opening (a truncated or corrupt tail shortens the film) when
// the last group of pictures is this short; longer groups are checked the first time they are
// decoded, which keeps opening a long-GOP film as cheap as demuxing it.
constexpr std::int64_t kQueueVerifieeALOuverture = 16;
// Converted frames kept on each side of the current one.
constexpr std::int64_t kFenetreConvertie = 16;
// A step's neighbour is prefetched only when it costs at most this many frames to decode
// (a worker busy with a long run would make the next request wait for it).
constexpr std::int64_t kPrechargementMax = 8;
// Frames decoded ahead of a step back when keyframes are close together.
constexpr std::int64_t kLotArriere = 4;
// The next frame is prefetched only for a caller that came back at least this long after its
// previous request returned (someone looking at the frame, a pass doing real work on it). A
// caller asking again at once would only wait for the worker to wake up and hand the frame
// over: decoding it on the calling thread is then cheaper, and the same every time.
constexpr auto kPauseAvantPrechargement = std::chrono::milliseconds(2);

void ConfigurerJournal() {
    static std::once_flag fait;
    std::call_once(fait, [] {
        // Broken films are expected input here; FFmpeg's complaints would only flood stderr.
        if (qEnvironmentVariableIsEmpty("KINEPO_FFMPEG_LOG")) av_log_set_level(AV_LOG_FATAL);
    });
}

// Converted frames are big (6 MB at 1080p) and come and go with every step: fresh memory from
// the system would cost more in page faults than the conversion itself, so freed picture
// buffers go back to a reserve, which holds at most what the cache budget leaves free. The
// reserve outlives the engine while pictures it lent are still alive.
class ReserveTampons {
public:
    ~ReserveTampons() {
        for (void* t : libres_)
            av_free(t);
    }
    uchar* Prendre(std::size_t taille) {
        {
            std::lock_guard<std::mutex> verrou(mutex_);
            if (taille == taille_ && !libres_.empty()) {
                void* t = libres_.back();
                libres_.pop_back();
                return static_cast<uchar*>(t);
            }
        }
        return static_cast<uchar*>(av_malloc(taille));
    }
    void Rendre(void* tampon, std::size_t taille) {
        std::lock_guard<std::mutex> verrou(mutex_);
        if (taille != taille_) {
            Liberer(0);
            taille_ = taille;
        }
        if ((libres_.size() + 1) * taille_ <= capacite_)
            libres_.push_back(tampon);
        else
            av_free(tampon);
    }
    // Room the reserve may keep, in bytes; the surplus is given back at once.
    void FixerCapacite(std::size_t octets) {
        std::lock_guard<std::mutex> verrou(mutex_);
        capacite_ = octets;
        Liberer(taille_ ? capacite_ / taille_ : 0);
    }

private:
    void Liberer(std::size_t garder) {
        while (libres_.size() > garder) {
            av_free(libres_.back());
            libres_.pop_back();
        }
    }
    std::mutex mutex_;
    std::vector<void*> libres_;
    std::size_t taille_ = 0;
    std::size_t capacite_ = 0;
};

// One band of rows converted to RGB24, with its own libswscale context.
struct BandeConversion {
    SwsContext* contexte = nullptr;
    // What the context was made for. libswscale's own cached context never matches a JPEG
    // format (full-range YUV, as MJPEG gives) again, since it keeps its plain twin instead: it
    // would be built afresh for every frame.
    int largeurContexte = 0, hauteurContexte = 0, formatContexte = -1;
    int largeurSortie = 0, hauteurSortie = 0;
    std::int64_t reglageCouleurs = -1; // colour tables set for this context with these settings
    ~BandeConversion() { sws_freeContext(contexte); }
    // Rows [y0, y0 + hauteur) of f into the RGB24 picture at tampon (ligne bytes a row),
    // scaled to dw x dh when those differ from the band's own size (whole frames only).
    bool Convertir(const AVFrame* f, int y0, int hauteur, uchar* tampon, int ligne, int dw, int dh);
};

// A thread that runs one job at a time for the engine: the second half of a conversion.
class AideConversion {
public:
    AideConversion() : fil_([this] { Boucle(); }) {}
    ~AideConversion() {
        {
            std::lock_guard<std::mutex> v(mutex_);
            fin_ = true;
        }
        reveil_.notify_one();
        fil_.join();
    }
    void Lancer(std::function<void()> travail) {
        {
            std::lock_guard<std::mutex> v(mutex_);
            travail_ = std::move(travail);
        }
        reveil_.notify_one();
    }
    void Attendre() {
        std::unique_lock<std::mutex> v(mutex_);
        fait_.wait(v, [this] { return !travail_; });
    }

private:
    void Boucle() {
        std::unique_lock<std::mutex> v(mutex_);
        for (;;) {
            reveil_.wait(v, [this] { return fin_ || travail_; });
            if (fin_) return;
            v.unlock();
            travail_();
            v.lock();
            travail_ = nullptr;
            fait_.notify_one();
        }
    }
    std::mutex mutex_;
    std::condition_variable reveil_, fait_;
    std::function<void()> travail_;
    bool fin_ = false;
    std::thread fil_;
};

struct TamponPrete {
    std::shared_ptr<ReserveTampons> reserve;
    void* tampon;
    std::size_t taille;
};

void RendreTampon(void* info) {
    auto* t = static_cast<TamponPrete*>(info);
    t->reserve->Rendre(t->tampon, t->taille);
    delete t;
}

// The display rotation of a stream, in degrees clockwise to the nearest quarter turn. The display
// matrix turns the picture counterclockwise by the angle FFmpeg reports.
int RotationAffichage(const AVStream* st) {
    const std::int32_t* matrice = nullptr;
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(60, 31, 102)
    const AVPacketSideData* donnees = av_packet_side_data_get(
        st->codecpar->coded_side_data, st->codecpar->nb_coded_side_data, AV_PKT_DATA_DISPLAYMATRIX);
    if (donnees && donnees->size >= 9 * sizeof(std::int32_t))
        matrice = reinterpret_cast<const std::int32_t*>(donnees->data);
#else
    size_t taille = 0;
    const std::uint8_t* donnees = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, &taille);
    if (donnees && taille >= 9 * sizeof(std::int32_t))
        matrice = reinterpret_cast<const std::int32_t*>(donnees);
#endif
    if (!matrice) return 0;
    const double angle = av_display_rotation_get(matrice);
    if (!std::isfinite(angle)) return 0;
    const int quarts = int(std::lround(-angle / 90.0));
    return QuartDeTour(90 * quarts);
}

// The capture rate a phone writes into a slow-motion film (in the file's or the stream's
// metadata), when it is a plausible rate.
double CadenceCapture(const AVFormatContext* f, const AVStream* st) {
    for (const AVDictionary* d : {f->metadata, st->metadata}) {
        const AVDictionaryEntry* e = av_dict_get(d, "com.android.capture.fps", nullptr, 0);
        if (!e || !e->value) continue;
        bool ok = false;
        const double cadence = QByteArray(e->value).trimmed().toDouble(&ok);
        if (ok && std::isfinite(cadence) && cadence > 0 && cadence <= 100000) return cadence;
    }
    return 0;
}

std::atomic<int> gFilsDecodage{0};
std::atomic<bool> gConversionEnDeux{true};
// Frames from this size up are converted in two halves at once.
constexpr std::int64_t kPixelsConversionEnDeux = 1280 * 720;
// One-way reading compares each frame with the previous one by bands of this many rows (even:
// whole pairs of rows) and converts only the bands that changed.
constexpr int kLignesBande = 16;
std::atomic<bool> gPrechargement{true};

struct Paquet {
    std::int64_t pts;   // presentation timestamp (synthesised when the file has none)
    std::int64_t dts;   // decoding timestamp, used to seek (pts when the file has none)
    std::int64_t duree; // in the stream's time base, 0 when unknown
    bool cle;
    bool ptsFichier; // the container gave a presentation time
};

struct EntreeCache {
    AVFrame* yuv = nullptr; // reference to a decoded frame not yet converted
    QImage rgb;             // converted frame, what callers get
    std::size_t octets = 0;
};

} // namespace

struct MoteurVideo::Impl {
    QString chemin;
    FormatPtr format;
    DecodeurPtr decodeur;
    ImagePtr trame{av_frame_alloc()};
    PaquetPtr paquet{av_packet_alloc()};
    BandeConversion bandeHaut, bandeBas; // the whole frame, or its two halves
    // One-way reading: bands of kLignesBande rows in the upper and lower part of the frame, and
    // the last, shorter band.
    BandeConversion bandeFixeHaut, bandeFixeBas, bandeFin;
    // One-way reading: the frame converted last and its picture (both kept alive by reference),
    // whose unchanged bands the next frame copies instead of converting them.
    ImagePtr yuvPrecedente{av_frame_alloc()};
    QImage rgbPrecedente;
    std::unique_ptr<AideConversion> aideConversion;
    std::shared_ptr<ReserveTampons> reserve = std::make_shared<ReserveTampons>();
    int flux = -1;
    AVRational baseTemps{1, 1};
    InfosFilm infos;
    int rotation = 0;                  // infos.rotation, for the worker (which never reads infos)
    std::vector<uchar> tamponRotation; // a converted frame before it is turned upright

    std::vector<Paquet> paquets;          // decoding order
    std::vector<std::int64_t> ptsImages;  // frame n's presentation timestamp, ascending
    std::vector<std::int64_t> depart;     // frame n: decoding index of the keyframe to start from
    std::vector<std::int64_t> rangDepart; // frame n: the frame number of that keyframe
    std::vector<std::int64_t> cles;       // decoding indices of the keyframes
    std::int64_t dureeDerniere = 0;       // duration of the last frame, in the time base

    // Decoded frames carry their packet's timestamp plus this offset. It is 0 except where the
    // container only knows decoding times (AVI with B-frames): there the decoder stamps a frame
    // with the time of the packet that pushed it out, one reordering delay later.
    std::int64_t decalageTs = 0;
    std::int64_t pasDts = 1;                     // usual step between decoding times
    std::int64_t premierTsBrut = AV_NOPTS_VALUE; // stamp of the first frame ever decoded
    bool ptsComplets = true;                     // every packet came with its presentation time

    // Decoder state: `vivant` when it can go on forward from `derniereSortie`.
    bool vivant = false;
    std::int64_t derniereSortie = -1;

    std::map<std::int64_t, EntreeCache> cache;
    // Decoded (YUV) and converted (RGB) frames each get half the budget. Decoders hand out
    // frames from pools that never shrink while open, so what the YUV half holds at its peak
    // stays allocated; the RGB half includes the reserve of free picture buffers.
    std::size_t octetsYuv = 0;
    std::size_t octetsRgb = 0;
    std::size_t budget = kBudgetParDefaut;
    std::int64_t centre = 0;      // eviction keeps the frames nearest to the last one asked for
    std::int64_t precedente = -1; // the frame asked for before the current request
    bool lectureUnique = false;   // frames handed out are dropped (a pass in order)
    // The film's frame size, fixed at opening: every frame is handed out at it, also one that
    // a damaged or changing stream decodes at another size (callers index pixels by it).
    int largeurFilm = 0;
    int hauteurFilm = 0;

    // Prefetching: after a step, the next frame in the same direction is decoded and converted
    // on a worker while the caller shows the current one. Everything above is guarded by
    // `verrou`; the worker never touches `infos` (the caller reads it without the lock), so a
    // tail it finds undecodable is only noted in `nombreDecouvert` and applied by the caller.
    std::mutex verrou;
    std::condition_variable reveil;
    std::condition_variable prechargee; // the worker finished (or dropped) what it was given
    std::thread travailleur;
    std::int64_t aPrecharger = -1;
    bool arriereAPrecharger = false;
    bool arreter = false;
    bool surTravailleur = false; // the decoding in progress runs on the worker
    std::int64_t nombreDecouvert = -1;
    std::chrono::steady_clock::time_point finDerniereDemande; // when Image last returned
    MoteurVideo::StatistiquesImages statistiques;

    ~Impl() {
        if (travailleur.joinable()) {
            {
                std::lock_guard<std::mutex> v(verrou);
                arreter = true;
            }
            reveil.notify_one();
            travailleur.join();
        }
        ViderCache();
        reserve->FixerCapacite(0); // pictures still shown elsewhere free their own buffers
        aideConversion.reset();
    }

    bool Indexer(QString* erreur);
    void Ordonner();
    bool ChercherCle(std::int64_t indiceCle);
    enum class Issue { Obtenue, Echec, Depasse };
    bool DecoderJusqua(std::int64_t n, bool arriere);
    QImage ImageConvertie(std::int64_t n, bool arriere);
    void Precharger(); // the worker's loop
    void AppliquerRaccourci() {
        if (nombreDecouvert >= 0) Raccourcir(nombreDecouvert);
        nombreDecouvert = -1;
    }
    // Frames to decode to reach n from where the decoder is.
    std::int64_t Cout(std::int64_t n) const {
        if (vivant && derniereSortie < n && rangDepart[std::size_t(n)] <= derniereSortie + 1)
            return n - derniereSortie;
        return n - rangDepart[std::size_t(n)] + 1;
    }
    // Decodes up to frame n, starting (when a seek is needed) from the keyframe of frame depuis.
    // convertirTout: the frames near n are converted as they come (the caller will show them).
    Issue EssayerJusqua(std::int64_t n, std::int64_t depuis, bool convertirTout = false);
    bool DecoderPremiere() { return DecoderSeule(0); }
    // Decodes keyframe n alone (its packet, then the decoder drained) and caches it converted
    // when convertir. Only where packets carry presentation times, which identify the frame.
    bool DecoderSeule(std::int64_t n, bool convertir = false);
    // Scrubbing: the frame to show for n and its picture (see MoteurVideo::Apercu).
    QImage Apercu(std::int64_t n, std::int64_t& montree);
    std::int64_t Identifier(const AVFrame* f, std::int64_t precedent) const;
    QImage Convertir(const AVFrame* f);
    // Rows [y0, y0 + kLignesBande) (fewer for the last band) of f are those of yuvPrecedente.
    bool BandeInchangee(const AVFrame* f, int y0, int hauteur) const;
    // Bands [premiere, fin) of f into the picture at convertie: copied from rgbPrecedente when
    // unchanged, converted otherwise, from top to bottom (a conversion may write a little past
    // the end of its last row, which the next band then overwrites).
    bool ConvertirBandes(const AVFrame* f, int premiere, int fin, BandeConversion& fixe,
                         uchar* convertie, int ligne, std::int64_t& reprises);
    void OublierPrecedente() {
        av_frame_unref(yuvPrecedente.get());
        rgbPrecedente = QImage();
    }
    void Ranger(std::int64_t i, AVFrame* f, bool convertir);
    void Evincer(std::int64_t garder);
    // Drops frame n and every frame before it (one-way reading).
    void OublierJusqua(std::int64_t n) {
        while (!cache.empty() && cache.begin()->first <= n)
            Oublier(cache.begin());
        Evincer(n);
    }
    void Oublier(std::map<std::int64_t, EntreeCache>::iterator it);
    void ViderCache() {
        OublierPrecedente();
        while (!cache.empty())
            Oublier(cache.begin());
        reserve->FixerCapacite(budget / 2);
    }
    void Raccourcir(std::int64_t nombre);
    void CalculerDuree();
    double VersMs(std::int64_t ts) const {
        return double(ts - ptsImages.front()) * 1000.0 * baseTemps.num / baseTemps.den;
    }
};

// --- opening and indexing ------------------------------------------------------------------

bool MoteurVideo::Impl::Indexer(QString* erreur) {
    auto echec = [&](const char* raison) {
        if (erreur) *erreur = QString::fromUtf8(raison);
        return false;
    };
    AVFormatContext* brut = nullptr;
    const QByteArray nom = QFileInfo(chemin).absoluteFilePath().toUtf8();
    LimiterAllocationsFfmpeg();
    if (avformat_open_input(&brut, nom.constData(), nullptr, nullptr) < 0)
        return echec("not a film");
    format.reset(brut);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) return echec("unreadable streams");

    const AVCodec* codec = nullptr;
    flux = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* s = format->streams[i];
        if (s->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        if (s->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
        if (flux < 0 || i == unsigned(av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1,
                                                          nullptr, 0)))
            flux = int(i);
    }
    if (flux < 0) return echec("no video stream");
    AVStream* st = format->streams[flux];
    codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) return echec("no decoder for this codec");
    if (st->codecpar->width <= 0 || st->codecpar->height <= 0) return echec("no frame size");
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != flux) format->streams[i]->discard = AVDISCARD_ALL;

    decodeur.reset(avcodec_alloc_context3(codec));
    if (!decodeur || avcodec_parameters_to_context(decodeur.get(), st->codecpar) < 0)
        return echec("decoder setup failed");
    decodeur->thread_count = gFilsDecodage.load(); // 0: one per core
    decodeur->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(decodeur.get(), codec, nullptr) < 0) return echec("decoder setup failed");

    baseTemps = st->time_base;
    if (baseTemps.num <= 0 || baseTemps.den <= 0) baseTemps = AVRational{1, 25};
    rotation = RotationAffichage(st);
    infos.rotation = rotation;
    infos.largeur = LargeurTournee(st->codecpar->width, st->codecpar->height, rotation);
    infos.hauteur = HauteurTournee(st->codecpar->width, st->codecpar->height, rotation);
    infos.cadenceCapture = CadenceCapture(format.get(), st);
    // A damaged film may hand out frames of another size than its stream says: they are
    // scaled to the stream's size, so every frame has the size the forms were given.
    largeurFilm = st->codecpar->width;
    hauteurFilm = st->codecpar->height;
    infos.codec = QString::fromLatin1(codec->name);
    AVRational cadence = st->avg_frame_rate;
    if (cadence.num <= 0 || cadence.den <= 0) cadence = st->r_frame_rate;
    infos.cadenceFichier = (cadence.num > 0 && cadence.den > 0) ? av_q2d(cadence) : 0.0;

    // One pass over the packets. A read error ends the film where it is (truncated file).
    std::int64_t suivant = 0; // synthesised timestamps for packets that carry none
    while (av_read_frame(format.get(), paquet.get()) >= 0) {
        const AVPacket& p = *paquet;
        if (p.stream_index == flux && p.size > 0 && !(p.flags & AV_PKT_FLAG_CORRUPT)) {
            Paquet e;
            e.dts = p.dts != AV_NOPTS_VALUE ? p.dts : p.pts;
            e.pts = p.pts != AV_NOPTS_VALUE ? p.pts : p.dts;
            if (e.pts == AV_NOPTS_VALUE) e.pts = e.dts = suivant;
            e.duree = p.duration > 0 ? p.duration : 0;
            e.cle = (p.flags & AV_PKT_FLAG_KEY) != 0;
            e.ptsFichier = p.pts != AV_NOPTS_VALUE;
            suivant = e.pts + std::max<std::int64_t>(e.duree, 1);
            paquets.push_back(e);
        }
        av_packet_unref(paquet.get());
    }
    if (paquets.empty()) return echec("no video frame");
    // A container that stamps only some packets with a presentation time (AVI with B-frames)
    // is timed by its decoding times throughout: they are regular and complete.
    bool ptsManquants = false, dtsCroissants = true;
    for (std::size_t i = 0; i < paquets.size(); ++i) {
        ptsManquants = ptsManquants || !paquets[i].ptsFichier;
        if (i > 0) dtsCroissants = dtsCroissants && paquets[i].dts > paquets[i - 1].dts;
    }
    if (ptsManquants && dtsCroissants)
        for (auto& e : paquets)
            e.pts = e.dts;
    ptsComplets = !ptsManquants;
    // Files without a keyframe flag (some raw or broken streams) can only start at the top.
    if (!paquets.front().cle) paquets.front().cle = true;

    Ordonner();

    const Paquet& dernier =
        *std::max_element(paquets.begin(), paquets.end(),
                          [](const Paquet& a, const Paquet& b) { return a.pts < b.pts; });
    if (dernier.duree > 0)
        dureeDerniere = dernier.duree;
    else if (ptsImages.size() >= 2)
        dureeDerniere = ptsImages.back() - ptsImages[ptsImages.size() - 2];
    else if (infos.cadenceFichier > 0)
        dureeDerniere = std::max<std::int64_t>(
            1, std::llround(baseTemps.den / (infos.cadenceFichier * baseTemps.num)));
    else
        dureeDerniere =
            std::max<std::int64_t>(1, std::llround(0.04 * baseTemps.den / baseTemps.num));
    infos.nombreImages = std::int64_t(ptsImages.size());
    CalculerDuree();
    vivant = false; // the demuxer is at the end
    return true;
}

void MoteurVideo::Impl::Ordonner() {
    // Frame numbers: presentation order. Duplicate timestamps make that order meaningless, so
    // such files fall back to decoding order with synthesised times.
    ptsImages.resize(paquets.size());
    for (std::size_t i = 0; i < paquets.size(); ++i)
        ptsImages[i] = paquets[i].pts;
    std::sort(ptsImages.begin(), ptsImages.end());
    if (std::adjacent_find(ptsImages.begin(), ptsImages.end()) != ptsImages.end()) {
        std::int64_t t = 0;
        for (auto& e : paquets) {
            e.pts = t;
            t += std::max<std::int64_t>(e.duree, 1);
        }
        for (std::size_t i = 0; i < paquets.size(); ++i)
            ptsImages[i] = paquets[i].pts;
    }

    // For each frame, the keyframe to start decoding from: the last one, in decoding order,
    // that precedes the frame's packet and is not presented after it (open GOPs).
    cles.clear();
    std::vector<std::int64_t> indicePaquet(paquets.size()); // frame n -> decoding index
    for (std::size_t i = 0; i < paquets.size(); ++i) {
        const auto n = std::lower_bound(ptsImages.begin(), ptsImages.end(), paquets[i].pts) -
                       ptsImages.begin();
        indicePaquet[std::size_t(n)] = std::int64_t(i);
        if (paquets[i].cle) cles.push_back(std::int64_t(i));
    }
    depart.resize(paquets.size());
    rangDepart.resize(paquets.size());
    for (std::size_t n = 0; n < paquets.size(); ++n) {
        auto it = std::upper_bound(cles.begin(), cles.end(), indicePaquet[n]);
        std::int64_t k = *std::prev(it);
        while (it != cles.begin()) {
            k = *std::prev(it);
            if (paquets[std::size_t(k)].pts <= ptsImages[n]) break;
            --it;
        }
        depart[n] = k;
        rangDepart[n] =
            std::lower_bound(ptsImages.begin(), ptsImages.end(), paquets[std::size_t(k)].pts) -
            ptsImages.begin();
    }
}

void MoteurVideo::Impl::CalculerDuree() {
    const std::int64_t n = infos.nombreImages;
    const std::int64_t fin = n < std::int64_t(ptsImages.size())
                                 ? ptsImages[std::size_t(n)]
                                 : ptsImages[std::size_t(n - 1)] + dureeDerniere;
    infos.dureeMs = VersMs(fin);
}

void MoteurVideo::Impl::Raccourcir(std::int64_t nombre) {
    nombre = std::max<std::int64_t>(nombre, 1);
    if (nombre >= infos.nombreImages) return;
    infos.nombreImages = nombre;
    // The next frame's start is the end of the new last frame: it was shown until then.
    CalculerDuree();
    while (!cache.empty() && cache.rbegin()->first >= nombre)
        Oublier(std::prev(cache.end()));
}

// --- decoding --------------------------------------------------------------------------------

bool MoteurVideo::Impl::ChercherCle(std::int64_t indiceCle) {
    avcodec_flush_buffers(decodeur.get());
    vivant = false;
    const std::int64_t ts = paquets[std::size_t(indiceCle)].dts;
    if (av_seek_frame(format.get(), flux, ts, AVSEEK_FLAG_BACKWARD) < 0) {
        // Some demuxers only rewind to the start; that is always right, only slower.
        if (avformat_seek_file(format.get(), flux, std::numeric_limits<std::int64_t>::min(),
                               paquets.front().dts, paquets.front().dts, 0) < 0 &&
            av_seek_frame(format.get(), -1, 0, AVSEEK_FLAG_BYTE) < 0)
            return false;
    }
    vivant = true;
    return true;
}

std::int64_t MoteurVideo::Impl::Identifier(const AVFrame* f, std::int64_t precedent) const {
    std::int64_t ts = f->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) ts = f->pts;
    if (ts != AV_NOPTS_VALUE) {
        ts -= decalageTs;
        auto it = std::lower_bound(ptsImages.begin(), ptsImages.end(), ts);
        if (it != ptsImages.end() && *it == ts) return it - ptsImages.begin();
    }
    return precedent + 1;
}

// The first frame at opening, and the keyframes shown while scrubbing, without waiting for the
// decoder's reordering and threading delays (several frames of latency at 1080p): the packet is
// sent alone, then the decoder is drained.
bool MoteurVideo::Impl::DecoderSeule(std::int64_t n, bool convertir) {
    const std::size_t cle = std::size_t(depart[std::size_t(n)]);
    const std::int64_t voulu = ptsImages[std::size_t(n)];
    if (!ptsComplets || paquets[cle].pts != voulu) return false;
    if (!ChercherCle(depart[std::size_t(n)])) return false;
    vivant = false; // drained: the next request seeks again
    bool envoye = false;
    for (std::int64_t lus = 0; lus <= std::int64_t(paquets.size()) && !envoye;) {
        if (av_read_frame(format.get(), paquet.get()) < 0) break;
        const AVPacket& p = *paquet;
        if (p.stream_index == flux && p.size > 0 && !(p.flags & AV_PKT_FLAG_CORRUPT)) {
            // Packets before the keyframe (the demuxer may land on an earlier one) are skipped,
            // not decoded.
            ++lus;
            envoye = p.pts == voulu;
            if (envoye) avcodec_send_packet(decodeur.get(), paquet.get());
        }
        av_packet_unref(paquet.get());
    }
    avcodec_send_packet(decodeur.get(), nullptr);
    while (avcodec_receive_frame(decodeur.get(), trame.get()) == 0) {
        ++statistiques.decodees;
        std::int64_t ts = trame->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE) ts = trame->pts;
        if (premierTsBrut == AV_NOPTS_VALUE) premierTsBrut = ts;
        const bool abimee =
            trame->decode_error_flags != 0 || (trame->flags & AV_FRAME_FLAG_CORRUPT);
        if (ts != AV_NOPTS_VALUE && ts - decalageTs == voulu && !abimee && !cache.count(n))
            Ranger(n, trame.get(), convertir);
        av_frame_unref(trame.get());
    }
    avcodec_flush_buffers(decodeur.get());
    return cache.count(n) != 0;
}

QImage MoteurVideo::Impl::Apercu(std::int64_t n, std::int64_t& montree) {
    const std::int64_t cle = rangDepart[std::size_t(n)];
    // The nearest frame already decoded, on either side of n.
    std::int64_t proche = -1;
    auto it = cache.lower_bound(n);
    if (it != cache.end()) proche = it->first;
    if (it != cache.begin()) {
        const std::int64_t avant = std::prev(it)->first;
        if (proche < 0 || n - avant <= proche - n) proche = avant;
    }
    if (proche < 0 || std::llabs(proche - n) > n - cle) {
        // The keyframe, decoded by itself (or, where packets carry no presentation time, as
        // the first frame of its run, which is still the shortest run there is).
        if (!cache.count(cle) && !DecoderSeule(cle, true) && !DecoderJusqua(cle, false)) return {};
        proche = cle;
    }
    montree = proche;
    centre = proche;
    return ImageConvertie(proche, false);
}

bool MoteurVideo::Impl::DecoderJusqua(std::int64_t n, bool arriere) {
    // Stepping back where keyframes are close together (intra codecs, short GOPs): decode a
    // short run ending at n in one go, so the next steps back find their frames in the cache
    // instead of seeking for each one.
    if (arriere && !(vivant && derniereSortie < n)) {
        const std::int64_t depuis = std::max<std::int64_t>(0, n - kLotArriere);
        const std::int64_t rang = rangDepart[std::size_t(depuis)];
        if (rang < rangDepart[std::size_t(n)] && rang >= n - 2 * kLotArriere) {
            const Issue issue = EssayerJusqua(n, depuis, true);
            if (issue == Issue::Obtenue) return true;
            vivant = false;
        }
    }
    for (int essai = 0; essai < 4; ++essai) {
        const Issue issue = EssayerJusqua(n, n);
        if (issue != Issue::Depasse) return issue == Issue::Obtenue;
        // Frame n is presented before the keyframe we started from (a leading frame of an open
        // GOP, or a container that only knows decoding times): start one keyframe earlier, and
        // remember it.
        const auto it = std::lower_bound(cles.begin(), cles.end(), depart[std::size_t(n)]);
        if (it == cles.begin()) return false;
        const std::int64_t k = *std::prev(it);
        depart[std::size_t(n)] = k;
        rangDepart[std::size_t(n)] = std::min<std::int64_t>(
            rangDepart[std::size_t(n)],
            std::lower_bound(ptsImages.begin(), ptsImages.end(), paquets[std::size_t(k)].pts) -
                ptsImages.begin());
        vivant = false;
    }
    return false;
}

MoteurVideo::Impl::Issue MoteurVideo::Impl::EssayerJusqua(std::int64_t n, std::int64_t depuis,
                                                          bool convertirTout) {
    // Going on is cheaper than seeking as long as no keyframe lies between here and n.
    const bool continuer =
        vivant && derniereSortie < n && rangDepart[std::size_t(n)] <= derniereSortie + 1;
    const std::size_t cle = std::size_t(depuis);
    std::int64_t debut = derniereSortie + 1;
    bool premierPaquet = false;
    bool vuAvant = continuer; // a frame before n came out of this run
    if (!continuer) {
        if (!ChercherCle(depart[cle])) return Issue::Echec;
        debut = rangDepart[cle];
        derniereSortie = debut - 1;
        premierPaquet = true;
    }
    bool reessaye = false;
    bool vidange = false;
    std::int64_t derniereBonne = -1;
    std::int64_t dernierDtsEnvoye = AV_NOPTS_VALUE;
    std::int64_t vidangees = 0;
    for (;;) {
        int r = avcodec_receive_frame(decodeur.get(), trame.get());
        if (r == 0) {
            ++statistiques.decodees;
            if (premierTsBrut == AV_NOPTS_VALUE)
                premierTsBrut = trame->best_effort_timestamp != AV_NOPTS_VALUE
                                    ? trame->best_effort_timestamp
                                    : trame->pts;
            std::int64_t i = Identifier(trame.get(), derniereSortie);
            if (vidange && trame->best_effort_timestamp == AV_NOPTS_VALUE &&
                trame->pts == AV_NOPTS_VALUE && dernierDtsEnvoye != AV_NOPTS_VALUE) {
                // Drained frames of a decoder that stamps frames with the packet that pushed
                // them out: the packets that would have come next.
                ++vidangees;
                const std::int64_t ts = dernierDtsEnvoye + vidangees * pasDts - decalageTs;
                const auto it = std::lower_bound(ptsImages.begin(), ptsImages.end(), ts);
                if (it != ptsImages.end() && *it == ts) i = it - ptsImages.begin();
            }
            const bool abimee =
                trame->decode_error_flags != 0 || (trame->flags & AV_FRAME_FLAG_CORRUPT);
            // Frames before the keyframe's own come from references we did not decode.
            if (i >= debut && i < infos.nombreImages && !abimee) {
                derniereBonne = std::max(derniereBonne, i);
                if (cache.find(i) == cache.end())
                    Ranger(i, trame.get(), convertirTout && std::llabs(i - n) <= kFenetreConvertie);
            }
            av_frame_unref(trame.get());
            derniereSortie = std::max(derniereSortie, i);
            if (i < n) vuAvant = true;
            if (i >= n) {
                if (cache.count(n)) return Issue::Obtenue;
                return vuAvant ? Issue::Echec : Issue::Depasse;
            }
            continue;
        }
        if (r == AVERROR_EOF) break;
        if (r != AVERROR(EAGAIN)) break;
        if (vidange) break;
        r = av_read_frame(format.get(), paquet.get());
        if (r < 0) {
            avcodec_send_packet(decodeur.get(), nullptr);
            vidange = true;
            continue;
        }
        const AVPacket& p = *paquet;
        if (p.stream_index != flux || p.size <= 0 || (p.flags & AV_PKT_FLAG_CORRUPT)) {
            av_packet_unref(paquet.get());
            continue;
        }
        if (premierPaquet) {
            const std::int64_t ts = p.dts != AV_NOPTS_VALUE ? p.dts : p.pts;
            const std::int64_t voulu = paquets[std::size_t(depart[cle])].dts;
            if (ts != AV_NOPTS_VALUE && ts < voulu) {
                // The demuxer landed on an earlier keyframe (MP4 seeks on presentation times,
                // which run ahead of decoding times where there are B-frames): read on to
                // ours without decoding what lies before it.
                av_packet_unref(paquet.get());
                continue;
            }
            premierPaquet = false;
            if (ts != AV_NOPTS_VALUE && ts > voulu && !reessaye) {
                // The demuxer went past the keyframe: start again from the top of the film.
                av_packet_unref(paquet.get());
                reessaye = true;
                avcodec_flush_buffers(decodeur.get());
                if (avformat_seek_file(format.get(), flux, std::numeric_limits<std::int64_t>::min(),
                                       paquets.front().dts, paquets.front().dts, 0) < 0)
                    return Issue::Echec;
                debut = 0;
                derniereSortie = -1;
                continue;
            }
        }
        dernierDtsEnvoye = p.dts;
        r = avcodec_send_packet(decodeur.get(), paquet.get());
        av_packet_unref(paquet.get());
        (void)r; // a packet the decoder rejects is simply a frame that does not decode
    }
    // The film ended before frame n came out: every frame after the last good one is lost.
    vivant = false;
    if (derniereBonne < n && !reessaye) {
        const std::int64_t nombre = derniereBonne >= 0 ? derniereBonne + 1 : debut;
        if (surTravailleur)
            nombreDecouvert = nombreDecouvert < 0 ? nombre : std::min(nombreDecouvert, nombre);
        else
            Raccourcir(nombre);
    }
    return cache.count(n) ? Issue::Obtenue : Issue::Echec;
}

bool BandeConversion::Convertir(const AVFrame* f, int y0, int hauteur, uchar* tampon, int ligne,
                                int dw, int dh) {
    const int w = f->width;
    if (!contexte || w != largeurContexte || hauteur != hauteurContexte ||
        f->format != formatContexte || dw != largeurSortie || dh != hauteurSortie) {
        sws_freeContext(contexte);
        contexte = sws_getContext(w, hauteur, AVPixelFormat(f->format), dw, dh, AV_PIX_FMT_RGB24,
                                  SWS_BILINEAR, nullptr, nullptr, nullptr);
        largeurContexte = w;
        hauteurContexte = hauteur;
        formatContexte = f->format;
        largeurSortie = dw;
        hauteurSortie = dh;
        reglageCouleurs = -1;
    }
    if (!contexte) return false;
    const int espace = f->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    const bool pleine = f->color_range == AVCOL_RANGE_JPEG || f->format == AV_PIX_FMT_YUVJ420P ||
                        f->format == AV_PIX_FMT_YUVJ422P || f->format == AV_PIX_FMT_YUVJ444P;
    // Setting the colour tables costs more than a small conversion: only when they change.
    const std::int64_t reglage = (std::int64_t(f->format) << 40) ^ (std::int64_t(w) << 24) ^
                                 (std::int64_t(hauteur) << 4) ^ (std::int64_t(dw) << 52) ^
                                 (std::int64_t(dh) << 32) ^ (espace << 1) ^ (pleine ? 1 : 0);
    if (reglage != reglageCouleurs) {
        int* invTable = nullptr;
        int* table = nullptr;
        int srcRange = 0, dstRange = 0, luminosite = 0, contraste = 0, saturation = 0;
        if (sws_getColorspaceDetails(contexte, &invTable, &srcRange, &table, &dstRange, &luminosite,
                                     &contraste, &saturation) >= 0) {
            sws_setColorspaceDetails(contexte, sws_getCoefficients(espace), pleine ? 1 : 0,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, luminosite, contraste,
                                     saturation);
        }
        reglageCouleurs = reglage;
    }
    // The band is converted as a picture of its own: its planes start at row y0 (chroma rows
    // at y0 / 2, y0 being even).
    const uint8_t* src[4] = {f->data[0] + std::ptrdiff_t(y0) * f->linesize[0],
                             f->data[1] + std::ptrdiff_t(y0 / 2) * f->linesize[1],
                             f->data[2] + std::ptrdiff_t(y0 / 2) * f->linesize[2], nullptr};
    uint8_t* dst[4] = {tampon + std::ptrdiff_t(y0) * ligne, nullptr, nullptr, nullptr};
    int dstLignes[4] = {ligne, 0, 0, 0};
    return sws_scale(contexte, y0 == 0 ? f->data : src, f->linesize, 0, hauteur, dst, dstLignes) ==
           dh;
}

QImage MoteurVideo::Impl::Convertir(const AVFrame* f) {
    const int w = f->width, h = f->height;
    if (w <= 0 || h <= 0) return {};
    // Own buffer, aligned and padded: the vector paths of swscale may write a little past the
    // end of a line. A film stored sideways is converted aside, then turned into it.
    const int dw = largeurFilm > 0 ? largeurFilm : w;
    const int dh = hauteurFilm > 0 ? hauteurFilm : h;
    const int wl = LargeurTournee(dw, dh, rotation), hl = HauteurTournee(dw, dh, rotation);
    const int ligne = FFALIGN(wl * 3, 64);
    const std::size_t taille = std::size_t(ligne) * hl + 64;
    uchar* tampon = reserve->Prendre(taille);
    if (!tampon) return {};
    const int ligneConvertie = rotation ? FFALIGN(dw * 3, 64) : ligne;
    uchar* convertie = tampon;
    if (rotation) {
        const std::size_t tailleConvertie = std::size_t(ligneConvertie) * dh + 64;
        if (tamponRotation.size() < tailleConvertie) tamponRotation.resize(tailleConvertie);
        convertie = tamponRotation.data();
    }
    const bool yuv420 = f->format == AV_PIX_FMT_YUV420P || f->format == AV_PIX_FMT_YUVJ420P;
    // One-way reading: a frame like the previous one only has the bands that changed converted.
    // libswscale converts 4:2:0 to RGB two rows at a time with nothing shared between pairs of
    // rows (only for an even height: an odd one takes its general path, which filters chroma
    // across rows), so any band of whole pairs converted alone is what the whole frame gives there.
    const bool parBandes = lectureUnique && !rotation && dw == w && dh == h && h % 2 == 0 && yuv420;
    const AVFrame* p = yuvPrecedente.get();
    const bool commePrecedente =
        parBandes && p->data[0] && !rgbPrecedente.isNull() && p->width == w && p->height == h &&
        p->format == f->format && p->colorspace == f->colorspace &&
        p->color_range == f->color_range && rgbPrecedente.bytesPerLine() == ligne &&
        rgbPrecedente.height() == h;
    // A large 4:2:0 frame is converted in two halves at once, the lower one on a helper thread
    // (the same pictures, for the same reason).
    const bool grande = gConversionEnDeux && dw == w && dh == h &&
                        std::int64_t(w) * h >= kPixelsConversionEnDeux && yuv420;
    bool ok = true;
    if (commePrecedente) {
        const int bandes = (h + kLignesBande - 1) / kLignesBande;
        std::int64_t reprisesHaut = 0, reprisesBas = 0;
        if (grande) {
            if (!aideConversion) aideConversion = std::make_unique<AideConversion>();
            const int milieu = bandes / 2;
            bool okBas = false;
            aideConversion->Lancer([&] {
                okBas =
                    ConvertirBandes(f, milieu, bandes, bandeFixeBas, convertie, ligne, reprisesBas);
            });
            ok = ConvertirBandes(f, 0, milieu, bandeFixeHaut, convertie, ligne, reprisesHaut);
            aideConversion->Attendre();
            ok = ok && okBas;
        } else {
            ok = ConvertirBandes(f, 0, bandes, bandeFixeHaut, convertie, ligne, reprisesHaut);
        }
        statistiques.bandesReprises += reprisesHaut + reprisesBas;
        statistiques.bandesConverties += bandes - reprisesHaut - reprisesBas;
    } else if (grande && h % 4 == 0) {
        if (!aideConversion) aideConversion = std::make_unique<AideConversion>();
        const int moitie = h / 2;
        bool okBas = false;
        aideConversion->Lancer([&] {
            okBas =
                bandeBas.Convertir(f, moitie, h - moitie, convertie, ligneConvertie, w, h - moitie);
        });
        ok = bandeHaut.Convertir(f, 0, moitie, convertie, ligneConvertie, w, moitie);
        aideConversion->Attendre();
        ok = ok && okBas;
    } else {
        ok = bandeHaut.Convertir(f, 0, h, convertie, ligneConvertie, dw, dh);
    }
    OublierPrecedente();
    if (!ok) {
        reserve->Rendre(tampon, taille);
        return {};
    }
    if (rotation) TournerRgb24(convertie, ligneConvertie, dw, dh, tampon, ligne, rotation);
    QImage image(tampon, wl, hl, ligne, QImage::Format_RGB888, RendreTampon,
                 new TamponPrete{reserve, tampon, taille});
    if (parBandes && av_frame_ref(yuvPrecedente.get(), f) >= 0) rgbPrecedente = image;
    return image;
}

bool MoteurVideo::Impl::BandeInchangee(const AVFrame* f, int y0, int hauteur) const {
    const AVFrame* p = yuvPrecedente.get();
    const std::size_t largeurs[3] = {std::size_t(f->width), std::size_t((f->width + 1) / 2),
                                     std::size_t((f->width + 1) / 2)};
    for (int plan = 0; plan < 3; ++plan) {
        const int debut = plan ? y0 / 2 : y0, fin = plan ? (y0 + hauteur) / 2 : y0 + hauteur;
        for (int y = debut; y < fin; ++y)
            if (std::memcmp(f->data[plan] + std::ptrdiff_t(y) * f->linesize[plan],
                            p->data[plan] + std::ptrdiff_t(y) * p->linesize[plan],
                            largeurs[plan]) != 0)
                return false;
    }
    return true;
}

bool MoteurVideo::Impl::ConvertirBandes(const AVFrame* f, int premiere, int fin,
                                        BandeConversion& fixe, uchar* convertie, int ligne,
                                        std::int64_t& reprises) {
    const int w = f->width, h = f->height;
    const uchar* avant = rgbPrecedente.constBits();
    for (int b = premiere; b < fin; ++b) {
        const int y0 = b * kLignesBande, hauteur = std::min(kLignesBande, h - y0);
        if (BandeInchangee(f, y0, hauteur)) {
            std::memcpy(convertie + std::ptrdiff_t(y0) * ligne, avant + std::ptrdiff_t(y0) * ligne,
                        std::size_t(hauteur) * std::size_t(ligne));
            ++reprises;
        } else if (!(hauteur == kLignesBande ? fixe : bandeFin)
                        .Convertir(f, y0, hauteur, convertie, ligne, w, hauteur)) {
            return false;
        }
    }
    return true;
}

void MoteurVideo::Impl::Ranger(std::int64_t i, AVFrame* f, bool convertir) {
    if (convertir) {
        // Converted while the decoder's output is still in the processor's cache.
        EntreeCache e;
        e.rgb = Convertir(f);
        if (e.rgb.isNull()) return;
        e.octets = std::size_t(e.rgb.bytesPerLine()) * std::size_t(e.rgb.height());
        octetsRgb += e.octets;
        cache[i] = e;
        Evincer(i);
        return;
    }
    AVFrame* ref = av_frame_clone(f);
    if (!ref) return;
    EntreeCache e;
    e.yuv = ref;
    e.octets = std::size_t(
        std::max(0, av_image_get_buffer_size(AVPixelFormat(f->format), f->width, f->height, 1)));
    octetsYuv += e.octets;
    cache[i] = e;
    Evincer(i);
}

void MoteurVideo::Impl::Oublier(std::map<std::int64_t, EntreeCache>::iterator it) {
    (it->second.yuv ? octetsYuv : octetsRgb) -= it->second.octets;
    av_frame_free(&it->second.yuv);
    cache.erase(it);
}

void MoteurVideo::Impl::Evincer(std::int64_t garder) {
    // Converted frames are kept only near the current one (what the refresh return trip and
    // undo step over): their buffers then cycle through the reserve instead of growing the heap.
    const std::size_t moitie = budget / 2;
    for (auto it = cache.begin(); it != cache.end();) {
        auto suivant = std::next(it);
        if (!it->second.yuv && it->first != garder &&
            std::llabs(it->first - centre) > kFenetreConvertie)
            Oublier(it);
        it = suivant;
    }
    // Then the frames farthest from the current one go first, in the half that is over.
    for (const bool yuv : {true, false}) {
        std::size_t& octets = yuv ? octetsYuv : octetsRgb;
        while (octets > moitie) {
            auto victime = cache.end();
            std::int64_t distance = -1;
            for (auto it = cache.begin(); it != cache.end(); ++it) {
                if ((it->second.yuv != nullptr) != yuv || it->first == garder) continue;
                const std::int64_t dist = std::llabs(it->first - centre);
                if (dist > distance) {
                    distance = dist;
                    victime = it;
                }
            }
            if (victime == cache.end()) break;
            Oublier(victime);
        }
    }
    reserve->FixerCapacite(moitie > octetsRgb ? moitie - octetsRgb : 0);
}

// --- public face -----------------------------------------------------------------------------

MoteurVideo::MoteurVideo(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
MoteurVideo::~MoteurVideo() = default;

std::unique_ptr<MoteurVideo> MoteurVideo::Ouvrir(const QString& chemin, QString* erreur) {
    ConfigurerJournal();
    auto impl = std::make_unique<Impl>();
    impl->chemin = chemin;
    if (!impl->trame || !impl->paquet || !impl->yuvPrecedente) {
        if (erreur) *erreur = QStringLiteral("out of memory");
        return nullptr;
    }
    if (!impl->Indexer(erreur)) return nullptr;
    std::unique_ptr<MoteurVideo> moteur(new MoteurVideo(std::move(impl)));
    Impl& d = *moteur->d;

    if (d.paquets.size() >= 2 && d.paquets[1].dts > d.paquets[0].dts)
        d.pasDts = d.paquets[1].dts - d.paquets[0].dts;
    d.centre = 0;
    if (!d.DecoderPremiere() && !d.DecoderJusqua(0, false) && d.premierTsBrut != AV_NOPTS_VALUE &&
        d.premierTsBrut != d.ptsImages.front()) {
        // Frames come out stamped later than their packets: number them again, offset.
        d.decalageTs = d.premierTsBrut - d.ptsImages.front();
        d.ViderCache();
        d.vivant = false;
        d.DecoderJusqua(0, false);
    }

    // A short last group of pictures is decoded now, so that a corrupt tail is known before
    // anyone reads the length.
    const std::int64_t dernier = d.infos.nombreImages - 1;
    if (dernier - d.rangDepart[std::size_t(dernier)] < kQueueVerifieeALOuverture) {
        d.centre = dernier;
        // Each failed try shortens the film to where that run started; a long damaged tail is
        // left for later requests to discover, so opening stays bounded.
        for (int essais = 0; essais < 32; ++essais) {
            const std::int64_t n = d.infos.nombreImages - 1;
            if (d.DecoderJusqua(n, false) || d.infos.nombreImages - 1 == n) break;
        }
    }
    d.centre = 0;
    if (moteur->Image(0).isNull()) {
        if (erreur) *erreur = QStringLiteral("no decodable frame");
        return nullptr;
    }
    moteur->FixerPrechargement(gPrechargement.load());
    return moteur;
}

const InfosFilm& MoteurVideo::Infos() const {
    return d->infos;
}

double MoteurVideo::TempsMs(std::int64_t n) const {
    n = std::clamp<std::int64_t>(n, 0, d->infos.nombreImages - 1);
    return d->VersMs(d->ptsImages[std::size_t(n)]);
}

std::int64_t MoteurVideo::ImageA(double ms) const {
    const auto& p = d->ptsImages;
    const std::int64_t dernier = d->infos.nombreImages - 1;
    // Search on times computed exactly as TempsMs computes them, so that ImageA(TempsMs(n)) == n.
    std::int64_t bas = 0, haut = dernier;
    if (!(ms >= d->VersMs(p[0]))) return 0;
    while (bas < haut) {
        const std::int64_t milieu = bas + (haut - bas + 1) / 2;
        if (d->VersMs(p[std::size_t(milieu)]) <= ms)
            bas = milieu;
        else
            haut = milieu - 1;
    }
    return bas;
}

QImage MoteurVideo::Impl::ImageConvertie(std::int64_t n, bool arriere) {
    auto it = cache.find(n);
    if (it == cache.end()) {
        if (!DecoderJusqua(n, arriere)) return {};
        it = cache.find(n);
        if (it == cache.end()) return {};
    }
    EntreeCache& e = it->second;
    if (e.rgb.isNull() && e.yuv) {
        e.rgb = Convertir(e.yuv);
        av_frame_free(&e.yuv);
        octetsYuv -= e.octets;
        e.octets = e.rgb.isNull() ? 0 : std::size_t(e.rgb.bytesPerLine()) * e.rgb.height();
        octetsRgb += e.octets;
        QImage resultat = e.rgb;
        if (resultat.isNull()) Oublier(it);
        Evincer(n);
        return resultat;
    }
    return e.rgb;
}

void MoteurVideo::Impl::Precharger() {
    std::unique_lock<std::mutex> v(verrou);
    for (;;) {
        reveil.wait(v, [this] { return arreter || aPrecharger >= 0; });
        if (arreter) return;
        const std::int64_t k = aPrecharger;
        if (k < infos.nombreImages && (nombreDecouvert < 0 || k < nombreDecouvert)) {
            surTravailleur = true;
            if (!ImageConvertie(k, arriereAPrecharger).isNull()) ++statistiques.parTravailleur;
            surTravailleur = false;
        }
        aPrecharger = -1;
        prechargee.notify_all();
    }
}

QImage MoteurVideo::Image(std::int64_t n) {
    const auto arrivee = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> v(d->verrou);
    const bool appelantLent = arrivee - d->finDerniereDemande >= kPauseAvantPrechargement;
    struct FinDemande {
        Impl& d;
        ~FinDemande() { d.finDerniereDemande = std::chrono::steady_clock::now(); }
    } finDemande{*d};
    // The frame the worker was told to prepare is left to it, even when it has not started yet:
    // taking it over here would make the same request cost the caller a decoding or nothing,
    // depending on which thread the scheduler ran first.
    const bool enAttente = d->aPrecharger == n;
    if (enAttente) d->prechargee.wait(v, [this] { return d->aPrecharger < 0 || d->arreter; });
    d->aPrecharger = -1;
    d->AppliquerRaccourci();
    if (n < 0 || n >= d->infos.nombreImages) return {};
    d->precedente = d->centre;
    d->centre = n;
    const std::int64_t sens = n - d->precedente;
    {
        const auto it = d->cache.find(n);
        if (enAttente)
            ++d->statistiques.attendues;
        else if (it != d->cache.end() && !it->second.rgb.isNull())
            ++d->statistiques.pretes;
        else
            ++d->statistiques.surAppelant;
    }
    QImage image = d->ImageConvertie(n, sens == -1);
    d->AppliquerRaccourci();
    if (d->lectureUnique) d->OublierJusqua(n);
    // A step: the next one in the same direction is likely, and cheap to get ready now.
    const std::int64_t suivante = n + sens;
    // (Not in one-way reading: a pass in order reads ahead on its own thread.)
    if (!image.isNull() && (sens == 1 || sens == -1) && appelantLent && !d->lectureUnique &&
        d->travailleur.joinable() && suivante >= 0 && suivante < d->infos.nombreImages) {
        const auto it = d->cache.find(suivante);
        const bool pret = it != d->cache.end() && !it->second.rgb.isNull();
        if (!pret && (it != d->cache.end() || d->Cout(suivante) <= kPrechargementMax)) {
            d->aPrecharger = suivante;
            d->arriereAPrecharger = sens == -1;
            d->reveil.notify_one();
        }
    }
    return image;
}

QImage MoteurVideo::Apercu(std::int64_t n, std::int64_t* montree) {
    std::unique_lock<std::mutex> v(d->verrou);
    d->aPrecharger = -1;
    d->AppliquerRaccourci();
    if (n < 0 || n >= d->infos.nombreImages) return {};
    std::int64_t image = n;
    QImage resultat = d->Apercu(n, image);
    d->AppliquerRaccourci();
    if (resultat.isNull() || image >= d->infos.nombreImages) return {};
    d->precedente = d->centre;
    if (montree) *montree = image;
    return resultat;
}

std::int64_t MoteurVideo::ImageCleAvant(std::int64_t n) const {
    n = std::clamp<std::int64_t>(n, 0, d->infos.nombreImages - 1);
    return d->rangDepart[std::size_t(n)];
}

void MoteurVideo::FixerFilsDecodage(int fils) {
    gFilsDecodage = std::max(0, fils);
}
void MoteurVideo::FixerConversionEnDeux(bool actif) {
    gConversionEnDeux = actif;
}
void MoteurVideo::FixerPrechargementParDefaut(bool actif) {
    gPrechargement = actif;
}

void MoteurVideo::ViderCache() {
    std::lock_guard<std::mutex> v(d->verrou);
    d->aPrecharger = -1;
    d->ViderCache();
}

MoteurVideo::StatistiquesImages MoteurVideo::Statistiques() const {
    std::lock_guard<std::mutex> v(d->verrou);
    return d->statistiques;
}

std::size_t MoteurVideo::OctetsEnCache() const {
    std::lock_guard<std::mutex> v(d->verrou);
    return d->octetsYuv + d->octetsRgb;
}

void MoteurVideo::FixerBudgetCache(std::size_t octets) {
    std::lock_guard<std::mutex> v(d->verrou);
    d->budget = octets;
    d->Evincer(d->centre);
}

void MoteurVideo::FixerLectureUnique(bool actif) {
    std::lock_guard<std::mutex> v(d->verrou);
    d->lectureUnique = actif;
    if (actif)
        d->OublierJusqua(d->centre);
    else
        d->OublierPrecedente();
}

void MoteurVideo::FixerPrechargement(bool actif) {
    if (actif == d->travailleur.joinable()) return;
    if (actif) {
        d->arreter = false;
        d->travailleur = std::thread([impl = d.get()] { impl->Precharger(); });
        return;
    }
    {
        std::lock_guard<std::mutex> v(d->verrou);
        d->arreter = true;
    }
    d->reveil.notify_one();
    d->travailleur.join();
    std::lock_guard<std::mutex> v(d->verrou);
    d->aPrecharger = -1;
}

} // namespace kinepo
