// The fringe form driven offscreen on the pattern camera: levels of uniform frames, the
// transfer with one and two points, the chart growing every 256 samples (checked on its
// pixels), the stop at 65 001 samples, the transfer button waiting for a sample, a camera
// failing mid-acquisition, the lock note, the points dragged with the mouse and the help.
#include "fringes/ui/MichelsonForm.h"
#include "fringes/ui/MichelsonHlp.h"
#include "platform/camera/ui/TtsCap32.h"
#include "support/Evenements.h"
#include "support/FakeConstante.h"
#include "support/FakePlateforme.h"
#include "support/FilmSynthetique.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;
namespace kt = kinepo::test;

using kinepo::test::Souris;

namespace {

class FormeMichelson : public ::testing::Test {
protected:
    void Camera(ParametresMotif p) {
        FixerFabriqueSourceCamera([p] { return CreerSourceMotif(p); });
    }
    void TearDown() override { FixerFabriqueSourceCamera({}); }

    // A form with its camera connected, the reference taken and a counter of 40 ms per frame.
    std::unique_ptr<TMichelsonForm> Forme(ParametresMotif p = {}) {
        Camera(p);
        auto f = std::make_unique<TMichelsonForm>();
        f->resize(1000, 700);
        f->show();
        f->tsCap321->ouvrirDialogue = [this](CaptureCamera&) { ++dialogues; };
        f->Compteur = [this] { return compteur += 40000000ULL; };
        f->ConnectBtnClick();
        EXPECT_TRUE(f->tsCap321->Connected());
        f->ConfigWebBtnClick();
        return f;
    }
    static void Images(TMichelsonForm& f, int n) {
        for (int i = 0; i < n; ++i)
            f.tsCap321->ImageSuivante();
    }
    std::uint64_t compteur = 0;
    int dialogues = 0;
};

TEST_F(FormeMichelson, UniformFramesGiveBlackAndWhiteLevels) {
    struct Cas {
        int luma;
        double niveau;
    } cas[] = {{16, 0.0}, {235, (2115.0 - 144.0) / 2115.0}};
    for (const Cas& c : cas) {
        ParametresMotif p;
        p.luma = c.luma;
        auto f = Forme(p);
        f->DeuxPointsCB->setChecked(true);
        Images(*f, 1); // waiting: live levels
        EXPECT_EQ(f->LabelNiveauNa->text(), QString::number(c.niveau, 'g', 15));
        EXPECT_EQ(f->LabelNiveauLaser->text(), QString::number(c.niveau, 'g', 15));
        f->DeuxPointsCB->setChecked(false);
        Images(*f, 1);
        EXPECT_EQ(f->LabelNiveauLaser->text(), QString());
        f->DeuxPointsCB->setChecked(true);
        f->StartBtnClick();
        Images(*f, 3);
        ASSERT_EQ(f->Suivi().NombreEchantillons, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(f->Suivi().Lampe[std::size_t(i)], c.niveau);
            EXPECT_DOUBLE_EQ(f->Suivi().Laser[std::size_t(i)], c.niveau);
            EXPECT_NEAR(f->Suivi().Temps[std::size_t(i)], 0.04 * (i + 1), 1e-9);
        }
    }
}

TEST_F(FormeMichelson, ConnectionSizesThePicturesAndPlacesThePoints) {
    ParametresMotif p;
    p.largeur = 160;
    p.hauteur = 120;
    auto f = Forme(p);
    EXPECT_EQ(f->ConnectBtn->text(), "Déconnexion");
    EXPECT_TRUE(f->ConfigWebBtn->isEnabled());
    EXPECT_EQ(f->Suivi().Point1, QPoint(80, 60));
    EXPECT_EQ(f->Suivi().Point2, QPoint(40, 30));
    EXPECT_EQ(f->PaintBox1->size(), QSize(160, 120));
    EXPECT_EQ(f->tsCap321->size(), QSize(160, 120));
    EXPECT_EQ(f->ImageReference().size(), QSize(160, 120));
    EXPECT_EQ(kt::PressePapiers().image.size(), QSize(160, 120));
    EXPECT_EQ(dialogues, 1);
    EXPECT_TRUE(f->StartBtn->isEnabled());
    f->ConnectBtnClick();
    EXPECT_EQ(f->ConnectBtn->text(), " Connexion ");
    EXPECT_FALSE(f->ConfigWebBtn->isEnabled());
    // Not connected, the settings dialog refuses.
    f->ConfigWebBtnClick();
    EXPECT_EQ(kt::Dialogues().messages().back(),
              "Driver dialogs can be called only if component is connected");
}

TEST_F(FormeMichelson, TransferHasTwoOrThreeColumns) {
    struct Cas {
        bool deux;
        QString noms;
        QString nomx;
    } cas[] = {{false, "t\tNa", "&1 NOMX"}, {true, "t\tNa\tLaser", "&2 NOMX"}};
    for (const Cas& c : cas) {
        ParametresMotif p;
        p.luma = 100;
        auto f = Forme(p);
        f->DeuxPointsCB->setChecked(c.deux);
        f->StartBtnClick();
        Images(*f, 4);
        f->StopBtnClick();
        kt::FakeConstante dlg;
        dlg.reponses.push_back({.commentaire = QStringLiteral("sodium")});
        f->TabulaneBtnClick();
        const QStringList l = kt::PressePapiers().contenu.split(QStringLiteral("\r\n"));
        ASSERT_GT(l.size(), 10);
        EXPECT_EQ(l.at(1), "sodium");
        EXPECT_EQ(l.at(2), c.noms);
        EXPECT_EQ(l.at(5).count('\t'), c.deux ? 2 : 1);
        EXPECT_EQ(l.at(9), c.nomx);
        EXPECT_EQ(dlg.macros, std::vector<QString>{"CLIP|LOAD"});
    }
}

// Counts the chart's pixels of one colour.
int Pixels(const QImage& image, QRgb couleur) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffff) == (couleur & 0xffffff);
    return n;
}

