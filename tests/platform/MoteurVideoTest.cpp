// The frame-exact engine on generated films: counts, exact times, and the same pixels for the
// same frame number whichever way the frame was reached.
#include "platform/video/MoteurVideo.h"
#include "tests/platform/FilmsDeTest.h"

#include <QByteArray>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>
#include <ostream>

using namespace kinepo;
using namespace kinepo::test;

namespace {

struct CasFilm {
    const char* nom;
    CodecFilm codec;
    int gop;
    bool imagesB;
    const char* codecAttendu;
};
// Cases print as their name in test listings.
void PrintTo(const CasFilm& c, std::ostream* os) {
    *os << c.nom;
}

const CasFilm kFilms[] = {
    {"raw", CodecFilm::RawAvi, 1, false, "rawvideo"},
    {"mjpeg", CodecFilm::MjpegAvi, 1, false, "mjpeg"},
    {"mpeg4_gop12", CodecFilm::Mpeg4Avi, 12, false, "mpeg4"},
    {"mpeg4_bframes", CodecFilm::Mpeg4Avi, 10, true, "mpeg4"},
    {"h264_bframes", CodecFilm::H264Mp4, 10, true, "h264"},
    {"cinepak", CodecFilm::CinepakAvi, 12, false, "cinepak"},
    {"msvideo1", CodecFilm::Msvideo1Avi, 12, false, "msvideo1"},
    {"mpeg1_ps", CodecFilm::Mpeg1Mpg, 12, true, "mpeg1video"},
    {"mpeg2_ps", CodecFilm::Mpeg2Mpg, 12, true, "mpeg2video"},
    {"mpeg4_mov", CodecFilm::Mpeg4Mov, 12, true, "mpeg4"},
};

ParametresFilm Parametres(const CasFilm& c, int images = 30) {
    ParametresFilm p;
    p.codec = c.codec;
    p.gop = c.gop;
    p.imagesB = c.imagesB;
    p.images = images;
    p.cadenceNum = 30;
    return p;
}

QByteArray Pixels(const QImage& i) {
    const QImage rgb = i.convertToFormat(QImage::Format_RGB888);
    QByteArray octets;
    for (int y = 0; y < rgb.height(); ++y)
        octets.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return octets;
}

class FilmsGeneres : public ::testing::TestWithParam<CasFilm> {};

TEST_P(FilmsGeneres, CountsAndTimesFramesExactly) {
    const CasFilm& c = GetParam();
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(Parametres(c)));
    ASSERT_TRUE(moteur);
    const InfosFilm& infos = moteur->Infos();
    EXPECT_EQ(infos.nombreImages, 30);
    EXPECT_EQ(infos.largeur, 160);
    EXPECT_EQ(infos.hauteur, 120);
    EXPECT_EQ(infos.codec, QString::fromLatin1(c.codecAttendu));
    EXPECT_NEAR(infos.cadenceFichier, 30.0, 1e-9);
    EXPECT_NEAR(infos.dureeMs, 1000.0, 1e-9);
    EXPECT_DOUBLE_EQ(moteur->TempsMs(0), 0.0);
    EXPECT_NEAR(moteur->TempsMs(1), 100.0 / 3.0, 1e-9); // not 33 or 33.3
    EXPECT_NEAR(moteur->TempsMs(29), 29 * 100.0 / 3.0, 1e-9);
    for (std::int64_t n = 0; n < 30; ++n) {
        EXPECT_EQ(moteur->ImageA(moteur->TempsMs(n)), n);
        if (n > 0) {
            EXPECT_EQ(moteur->ImageA(moteur->TempsMs(n) - 1e-6), n - 1);
        }
    }
    EXPECT_EQ(moteur->ImageA(-5), 0);
    EXPECT_EQ(moteur->ImageA(1e9), 29);
}

