// The launcher: default folders in the settings file, the folder buttons, the form buttons.
#include "common/IniFile.h"
#include "platform/Chemins.h"
#include "shell/About.h"
#include "shell/ImageMain.h"
#include "support/FakePlateforme.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kinepo;
using Dossier = TImageFormMain::BoutonDossier;

namespace {

class Lanceur : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        ini = tmp.filePath("kinepo.INI");
        qputenv("KINEPO_INI", ini.toLocal8Bit());
    }
    QTemporaryDir tmp;
    QString ini;
};

TEST_F(Lanceur, FirstRunWithoutSettingsWritesFiveEmptyKeysAtExit) {
    {
        TImageFormMain lanceur;
        EXPECT_EQ(lanceur.windowTitle(), "Lecture d'images pour Tabulane");
        EXPECT_TRUE(lanceur.Dossiers().wav.isEmpty());
        EXPECT_TRUE(lanceur.RepTabulane().isEmpty());
        // The folder chooser proposes no folder.
        test::Dialogues().dossiers.push_back(std::nullopt);
        lanceur.BoutonDossierWidget(Dossier::Avi)->click();
        ASSERT_NE(test::Dialogues().dernier(), nullptr);
        EXPECT_EQ(test::Dialogues().dernier()->texte, "Sélection du répertoire");
        EXPECT_TRUE(test::Dialogues().dernier()->dossier.isEmpty());
    }
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        f.readAll(),
        QByteArray("[Repertoire]\r\nWav=\r\nAvi=\r\nMecanique=\r\nOptique=\r\nTabulane=\r\n"));
}

TEST_F(Lanceur, FoldersAreReadAtStartAndOtherSectionsSurviveExit) {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[AVI]\r\nCible=-3\r\n[Repertoire]\r\nWav=/data/sons\r\nTabulane=/opt/tab\r\n"
            "Avi=/data/films\r\n[Wav]\r\nMode=4\r\n");
    f.close();
    {
        TImageFormMain lanceur;
        EXPECT_EQ(lanceur.Dossiers().wav, "/data/sons");
        EXPECT_EQ(lanceur.Dossiers().avi, "/data/films");
        EXPECT_EQ(lanceur.RepTabulane(), "/opt/tab");
        EXPECT_TRUE(lanceur.Dossiers().optique.isEmpty());
    }
    IniFile relu(ini);
    EXPECT_EQ(relu.lireTexte("AVI", "Cible"), "-3");
    EXPECT_EQ(relu.lireTexte("Wav", "Mode"), "4");
    EXPECT_EQ(relu.lireTexte("Repertoire", "Wav"), "/data/sons");
    EXPECT_EQ(relu.valeur("Repertoire", "Optique"), std::optional<QString>(""));
}

