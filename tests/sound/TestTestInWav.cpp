// The recording-mode dialog on a fake input that hands back generated PCM.
#include "platform/audio/Audio.h"
#include "sound/FakeAudio.h"
#include "sound/ui/TestInWav.h"
#include "sound/ui/WavMain.h"
#include "support/FakePlateforme.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace kinepo;
using namespace kinepo::test;

namespace {

class TestWavDlgTest : public ::testing::Test {
protected:
    void Choisir(TTestWavDlg& d, int i) {
        d.ModeGroupe->button(i)->setChecked(true);
        d.ModeRGClick(i);
    }
    AudioFactice audio;
    ReglagesWav reglages;
};

TEST_F(TestWavDlgTest, UnSeulModeChoisiParPosition) {
    audio.entree.capacites = CapacitesEntree{"Micro", Cap22050_16};
    TTestWavDlg d(reglages);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Choix du mode d'enregistrement Micro"));
    ASSERT_EQ(d.Modes().size(), 1u);
    EXPECT_EQ(d.ModeSelectionne(), 0);
    ASSERT_TRUE(d.Surveiller());
    EXPECT_EQ(audio.entree.ouvertures.back(), (FormatPcm{22050, 16, 1}));
    EXPECT_EQ(d.Historique().Longueur(), 16);
}

TEST_F(TestWavDlgTest, PasDEntreeSon) {
    audio.entree.capacites.reset();
    TTestWavDlg d(reglages);
    EXPECT_FALSE(d.Surveiller());
    EXPECT_EQ(test::Dialogues().messages(),
              std::vector<QString>{QStringLiteral("Pas d'entrée son")});
}

TEST_F(TestWavDlgTest, ErreursDOuvertureEtDeDemarrage) {
    struct {
        bool ouvrir, demarrer;
        const char* message;
    } cas[] = {{false, true, "Problem creating record handle"}, {true, false, "Start error"}};
    for (const auto& c : cas) {
        test::ReinitialiserFaux();
        audio.entree.ouvrirOk = c.ouvrir;
        audio.entree.demarrerOk = c.demarrer;
        TTestWavDlg d(reglages);
        EXPECT_FALSE(d.Surveiller());
        EXPECT_EQ(test::Dialogues().messages(),
                  std::vector<QString>{QString::fromLatin1(c.message)});
        EXPECT_TRUE(d.PeutFermer());
    }
}

TEST_F(TestWavDlgTest, NiveauEtHistorique) {
    TTestWavDlg d(reglages); // 11025 Hz 8 bits: L = 4
    ASSERT_TRUE(d.Surveiller());
    EXPECT_EQ(d.ModeSelectionne(), 0);
    EXPECT_EQ(d.Historique().Longueur(), 4);
    audio.entree.amplitude = 1.0;
    ASSERT_TRUE(audio.entree.courante->Livrer());
    EXPECT_EQ(d.VolumePB->value(), 127);
    EXPECT_EQ(d.CourantB->x(), d.VolumePB->x() + 2 * 127 - 2);
    audio.entree.amplitude = 0.0;
    for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(audio.entree.courante->Livrer()) << k;
        EXPECT_EQ(d.VolumePB->value(), 127) << k; // still within the last L + 1 buffers
    }
    ASSERT_TRUE(audio.entree.courante->Livrer());
    EXPECT_EQ(d.VolumePB->value(), 0);
}

TEST_F(TestWavDlgTest, ChangementDeModeAuBufferSuivant) {
    TTestWavDlg d(reglages);
    ASSERT_TRUE(d.Surveiller());
    ASSERT_EQ(audio.entree.ouvertures.size(), 1u);
    Choisir(d, 5); // 44100 Hz 16 bits
    EXPECT_EQ(audio.entree.ouvertures.size(), 1u);
    ASSERT_TRUE(audio.entree.courante->Livrer());
    ASSERT_EQ(audio.entree.ouvertures.size(), 2u);
    EXPECT_EQ(audio.entree.ouvertures.back(), (FormatPcm{44100, 16, 1}));
    EXPECT_EQ(d.Historique().Longueur(), 32);
}

TEST_F(TestWavDlgTest, OKCopieLeModeEtAttendLeRetourDuBuffer) {
    TTestWavDlg d(reglages);
    d.show();
    ASSERT_TRUE(d.Surveiller());
    Choisir(d, 3); // 22050 Hz 16 bits
    audio.entree.courante->Livrer();
    d.BitBtn1->click();
    EXPECT_EQ(reglages.freq, 22050u);
    EXPECT_EQ(reglages.bits, 16u);
    EXPECT_TRUE(d.isVisible()); // refused until the input hands the buffer back
    EXPECT_EQ(audio.entree.reinitialisations, 1);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(TestWavDlgTest, AnnulerNeCopieRien) {
    TTestWavDlg d(reglages);
    d.show();
    ASSERT_TRUE(d.Surveiller());
    Choisir(d, 4);
    d.BitBtn2->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(reglages.freq, 11025u);
}

TEST_F(TestWavDlgTest, VolumeLanceLeMixeurOuDitImpossible) {
    test::Processus().vraiment = false;
    TTestWavDlg d(reglages);
    d.VolumeBtnClick();
    if (ProgrammeMixeur().isEmpty()) {
        EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{QStringLiteral("Impossible")});
    } else {
        ASSERT_EQ(test::Processus().lances.size(), 1u);
        EXPECT_EQ(test::Processus().lances[0].programme, ProgrammeMixeur());
    }
    EXPECT_TRUE(d.VolumeBtn->isHidden());
}

} // namespace