TEST_P(FilmsGeneres, ForwardBackwardAndSeekingGiveTheSamePixels) {
    const QString film = FilmNumerote(Parametres(GetParam()));
    // Reference: one engine decoding forward in order.
    auto avant = MoteurVideo::Ouvrir(film);
    ASSERT_TRUE(avant);
    std::vector<QByteArray> reference;
    for (std::int64_t n = 0; n < 30; ++n) {
        const QImage i = avant->Image(n);
        ASSERT_FALSE(i.isNull()) << n;
        ASSERT_EQ(i.format(), QImage::Format_RGB888);
        ASSERT_EQ(LireNumero(i), n);
        reference.push_back(Pixels(i));
    }
    // A cache of one frame forces every other path to decode again.
    auto arriere = MoteurVideo::Ouvrir(film);
    ASSERT_TRUE(arriere);
    arriere->FixerBudgetCache(1);
    for (std::int64_t n = 29; n >= 0; --n) {
        const QImage i = arriere->Image(n);
        ASSERT_EQ(LireNumero(i), n);
        EXPECT_EQ(Pixels(i), reference[std::size_t(n)]) << "stepping back, frame " << n;
    }
    QRandomGenerator hasard(4);
    for (int essai = 0; essai < 40; ++essai) {
        const std::int64_t n = hasard.bounded(30);
        const QImage i = arriere->Image(n);
        ASSERT_EQ(LireNumero(i), n);
        EXPECT_EQ(Pixels(i), reference[std::size_t(n)]) << "seeking, frame " << n;
    }
    EXPECT_TRUE(arriere->Image(30).isNull());
    EXPECT_TRUE(arriere->Image(-1).isNull());
}

// Walking a longer film the way the form does (forward, then back across several keyframes,
// then forward again), with the cache at its defaults: every frame shows its own number.
TEST_P(FilmsGeneres, WalkingBothWaysWithTheDefaultCache) {
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(Parametres(GetParam(), 70)));
    ASSERT_TRUE(moteur);
    ASSERT_EQ(moteur->Infos().nombreImages, 70);
    for (std::int64_t n = 0; n < 70; ++n)
        ASSERT_EQ(LireNumero(moteur->Image(n)), n) << n;
    for (std::int64_t n = 69; n >= 0; --n)
        ASSERT_EQ(LireNumero(moteur->Image(n)), n) << n;
    for (std::int64_t n = 30; n < 45; ++n)
        ASSERT_EQ(LireNumero(moteur->Image(n)), n) << n;
    // Back from far away: the run starts at an earlier keyframe.
    for (std::int64_t n = 62; n >= 50; --n)
        ASSERT_EQ(LireNumero(moteur->Image(n)), n) << n;
}

TEST_P(FilmsGeneres, CacheStaysWithinItsBudget) {
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(Parametres(GetParam(), 70)));
    ASSERT_TRUE(moteur);
    const std::size_t image = 160 * 3 * 120;
    const std::size_t budget = 6 * image;
    moteur->FixerBudgetCache(budget);
    for (std::int64_t n = 0; n < 70; n += 3) {
        ASSERT_EQ(LireNumero(moteur->Image(n)), n);
        EXPECT_LE(moteur->OctetsEnCache(), budget) << n;
    }
    for (std::int64_t n = 69; n >= 0; --n) {
        ASSERT_EQ(LireNumero(moteur->Image(n)), n);
        EXPECT_LE(moteur->OctetsEnCache(), budget) << n;
    }
    moteur->ViderCache();
    EXPECT_EQ(moteur->OctetsEnCache(), 0u);
    EXPECT_EQ(LireNumero(moteur->Image(33)), 33);
}

// Steps in both directions, with pauses that let the prefetching worker run, interleaved with
// jumps and cache changes: the frames stay exact. (The decoder runs single-threaded here so a
// thread checker sees only the engine's own threads.)
TEST_P(FilmsGeneres, PrefetchingWorkerKeepsFramesExact) {
    MoteurVideo::FixerFilsDecodage(1);
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(Parametres(GetParam(), 70)));
    MoteurVideo::FixerFilsDecodage(0);
    ASSERT_TRUE(moteur);
    QRandomGenerator hasard(9);
    std::int64_t n = 0;
    for (int essai = 0; essai < 150; ++essai) {
        const int choix = hasard.bounded(10);
        if (choix < 4)
            n = std::min<std::int64_t>(69, n + 1);
        else if (choix < 8)
            n = std::max<std::int64_t>(0, n - 1);
        else if (choix == 8)
            n = hasard.bounded(70);
        else
            moteur->FixerBudgetCache(hasard.bounded(2) ? std::size_t(512) << 20 : 200000);
        if (essai % 7 == 0) moteur->ViderCache();
        ASSERT_EQ(LireNumero(moteur->Image(n)), n) << "attempt " << essai;
        if (hasard.bounded(3) == 0) QThread::msleep(3);
    }
    moteur->FixerPrechargement(false);
    EXPECT_EQ(LireNumero(moteur->Image(n)), n);
    moteur->FixerPrechargement(true);
    EXPECT_EQ(LireNumero(moteur->Image(n + (n < 69 ? 1 : -1))), n + (n < 69 ? 1 : -1));
}