TEST_F(FormeMichelson, ChartRescalesEvery256Samples) {
    auto f = Forme(); // rings: the level at the centre moves
    f->DeuxPointsCB->setChecked(true);
    f->StartBtnClick();
    const int debut = f->RedessinsGraphe();
    std::vector<int> redessins;
    int dernier = debut;
    for (int i = 1; i <= 800; ++i) {
        f->tsCap321->ImageSuivante();
        if (f->RedessinsGraphe() != dernier) {
            redessins.push_back(i);
            dernier = f->RedessinsGraphe();
        }
        if (i == 256) {
            // Before the rescale the curve fills the chart's width: 256 × 40 ms of 76.8 s.
            const QImage g = f->ImageGraphe();
            int droite = 0;
            for (int x = 0; x < g.width(); ++x)
                for (int y = 0; y < g.height(); ++y)
                    if ((g.pixel(x, y) & 0xffffff) == 0xffff00) droite = std::max(droite, x);
            EXPECT_NEAR(droite, g.width() * 256 * 0.04 / 76.8, 3);
        }
    }
    EXPECT_EQ(redessins, (std::vector<int>{257, 513, 769}));
    EXPECT_EQ(f->Suivi().PlageTrace, 1024);
    // After the rescales the chart spans 1024 samples at the mean period: the last drawn
    // column is at 800/1024 of the width.
    const QImage g = f->ImageGraphe();
    int droite = 0;
    for (int x = 0; x < g.width(); ++x)
        for (int y = 0; y < g.height(); ++y)
            if ((g.pixel(x, y) & 0xffffff) == 0xffff00) droite = std::max(droite, x);
    EXPECT_NEAR(droite, g.width() * 799.0 / 1024.0, 3);
    EXPECT_GT(Pixels(g, 0xff0000), 0);                          // the laser curve, red
    EXPECT_GT(Pixels(g, 0x000000), g.width() * g.height() / 2); // on black
    // The rings drift by one fringe every 25 frames: 32 maxima in 800 frames.
    EXPECT_NEAR(f->Suivi().Franges.Nombre(), 32, 1);
    EXPECT_EQ(f->FrangesLabel->text(),
              QStringLiteral("Franges : %1").arg(f->Suivi().Franges.Nombre()));
}

TEST_F(FormeMichelson, AcquisitionStopsAfter65001Samples) {
    ParametresMotif p;
    p.luma = 120;
    p.largeur = 16;
    p.hauteur = 16;
    auto f = Forme(p);
    f->StartBtnClick();
    Images(*f, 65000);
    EXPECT_TRUE(f->StopBtn->isEnabled());
    Images(*f, 1);
    EXPECT_FALSE(f->StopBtn->isEnabled());
    EXPECT_TRUE(f->StartBtn->isEnabled());
    EXPECT_TRUE(f->TabulaneBtn->isEnabled());
    EXPECT_FALSE(f->tsCap321->Capturing());
    EXPECT_TRUE(f->tsCap321->Parameter.Preview());
    EXPECT_DOUBLE_EQ(f->tsCap321->Parameter.CaptureRate_fps(), 5);
    Images(*f, 5); // waiting frames write nothing more
    EXPECT_EQ(f->Suivi().NombreEchantillons, 65001);
}

