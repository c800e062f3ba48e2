// The sound form driven as the user drives it, on the fake platform and the fake sound devices.
#include "common/IniFile.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "shell/base/PanneauxEtat.h"
#include "sound/CommandeWav.h"
#include "sound/FakeAudio.h"
#include "sound/WavTest.h"
#include "sound/ui/WavMain.h"
#include "support/FakeConstante.h"
#include "support/EcritureLimitee.h"
#include "support/FakePlateforme.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kinepo;
using namespace kinepo::test;

namespace {

class WavFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        FixerSeparateurDecimal(QLatin1Char(','));
        QFile::remove(NomFichierIni());
        forme = std::make_unique<TWaveForm>();
        forme->CheminEnregistrement = dossier.filePath(QStringLiteral("kinepo.wav"));
        forme->Horloge = [this] { return maintenant; };
    }
    void TearDown() override {
        forme.reset();
        FixerSeparateurDecimal(QLatin1Char('.'));
    }
    QString Fichier(const QString& nom, const OptionsWav& o) {
        return EcrireFichier(dossier.path(), nom, FabriquerWav(o));
    }
    void Ouvrir(const QString& chemin) {
        test::Dialogues().fichiers.push_back(chemin);
        forme->OpenFileBtnClick();
    }
    static QStringList Lignes(const QString& texte) {
        QStringList l = texte.split(QStringLiteral("\r\n"));
        l.removeLast();
        return l;
    }

    AudioFactice audio;
    QTemporaryDir dossier;
    QDateTime maintenant = QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
    std::unique_ptr<TWaveForm> forme;
};

TEST_F(WavFormTest, TitreALaCreation) {
    EXPECT_EQ(forme->windowTitle(), QStringLiteral("Lecture de fichier .Wav pour Tabulane"));
}

TEST_F(WavFormTest, OuverturePuisEchecDeLecture) {
    OptionsWav o;
    o.frequence = 22050;
    o.trames = 100000;
    const QString bon = Fichier("bon.wav", o);
    Ouvrir(bon);
    ASSERT_TRUE(forme->SonCharge());
    EXPECT_EQ(forme->windowTitle(),
              QStringLiteral("Lecture de fichier son pour Tabulane [bon.wav]"));
    EXPECT_FALSE(forme->TabulaneBtn->isHidden());
    EXPECT_FALSE(forme->SaveDataBtn->isHidden());
    EXPECT_FALSE(forme->PlayBtn->isHidden());
    EXPECT_TRUE(forme->StereoCB->isHidden());
    EXPECT_EQ(forme->SelectionCourante().debut, 33616);
    EXPECT_EQ(forme->SelectionCourante().fin, 66383);
    EXPECT_EQ(forme->DureeTot->text(), QStringLiteral("Durée= : 4,54 s"));
    EXPECT_EQ(forme->FreqLabel->text(), QStringLiteral("Fech=22050 Hz ; 8 bits"));
    EXPECT_EQ(forme->FreqRegLabel->text(), QStringLiteral("Fech=22050 Hz"));
    EXPECT_EQ(forme->StatusBar->texte(1),
              QStringLiteral("Sous échantillonnage si la durée excéde 1,49 s"));
    EXPECT_EQ(audio.lecteur.debut, 33616);
    EXPECT_EQ(audio.lecteur.fin, 66383);
    EXPECT_EQ(audio.lecteur.format, (FormatPcm{22050, 8, 1}));

    WavBrut mauvais;
    mauvais.tag = 0x7777; // a codec no decoder knows
    mauvais.bits = 4;
    mauvais.donnees = QByteArray(100, 'x');
    Ouvrir(EcrireFichier(dossier.path(), "mauvais.wav", FabriquerWavBrut(mauvais)));
    EXPECT_FALSE(forme->SonCharge());
    EXPECT_EQ(forme->windowTitle(), QStringLiteral("Lecture de fichier son pour Tabulane"));
    EXPECT_TRUE(forme->TabulaneBtn->isHidden());
    EXPECT_TRUE(forme->SaveDataBtn->isHidden());
    EXPECT_EQ(test::Dialogues().messages(),
              std::vector<QString>{QStringLiteral("Format du fichier WAV non reconnu")});
    EXPECT_FALSE(forme->Lecteur().EstOuvert());
}