// Scrubbing: with nothing cached the picture is the keyframe decoding would start from;
// otherwise a frame at most that far from the target. Either way the picture is the frame it is
// labelled with, pixel for pixel, and the exact frame follows.
TEST_P(FilmsGeneres, ScrubbingShowsTheNearestKeyframeOrCachedFrame) {
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(Parametres(GetParam(), 70)));
    ASSERT_TRUE(moteur);
    QRandomGenerator hasard(21);
    for (int essai = 0; essai < 24; ++essai) {
        const std::int64_t n = hasard.bounded(70);
        const bool vide = essai % 3 == 0;
        if (vide) moteur->ViderCache();
        const std::int64_t cle = moteur->ImageCleAvant(n);
        ASSERT_LE(cle, n);
        std::int64_t montree = -1;
        const QImage apercu = moteur->Apercu(n, &montree);
        ASSERT_FALSE(apercu.isNull()) << n;
        ASSERT_EQ(LireNumero(apercu), montree) << n;
        if (vide)
            EXPECT_EQ(montree, cle) << n;
        else
            EXPECT_LE(std::llabs(montree - n), n - cle) << n;
        EXPECT_EQ(Pixels(apercu), Pixels(moteur->Image(montree))) << n;
        ASSERT_EQ(LireNumero(moteur->Image(n)), n) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, FilmsGeneres, ::testing::ValuesIn(kFilms),
                         [](const auto& info) { return std::string(info.param.nom); });

// A seek decodes from the keyframe before the frame, never from an earlier one (an MP4 demuxer
// asked for a keyframe's decoding time lands on the keyframe before it when there are
// B-frames), and a scrubbing picture decodes one frame where packets carry presentation times
// (elsewhere it is the keyframe's own exact decoding). Keyframes every 30 frames, so that
// starting a group too early shows.
TEST(MoteurVideo, SeekingDecodesOnlyFromThePreviousKeyframe) {
    const struct {
        CasFilm film;
        bool ptsDansLeFichier;
    } cas[] = {
        {{"h264_bframes", CodecFilm::H264Mp4, 30, true, "h264"}, true},
        {{"mpeg4_mov", CodecFilm::Mpeg4Mov, 30, true, "mpeg4"}, true},
        {{"mpeg4_bframes", CodecFilm::Mpeg4Avi, 30, true, "mpeg4"}, false},
        {{"mpeg2_ps", CodecFilm::Mpeg2Mpg, 30, true, "mpeg2video"}, false},
    };
    for (const auto& [c, ptsDansLeFichier] : cas) {
        auto moteur = MoteurVideo::Ouvrir(FilmNumerote(Parametres(c, 70)));
        ASSERT_TRUE(moteur) << c.nom;
        moteur->FixerPrechargement(false);
        for (const std::int64_t n : {65, 47, 33, 12, 69}) {
            const std::int64_t cle = moteur->ImageCleAvant(n);
            moteur->ViderCache();
            const auto avant = moteur->Statistiques();
            ASSERT_EQ(LireNumero(moteur->Image(n)), n) << c.nom;
            // Reordering and the decoder threads' delay may push out a dozen frames more.
            EXPECT_LE(moteur->Statistiques().decodees - avant.decodees, n - cle + 1 + 12)
                << c.nom << " " << n;
            moteur->ViderCache();
            const auto avantApercu = moteur->Statistiques();
            std::int64_t montree = -1;
            ASSERT_FALSE(moteur->Apercu(n, &montree).isNull()) << c.nom;
            EXPECT_EQ(montree, cle) << c.nom << " " << n;
            EXPECT_LE(moteur->Statistiques().decodees - avantApercu.decodees,
                      ptsDansLeFichier ? 1 : cle - moteur->ImageCleAvant(cle) + 1 + 12)
                << c.nom << " " << n;
        }
    }
}

