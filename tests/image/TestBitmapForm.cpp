// The image form driven as a user drives it: a picture opened through the open dialog, the
// scale dialog answered, points clicked on the view, keys pressed, the table sent.
#include "FakeEchelle.h"
#include "ImagesDeTest.h"
#include "common/Nombres.h"
#include "image/ui/BitmapForm.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "support/Evenements.h"
#include "support/FakeConstante.h"
#include "support/FakePlateforme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;

namespace {

class FormeBitmap : public ::testing::Test {
protected:
    void SetUp() override {
        FixerSeparateurDecimal(u',');
        chemin = dossier.filePath(QStringLiteral("graphe.png"));
        ASSERT_TRUE(test::ImageUnie(400, 300).save(chemin));
        forme = std::make_unique<TBitmapForm>();
        forme->show();
        test::TraiterEvenements(5);
    }
    void TearDown() override {
        forme.reset();
        SeparateurDecimalDuSysteme();
    }

    // Opens the picture through the menu item and the open dialog; `echelle` answers the
    // scale dialog that follows.
    void ouvrir(std::function<bool(TEchelleBmpDlg&)> echelle = [](TEchelleBmpDlg&) {
        return true;
    }) {
        test::Dialogues().fichiers.push_back(chemin);
        dlg.reponses.push_back(std::move(echelle));
        forme->OpenFileItem->trigger();
        ASSERT_FALSE(forme->Image().isNull());
    }
    void clic(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void clicVue(QPoint p) { QTest::mouseClick(forme->ImagePaintBox, Qt::LeftButton, {}, p); }
    QStringList lignesEnvoyees() const {
        return test::PressePapiers().contenu.split(QStringLiteral("\r\n"));
    }
    QString cellule(int ligne, int colonne) const {
        auto* item = forme->Grid->item(ligne, colonne);
        return item ? item->text() : QString();
    }

    QTemporaryDir dossier;
    QString chemin;
    test::FakeEchelle dlg;
    test::FakeConstante constante;
    std::unique_ptr<TBitmapForm> forme;
};

} // namespace

TEST_F(FormeBitmap, DeuxSeriesDeCinqPointsSArretentDElles) {
    ouvrir([](TEchelleBmpDlg& d) {
        d.NbreSE->setValue(2);
        return true;
    });
    EXPECT_TRUE(forme->SerieSE->isEnabled());
    clic(forme->MesureBtn);
    ASSERT_EQ(forme->FormState, TBitmapForm::Measuring);
    for (int i = 0; i < 5; ++i)
        clicVue({50 + 40 * i, 100});
    forme->SerieSE->setValue(2);
    for (int i = 0; i < 4; ++i)
        clicVue({50 + 40 * i, 200});
    EXPECT_EQ(forme->FormState, TBitmapForm::Measuring);
    clicVue({210, 200});
    EXPECT_EQ(forme->FormState, TBitmapForm::Idle);
    EXPECT_TRUE(forme->MesureBtn->isVisible());
    EXPECT_FALSE(forme->StopBtn->isVisible());
    // The points are drawn in their series' colour (both red by default): the cross centre.
    const QImage vue = forme->ImagePaintBox->Composition();
    EXPECT_EQ(vue.pixel(90, 100), qRgb(255, 0, 0));
    EXPECT_EQ(vue.pixel(90, 97), qRgb(255, 0, 0));
    EXPECT_EQ(vue.pixel(70, 100), qRgb(255, 255, 255));

    constante.reponses.push_back({});
    clic(forme->TabulaneBtn);
    const QStringList l = lignesEnvoyees();
    ASSERT_GE(l.size(), 11);
    EXPECT_EQ(l[1], "Lecture de bitmap");
    EXPECT_EQ(l[3], "t\tX1\tY1\tX2\tY2");
    EXPECT_EQ(l[4], "s\tm\tm\tm\tm");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(l[5 + i].split(u'\t').size(), 5) << l[5 + i].toStdString();
    // Pixel (90, 100): 110 px left of the origin and 50 up, 75 px to the unit.
    EXPECT_EQ(l[6], QStringLiteral("1\t-1,46667\t0,666667\t-1,46667\t-0,666667"));
    EXPECT_EQ(l[10], "&2 NOMX");
    EXPECT_EQ(l.mid(11, 2), QStringList({"X1", "X2"}));
    EXPECT_TRUE(test::PressePapiers().contenu.contains("&2 ORTHO\r\n1\r\n1\r\n&1 FICHIER\r\n" +
                                                       chemin.toUpper() + "\r\n"));
}

TEST_F(FormeBitmap, Mode0SansReference) {
    ouvrir([](TEchelleBmpDlg& d) {
        d.AxesItems[0]->click();
        d.ReferenceCB->setChecked(false);
        return true;
    });
    clic(forme->MesureBtn);
    EXPECT_EQ(forme->Grid->columnCount(), 2);
    for (QPoint p : {QPoint(200, 75), QPoint(200, 150), QPoint(200, 225)})
        clicVue(p);
    constante.reponses.push_back({});
    clic(forme->TabulaneBtn);
    const QStringList l = lignesEnvoyees();
    EXPECT_EQ(l.mid(3, 5), QStringList({"Y", "m", "1", "0", "-1"}));
    EXPECT_EQ(l[8], "&1 NOMY");
    EXPECT_FALSE(test::PressePapiers().contenu.contains("NOMX"));
    EXPECT_FALSE(test::PressePapiers().contenu.contains("ORTHO"));
}

TEST_F(FormeBitmap, UnIncrementDe0Virgule04) {
    ouvrir([](TEchelleBmpDlg& d) {
        d.EditT->setText("0,04");
        return true;
    });
    clic(forme->MesureBtn);
    for (int i = 0; i < 4; ++i)
        clicVue({100 + 10 * i, 100});
    EXPECT_EQ(QStringList({cellule(0, 0), cellule(1, 0), cellule(2, 0), cellule(3, 0)}),
              QStringList({"0", "0,04", "0,08", "0,12"}));
    EXPECT_EQ(forme->Grid->horizontalHeaderItem(0)->text(), "t(s)");
    constante.reponses.push_back({});
    clic(forme->TabulaneBtn);
    const QStringList l = lignesEnvoyees();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(l[5 + i].section(u'\t', 0, 0), QStringList({"0", "0,04", "0,08", "0,12"})[i]);
}

TEST_F(FormeBitmap, DistancesDeSaisieDe4_6Et10Pixels) {
    ouvrir();
    clic(forme->MesureBtn);
    clicVue({100, 100});
    clicVue({110, 100});
    clicVue({300, 200});
    // 4 px from the first point, 6 from the second: the first one moves.
    QTest::mousePress(forme->ImagePaintBox, Qt::LeftButton, {}, {104, 100});
    EXPECT_EQ(forme->Hint(), "|Déplacer le point");
    QTest::mouseRelease(forme->ImagePaintBox, Qt::LeftButton, {}, {150, 150});
    EXPECT_EQ(forme->Series.Longueur(1), 3);
    EXPECT_EQ(forme->Series.Point(1, 0), QPoint(150, 150));
    EXPECT_EQ(forme->Series.Point(1, 1), QPoint(110, 100));
    // Exactly 10 px away: not found, a new point is recorded.
    clicVue({310, 200});
    EXPECT_EQ(forme->Series.Longueur(1), 4);
    EXPECT_EQ(forme->Series.Point(1, 2), QPoint(300, 200));
}

TEST_F(FormeBitmap, UneSuppressionRenumerote) {
    ouvrir();
    clic(forme->MesureBtn);
    for (int i = 0; i < 5; ++i)
        clicVue({100 + 30 * i, 75 + 15 * i});
    const QPoint ancien3 = forme->Series.Point(1, 3);
    const QString grille3 = cellule(3, 1);
    const QString message = forme->StatusBar->texte(0);
    clic(forme->SupprBtn);
    EXPECT_EQ(forme->FormState, TBitmapForm::Deleting);
    EXPECT_EQ(forme->StatusBar->texte(0), "|Suppression du point");
    clicVue({160, 105}); // point 2
    EXPECT_EQ(forme->FormState, TBitmapForm::Measuring);
    EXPECT_EQ(forme->StatusBar->texte(0), message);
    ASSERT_EQ(forme->Series.Longueur(1), 4);
    EXPECT_EQ(forme->Series.Point(1, 2), ancien3);
    EXPECT_EQ(cellule(2, 1), grille3);
    EXPECT_EQ(cellule(4, 1), "");
    // A click away from every point deletes nothing and returns to the saved state.
    clic(forme->SupprBtn);
    clicVue({390, 10});
    EXPECT_EQ(forme->Series.Longueur(1), 4);
    EXPECT_EQ(forme->FormState, TBitmapForm::Measuring);
}

TEST_F(FormeBitmap, DefaireApresUnDeplacement) {
    ouvrir();
    clic(forme->MesureBtn);
    clicVue({100, 100});
    EXPECT_TRUE(forme->UndoBtn->isEnabled());
    QTest::mousePress(forme->ImagePaintBox, Qt::LeftButton, {}, {101, 100});
    QTest::mouseRelease(forme->ImagePaintBox, Qt::LeftButton, {}, {180, 120});
    ASSERT_EQ(forme->Series.Longueur(1), 1);
    EXPECT_EQ(forme->Series.Point(1, 0), QPoint(180, 120));
    clic(forme->UndoBtn);
    EXPECT_EQ(forme->Series.Longueur(1), 0);
    EXPECT_FALSE(forme->UndoBtn->isEnabled());
}

TEST_F(FormeBitmap, EntreeEnregistreSousLePointeur) {
    ouvrir();
    clic(forme->MesureBtn);
    QCursor::setPos(forme->ImagePaintBox->mapToGlobal(QPoint(120, 80)));
    QTest::keyClick(forme->EditBidon, Qt::Key_Return);
    ASSERT_EQ(forme->Series.Longueur(1), 1);
    EXPECT_EQ(forme->Series.Point(1, 0), QPoint(120, 80));
    // The arrows move the pointer itself, pixel by pixel; Space records like a click.
    QTest::keyClick(forme->EditBidon, Qt::Key_Right);
    QTest::keyClick(forme->EditBidon, Qt::Key_Right);
    EXPECT_EQ(forme->ImagePaintBox->mapFromGlobal(QCursor::pos()), QPoint(122, 80));
    QTest::keyClick(forme->EditBidon, Qt::Key_Up);
    EXPECT_EQ(forme->ImagePaintBox->mapFromGlobal(QCursor::pos()), QPoint(122, 79));
    QTest::keyClick(forme->EditBidon, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(forme->ImagePaintBox->mapFromGlobal(QCursor::pos()), QPoint(132, 79));
    QTest::keyClick(forme->EditBidon, Qt::Key_Space);
    ASSERT_EQ(forme->Series.Longueur(1), 2);
    EXPECT_EQ(forme->Series.Point(1, 1), QPoint(132, 79));
}

TEST_F(FormeBitmap, LeSecondTransfertAUneLigneDeTitreVide) {
    ouvrir();
    clic(forme->MesureBtn);
    for (int i = 0; i < 3; ++i)
        clicVue({100 + 10 * i, 100});
    constante.reponses.push_back({});
    clic(forme->TabulaneBtn);
    EXPECT_EQ(lignesEnvoyees()[1], "Lecture de bitmap");
    constante.reponses.push_back({});
    clic(forme->TabulaneBtn);
    const QStringList l = lignesEnvoyees();
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l.size(),
              3 + 2 + 3 + 1); // identification, names, units, points, the final empty split
    EXPECT_FALSE(test::PressePapiers().contenu.contains(u'&'));
    EXPECT_EQ(constante.macros, std::vector<QString>({"CLIP|LOAD", "CLIP|ADD"}));
}

TEST_F(FormeBitmap, LecturesEtAidesAuSurvol) {
    ouvrir();
    QTest::mouseMove(forme->ImagePaintBox, {250, 150});
    EXPECT_EQ(forme->StatusBar->texte(1), "X=0,6667m");
    EXPECT_EQ(forme->StatusBar->texte(2), "Y=0m");
    EXPECT_EQ(forme->Hint(), "|Clic droit pour menu zoom");
    QTest::mouseMove(forme->ImagePaintBox, {202, 76});
    EXPECT_EQ(forme->Hint(), "Fin Y|Cliquer sur la fin de l'échelle de Y");
    QTest::mouseMove(forme->ImagePaintBox, {200, 150});
    EXPECT_EQ(forme->Hint(), "Origine|Cliquer sur l'origine");
}

TEST_F(FormeBitmap, GlisserLaFinYEnMode2) {
    ouvrir();
    QTest::mousePress(forme->ImagePaintBox, Qt::LeftButton, {}, {200, 75});
    EXPECT_EQ(forme->FormState, SlotFinY);
    QTest::mouseRelease(forme->ImagePaintBox, Qt::LeftButton, {}, {200, 100});
    EXPECT_EQ(forme->FormState, TBitmapForm::Idle);
    EXPECT_EQ(forme->Calibration.Handles[SlotFinX], QPoint(250, 150));
    EXPECT_DOUBLE_EQ(forme->Calibration.ScaleY, 1.0 / 50);
    // The new vector is drawn: its shaft in the axes colour.
    EXPECT_EQ(forme->ImagePaintBox->Composition().pixel(200, 120), qRgb(255, 0, 0));
    EXPECT_EQ(forme->ImagePaintBox->Composition().pixel(200, 90), qRgb(255, 255, 255));
    // Dropped on its own start: refused with a message, the calibration stays.
    QTest::mousePress(forme->ImagePaintBox, Qt::LeftButton, {}, {250, 150});
    QTest::mouseRelease(forme->ImagePaintBox, Qt::LeftButton, {}, {200, 150});
    EXPECT_EQ(forme->Calibration.Handles[SlotFinX], QPoint(250, 150));
    ASSERT_EQ(test::Dialogues().messages().size(), 1u);
    EXPECT_TRUE(test::Dialogues().messages()[0].contains("longueur nulle"));
}

TEST_F(FormeBitmap, CourbeExtraiteParSaCouleurPuisRetouchee) {
    const test::Sinus sinus;
    ASSERT_TRUE(test::GrapheSinus(sinus).save(chemin));
    ouvrir();
    clic(forme->MesureBtn);
    // The colour is taken with the pipette on the curve.
    clic(forme->PipetteBtn);
    const int x = 90;
    clicVue({x, static_cast<int>(std::lround(sinus.ligne(x)))});
    EXPECT_EQ(forme->CouleurCourbeEdit->text(), "220,30,30");
    EXPECT_EQ(forme->FormState, TBitmapForm::Measuring);
    EXPECT_EQ(forme->Series.Longueur(1), 0);
    forme->PasSE->setValue(20);
    clic(forme->ExtraireBtn);
    ASSERT_EQ(forme->Series.Longueur(1), 20); // columns 0, 20, ..., 380
    EXPECT_TRUE(forme->TabulaneBtn->isEnabled());
    // An extracted point is moved and undone like a clicked one.
    const QPoint p = forme->Series.Point(1, 19);
    QTest::mousePress(forme->ImagePaintBox, Qt::LeftButton, {}, p);
    QTest::mouseRelease(forme->ImagePaintBox, Qt::LeftButton, {}, p + QPoint(0, 5));
    EXPECT_EQ(forme->Series.Point(1, 19), p + QPoint(0, 5));
    clic(forme->UndoBtn);
    EXPECT_EQ(forme->Series.Longueur(1), 19);
    // A colour that is not in the picture.
    forme->CouleurCourbeEdit->setText("0,255,0");
    clic(forme->ExtraireBtn);
    EXPECT_EQ(test::Dialogues().messages().back(), "Aucun pixel de cette couleur dans l'image");
}

TEST_F(FormeBitmap, UneImageIllisibleDonneUnMessage) {
    QFile f(dossier.filePath("casse.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("rien");
    f.close();
    test::Dialogues().fichiers.push_back(f.fileName());
    forme->OpenFileItem->trigger();
    EXPECT_TRUE(forme->Image().isNull());
    ASSERT_EQ(test::Dialogues().messages().size(), 1u);
    EXPECT_EQ(
        test::Dialogues().messages()[0],
        QStringLiteral(
            "Impossible de lire l'image « casse.jpg » : format inconnu ou fichier endommagé"));
    EXPECT_EQ(dlg.montres, 0);
}

TEST_F(FormeBitmap, Mode0NiVecteurXNiLectureX) {
    ouvrir([](TEchelleBmpDlg& d) {
        d.AxesItems[0]->click();
        return true;
    });
    QTest::mouseMove(forme->ImagePaintBox, {250, 100});
    EXPECT_EQ(forme->StatusBar->texte(1), "");
    EXPECT_EQ(forme->StatusBar->texte(2), "Y=0,6667m");
    // The X end is neither drawn nor grabbable.
    EXPECT_EQ(forme->ImagePaintBox->Composition().pixel(250, 150), qRgb(255, 255, 255));
    EXPECT_EQ(forme->ImagePaintBox->Composition().pixel(200, 110), qRgb(255, 0, 0));
    QTest::mouseMove(forme->ImagePaintBox, {300, 150});
    EXPECT_EQ(forme->Hint(), "|Clic droit pour menu zoom");
}

TEST_F(FormeBitmap, DistanceMesureeEnGlissant) {
    ouvrir();
    QTest::mousePress(forme->ImagePaintBox, Qt::LeftButton, {}, {100, 100});
    QMouseEvent glisse(QEvent::MouseMove, QPointF(175, 100),
                       forme->ImagePaintBox->mapToGlobal(QPointF(175, 100)), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(forme->ImagePaintBox, &glisse);
    EXPECT_EQ(forme->StatusBar->texte(3), "distance=1m");
    // The rubber line inverts the picture under it.
    EXPECT_EQ(forme->ImagePaintBox->Composition().pixel(140, 100), qRgb(0, 0, 0));
    QTest::mouseRelease(forme->ImagePaintBox, Qt::LeftButton, {}, {175, 100});
    EXPECT_EQ(forme->ImagePaintBox->Composition().pixel(140, 100), qRgb(255, 255, 255));
    EXPECT_EQ(forme->StatusBar->texte(3), "distance=1m");
    EXPECT_EQ(forme->Series.Longueur(1), 0);
}

TEST_F(FormeBitmap, UneSeriePleineRefuseLePointAvecUnMessage) {
    ouvrir();
    clic(forme->MesureBtn);
    for (int i = 0; i < kCapaciteSerie - 1; ++i)
        forme->Series.Ajouter(1, {i % 400, 10});
    clicVue({50, 250});
    EXPECT_EQ(forme->Series.Longueur(1), kCapaciteSerie);
    EXPECT_TRUE(test::Dialogues().messages().empty());
    clicVue({60, 250});
    EXPECT_EQ(forme->Series.Longueur(1), kCapaciteSerie);
    ASSERT_EQ(test::Dialogues().messages().size(), 1u);
    EXPECT_EQ(test::Dialogues().messages()[0],
              "La série 1 est pleine (32769 points) : le point n'est pas enregistré");
}

TEST_F(FormeBitmap, UnGifEstLuParLeBmpConvertiACote) {
    chemin = dossier.filePath(QStringLiteral("courbe.gif"));
    QImage i = test::ImageUnie(64, 48);
    i.setPixel(3, 4, qRgb(0, 0, 0));
    ASSERT_TRUE(test::EcrireGifNoirEtBlanc(chemin, i));
    ouvrir();
    EXPECT_EQ(forme->Image().size(), QSize(64, 48));
    EXPECT_EQ(forme->Image().pixel(3, 4), qRgb(0, 0, 0));
    EXPECT_EQ(forme->NomImage(), dossier.filePath("courbe.bmp").toUpper());
    EXPECT_EQ(forme->windowTitle(),
              "Lecture de bitmap pour Tabulane [" + dossier.filePath("courbe.bmp").toUpper() + "]");
    EXPECT_TRUE(QFileInfo::exists(dossier.filePath("courbe.bmp")));
}

TEST_F(FormeBitmap, LaGrilleSuitLeDernierReglageConfirme) {
    ouvrir([](TEchelleBmpDlg& d) {
        d.NbreSE->setValue(2);
        return true;
    });
    dlg.reponses.push_back([](TEchelleBmpDlg& d) {
        d.NbreSE->setValue(3);
        d.AxesItems[0]->click();
        return false;
    });
    clic(forme->EchelleBtn);
    clic(forme->MesureBtn);
    EXPECT_EQ(forme->Grid->columnCount(), 5);
    EXPECT_EQ(forme->Grid->horizontalHeaderItem(4)->text(), "Y2(m)");
    // A reset keeps the two series chosen.
    for (int i = 0; i < 3; ++i)
        clicVue({100 + 10 * i, 100});
    clic(forme->RazBtn);
    EXPECT_EQ(forme->Calibration.SeriesCount, 2);
    EXPECT_EQ(forme->SerieSE->maximum(), 2);
    EXPECT_EQ(forme->Series.Longueur(1), 0);
    EXPECT_FALSE(forme->TabulaneBtn->isEnabled());
}