TEST_F(FormeMichelson, TabulaneButtonWaitsForASample) {
    auto f = Forme();
    EXPECT_FALSE(f->TabulaneBtn->isEnabled());
    f->fpsBoutons->button(3)->setChecked(true);
    f->StartBtnClick();
    EXPECT_NEAR(f->tsCap321->Parameter.CaptureRate_fps(), 60, 0.01); // 16 667 µs per frame
    EXPECT_FALSE(f->tsCap321->Parameter.Preview());
    EXPECT_FALSE(f->TabulaneBtn->isEnabled());
    f->StopBtnClick();
    EXPECT_FALSE(f->TabulaneBtn->isEnabled()); // no sample yet
    f->StartBtnClick();
    Images(*f, 1);
    EXPECT_FALSE(f->TabulaneBtn->isEnabled()); // not while acquiring
    f->StopBtnClick();
    EXPECT_TRUE(f->TabulaneBtn->isEnabled());
}

TEST_F(FormeMichelson, CameraFailingMidAcquisitionKeepsTheSamples) {
    ParametresMotif p;
    p.luma = 200;
    p.panneApres = 12; // the reference takes one frame
    auto f = Forme(p);
    f->StartBtnClick();
    Images(*f, 20);
    EXPECT_EQ(f->Suivi().NombreEchantillons, 11);
    EXPECT_FALSE(f->StopBtn->isEnabled());
    EXPECT_FALSE(f->StartBtn->isEnabled());
    EXPECT_TRUE(f->TabulaneBtn->isEnabled());
    EXPECT_FALSE(f->tsCap321->Connected());
    EXPECT_EQ(f->ConnectBtn->text(), " Connexion ");
    ASSERT_FALSE(kt::Dialogues().messages().empty());
    EXPECT_EQ(kt::Dialogues().messages().back(),
              "L'acquisition s'arrête : La webcam ne répond plus. Les 11 mesures prises sont "
              "gardées.");
    kt::FakeConstante dlg;
    dlg.reponses.push_back({});
    f->TabulaneBtnClick();
    EXPECT_EQ(kt::PressePapiers().contenu.count(QStringLiteral("\r\n")), 5 + 11 + 8);
}

TEST_F(FormeMichelson, DisconnectingDuringAnAcquisitionEndsIt) {
    auto f = Forme();
    f->StartBtnClick();
    Images(*f, 4);
    f->ConnectBtnClick();
    EXPECT_FALSE(f->tsCap321->Connected());
    EXPECT_FALSE(f->StopBtn->isEnabled());
    EXPECT_FALSE(f->StartBtn->isEnabled());
    EXPECT_TRUE(f->TabulaneBtn->isEnabled());
    EXPECT_EQ(f->Suivi().NombreEchantillons, 4);
    EXPECT_TRUE(kt::Dialogues().messages().empty());
}

TEST_F(FormeMichelson, LockOfTheAutomaticModesOrANote) {
    struct Cas {
        bool verrouillable;
        QString note;
    } cas[] = {{true, "Exposition et gain automatiques bloqués"},
               {false, "Cette webcam ne permet pas de bloquer l'exposition et le gain "
                       "automatiques"}};
    for (const Cas& c : cas) {
        ParametresMotif p;
        p.verrouillable = c.verrouillable;
        auto f = Forme(p);
        f->StartBtnClick();
        EXPECT_EQ(f->VerrouLabel->text(), c.note);
    }
}

TEST_F(FormeMichelson, PointsAreDraggedAndStayInside) {
    auto f = Forme(); // 320 × 240: points at (160, 120) and (80, 60)
    f->DeuxPointsCB->setChecked(true);
    QWidget* pb = f->PaintBox1;
    // Point 1 grabbed within 8 pixels, dragged, released.
    Souris(pb, QEvent::MouseButtonPress, {165, 123}, Qt::LeftButton);
    EXPECT_EQ(pb->statusTip(), "Centre des anneaux");
    Souris(pb, QEvent::MouseMove, {200, 150}, Qt::LeftButton);
    EXPECT_EQ(f->Suivi().Point1, QPoint(200, 150));
    Souris(pb, QEvent::MouseMove, {318, 150}, Qt::LeftButton); // too near the edge: ignored
    EXPECT_EQ(f->Suivi().Point1, QPoint(200, 150));
    Souris(pb, QEvent::MouseButtonRelease, {210, 150}, Qt::NoButton);
    EXPECT_EQ(f->Suivi().Point1, QPoint(210, 150));
    // Point 2, nearer, wins over point 1; beyond 8 pixels nothing is grabbed.
    f->Suivi().Point1 = {86, 60};
    Souris(pb, QEvent::MouseButtonPress, {82, 60}, Qt::LeftButton);
    EXPECT_EQ(pb->statusTip(), "Trace du faisceau Laser");
    Souris(pb, QEvent::MouseButtonRelease, {30, 40}, Qt::NoButton);
    EXPECT_EQ(f->Suivi().Point2, QPoint(30, 40));
    Souris(pb, QEvent::MouseButtonPress, {300, 20}, Qt::LeftButton);
    EXPECT_EQ(pb->statusTip(), "On peut déplacer les points de mesure par glisser déplacer");
    Souris(pb, QEvent::MouseButtonRelease, {290, 30}, Qt::NoButton);
    EXPECT_EQ(f->Suivi().Point1, QPoint(86, 60));
    EXPECT_EQ(f->Suivi().Point2, QPoint(30, 40));
    // The crosses are drawn on the reference: black at point 1, red at point 2.
    QImage vu(pb->size(), QImage::Format_RGB32);
    pb->render(&vu);
    EXPECT_EQ(vu.pixel(86 + 5, 60) & 0xffffff, 0x000000u);
    EXPECT_EQ(vu.pixel(30, 40 - 5) & 0xffffff, 0xff0000u);
}