// Large 4:2:0 frames are converted in two halves on two threads: the pictures are byte for byte
// those of a conversion in one piece (H.264 in limited range, MJPEG in full range).
TEST(MoteurVideo, ConversionInTwoHalvesGivesTheSamePictures) {
    for (const CodecFilm codec : {CodecFilm::H264Mp4, CodecFilm::MjpegAvi}) {
        ParametresFilm p;
        p.codec = codec;
        p.largeur = 1280;
        p.hauteur = 720;
        p.images = 4;
        p.gop = 2;
        const QString film = FilmNumerote(p);
        MoteurVideo::FixerConversionEnDeux(false);
        auto entiere = MoteurVideo::Ouvrir(film);
        MoteurVideo::FixerConversionEnDeux(true);
        auto enDeux = MoteurVideo::Ouvrir(film);
        ASSERT_TRUE(entiere && enDeux);
        entiere->FixerPrechargement(false);
        enDeux->FixerPrechargement(false);
        for (std::int64_t n = 0; n < 4; ++n) {
            MoteurVideo::FixerConversionEnDeux(false);
            const QImage a = entiere->Image(n);
            MoteurVideo::FixerConversionEnDeux(true);
            const QImage b = enDeux->Image(n);
            ASSERT_EQ(LireNumero(b), n);
            EXPECT_EQ(Pixels(a), Pixels(b)) << int(codec) << " " << n;
        }
    }
}

// One-way reading converts only the bands of rows that changed since the previous frame and
// copies the others from its picture: a still background with a square moving across it, read
// in order, gives byte for byte the pictures of whole conversions. Heights that leave a shorter
// last band, frames large enough to be converted on two threads, full-range MJPEG; an odd height
// is converted whole.
struct CasBandes {
    const char* nom;
    CodecFilm codec;
    int largeur;
    int hauteur;
};
void PrintTo(const CasBandes& c, std::ostream* os) {
    *os << c.nom;
}

const CasBandes kBandes[] = {
    {"h264_320x200", CodecFilm::H264Mp4, 320, 200},
    {"h264_1296x730", CodecFilm::H264Mp4, 1296, 730},
    {"mjpeg_320x202", CodecFilm::MjpegAvi, 320, 202},
    {"mjpeg_1280x728", CodecFilm::MjpegAvi, 1280, 728},
    {"mjpeg_320x201", CodecFilm::MjpegAvi, 320, 201},
};

QImage ImageCarreMobile(int n, int largeur, int hauteur) {
    QImage image(largeur, hauteur, QImage::Format_RGB888);
    for (int y = 0; y < hauteur; ++y) {
        uchar* ligne = image.scanLine(y);
        for (int x = 0; x < largeur; ++x) {
            ligne[3 * x] = uchar((x ^ y) & 0xFF);
            ligne[3 * x + 1] = uchar((x + 2 * y) & 0xFF);
            ligne[3 * x + 2] = uchar(((x * y) >> 5) & 0xFF);
        }
    }
    const int cote = hauteur / 6;
    QPainter(&image).fillRect(QRect(8 + largeur * n / 16, 6 + hauteur * n / 20, cote, cote),
                              QColor(192, 32, 32));
    return image;
}

class FilmsEnBandes : public ::testing::TestWithParam<CasBandes> {};