// A file that cannot be read says why, then the form is empty again, whatever was loaded.
TEST_F(WavFormTest, UnFichierIlisibleDonneSaRaison) {
    struct Cas {
        const char* nom;
        std::function<QString()> fichier;
        QString message;
    };
    const Cas cas[] = {
        {"format",
         [&] {
             WavBrut w;
             w.tag = 0x7777;
             w.bits = 4;
             w.donnees = QByteArray(100, 'x');
             return EcrireFichier(dossier.path(), "codec.wav", FabriquerWavBrut(w));
         },
         QStringLiteral("Format du fichier WAV non reconnu")},
        {"sans data",
         [&] { return EcrireFichier(dossier.path(), "court.wav", FabriquerWav({}).left(38)); },
         QStringLiteral("Format incorrect")},
        {"dossier",
         [&] {
             QDir(dossier.path()).mkdir("son.wav");
             return dossier.filePath("son.wav");
         },
         QStringLiteral("Problème d'ouverture")},
        {"aucune trame",
         [&] {
             OptionsWav o;
             o.trames = 0;
             return Fichier("vide.wav", o);
         },
         QStringLiteral("Le fichier ne contient aucun échantillon")},
    };
    const QString bon = Fichier("bon.wav", {});
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Ouvrir(bon);
        ASSERT_TRUE(forme->SonCharge());
        test::Dialogues().affiches.clear();
        Ouvrir(c.fichier());
        EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{c.message});
        EXPECT_FALSE(forme->SonCharge());
        EXPECT_EQ(forme->windowTitle(), QStringLiteral("Lecture de fichier son pour Tabulane"));
        EXPECT_TRUE(forme->TabulaneBtn->isHidden());
        EXPECT_TRUE(forme->PlayBtn->isHidden());
        // Nothing of the previous sound is still described.
        EXPECT_EQ(forme->DureeTot->text(), QString());
        EXPECT_EQ(forme->FreqLabel->text(), QString());
        EXPECT_EQ(forme->DureeReg->text(), QString());
        EXPECT_EQ(forme->StatusBar->texte(1), QString());
    }
}

// A 24-bit file is decoded into 16 bits: the caption and the labels say so.
TEST_F(WavFormTest, SonConvertiDitSaConversion) {
    WavBrut w;
    w.bits = 24;
    w.voies = 2;
    w.frequence = 48000;
    for (int i = 0; i < 48000; ++i)
        for (int v = 0; v < 2; ++v) {
            const std::uint32_t x = std::uint32_t((i * 311 + v * 7) % 0x1000000);
            for (int k = 0; k < 3; ++k)
                w.donnees.append(char((x >> (8 * k)) & 0xFF));
        }
    Ouvrir(EcrireFichier(dossier.path(), "terrain.wav", FabriquerWavBrut(w)));
    ASSERT_TRUE(forme->SonCharge());
    EXPECT_EQ(
        forme->windowTitle(),
        QStringLiteral("Lecture de fichier son pour Tabulane [terrain.wav] (converti en 16 bits)"));
    EXPECT_EQ(forme->FreqLabel->text(), QStringLiteral("Fech=48000 Hz ; 16 bits"));
    EXPECT_FALSE(forme->StereoCB->isHidden());
    EXPECT_EQ(audio.lecteur.format, (FormatPcm{48000, 16, 2}));
    EXPECT_EQ(forme->Son().Valeur(1000, 1), std::int16_t(((1000 * 311 + 7) % 0x1000000) >> 8));
}

TEST_F(WavFormTest, FichierAbsentNeChangeRien) {
    Ouvrir(Fichier("bon.wav", {}));
    const QString titre = forme->windowTitle();
    forme->LireFichier(dossier.filePath("absent.wav"));
    EXPECT_EQ(forme->windowTitle(), titre);
    EXPECT_FALSE(forme->TabulaneBtn->isHidden());
}

TEST_F(WavFormTest, SonTropLongTronqueDansLeTitre) {
    OptionsWav o;
    o.bits = 16;
    o.voies = 2;
    o.frequence = 44100;
    o.trames = 1100000;
    Ouvrir(Fichier("long.wav", o));
    EXPECT_TRUE(
        forme->windowTitle().endsWith(QStringLiteral("[long.wav] (trop long donc tronqué)")));
    EXPECT_EQ(forme->Son().NbEchantillons(), 1048576);
    EXPECT_FALSE(forme->StereoCB->isHidden());
}

