// Films from phones in the engine and its two players: frames turned upright at their upright
// size, every frame at its own time, and the capture rate of a slow-motion film.
#include "support/FilmsTelephone.h"
#include "platform/video/LecteurFilm.h"
#include "platform/video/LecteurMci.h"
#include "platform/video/MoteurVideo.h"
#include "platform/video/RotationImage.h"
#include "tests/platform/FilmsDeTest.h"

#include <QProcess>
#include <QTransform>
#include <gtest/gtest.h>
#include <ostream>

using namespace kinepo;
using namespace kinepo::test;

namespace {

QByteArray Octets(const QImage& i) {
    const QImage rgb = i.convertToFormat(QImage::Format_RGB888);
    QByteArray octets;
    for (int y = 0; y < rgb.height(); ++y)
        octets.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return octets;
}

QString Ecrire(const QString& nom, const FilmTelephone& f) {
    const QString chemin = DossierFilms().filePath(nom);
    QString erreur;
    EXPECT_TRUE(EcrireFilmTelephone(chemin, f, &erreur)) << erreur.toStdString();
    return chemin;
}

// A picture whose every pixel differs from its neighbours, so that any misplaced pixel shows.
QImage Motif(int w, int h) {
    QImage i(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            i.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (y * 5 + x * 3) & 0xFF, (x * y) & 0xFF));
    return i;
}

TEST(RotationImage, QuarterTurnsMatchQtsOwnTransform) {
    const QSize tailles[] = {{1, 1}, {37, 23}, {32, 64}, {65, 97}, {200, 3}};
    const int angles[] = {0, 90, 180, 270, -90, 450};
    for (const QSize t : tailles)
        for (const int a : angles) {
            const QImage source = Motif(t.width(), t.height());
            // Qt turns exactly only by angles of 0 to 359 degrees.
            const QImage attendu = source.transformed(QTransform().rotate((a % 360 + 360) % 360));
            const QImage obtenu = TournerImage(source, a);
            EXPECT_EQ(obtenu.size(), attendu.size()) << t.width() << "x" << t.height() << " " << a;
            EXPECT_EQ(Octets(obtenu), Octets(attendu))
                << t.width() << "x" << t.height() << " " << a;
        }
    EXPECT_EQ(QuartDeTour(-90), 270);
    EXPECT_EQ(QuartDeTour(720), 0);
    EXPECT_EQ(QuartDeTour(45), -1);
    EXPECT_TRUE(TournerImage(QImage(), 90).isNull());
}

struct CasTourne {
    const char* nom;
    CodecFilm codec;
    int rotation;
};
void PrintTo(const CasTourne& c, std::ostream* os) {
    *os << c.nom;
}

class FilmsTournes : public ::testing::TestWithParam<CasTourne> {};

TEST_P(FilmsTournes, FramesComeUprightAtTheUprightSize) {
    const CasTourne& c = GetParam();
    FilmTelephone f;
    f.codec = c.codec;
    f.rotation = c.rotation;
    const QString chemin =
        Ecrire(QStringLiteral("tourne-%1.%2").arg(c.nom).arg(ExtensionFilm(c.codec)), f);
    auto moteur = MoteurVideo::Ouvrir(chemin);
    ASSERT_TRUE(moteur);
    EXPECT_EQ(moteur->Infos().rotation, c.rotation);
    EXPECT_EQ(moteur->Infos().largeur, 120);
    EXPECT_EQ(moteur->Infos().hauteur, 160);
    ASSERT_EQ(moteur->Infos().nombreImages, f.images);
    // Forward, back and by a seek: always the upright picture.
    const int ordre[] = {0, 1, 2, 3, 2, 1, 7, 4, 5};
    for (const int n : ordre) {
        const QImage image = moteur->Image(n);
        ASSERT_EQ(image.size(), QSize(120, 160)) << n;
        if (c.codec == CodecFilm::RawMov)
            EXPECT_EQ(Octets(image), Octets(ImageDroite(f, n))) << "frame " << n;
        else
            EXPECT_EQ(LireNumero(image), n);
    }

    // FFmpeg's own player turns the film the same way.
    if (c.codec == CodecFilm::RawMov) {
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"), {"-v", "error", "-i", chemin, "-frames:v", "1", "-f",
                                                "rawvideo", "-pix_fmt", "rgb24", "-"});
        ASSERT_TRUE(ffmpeg.waitForFinished(30000));
        EXPECT_EQ(ffmpeg.readAllStandardOutput(), Octets(ImageDroite(f, 0)));
    }

    // Both players show the same upright frames.
    LecteurMci mci;
    ASSERT_TRUE(mci.Ouvrir(chemin));
    EXPECT_EQ(mci.RectangleAffichage(), QRect(0, 0, 120, 160));
    mci.Pas(+1, false);
    mci.SetRectangleAffichage(QRect(0, 0, 240, 320));
    const QImage zoomee = mci.ImageAffichee();
    ASSERT_EQ(zoomee.size(), QSize(240, 320));
    EXPECT_EQ(zoomee.pixel(2 * 17 + 1, 2 * 101 + 1), mci.ImageDecodee().pixel(17, 101));
    LecteurFilm film;
    ASSERT_TRUE(film.Ouvrir(chemin));
    EXPECT_EQ(film.Largeur(), 120);
    EXPECT_EQ(film.Hauteur(), 160);
    film.AllerImage(3);
    const QImage copie = film.CopierImage();
    if (c.codec == CodecFilm::RawMov)
        EXPECT_EQ(Octets(copie), Octets(ImageDroite(f, 3)));
    else
        EXPECT_EQ(LireNumero(copie), 3);
}