TEST_P(FilmsEnBandes, OneWayReadingConvertsOnlyChangedRowsToTheSamePictures) {
    const CasBandes& c = GetParam();
    ParametresFilm p;
    p.codec = c.codec;
    p.largeur = c.largeur;
    p.hauteur = c.hauteur;
    p.images = 10;
    p.gop = 30;
    const QString film = DossierFilms().filePath(
        QStringLiteral("carre-%1.%2").arg(QString::fromLatin1(c.nom), ExtensionFilm(c.codec)));
    QString erreur;
    ASSERT_TRUE(EcrireFilm(
        film, p, [&](int n) { return ImageCarreMobile(n, c.largeur, c.hauteur); }, &erreur))
        << erreur.toStdString();
    auto entiere = MoteurVideo::Ouvrir(film);
    auto parBandes = MoteurVideo::Ouvrir(film);
    ASSERT_TRUE(entiere && parBandes);
    ASSERT_EQ(parBandes->Infos().nombreImages, p.images);
    entiere->FixerPrechargement(false);
    parBandes->FixerLectureUnique(true);
    for (std::int64_t n = 0; n < p.images; ++n) {
        MoteurVideo::FixerConversionEnDeux(false);
        const QImage a = entiere->Image(n);
        MoteurVideo::FixerConversionEnDeux(true);
        const QImage b = parBandes->Image(n);
        ASSERT_FALSE(a.isNull() || b.isNull()) << n;
        EXPECT_EQ(Pixels(a), Pixels(b)) << c.nom << " " << n;
    }
    const MoteurVideo::StatistiquesImages s = parBandes->Statistiques();
    if (c.hauteur % 2) {
        EXPECT_EQ(s.bandesReprises + s.bandesConverties, 0);
    } else {
        EXPECT_GT(s.bandesReprises, 0);
        EXPECT_GT(s.bandesConverties, 0);
    }
    // The same again with every band on the calling thread.
    MoteurVideo::FixerConversionEnDeux(false);
    auto seul = MoteurVideo::Ouvrir(film);
    ASSERT_TRUE(seul);
    seul->FixerLectureUnique(true);
    for (std::int64_t n = 0; n < p.images; ++n)
        EXPECT_EQ(Pixels(entiere->Image(n)), Pixels(seul->Image(n))) << c.nom << " " << n;
    MoteurVideo::FixerConversionEnDeux(true);
    EXPECT_EQ(seul->Statistiques().bandesReprises, s.bandesReprises);
}

INSTANTIATE_TEST_SUITE_P(Tailles, FilmsEnBandes, ::testing::ValuesIn(kBandes),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(MoteurVideo, NtscRateTimesAreExact) {
    ParametresFilm p;
    p.codec = CodecFilm::MjpegAvi;
    p.images = 10;
    p.cadenceNum = 30000;
    p.cadenceDen = 1001;
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(p));
    ASSERT_TRUE(moteur);
    EXPECT_NEAR(moteur->TempsMs(1), 1001.0 / 30.0, 1e-9);
    EXPECT_NEAR(moteur->Infos().dureeMs, 10 * 1001.0 / 30.0, 1e-9);
    EXPECT_NEAR(moteur->Infos().cadenceFichier, 30000.0 / 1001.0, 1e-9);
}

TEST(MoteurVideo, SingleFrameFilm) {
    ParametresFilm p;
    p.images = 1;
    auto moteur = MoteurVideo::Ouvrir(FilmNumerote(p));
    ASSERT_TRUE(moteur);
    EXPECT_EQ(moteur->Infos().nombreImages, 1);
    EXPECT_NEAR(moteur->Infos().dureeMs, 40.0, 1e-9);
    EXPECT_EQ(LireNumero(moteur->Image(0)), 0);
    EXPECT_EQ(moteur->ImageA(500), 0);
}

// A film cut short in the middle of its data: the length is the last frame that decodes, and
// every frame up to it decodes.
struct CasTronque {
    const char* nom;
    CodecFilm codec;
    int gop;
    double fraction;
};
// Cases print as their name in test listings.
void PrintTo(const CasTronque& c, std::ostream* os) {
    *os << c.nom;
}

class FilmsTronques : public ::testing::TestWithParam<CasTronque> {};

TEST_P(FilmsTronques, LengthIsTheLastDecodableFrame) {
    const CasTronque& c = GetParam();
    ParametresFilm p;
    p.codec = c.codec;
    p.gop = c.gop;
    p.images = 40;
    p.indexEnTete = true;
    QFile original(FilmNumerote(p));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray octets = original.readAll();
    const QString chemin = DossierFilms().filePath(
        QStringLiteral("tronque-%1.%2").arg(c.nom).arg(ExtensionFilm(c.codec)));
    QFile tronque(chemin);
    ASSERT_TRUE(tronque.open(QIODevice::WriteOnly));
    // Cut inside a frame, not on a boundary.
    tronque.write(octets.left(qsizetype(octets.size() * c.fraction) + 7));
    tronque.close();

    auto moteur = MoteurVideo::Ouvrir(chemin);
    ASSERT_TRUE(moteur);
    // Walking to the end settles the length (a long last group is only checked when decoded).
    for (std::int64_t n = 0; n < moteur->Infos().nombreImages; ++n) {
        const QImage i = moteur->Image(n);
        if (i.isNull()) {
            EXPECT_GE(n, moteur->Infos().nombreImages) << "frame " << n << " inside the film";
            break;
        }
        EXPECT_EQ(LireNumero(i), n);
    }
    const std::int64_t nombre = moteur->Infos().nombreImages;
    EXPECT_GT(nombre, 5);
    EXPECT_LT(nombre, 40);
    EXPECT_EQ(LireNumero(moteur->Image(nombre - 1)), nombre - 1);
    EXPECT_NEAR(moteur->Infos().dureeMs, nombre * 40.0, 1e-9);
}