TEST_F(WavFormTest, TransfertMonoPuisNouvellePage) {
    OptionsWav o;
    o.trames = 3;
    o.echantillon = [](std::int64_t i, int) { return int(128 + i); };
    const QString chemin = Fichier("trois.wav", o);
    Ouvrir(chemin);
    FakeConstante dlg;
    dlg.reponses.push_back({.commentaire = QStringLiteral("la")});
    forme->TabulaneBtnClick();
    QStringList l = Lignes(test::PressePapiers().contenu);
    ASSERT_GE(l.size(), 8);
    EXPECT_EQ(l.mid(1), (QStringList{"Acquisition à fech=11025 Hz", "la", "t\ts", "s\t", "0\t0",
                                     "9,070295E-5\t1", "0,0001814059\t2", "&1 NOMX", "t", "&1 NOMY",
                                     "s", "&1 LIGNE", "1", "&1 FICHIER", chemin}));
    EXPECT_EQ(dlg.macros, std::vector<QString>{QStringLiteral("CLIP|LOAD")});

    dlg.reponses.push_back({.nom = QStringLiteral("g"),
                            .unite = QStringLiteral("m"),
                            .valeur = QStringLiteral("9.81")});
    forme->TabulaneBtnClick();
    l = Lignes(test::PressePapiers().contenu);
    EXPECT_EQ(l.at(1), QString());
    EXPECT_EQ(l.mid(8, 4), (QStringList{"", "g\t", "m\t", "9,81\t"}));
    EXPECT_EQ(dlg.macros.back(), QStringLiteral("CLIP|ADD"));
}

TEST_F(WavFormTest, TransfertStereoSelonLaCase) {
    OptionsWav o;
    o.voies = 2;
    o.trames = 2;
    o.echantillon = [](std::int64_t i, int v) { return v == 0 ? 128 : int(i * 255); };
    Ouvrir(Fichier("st.wav", o));
    forme->StereoCB->setChecked(true);
    FakeConstante dlg;
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    const QStringList l = Lignes(test::PressePapiers().contenu);
    EXPECT_EQ(l.mid(3, 4),
              (QStringList{"t\tsG\tsD", "s\t\t", "0\t0\t-128", "9,070295E-5\t0\t127"}));
    EXPECT_TRUE(l.contains(QStringLiteral("&1 ANALOG")));
}

