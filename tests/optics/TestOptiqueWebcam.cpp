// The profile form on the pattern camera: connection and the camera's format, the 500 ms
// refresh as the only one, no refresh while a handle is held, activation, the transfer from
// the webcam, disconnection, a camera that cannot be opened, and a file opened meanwhile.
#include "ImagesOptique.h"
#include "common/BmpFile.h"
#include "optics/ui/OptiqueForm.h"
#include "platform/Chemins.h"
#include "platform/camera/ui/TtsCap32.h"
#include "support/Evenements.h"
#include "support/FakeConstante.h"
#include "support/FakePlateforme.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;
namespace kt = kinepo::test;

using kinepo::test::Souris;

namespace {

class WebcamOptique : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(NomFichierIni());
        // Frame n is uniform at luma 16 + n: each refresh is told apart by its picture.
        ParametresMotif p;
        p.largeur = 64;
        p.hauteur = 48;
        p.generateur = [](int n, std::uint8_t* l, int w, int h) {
            std::fill(l, l + w * h, std::uint8_t(std::min(235, 16 + n)));
        };
        FixerFabriqueSourceCamera([p] { return CreerSourceMotif(p); });
        forme = std::make_unique<TOptiqueForm>();
        forme->setWindowState(Qt::WindowNoState);
        forme->resize(1270, 960);
        forme->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        forme.reset();
        FixerFabriqueSourceCamera({});
    }
    int Gris() const { return qRed(forme->ImageTenue().pixel(10, 10)); }
    std::unique_ptr<TOptiqueForm> forme;
};

TEST_F(WebcamOptique, ConnectionTakesTheCameraFormat) {
    forme->sbAcquireClick();
    EXPECT_TRUE(forme->tsCap321->Connected());
    EXPECT_EQ(forme->ConnectBtn->text(), "Déconnexion");
    EXPECT_EQ(forme->NomSource(), "Webcam");
    EXPECT_EQ(forme->windowTitle(), "Lecture d'images pour Tabulane à partir de Webcam");
    EXPECT_EQ(forme->dimLabel->text(), "64x48");
    EXPECT_EQ(forme->Profil().Image, QSize(64, 48));
    EXPECT_EQ(forme->Profil().Poignee[1], QPoint(32, 24));
    for (QPushButton* b :
         {forme->ConfigWebCamBtn, forme->TabulaneBtn, forme->SaveFileBtn, forme->TextFileBtn})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(forme->Timer1->isActive());
    EXPECT_EQ(forme->Timer1->interval(), 500);
    EXPECT_TRUE(forme->tsCap321->Parameter.Preview());
}

TEST_F(WebcamOptique, ProfileRefreshesOnlyAtTheTickAndNotWhileAHandleIsHeld) {
    forme->sbAcquireClick();
    const int avant = forme->NombreCalculs();
    forme->Timer1Timer();
    EXPECT_EQ(forme->NombreCalculs(), avant + 1);
    EXPECT_EQ(forme->ImageTenue().size(), QSize(64, 48));
    EXPECT_EQ(kt::PressePapiers().ecritures, 0); // the user's clipboard is left alone
    const int premier = Gris();
    // The capture's own frames (preview) do not recompute: only the 500 ms tick does.
    for (int i = 0; i < 6; ++i)
        forme->tsCap321->ImageSuivante();
    EXPECT_EQ(forme->NombreCalculs(), avant + 1);
    // A uniform frame gives a flat profile at its grey level.
    const ProfilOptique& p = forme->Profil();
    EXPECT_NEAR(p.Intensite[0], premier / 255.0, 1e-12);

    // Handle 1 held: ticks leave the picture and the profile alone.
    const QPoint ecran(int(p.Poignee[1].x() * p.Zoom), int(p.Poignee[1].y() * p.Zoom));
    Souris(forme->Image1, QEvent::MouseButtonPress, ecran, Qt::LeftButton);
    ASSERT_EQ(p.PoigneeSaisie, 1);
    const int tenu = Gris();
    forme->Timer1Timer();
    forme->Timer1Timer();
    EXPECT_EQ(forme->NombreCalculs(), avant + 1);
    EXPECT_EQ(Gris(), tenu);
    Souris(forme->Image1, QEvent::MouseButtonRelease, ecran, Qt::NoButton);
    EXPECT_EQ(forme->NombreCalculs(), avant + 2); // the release computes
    forme->Timer1Timer();
    EXPECT_EQ(forme->NombreCalculs(), avant + 3);
    EXPECT_GT(Gris(), tenu); // a newer frame
}