const CasTronque kTronques[] = {
    {"mjpeg", CodecFilm::MjpegAvi, 1, 0.6},        {"raw", CodecFilm::RawAvi, 1, 0.5},
    {"mpeg4", CodecFilm::Mpeg4Avi, 12, 0.7},       {"h264", CodecFilm::H264Mp4, 25, 0.7},
    {"h264_one_gop", CodecFilm::H264Mp4, 50, 0.8}, // tail found when first decoded
};
INSTANTIATE_TEST_SUITE_P(Codecs, FilmsTronques, ::testing::ValuesIn(kTronques),
                         [](const auto& info) { return std::string(info.param.nom); });

// A film whose last frames are damaged in place (the file keeps its size and its index): the
// length stops at the last frame that decodes.
TEST(MoteurVideo, DamagedLastFramesShortenTheFilm) {
    ParametresFilm p;
    p.codec = CodecFilm::MjpegAvi;
    p.images = 20;
    QFile original(FilmNumerote(p));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray octets = original.readAll();
    // The frames are the "00dc" chunks of the movie list, in order; blank the last three.
    std::vector<qsizetype> morceaux;
    // The headers and the index at the end name the chunks too: keep those of the movie list.
    const qsizetype film = octets.indexOf("movi");
    for (qsizetype i = octets.indexOf("00dc", film); i >= 0; i = octets.indexOf("00dc", i + 4))
        morceaux.push_back(i);
    const qsizetype index = octets.lastIndexOf("idx1");
    while (!morceaux.empty() && index > 0 && morceaux.back() > index)
        morceaux.pop_back();
    ASSERT_EQ(morceaux.size(), 20u);
    for (std::size_t k = 17; k < 20; ++k) {
        const qsizetype debut = morceaux[k] + 8;
        const quint32 taille = quint32(quint8(octets[morceaux[k] + 4])) |
                               quint32(quint8(octets[morceaux[k] + 5])) << 8 |
                               quint32(quint8(octets[morceaux[k] + 6])) << 16 |
                               quint32(quint8(octets[morceaux[k] + 7])) << 24;
        for (qsizetype i = debut; i < debut + qsizetype(taille) && i < octets.size(); ++i)
            octets[i] = 0;
    }
    const QString chemin = DossierFilms().filePath("abime.avi");
    QFile abime(chemin);
    ASSERT_TRUE(abime.open(QIODevice::WriteOnly));
    abime.write(octets);
    abime.close();

    auto moteur = MoteurVideo::Ouvrir(chemin);
    ASSERT_TRUE(moteur);
    EXPECT_EQ(moteur->Infos().nombreImages, 17);
    EXPECT_NEAR(moteur->Infos().dureeMs, 17 * 40.0, 1e-9);
    EXPECT_EQ(LireNumero(moteur->Image(16)), 16);
    EXPECT_TRUE(moteur->Image(17).isNull());
}

// A damaged film (found by fuzzing the opening) whose frames decode at another size than the
// film's: every frame is handed out at the film's size, which callers index pixels by.
TEST(MoteurVideo, FramesAlwaysHaveTheFilmsSize) {
    MoteurVideo::FixerPrechargementParDefaut(false);
    auto moteur =
        MoteurVideo::Ouvrir(QStringLiteral(KINEPO_TEST_DATA "/fuzz-taille-changeante.avi"));
    MoteurVideo::FixerPrechargementParDefaut(true);
    ASSERT_TRUE(moteur);
    const InfosFilm& infos = moteur->Infos();
    int decodees = 0;
    for (std::int64_t n = 0; n < infos.nombreImages; ++n) {
        const QImage i = moteur->Image(n);
        if (i.isNull()) continue;
        ++decodees;
        EXPECT_EQ(i.size(), QSize(infos.largeur, infos.hauteur)) << "frame " << n;
    }
    EXPECT_GT(decodees, 0);
}

