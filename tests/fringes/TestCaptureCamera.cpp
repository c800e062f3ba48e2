// The capture control on the pattern and film sources: connection, format, rates, the source
// dialog's refusal, frames at capture and preview, the clipboard picture, a source failing,
// the choice of source, and the luma plane of films.
#include "platform/camera/CaptureCamera.h"
#include "platform/camera/SourceCamera.h"
#include "support/FakePlateforme.h"
#include "support/FilmSynthetique.h"

#include <QColor>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;
namespace kt = kinepo::test;

namespace {

// Installs a source for the test and restores the choice afterwards.
struct SourceDeTest {
    explicit SourceDeTest(ParametresMotif p)
        : ancienne(FixerFabriqueSourceCamera([p] { return CreerSourceMotif(p); })) {}
    ~SourceDeTest() { FixerFabriqueSourceCamera(ancienne); }
    FabriqueSourceCamera ancienne;
};

TEST(CaptureCamera, ConnectionFormatAndRates) {
    ParametresMotif p;
    p.largeur = 64;
    p.hauteur = 48;
    SourceDeTest s(p);
    CaptureCamera c;
    std::vector<bool> etats;
    c.OnConnected = [&](bool b) { etats.push_back(b); };
    EXPECT_EQ(c.Parameter.ImageWidth(), 0);
    EXPECT_EQ(c.Parameter.CaptureRate_fps(), -1);
    try {
        c.Parameter.SetDlgSource(true);
        ADD_FAILURE() << "a dialog without connection";
    } catch (const ErreurCamera& e) {
        EXPECT_EQ(e.Message(), "Driver dialogs can be called only if component is connected");
    }
    c.SetConnected(true);
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(c.Parameter.ImageWidth(), 64);
    EXPECT_EQ(c.Parameter.ImageHeight(), 48);
    c.Parameter.SetCaptureRate_fps(25);
    EXPECT_DOUBLE_EQ(c.Parameter.CaptureRate_fps(), 25);
    c.Parameter.SetCaptureRate_fps(0); // ignored
    EXPECT_DOUBLE_EQ(c.Parameter.CaptureRate_fps(), 25);
    c.Parameter.SetCaptureRate_fps(30); // 33333 µs per frame
    EXPECT_NEAR(c.Parameter.CaptureRate_fps(), 30, 1e-3);
    c.Parameter.SetPreviewRate_fps(5);
    EXPECT_DOUBLE_EQ(c.Parameter.PreviewRate_fps(), 5);
    EXPECT_NO_THROW(c.Parameter.SetDlgSource(true));
    c.SetConnected(false);
    EXPECT_EQ(etats, (std::vector<bool>{true, false}));
}

TEST(CaptureCamera, FramesClipboardAndLock) {
    ParametresMotif p;
    p.largeur = 16;
    p.hauteur = 8;
    p.generateur = [](int n, std::uint8_t* l, int w, int h) {
        std::fill(l, l + w * h, std::uint8_t(16 + n));
    };
    SourceDeTest s(p);
    CaptureCamera c;
    std::vector<int> premiers;
    c.OnFrame = [&](const ImageCamera& i) {
        EXPECT_EQ(i.largeur, 16);
        premiers.push_back(i.luma[0]);
    };
    c.ImageSuivante(); // not connected: nothing
    c.SetConnected(true);
    c.CapOrder(OrdreCapture::start);
    EXPECT_TRUE(c.Capturing());
    c.ImageSuivante();
    c.ImageSuivante();
    const QImage image = c.CopyToClipBoard(); // frame 2, luma 18
    EXPECT_EQ(image.size(), QSize(16, 8));
    EXPECT_EQ(kt::PressePapiers().image.size(), QSize(16, 8));
    EXPECT_EQ(QColor(image.pixel(3, 3)).red(), qRound(1.164383 * 2));
    c.ImageSuivante();
    EXPECT_EQ(premiers, (std::vector<int>{16, 17, 19}));
    c.CapOrder(OrdreCapture::stop);
    EXPECT_FALSE(c.Capturing());
    QString raison;
    EXPECT_TRUE(c.VerrouillerAutomatismes(raison));
    for (const ControleCamera& k : c.Controles()) {
        if (k.id == 1 || k.id == 2) {
            EXPECT_EQ(k.valeur, 0) << k.nom.toStdString();
        }
    }
}

TEST(CaptureCamera, LockRefusedSaysWhy) {
    ParametresMotif p;
    p.verrouillable = false;
    SourceDeTest s(p);
    CaptureCamera c;
    QString raison;
    EXPECT_FALSE(c.VerrouillerAutomatismes(raison));
    c.SetConnected(true);
    EXPECT_FALSE(c.VerrouillerAutomatismes(raison));
    EXPECT_TRUE(raison.contains(QStringLiteral("bloquer")));
}

TEST(CaptureCamera, SourceFailingStopsAndDisconnects) {
    ParametresMotif p;
    p.panneApres = 3;
    SourceDeTest s(p);
    CaptureCamera c;
    int images = 0;
    QString panne;
    c.OnFrame = [&](const ImageCamera&) { ++images; };
    c.OnPanne = [&](const QString& r) { panne = r; };
    c.SetConnected(true);
    c.CapOrder(OrdreCapture::start);
    for (int i = 0; i < 5; ++i)
        c.ImageSuivante();
    EXPECT_EQ(images, 3);
    EXPECT_EQ(panne, "La webcam ne répond plus");
    EXPECT_FALSE(c.Connected());
    EXPECT_FALSE(c.Capturing());
}

TEST(SourceCamera, ChoiceByName) {
    struct Cas {
        const char* nom;
        QSize taille;
        bool erreur;
    } cas[] = {
        {"motif", {320, 240}, false},
        {"motif:largeur=40,hauteur=30,luma=235", {40, 30}, false},
        {"motif:couleur=2", {}, true},
        {"motif:luma=300", {}, true},
        {"v4l2:/dev/kinepo-aucune", {}, true}, // no such camera: an error, never a stand-in
    };
    for (const Cas& c : cas) {
        qputenv("KINEPO_CAMERA", c.nom);
        try {
            auto s = CreerSourceCamera();
            s->Ouvrir();
            EXPECT_FALSE(c.erreur) << c.nom;
            EXPECT_EQ(s->Taille(), c.taille) << c.nom;
        } catch (const ErreurCamera& e) {
            EXPECT_TRUE(c.erreur) << c.nom << ": " << e.what();
            EXPECT_FALSE(e.Message().isEmpty());
        }
    }
    qunsetenv("KINEPO_CAMERA");
}

TEST(SourceCamera, FilmLumaIsLimitedRangeWithItsTimestamps) {
    QTemporaryDir dir;
    struct Cas {
        kt::CodecFilm codec;
        int gris;
        int luma;
        int tolerance;
    } cas[] = {
        {kt::CodecFilm::RawAvi, 0, 16, 0}, // RGB converted
        {kt::CodecFilm::RawAvi, 255, 235, 0},
        {kt::CodecFilm::MjpegAvi, 255, 235, 2}, // full-range YUV converted
        {kt::CodecFilm::Mpeg4Avi, 0, 16, 2},    // the film's own Y plane
        {kt::CodecFilm::Mpeg4Avi, 255, 235, 2},
    };
    int n = 0;
    for (const Cas& c : cas) {
        const QString chemin =
            dir.filePath(QStringLiteral("f%1.%2").arg(n++).arg(kt::ExtensionFilm(c.codec)));
        kt::ParametresFilm pf;
        pf.codec = c.codec;
        pf.largeur = 32;
        pf.hauteur = 24;
        pf.images = 4;
        QImage g(32, 24, QImage::Format_RGB888);
        g.fill(QColor(c.gris, c.gris, c.gris));
        ASSERT_TRUE(kt::EcrireFilm(chemin, pf, [&](int) { return g; }));
        auto s = CreerSourceFilm(chemin, false);
        s->Ouvrir();
        EXPECT_EQ(s->Taille(), QSize(32, 24));
        std::vector<double> temps;
        QString raison;
        for (;;) {
            const EtatLecture e = s->Lire(
                [&](const ImageCamera& i) {
                    temps.push_back(i.tempsS);
                    EXPECT_NEAR(i.luma[12 * 32 + 16], c.luma, c.tolerance) << chemin.toStdString();
                },
                raison);
            if (e != EtatLecture::Image) {
                EXPECT_EQ(e, EtatLecture::Fin) << raison.toStdString();
                break;
            }
        }
        ASSERT_EQ(temps.size(), std::size_t(4));
        for (std::size_t k = 0; k < temps.size(); ++k)
            EXPECT_NEAR(temps[k], 0.04 * double(k), 1e-9);
    }
    auto bogus = CreerSourceFilm(dir.filePath("absent.avi"), false);
    EXPECT_THROW(bogus->Ouvrir(), ErreurCamera);
}

// The real camera, where the machine has one.
TEST(SourceCamera, V4l2CameraGivesALumaPlane) {
    if (!QFile::exists(QStringLiteral("/dev/video0")))
        GTEST_SKIP() << "no camera at /dev/video0 on this machine";
    auto s = CreerSourceV4l2(QStringLiteral("/dev/video0"));
    try {
        s->Ouvrir();
    } catch (const ErreurCamera& e) {
        GTEST_SKIP() << "/dev/video0 does not capture: " << e.what();
    }
    const QSize taille = s->Taille();
    EXPECT_GT(taille.width(), 0);
    EXPECT_GT(taille.height(), 0);
    QString raison;
    QImage couleur;
    int image = 0;
    for (int essai = 0; essai < 10 && image == 0; ++essai)
        s->Lire(
            [&](const ImageCamera& i) {
                ++image;
                EXPECT_EQ(QSize(i.largeur, i.hauteur), taille);
                couleur = i.couleur();
            },
            raison, 500);
    EXPECT_EQ(image, 1) << raison.toStdString();
    EXPECT_EQ(couleur.size(), taille);
    s->Fermer();
}

} // namespace