const CasTourne kTournes[] = {
    {"raw_0", CodecFilm::RawMov, 0},     {"raw_90", CodecFilm::RawMov, 90},
    {"raw_180", CodecFilm::RawMov, 180}, {"raw_270", CodecFilm::RawMov, 270},
    {"h264_90", CodecFilm::H264Mp4, 90}, {"mpeg4_270", CodecFilm::Mpeg4Mov, 270},
};
INSTANTIATE_TEST_SUITE_P(Rotations, FilmsTournes, ::testing::ValuesIn(kTournes),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(FilmsTelephone, VariableRateFramesKeepTheirOwnTimes) {
    FilmTelephone f;
    f.tempsMs = {0, 33, 70, 100, 180, 190, 260, 400};
    const QString chemin = Ecrire(QStringLiteral("cadence-variable.mov"), f);
    auto moteur = MoteurVideo::Ouvrir(chemin);
    ASSERT_TRUE(moteur);
    ASSERT_EQ(moteur->Infos().nombreImages, 8);
    LecteurFilm film;
    ASSERT_TRUE(film.Ouvrir(chemin));
    LecteurMci mci;
    ASSERT_TRUE(mci.Ouvrir(chemin));
    for (int n = 0; n < 8; ++n) {
        const double ms = double(f.tempsMs[std::size_t(n)]);
        EXPECT_DOUBLE_EQ(moteur->TempsMs(n), ms) << n;
        EXPECT_EQ(moteur->ImageA(ms), n);
        EXPECT_EQ(moteur->ImageA(ms - 0.5), std::max(0, n - 1));
        EXPECT_EQ(LireNumero(moteur->Image(n)), n);
        film.AllerImage(n);
        EXPECT_DOUBLE_EQ(film.Position(), ms / 1000.0);
        EXPECT_DOUBLE_EQ(mci.Position(), ms);
        mci.Pas(+1, false);
    }
    EXPECT_GT(moteur->Infos().dureeMs, 400.0);
}

struct CasCapture {
    const char* nom;
    QByteArray valeur;
    double attendue;
};
void PrintTo(const CasCapture& c, std::ostream* os) {
    *os << c.nom;
}
class Captures : public ::testing::TestWithParam<CasCapture> {};

TEST_P(Captures, CaptureRateComesFromTheMetadata) {
    const CasCapture& c = GetParam();
    FilmTelephone f;
    f.captureFps = c.valeur;
    auto moteur = MoteurVideo::Ouvrir(Ecrire(QStringLiteral("capture-%1.mov").arg(c.nom), f));
    ASSERT_TRUE(moteur);
    EXPECT_DOUBLE_EQ(moteur->Infos().cadenceCapture, c.attendue);
    EXPECT_DOUBLE_EQ(moteur->Infos().cadenceFichier, 30.0);
}

const CasCapture kCaptures[] = {
    {"none", QByteArray(), 0},        {"android240", "240.000000", 240}, {"plain120", "120", 120},
    {"fractional", "119.88", 119.88}, {"nonsense", "vite", 0},           {"negative", "-240", 0},
};
INSTANTIATE_TEST_SUITE_P(Metadonnees, Captures, ::testing::ValuesIn(kCaptures),
                         [](const auto& info) { return std::string(info.param.nom); });

} // namespace