// Files that are not films open to nothing, with a reason, and without a crash.
struct CasMauvais {
    const char* nom;
    const char* fichier;
    std::function<QByteArray()> contenu;
};
// Cases print as their name in test listings.
void PrintTo(const CasMauvais& c, std::ostream* os) {
    *os << c.nom;
}

QByteArray DebutDeFilm(int octets) {
    ParametresFilm p;
    QFile f(FilmNumerote(p));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(octets);
}

QByteArray SonWav() {
    // 0.1 s of 8 kHz 8-bit mono silence.
    const int donnees = 800;
    QByteArray w;
    auto u32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            w.append(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&](quint16 v) {
        w.append(char(v & 0xFF));
        w.append(char(v >> 8));
    };
    w.append("RIFF");
    u32(36 + donnees);
    w.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    w.append("data");
    u32(donnees);
    w.append(QByteArray(donnees, char(0x80)));
    return w;
}

class FichiersMauvais : public ::testing::TestWithParam<CasMauvais> {};

TEST_P(FichiersMauvais, OpenToNothing) {
    const CasMauvais& c = GetParam();
    const QString chemin = DossierFilms().filePath(QString::fromLatin1(c.fichier));
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(c.contenu());
    f.close();
    QString erreur;
    EXPECT_FALSE(MoteurVideo::Ouvrir(chemin, &erreur));
    EXPECT_FALSE(erreur.isEmpty());
}

const CasMauvais kMauvais[] = {
    {"empty", "vide.avi", [] { return QByteArray(); }},
    {"text", "texte.avi", [] { return QByteArray("Ceci n'est pas un film.\r\n").repeated(40); }},
    {"fifty_bytes", "cinquante.avi", [] { return DebutDeFilm(50); }},
    {"header_only", "entete.avi", [] { return DebutDeFilm(2000); }},
    {"sound_only", "son.wav", [] { return SonWav(); }},
    {"noise", "bruit.mpg",
     [] {
         QByteArray b(4096, 0);
         QRandomGenerator g(7);
         for (auto& o : b)
             o = char(g.bounded(256));
         return b;
     }},
};
INSTANTIATE_TEST_SUITE_P(Fichiers, FichiersMauvais, ::testing::ValuesIn(kMauvais),
                         [](const auto& info) { return std::string(info.param.nom); });

// Films with a sound track, made by the ffmpeg command: the sound is skipped, and a file with
// sound only is not a film.
bool Ffmpeg(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-loglevel", "error", "-y"} + arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST(MoteurVideo, SoundTrackIsIgnored) {
    const QString film = DossierFilms().filePath("avec-son.avi");
    ASSERT_TRUE(Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-f", "lavfi", "-i",
                        "sine=frequency=440:sample_rate=22050", "-t", "2", "-c:v", "mjpeg", "-c:a",
                        "pcm_s16le", film}));
    auto moteur = MoteurVideo::Ouvrir(film);
    ASSERT_TRUE(moteur);
    EXPECT_EQ(moteur->Infos().nombreImages, 50);
    EXPECT_NEAR(moteur->Infos().dureeMs, 2000.0, 1e-9);
    EXPECT_FALSE(moteur->Image(49).isNull());
    EXPECT_FALSE(moteur->Image(3).isNull());
}

TEST(MoteurVideo, SoundOnlyAviIsNotAFilm) {
    const QString son = DossierFilms().filePath("son-seul.avi");
    ASSERT_TRUE(Ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050", "-t", "1",
                        "-c:a", "pcm_s16le", son}));
    QString erreur;
    EXPECT_FALSE(MoteurVideo::Ouvrir(son, &erreur));
    EXPECT_FALSE(erreur.isEmpty());
}

TEST(MoteurVideo, MissingFileOpensToNothing) {
    QString erreur;
    EXPECT_FALSE(MoteurVideo::Ouvrir(DossierFilms().filePath("absent.avi"), &erreur));
    EXPECT_FALSE(erreur.isEmpty());
}

} // namespace