TEST_F(WavFormTest, TableTexteEnregistree) {
    OptionsWav o;
    o.trames = 2;
    o.echantillon = [](std::int64_t i, int) { return int(128 - i); };
    Ouvrir(Fichier("t.wav", o));
    const QString cible = dossier.filePath("table");
    test::Dialogues().fichiers.push_back(cible);
    forme->SaveDataBtnClick();
    QFile f(cible + ".txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("t\tson\r\ns\t\r\n0\t0\r\n9,070295E-5\t-1\r\n"));
}

TEST_F(WavFormTest, LectureAvecCurseurPuisBoucle) {
    OptionsWav o;
    o.trames = 11025;
    Ouvrir(Fichier("un.wav", o));
    forme->PlayBtnClick();
    EXPECT_EQ(audio.lecteur.lectures, 1);
    EXPECT_TRUE(forme->Timer1->isActive()); // 1 s > 0.55 s
    EXPECT_TRUE(forme->PlayBtn->isHidden());
    EXPECT_FALSE(forme->PositionLabel->isHidden());
    audio.lecteur.position = 5512;
    forme->Timer1Timer();
    EXPECT_EQ(forme->PositionLabel->text(), QStringLiteral("0,5 s"));

    forme->BoucleCB->setChecked(true);
    audio.dernierLecteur->Terminer();
    EXPECT_EQ(audio.lecteur.lectures, 2);
    forme->BoucleCB->setChecked(false);
    audio.dernierLecteur->Terminer();
    EXPECT_FALSE(forme->PlayBtn->isHidden());
    EXPECT_FALSE(forme->Timer1->isActive());
    EXPECT_TRUE(forme->PositionLabel->isHidden());
}

TEST_F(WavFormTest, UnNouveauFichierInterrompLaLecture) {
    OptionsWav o;
    o.trames = 11025;
    Ouvrir(Fichier("un.wav", o));
    forme->PlayBtnClick();
    ASSERT_TRUE(forme->Timer1->isActive());
    Ouvrir(Fichier("deux.wav", o));
    EXPECT_FALSE(forme->Timer1->isActive());
    EXPECT_TRUE(forme->PositionLabel->isHidden());
    EXPECT_TRUE(forme->StopBtn->isHidden());
    EXPECT_FALSE(forme->PlayBtn->isHidden());
    EXPECT_FALSE(forme->Lecteur().EnLecture());
}

TEST_F(WavFormTest, LaLigneDeCommandeDonneLesMemesTextes) {
    OptionsWav o;
    o.voies = 2;
    o.bits = 16;
    o.frequence = 44100;
    o.trames = 200000;
    const QString chemin = Fichier("classe.wav", o);
    Ouvrir(chemin);
    forme->StereoCB->setChecked(true);
    forme->DefinirSelection({1000, 1000 + 70000});
    const QStringList arguments = {chemin,
                                   "--from",
                                   QString::number(1000.0 / 44100, 'g', 17),
                                   "--to",
                                   QString::number(71000.0 / 44100, 'g', 17),
                                   "--stereo"};
    QString sortie, erreur;

    // The text table; first with the disk full halfway: the message, and the file that was
    // there is left whole ...
    {
        QFile avant(dossier.filePath("classe.txt"));
        ASSERT_TRUE(avant.open(QIODevice::WriteOnly));
        avant.write("avant");
    }
    test::Dialogues().fichiers.push_back(dossier.filePath("classe.txt"));
    {
        test::LimiteEcriture limite(4096);
        forme->SaveDataBtnClick();
    }
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Erreur d'écriture"});
    {
        QFile avant(dossier.filePath("classe.txt"));
        ASSERT_TRUE(avant.open(QIODevice::ReadOnly));
        EXPECT_EQ(avant.readAll(), QByteArray("avant"));
    }
    // ... then with room.
    test::Dialogues().fichiers.push_back(dossier.filePath("classe.txt"));
    forme->SaveDataBtnClick();
    QFile f(dossier.filePath("classe.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_EQ(cli::ExecuterWav(arguments + QStringList{"--txt"}, sortie, erreur), 0);
    EXPECT_EQ(f.readAll(), sortie.toUtf8());

    // ... and the transfer, but for the executable's path.
    FakeConstante dlg;
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    ASSERT_EQ(cli::ExecuterWav(arguments, sortie, erreur), 0);
    EXPECT_EQ(Lignes(test::PressePapiers().contenu).mid(1), Lignes(sortie).mid(1));
    // 70 000 samples at 44100 Hz: one in four (11025 Hz), then 13 lines of blocks.
    EXPECT_EQ(Lignes(sortie).size(), 5 + 70000 / 4 + 1 + 13);
}

TEST_F(WavFormTest, FrequenceNulleSansDivisionParZero) {
    OptionsWav o;
    o.frequence = 0;
    o.trames = 40000;
    Ouvrir(Fichier("zero.wav", o));
    ASSERT_TRUE(forme->SonCharge());
    EXPECT_EQ(forme->DureeTot->text(), QStringLiteral("Durée= : 0,00 s"));
    EXPECT_EQ(forme->FreqRegLabel->text(), QStringLiteral("Fech=? (Schannon !)"));
    FakeConstante dlg;
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    EXPECT_EQ(Lignes(test::PressePapiers().contenu).at(5),
              QStringLiteral("0\t%1").arg(forme->Son().Valeur(3616)));
}

TEST_F(WavFormTest, SelectionALaSouris) {
    OptionsWav o;
    o.trames = 10001;
    Ouvrir(Fichier("s.wav", o));
    forme->resize(800, 500);
    forme->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(forme.get()));
    forme->DefinirSelection({0, 10000});
    const int largeur = forme->PaintBox->width();
    const int droit = forme->BordDroit();
    EXPECT_EQ(droit, largeur);
    // Drag the right edge to the middle of the box.
    const int y = forme->PaintBox->height() / 2;
    QTest::mousePress(forme->PaintBox, Qt::LeftButton, {}, QPoint(droit - 1, y));
    QTest::mouseMove(forme->PaintBox, QPoint(largeur / 2, y));
    QTest::mouseRelease(forme->PaintBox, Qt::LeftButton, {}, QPoint(largeur / 2, y));
    const double a = double(largeur) / 10000;
    EXPECT_EQ(forme->SelectionCourante().fin, std::lround((largeur / 2) / a));
    EXPECT_EQ(forme->SelectionCourante().debut, 0);
    // Drag the whole selection to the right by 10 pixels.
    QTest::mousePress(forme->PaintBox, Qt::LeftButton, {}, QPoint(largeur / 4, y));
    QTest::mouseMove(forme->PaintBox, QPoint(largeur / 4 + 10, y));
    QTest::mouseRelease(forme->PaintBox, Qt::LeftButton, {}, QPoint(largeur / 4 + 10, y));
    EXPECT_EQ(forme->BordGauche(), 10);
    EXPECT_EQ(forme->SelectionCourante().debut, std::lround(10 / a));
}

TEST_F(WavFormTest, EnregistrementDeCinqSecondesSauveApresLAttente) {
    // A 44100 Hz file first: the recording then uses 44100 Hz.
    OptionsWav o;
    o.frequence = 44100;
    o.trames = 100;
    Ouvrir(Fichier("f.wav", o));
    audio.enregistreur.secondes = 5.0;
    forme->RecordBtnClick();
    EXPECT_FALSE(forme->SonCharge());
    EXPECT_TRUE(forme->RecordBtn->isHidden());
    EXPECT_FALSE(forme->StopBtn->isHidden());
    ASSERT_TRUE(audio.enregistreur.format.has_value());
    EXPECT_EQ(*audio.enregistreur.format, (FormatPcm{44100, 8, 1}));

    maintenant = maintenant.addMSecs(5000);
    EXPECT_FALSE(audio.enregistreur.arrete);
    forme->StopBtnClick();
    // The capture stops at once: the wait that follows is not recorded.
    EXPECT_TRUE(audio.enregistreur.arrete);
    EXPECT_TRUE(forme->StopBtn->isHidden());
    EXPECT_TRUE(forme->Timer1->isActive());
    forme->Timer1->stop(); // the test ticks the timer itself, in scaled time
    // (5000 - 5) / 110 rounds to 45; one more, and the save comes on the tick after it:
    // 47 ticks of 110 ms, about 5.2 s.
    for (int t = 0; t < 46; ++t)
        forme->Timer1Timer();
    EXPECT_TRUE(audio.enregistreur.sauvegardes.empty());
    forme->Timer1Timer();
    ASSERT_EQ(audio.enregistreur.sauvegardes.size(), 1u);
    EXPECT_EQ(audio.enregistreur.sauvegardes[0], forme->CheminEnregistrement);
    EXPECT_FALSE(forme->RecordBtn->isHidden());
    EXPECT_FALSE(forme->SaveFileBtn->isHidden());
    EXPECT_FALSE(forme->SonCharge()); // read only when the posted message arrives
    QCoreApplication::sendPostedEvents(forme.get());
    ASSERT_TRUE(forme->SonCharge());
    EXPECT_EQ(forme->Son().NomFichier(), forme->CheminEnregistrement);
    EXPECT_EQ(forme->Son().NbEchantillons(), 5 * 44100);

    // The transfer offers to save the recording first, and leaves out the FICHIER block.
    const QString copie = dossier.filePath("copie.wav");
    test::Dialogues().confirmations.push_back(true);
    test::Dialogues().fichiers.push_back(copie);
    FakeConstante dlg;
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    EXPECT_TRUE(QFile::exists(copie));
    EXPECT_EQ(test::Dialogues().affiches.at(1).genre, QStringLiteral("confirmer"));
    EXPECT_EQ(test::Dialogues().affiches.at(1).texte,
              QStringLiteral("Sauvegarde préliminaire des données dans un fichier Wav ?"));
    EXPECT_TRUE(Lignes(test::PressePapiers().contenu).contains(QStringLiteral("&1 FICHIER")));
    EXPECT_TRUE(Lignes(test::PressePapiers().contenu).contains(copie));

    // The sound is that copy now: named in the caption, and not offered for saving again, even
    // after the player has let it go while another window was in front.
    EXPECT_EQ(forme->windowTitle(),
              QStringLiteral("Lecture de fichier son pour Tabulane [copie.wav]"));
    forme->Lecteur().Fermer();
    test::Dialogues().affiches.clear();
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    for (const auto& a : test::Dialogues().affiches)
        EXPECT_NE(a.genre, QStringLiteral("confirmer"));
    EXPECT_TRUE(Lignes(test::PressePapiers().contenu).contains(copie));
}

// A recording longer than the block holds is saved whole, by the real player, and the sound
// then goes by the name it was saved under.
TEST_F(WavFormTest, UnLongEnregistrementEstSauveEnEntier) {
    forme.reset();
    FabriqueAudio reelle = InstallerAudio({});
    reelle.lecteur = nullptr; // the real player; the recorder stays the fake
    InstallerAudio(reelle);
    forme = std::make_unique<TWaveForm>();
    forme->CheminEnregistrement = dossier.filePath(QStringLiteral("kinepo.wav"));
    forme->Horloge = [this] { return maintenant; };
    forme->Reglages().freq = 50000;
    forme->Reglages().bits = 16;
    audio.enregistreur.secondes = 100.0; // 5 000 000 frames of 16 bits: 10 000 000 bytes
    forme->RecordBtnClick();
    maintenant = maintenant.addSecs(100);
    forme->StopBtnClick();
    forme->Timer1->stop();
    for (int t = 0; t < 2000 && audio.enregistreur.sauvegardes.empty(); ++t)
        forme->Timer1Timer();
    QCoreApplication::sendPostedEvents(forme.get());
    ASSERT_TRUE(forme->SonCharge());
    ASSERT_EQ(QFileInfo(forme->CheminEnregistrement).size(), 10000044);
    EXPECT_TRUE(forme->Son().Tronque());

    const QString copie = dossier.filePath("mesure.wav");
    test::Dialogues().fichiers.push_back(dossier.filePath("mesure"));
    forme->SaveFileBtnClick();
    EXPECT_EQ(QFileInfo(copie).size(), 10000044);
    QFile a(forme->CheminEnregistrement), b(copie);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll());
    EXPECT_TRUE(forme->SaveFileBtn->isHidden());
    EXPECT_EQ(forme->windowTitle(),
              QStringLiteral("Lecture de fichier son pour Tabulane [mesure.wav] (trop long donc "
                             "tronqué)"));

    test::Dialogues().affiches.clear();
    FakeConstante dlg;
    dlg.reponses.push_back({});
    forme->TabulaneBtnClick();
    for (const auto& x : test::Dialogues().affiches)
        EXPECT_NE(x.genre, QStringLiteral("confirmer"));
    const QStringList l = Lignes(test::PressePapiers().contenu);
    ASSERT_GE(l.size(), 2);
    EXPECT_EQ(l.mid(l.size() - 2), (QStringList{QStringLiteral("&1 FICHIER"), copie}));
    forme.reset(); // before the factories go back to the test's fakes
}

TEST_F(WavFormTest, EnregistrementSansPeripheriqueNeChargeRien) {
    audio.enregistreur.ouvrirOk = false;
    forme->RecordBtnClick();
    forme->StopBtnClick();
    forme->Timer1->stop();
    for (int t = 0; t < 3; ++t)
        forme->Timer1Timer();
    QCoreApplication::sendPostedEvents(forme.get());
    EXPECT_FALSE(forme->SonCharge());
    EXPECT_FALSE(forme->RecordBtn->isHidden());
    EXPECT_TRUE(forme->SaveFileBtn->isHidden());
}

TEST_F(WavFormTest, ReglagesWavLusEtEcrits) {
    forme.reset();
    {
        IniFile ini(NomFichierIni());
        ini.ecrireEntier("Wav", "freq", 11025);
        ini.ecrireEntier("Wav", "bits", 16);
        ini.ecrireEntier("Wav", "Mode", 3);
        ASSERT_TRUE(ini.enregistrer());
    }
    forme = std::make_unique<TWaveForm>();
    EXPECT_EQ(forme->Reglages().bits, 16u);
    EXPECT_EQ(forme->Reglages().mode, 3);
    OptionsWav o;
    o.frequence = 22050;
    Ouvrir(Fichier("f.wav", o));
    forme.reset();
    const IniFile ini(NomFichierIni());
    EXPECT_EQ(ini.lireEntier("Wav", "freq", 0), 22050);
    EXPECT_EQ(ini.lireEntier("Wav", "bits", 0), 16);
    EXPECT_EQ(ini.lireEntier("Wav", "Mode", 0), 3);
}

} // namespace