TEST_F(FormeMichelson, HelpWindow) {
    auto f = Forme();
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    f->HelpBtnClick();
    ASSERT_NE(f->Aide(), nullptr);
    EXPECT_EQ(f->Aide()->windowTitle(), "Aide Michelson");
    EXPECT_EQ(f->Aide()->size(), QSize(522, 265));
    EXPECT_TRUE(f->Aide()->windowFlags() & Qt::WindowStaysOnTopHint);
    const QStringList l = f->Aide()->Memo1->toPlainText().split('\n');
    ASSERT_EQ(l.size(), 15);
    EXPECT_EQ(l.at(5), "Dans \"Réglages\"  ");
    for (int i : {2, 4, 11, 14})
        EXPECT_TRUE(l.at(i).isEmpty()) << i;
    EXPECT_TRUE(f->Aide()->Memo1->isReadOnly());
}

TEST_F(FormeMichelson, QuitDisconnects) {
    auto f = Forme();
    f->QuitterBtnClick();
    EXPECT_FALSE(f->tsCap321->Connected());
    EXPECT_FALSE(f->isVisible());
    // Closed while acquiring: the acquisition ends with its samples, the camera is let go.
    f->show();
    f->ConnectBtnClick();
    f->ConfigWebBtnClick();
    f->StartBtnClick();
    Images(*f, 3);
    f->close();
    EXPECT_FALSE(f->tsCap321->Capturing());
    EXPECT_FALSE(f->tsCap321->Connected());
    EXPECT_EQ(f->Suivi().NombreEchantillons, 3);
    EXPECT_TRUE(f->TabulaneBtn->isEnabled());
}

// A recorded experiment replayed: the film named by KINEPO_CAMERA is the camera, in a loop.
TEST_F(FormeMichelson, FilmNamedByTheEnvironmentIsReplayedInALoop) {
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("experience.avi"));
    kt::ParametresFilm pf;
    pf.codec = kt::CodecFilm::RawAvi;
    pf.largeur = 40;
    pf.hauteur = 30;
    pf.images = 3;
    const int gris[3] = {0, 255, 0};
    ASSERT_TRUE(kt::EcrireFilm(chemin, pf, [&](int n) {
        QImage g(40, 30, QImage::Format_RGB888);
        g.fill(QColor(gris[n], gris[n], gris[n]));
        return g;
    }));
    qputenv("KINEPO_CAMERA", ("film:" + chemin).toLocal8Bit());
    auto f = std::make_unique<TMichelsonForm>();
    f->Compteur = [this] { return compteur += 40000000ULL; };
    f->tsCap321->ouvrirDialogue = [](CaptureCamera&) {};
    f->ConnectBtnClick();
    qunsetenv("KINEPO_CAMERA");
    ASSERT_TRUE(f->tsCap321->Connected());
    EXPECT_EQ(f->tsCap321->NomSource(), chemin);
    EXPECT_EQ(f->Suivi().Point1, QPoint(20, 15));
    f->ConfigWebBtnClick(); // the reference takes frame 0
    EXPECT_EQ(f->ImageReference().size(), QSize(40, 30));
    f->StartBtnClick();
    Images(*f, 5); // frames 1, 2, 0, 1, 2
    ASSERT_EQ(f->Suivi().NombreEchantillons, 5);
    const double blanc = (2115.0 - 144.0) / 2115.0;
    const double attendu[5] = {blanc, 0, 0, blanc, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(f->Suivi().Lampe[std::size_t(i)], attendu[i]) << i;
    EXPECT_TRUE(f->StopBtn->isEnabled());
}

} // namespace
