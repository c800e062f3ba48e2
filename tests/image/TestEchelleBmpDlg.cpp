// The scale dialog: reload on activation, mode layout, OK rules, Cancel.
#include "FakeEchelle.h"
#include "common/Nombres.h"
#include "image/ui/EchelleBmpDlg.h"
#include "support/FakePlateforme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

class DialogueEchelle : public ::testing::Test {
protected:
    void SetUp() override { FixerSeparateurDecimal(u','); }
    void TearDown() override { SeparateurDecimalDuSysteme(); }
    ImageCalibration calib;
    QRgb couleur = qRgb(255, 0, 0);
    TEchelleBmpDlg d{calib, couleur};
    test::FakeEchelle fake;
};

} // namespace

TEST_F(DialogueEchelle, AnnulerGardeUneUniteTapeeMaisPasUneLongueur) {
    fake.reponses.push_back([](TEchelleBmpDlg& dlg) {
        dlg.UniteY->setText("cm");
        dlg.EditY->setText("25");
        return false;
    });
    EXPECT_FALSE(d.Montrer());
    EXPECT_DOUBLE_EQ(calib.RefLengthY, 1.0);
    EXPECT_EQ(d.Noms().uniteY, "cm");
    fake.reponses.push_back([](TEchelleBmpDlg& dlg) {
        EXPECT_EQ(dlg.EditY->text(), "1");
        EXPECT_EQ(dlg.UniteY->text(), "cm");
        return true;
    });
    EXPECT_TRUE(d.Montrer());
}

TEST_F(DialogueEchelle, LActivationRechargeLesChamps) {
    calib.RefLengthY = 0.000012345678;
    calib.TimeStep = 0.04;
    calib.AxesMode = TwoAxes;
    calib.HasReference = false;
    d.FormActivate();
    EXPECT_EQ(d.EditY->text(), "1,2346E-5");
    EXPECT_EQ(d.EditT->text(), "0,04");
    EXPECT_TRUE(d.AxesItems[TwoAxes]->isChecked());
    EXPECT_FALSE(d.ReferenceCB->isChecked());
    // What was typed is lost when the application comes back to the dialog.
    d.EditY->setText("3");
    d.AxesItems[OneAxis]->click();
    d.ReferenceCB->setChecked(true);
    d.NbreSE->setValue(3);
    d.FormActivate();
    EXPECT_EQ(d.EditY->text(), "1,2346E-5");
    EXPECT_TRUE(d.AxesItems[TwoAxes]->isChecked());
    EXPECT_FALSE(d.ReferenceCB->isChecked());
    EXPECT_EQ(d.NbreSE->value(), 3); // not reloaded
}

struct CasDisposition {
    int mode;
    const char* labelY;
    bool xVisible, longueurXVisible;
};

class Disposition : public DialogueEchelle, public ::testing::WithParamInterface<CasDisposition> {};

TEST_P(Disposition, SuitLeMode) {
    const CasDisposition& k = GetParam();
    d.show();
    d.AxesItems[k.mode]->click();
    EXPECT_EQ(d.LabelY->text(), QString::fromUtf8(k.labelY));
    EXPECT_EQ(d.NomX->isVisible(), k.xVisible);
    EXPECT_EQ(d.LabelX->isVisible(), k.xVisible);
    EXPECT_EQ(d.EditX->isVisible(), k.longueurXVisible);
    EXPECT_EQ(d.UniteX->isVisible(), k.longueurXVisible);
}

INSTANTIATE_TEST_SUITE_P(Modes, Disposition,
                         ::testing::Values(CasDisposition{0, "Axe unique", false, false},
                                           CasDisposition{1, "Axe vertical", true, true},
                                           CasDisposition{2, "Axe vertical", true, false}));

TEST_F(DialogueEchelle, OKEnMode2RecopieYDansX) {
    fake.reponses.push_back([](TEchelleBmpDlg& dlg) {
        dlg.EditY->setText("2,5");
        dlg.UniteY->setText("cm");
        dlg.EditX->setText("7");
        dlg.EditT->setText("abc");
        dlg.ReferenceCB->setChecked(false);
        return true;
    });
    EXPECT_TRUE(d.Montrer());
    EXPECT_DOUBLE_EQ(calib.RefLengthY, 2.5);
    EXPECT_DOUBLE_EQ(calib.RefLengthX, 2.5);
    EXPECT_DOUBLE_EQ(calib.TimeStep, 1.0);
    EXPECT_FALSE(calib.HasReference);
    EXPECT_EQ(d.UniteX->text(), "cm");
    EXPECT_EQ(d.EditX->text(), "2,5");
}

TEST_F(DialogueEchelle, UneLongueurIllisibleDevient1EtUneLongueurNulleEstRefusee) {
    calib.RefLengthY = 3;
    fake.reponses.push_back([](TEchelleBmpDlg& dlg) {
        dlg.EditY->setText("0");
        return true;
    });
    EXPECT_TRUE(d.Montrer());
    EXPECT_DOUBLE_EQ(calib.RefLengthY, 3);
    ASSERT_EQ(test::Dialogues().messages().size(), 1u);
    EXPECT_TRUE(test::Dialogues().messages()[0].contains("nulle"));
    fake.reponses.push_back([](TEchelleBmpDlg& dlg) {
        dlg.EditY->setText("n'importe");
        return true;
    });
    EXPECT_TRUE(d.Montrer());
    EXPECT_DOUBLE_EQ(calib.RefLengthY, 1.0);
}

TEST_F(DialogueEchelle, LaCouleurDesAxesVientDeLaListe) {
    fake.reponses.push_back([](TEchelleBmpDlg& dlg) {
        dlg.CouleurAxeCB->setCurrentIndex(2); // "Bleu"
        return true;
    });
    EXPECT_TRUE(d.Montrer());
    EXPECT_EQ(couleur, qRgb(0, 0, 255));
}