TEST_F(WebcamOptique, ActivationDrivesTheTimerAndThePreview) {
    forme->Activation(false); // not connected: both stay off
    EXPECT_FALSE(forme->Timer1->isActive());
    forme->sbAcquireClick();
    forme->Activation(false);
    EXPECT_FALSE(forme->Timer1->isActive());
    EXPECT_FALSE(forme->tsCap321->Parameter.Preview());
    forme->Activation(true);
    EXPECT_TRUE(forme->Timer1->isActive());
    EXPECT_TRUE(forme->tsCap321->Parameter.Preview());
}

TEST_F(WebcamOptique, TransferNamesTheWebcamAndDisconnectionKeepsTheLastFrame) {
    forme->sbAcquireClick();
    forme->Timer1Timer();
    kt::FakeConstante dlg;
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    EXPECT_FALSE(forme->Timer1->isActive());
    EXPECT_FALSE(forme->tsCap321->Parameter.Preview());
    const QStringList l = kt::PressePapiers().contenu.split(QStringLiteral("\r\n"));
    ASSERT_GE(l.size(), 3);
    EXPECT_EQ(l.at(l.size() - 3), "&1 FICHIER");
    EXPECT_EQ(l.at(l.size() - 2), "Webcam");

    const QImage derniere = forme->ImageTenue();
    forme->sbAcquireClick();
    EXPECT_FALSE(forme->tsCap321->Connected());
    EXPECT_EQ(forme->ConnectBtn->text(), "Connexion");
    EXPECT_FALSE(forme->Timer1->isActive());
    EXPECT_FALSE(forme->ConfigWebCamBtn->isEnabled());
    EXPECT_FALSE(forme->TabulaneBtn->isEnabled());
    EXPECT_FALSE(forme->SaveFileBtn->isEnabled());
    EXPECT_TRUE(forme->TextFileBtn->isEnabled());
    EXPECT_EQ(forme->NomSource(), "Webcam");
    EXPECT_EQ(forme->ImageTenue(), derniere);
    forme->Calculer(); // the handles can still be moved and the profile recomputed
    EXPECT_NEAR(forme->Profil().Intensite[0], Gris() / 255.0, 1e-12);
}

TEST_F(WebcamOptique, CameraThatCannotOpenLeavesNoSource) {
    FixerFabriqueSourceCamera([] { return CreerSourceV4l2("/dev/kinepo-aucune"); });
    forme->sbAcquireClick();
    EXPECT_FALSE(forme->tsCap321->Connected());
    EXPECT_TRUE(forme->NomSource().isEmpty());
    EXPECT_EQ(forme->ConnectBtn->text(), "Connexion");
    EXPECT_FALSE(forme->ConfigWebCamBtn->isEnabled());
    EXPECT_FALSE(forme->Timer1->isActive());
    ASSERT_FALSE(kt::Dialogues().messages().empty());
    EXPECT_TRUE(kt::Dialogues().messages().back().startsWith("Aucune webcam"));
}

TEST_F(WebcamOptique, OpeningAFileDisconnects) {
    QTemporaryDir dir;
    const QString chemin = dir.filePath("gris.bmp");
    ASSERT_TRUE(EcrireBmp24(kt::ImageGrise(100, 80), chemin));
    forme->sbAcquireClick();
    forme->OuvrirFichier(chemin);
    EXPECT_FALSE(forme->tsCap321->Connected());
    EXPECT_FALSE(forme->Timer1->isActive());
    EXPECT_EQ(forme->ConnectBtn->text(), "Connexion");
    EXPECT_EQ(forme->NomSource(), chemin);
    EXPECT_FALSE(forme->ConfigWebCamBtn->isEnabled());
}

} // namespace