TEST_F(Lanceur, GarbageSettingsFileGivesEmptyFolders) {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xff\xfe\x00garbage\n[Repertoire\nWav\n=x\n[]\n", 29));
    f.close();
    TImageFormMain lanceur;
    EXPECT_TRUE(lanceur.Dossiers().wav.isEmpty());
    EXPECT_TRUE(lanceur.Dossiers().avi.isEmpty());
}

TEST_F(Lanceur, ChosenFolderIsStoredCancelClearsIt) {
    TImageFormMain lanceur;
    const QString existant = tmp.filePath("sons");
    QDir().mkpath(existant);
    test::Dialogues().dossiers.push_back(existant);
    lanceur.AviButtonClick(Dossier::Wav);
    EXPECT_EQ(lanceur.Dossiers().wav, existant);

    // The chooser opens on the stored folder; cancelling erases it.
    test::Dialogues().dossiers.push_back(std::nullopt);
    lanceur.AviButtonClick(Dossier::Wav);
    EXPECT_EQ(test::Dialogues().dernier()->dossier, existant);
    EXPECT_TRUE(lanceur.Dossiers().wav.isEmpty());
}

TEST_F(Lanceur, TypedFolderIsCreatedOnlyAfterYes) {
    TImageFormMain lanceur;
    const QString nouveau = tmp.filePath("a/b/films");
    // First "no": the chooser stays open on the typed folder; then "yes".
    test::Dialogues().dossiers = {nouveau, nouveau};
    test::Dialogues().confirmations = {false, true};
    lanceur.AviButtonClick(Dossier::Avi);
    EXPECT_TRUE(QFileInfo(nouveau).isDir());
    EXPECT_EQ(lanceur.Dossiers().avi, nouveau);
    int questions = 0;
    for (const auto& a : test::Dialogues().affiches)
        if (a.genre == "confirmer") {
            ++questions;
            EXPECT_EQ(a.texte, "Le répertoire spécifié n'existe pas. Le créer ?");
        }
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(test::Dialogues().affiches[2].dossier, nouveau); // reopened on what was typed
}

TEST_F(Lanceur, FolderThatCannotBeCreatedKeepsTheOldOne) {
    TImageFormMain lanceur;
    const QString ancien = tmp.filePath("ancien");
    QDir().mkpath(ancien);
    test::Dialogues().dossiers.push_back(ancien);
    lanceur.AviButtonClick(Dossier::Tabulane);

    QSignalSpy recalcul(&lanceur, &TImageFormMain::RepertoireTabulaneChange);
    // A plain file stands where the folder should be created.
    const QString fichier = tmp.filePath("fichier");
    QFile f(fichier);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    test::Dialogues().dossiers.push_back(fichier + "/sous");
    test::Dialogues().confirmations.push_back(true);
    lanceur.AviButtonClick(Dossier::Tabulane);
    EXPECT_EQ(test::Dialogues().messages().back(), "Impossible de créer le répertoire");
    EXPECT_EQ(lanceur.RepTabulane(), ancien);
    EXPECT_EQ(recalcul.count(), 0);
}

TEST_F(Lanceur, TabulaneFolderChosenOrClearedRecomputesThePath) {
    TImageFormMain lanceur;
    QSignalSpy recalcul(&lanceur, &TImageFormMain::RepertoireTabulaneChange);
    test::Dialogues().dossiers = {tmp.path(), std::nullopt};
    lanceur.BoutonDossierWidget(Dossier::Tabulane)->click();
    lanceur.BoutonDossierWidget(Dossier::Tabulane)->click();
    ASSERT_EQ(recalcul.count(), 2);
    EXPECT_EQ(recalcul[0][0].toString(), QDir::cleanPath(tmp.path()));
    EXPECT_EQ(recalcul[1][0].toString(), QString());
    // Other folder buttons do not touch it.
    test::Dialogues().dossiers = {tmp.path()};
    lanceur.AviButtonClick(Dossier::Bmp);
    EXPECT_EQ(recalcul.count(), 2);
}

TEST_F(Lanceur, FormButtonsDisabledUntilPluggedFormCreatedOnceFolderAtEveryClick) {
    TImageFormMain lanceur;
    EXPECT_FALSE(lanceur.Bouton(BoutonForme::Wav)->isEnabled());
    int creations = 0;
    QStringList dossiers;
    lanceur.DefinirFabrique(BoutonForme::Wav, {[&](QWidget* p) {
                                                   ++creations;
                                                   return new QWidget(p);
                                               },
                                               [&](QWidget*, const QString& d) { dossiers << d; },
                                               {}});
    EXPECT_TRUE(lanceur.Bouton(BoutonForme::Wav)->isEnabled());
    EXPECT_FALSE(lanceur.Bouton(BoutonForme::Avi)->isEnabled());

    lanceur.Bouton(BoutonForme::Wav)->click();
    QWidget* forme = lanceur.Forme(BoutonForme::Wav);
    ASSERT_NE(forme, nullptr);
    EXPECT_TRUE(forme->isWindow());
    forme->close(); // hidden, not destroyed

    test::Dialogues().dossiers.push_back(tmp.path());
    lanceur.AviButtonClick(Dossier::Wav);
    lanceur.Bouton(BoutonForme::Wav)->click();
    EXPECT_EQ(creations, 1);
    EXPECT_EQ(lanceur.Forme(BoutonForme::Wav), forme);
    EXPECT_TRUE(forme->isVisible());
    EXPECT_EQ(dossiers, QStringList({QString(), QDir::cleanPath(tmp.path())}));
}

TEST_F(Lanceur, CaptionsAndHintsOfTheButtons) {
    TImageFormMain lanceur;
    EXPECT_EQ(lanceur.Bouton(BoutonForme::Avi)->text(), "Lecture d'un fichier AVI ou MPEG");
    EXPECT_EQ(lanceur.Bouton(BoutonForme::Interf)->statusTip(),
              "Pour diffraction, électrophorèse), interférences");
    EXPECT_TRUE(lanceur.Bouton(BoutonForme::Interf)->toolTip().isEmpty());
    EXPECT_EQ(lanceur.BoutonDossierWidget(Dossier::Tabulane)->toolTip(), "Répertoire de Tabulane");
    EXPECT_EQ(lanceur.AboutBtn()->text(), "à propos...");
    EXPECT_EQ(lanceur.ExitBtn()->text(), "Quitter");
}

// A file given by the desktop opens in the form that reads it, chosen by its extension.
TEST_F(Lanceur, FileGivenToTheProgramOpensInItsForm) {
    struct Cas {
        const char* fichier;
        std::optional<BoutonForme> forme;
    };
    const Cas cas[] = {
        {"/x/chute.AVI", BoutonForme::Avi},   {"/x/phone.mp4", BoutonForme::Mpg},
        {"/x/clip.MOV", BoutonForme::Mpg},    {"/x/a.webm", BoutonForme::Mpg},
        {"/x/graphe.jpeg", BoutonForme::Bmp}, {"/x/g.png", BoutonForme::Bmp},
        {"/x/son.wav", BoutonForme::Wav},     {"/x/notes.txt", std::nullopt},
        {"/x/sans-extension", std::nullopt},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(FormePourFichier(c.fichier), c.forme) << c.fichier;

    TImageFormMain lanceur;
    QStringList ouverts;
    lanceur.DefinirFabrique(BoutonForme::Wav, {[](QWidget*) { return new QWidget; },
                                               {},
                                               [&](QWidget*, const QString& f) { ouverts << f; }});
    lanceur.OuvrirFichierDonne(tmp.filePath("la.wav"));
    EXPECT_EQ(ouverts, QStringList{tmp.filePath("la.wav")});
    ASSERT_NE(lanceur.Forme(BoutonForme::Wav), nullptr);
    EXPECT_TRUE(lanceur.Forme(BoutonForme::Wav)->isVisible());
    delete lanceur.Forme(BoutonForme::Wav);
    lanceur.OuvrirFichierDonne(tmp.filePath("notes.txt"));
    lanceur.OuvrirFichierDonne(tmp.filePath("film.avi")); // no AVI form plugged in
    EXPECT_EQ(test::Dialogues().messages(),
              (std::vector<QString>{"Extension non reconnue", "Extension non reconnue"}));
}

} // namespace

TEST(AboutBox, CaptionTextsAndOkCloses) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "A propos");
    EXPECT_TRUE(box.Version->text().startsWith("Version "));
    EXPECT_TRUE(box.Version->text().contains(" du "));
    EXPECT_EQ(box.Comments->text(),
              "Lecture de fichiers\n.BMP .JPG .AVI .MPG  .WAV .GIF \npour Tabulane");
    EXPECT_TRUE(box.OKButton->isDefault());
    box.show();
    box.OKButton->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

// The program's icon is drawn from its picture: a dark film frame on a transparent ground.
TEST(AboutBox, ProgramIconIsDrawn) {
    const QImage i =
        IconeProgramme().pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(i.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(i.pixel(0, 0)), 0);      // outside the frame
    const QColor cadre = i.pixelColor(6, 32); // the frame's left edge
    EXPECT_EQ(cadre.alpha(), 255);
    EXPECT_LT(cadre.lightness(), 100);
    int oranges = 0; // the ball's positions
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QColor c = i.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 80 && c.green() < 140 && c.blue() < 60) ++oranges;
        }
    EXPECT_GT(oranges, 20);
}
