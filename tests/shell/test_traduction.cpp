// Translation: the dictionary files, the translator's walk over a form, the language change,
// the help page per language, the starting language and the translated dialogs.
#include "common/IniFile.h"
#include "shell/About.h"
#include "shell/ImageMain.h"
#include "shell/Langue.h"
#include "shell/base/DialoguesTraduits.h"
#include "shell/base/Dictionnaire.h"
#include "shell/base/RoutageAide.h"
#include "shell/base/TradForm.h"
#include "support/FakePlateforme.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

const QString kLangues = QStringLiteral("Français\tfr\nEspañol\tes\nEnglish\ten\n");
const QString kTraductions =
    QStringLiteral("# French, Spanish, English\n"
                   "Ouvrir\tAbrir\tOpen\n"
                   "Fichier\tArchivo\tFile\n"
                   "Ouvre un film\tAbre una película\tOpens a film\n"
                   "Choisir le film à mesurer\tElegir la película\tChoose the film to measure\n"
                   "Mesurer\tMedir\tMeasure\n"
                   "Pointage\tPunteo\tPointing\n"
                   "Ligne un\tLínea uno\tLine one\n"
                   "Films (*.avi)\tPelículas (*.avi)\tFilms (*.avi)\n"
                   "Extension non reconnue\tExtensión no reconocida\tExtension not recognised\n"
                   "Deux\\nlignes\tDos\\nlíneas\t\n"
                   "Sans anglais\tSin inglés\t\n"
                   "Sauver\tGuardar\tSave\n"
                   "Enregistrer\tGrabar\tSave\n"
                   "La webcam s'arrête : %1.\tLa webcam se detiene: %1.\tThe webcam stops: %1.\n"
                   "La webcam ne répond plus\tLa webcam no responde\tThe webcam no longer answers\n"
                   "Série %1 : %2 points\tSerie %1: %2 puntos\t%2 points in series %1\n"
                   "Fichier %1 illisible\tArchivo %1 ilegible\t\n");

// A small translatable form with a component of each translated kind.
class FormeEssai : public TTradForm {
public:
    FormeEssai() {
        setWindowTitle(QStringLiteral("Fichier"));
        auto* centre = new QWidget(this);
        auto* l = new QVBoxLayout(centre);
        bouton = new QPushButton(QStringLiteral("Ouvrir"), centre);
        DefinirAide(bouton, QStringLiteral("Ouvre un film|Choisir le film à mesurer"));
        etiquette = new QLabel(QStringLiteral("Inconnu"), centre);
        liste = new QComboBox(centre);
        liste->addItems({QStringLiteral("Mesurer"), QStringLiteral("Pointage")});
        liste->setCurrentIndex(1);
        pages = new QTabWidget(centre);
        pages->addTab(new QWidget, QStringLiteral("Pointage"));
        lignes = new QPlainTextEdit(QStringLiteral("Ligne un\nLigne deux"), centre);
        lignes->setReadOnly(true);
        l->addWidget(bouton);
        l->addWidget(etiquette);
        l->addWidget(liste);
        l->addWidget(pages);
        l->addWidget(lignes);
        setCentralWidget(centre);
        menu = menuBar()->addMenu(QStringLiteral("Fichier"));
        action = menu->addAction(QStringLiteral("Ouvrir"));
        // A window of its own (like the chronophotography window): not this form's.
        fenetre = new QDialog(this);
        fenetre->setWindowTitle(QStringLiteral("Mesurer"));
        FormCreate();
    }
    QPushButton* bouton;
    QLabel* etiquette;
    QComboBox* liste;
    QTabWidget* pages;
    QPlainTextEdit* lignes;
    QMenu* menu;
    QAction* action;
    QDialog* fenetre;
};

class Traduction : public ::testing::Test {
protected:
    void SetUp() override { d.ChargerTextes(kTraductions, kLangues); }
    Dictionnaire d;
};

TEST_F(Traduction, FilesGiveLanguagesCodesAndTranslationsInEveryDirection) {
    ASSERT_EQ(d.Langues(), QStringList({"Français", "Español", "English"}));
    EXPECT_EQ(d.CodeLangue(2), "es");
    EXPECT_EQ(d.LangueCourante(), -1);
    struct Cas {
        QString texte;
        int langue;
        QString attendu;
    };
    const Cas cas[] = {
        {"Ouvrir", 3, "Open"},
        {"Ouvrir", 2, "Abrir"},
        {"Ouvrir", 1, "Ouvrir"},
        {"Ouvrir", -1, "Ouvrir"},
        {"Open", 2, "Abrir"},    // a form already in English goes on to Spanish
        {"Abrir", -1, "Ouvrir"}, // and back to its design texts
        {"Deux\nlignes", 2, "Dos\nlíneas"},
        {"Sans anglais", 3, "Sans anglais"}, // no translation: the French text stays
        {"Sin inglés", 3, "Sans anglais"},
        {"Absent", 3, "Absent"},
        {"", 3, ""},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(d.TraduireVers(c.texte, c.langue), c.attendu) << c.texte.toStdString();
    EXPECT_TRUE(d.Complet("Ouvrir"));
    EXPECT_FALSE(d.Complet("Sans anglais"));
    EXPECT_FALSE(d.Complet("Open"));
}

// Messages made with a file name or a number: the French text with %1, %2... stands for them.
TEST_F(Traduction, TextsWithPartsAreTranslatedAroundTheirParts) {
    struct Cas {
        QString texte;
        int langue;
        QString attendu;
    };
    const Cas cas[] = {
        // The part is itself a text of the dictionary: translated too.
        {"La webcam s'arrête : La webcam ne répond plus.", 3,
         "The webcam stops: The webcam no longer answers."},
        {"La webcam s'arrête : /dev/video0 absent.", 2,
         "La webcam se detiene: /dev/video0 absent."},
        // Parts in another order, and a part that looks like a mark is not replaced again.
        {"Série 2 : 150 points", 3, "150 points in series 2"},
        {"Série %2 : 7 points", 3, "7 points in series %2"},
        // No English: the French text with its parts.
        {"Fichier /tmp/a.bmp illisible", 3, "Fichier /tmp/a.bmp illisible"},
        {"La webcam s'arrête : x.", 1, "La webcam s'arrête : x."},
        // Not the whole text: left alone.
        {"Attention : la webcam s'arrête : x.", 3, "Attention : la webcam s'arrête : x."},
        {"La webcam s'arrête : .", 3, "La webcam s'arrête : ."},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(d.TraduireVers(c.texte, c.langue), c.attendu) << c.texte.toStdString();
}

TEST_F(Traduction, MissingOrEmptyFilesLeaveTheFormsFrench) {
    QTemporaryDir tmp;
    Dictionnaire vide(QStringLiteral("Autre"));
    EXPECT_FALSE(vide.Charger(tmp.filePath("translat.txt"), tmp.filePath("language.txt")));
    EXPECT_FALSE(vide.Charge());
    vide.FixerLangue(3); // no such language
    EXPECT_EQ(vide.LangueCourante(), -1);
    EXPECT_EQ(vide.Traduire("Ouvrir"), "Ouvrir");
    // Only one of the two files: still French.
    QFile f(tmp.filePath("language.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kLangues.toUtf8());
    f.close();
    EXPECT_FALSE(vide.Charger(tmp.filePath("translat.txt"), tmp.filePath("language.txt")));
    EXPECT_TRUE(test::Dialogues().affiches.empty());
}

TEST_F(Traduction, FilesAreReadAsUtf8WithCrLfAndAByteOrderMark) {
    QTemporaryDir tmp;
    const auto ecrire = [&](const char* nom, const QString& texte) {
        QFile f(tmp.filePath(nom));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF");
        f.write(QString(texte).replace("\n", "\r\n").toUtf8());
    };
    ecrire("translat.txt", kTraductions);
    ecrire("language.txt", kLangues);
    Dictionnaire lu(QStringLiteral("Lu"));
    ASSERT_TRUE(lu.Charger(tmp.filePath("translat.txt"), tmp.filePath("language.txt")));
    EXPECT_EQ(lu.Langues().first(), "Français");
    EXPECT_EQ(lu.TraduireVers("Choisir le film à mesurer", 3), "Choose the film to measure");
}

TEST_F(Traduction, TranslatorTranslatesEveryKindOfComponentAndFollowsLanguageChanges) {
    FormeEssai f; // built before the language is chosen: registered, still French
    EXPECT_EQ(f.bouton->text(), "Ouvrir");
    d.FixerLangue(3);
    EXPECT_EQ(f.windowTitle(), "File");
    EXPECT_EQ(f.bouton->text(), "Open");
    EXPECT_EQ(f.bouton->toolTip(), "Opens a film");
    EXPECT_EQ(f.bouton->statusTip(), "Choose the film to measure");
    EXPECT_EQ(f.etiquette->text(), "Inconnu");
    EXPECT_EQ(f.liste->itemText(0), "Measure");
    EXPECT_EQ(f.liste->currentIndex(), 1);
    EXPECT_EQ(f.liste->currentText(), "Pointing");
    EXPECT_EQ(f.pages->tabText(0), "Pointing");
    EXPECT_EQ(f.lignes->toPlainText(), "Line one\nLigne deux");
    EXPECT_EQ(f.menu->title(), "File");
    EXPECT_EQ(f.action->text(), "Open");
    EXPECT_EQ(f.fenetre->windowTitle(), "Mesurer"); // another window stays as it is
    d.FixerLangue(2);
    EXPECT_EQ(f.bouton->text(), "Abrir");
    EXPECT_EQ(f.bouton->statusTip(), "Elegir la película");
    d.FixerLangue(-1);
    EXPECT_EQ(f.bouton->text(), "Ouvrir");
    EXPECT_EQ(f.lignes->toPlainText(), "Ligne un\nLigne deux");
}

// Two French texts with one English translation each come back as they were, and a caption
// the form sets while translated is taken as its new French text.
TEST_F(Traduction, EachComponentKeepsItsOwnFrenchText) {
    QWidget w;
    auto* sauver = new QPushButton(QStringLiteral("Sauver"), &w);
    auto* enregistrer = new QPushButton(QStringLiteral("Enregistrer"), &w);
    Traducteur t;
    t.Traduire(&w);
    d.FixerLangue(3);
    EXPECT_EQ(sauver->text(), "Save");
    EXPECT_EQ(enregistrer->text(), "Save");
    d.FixerLangue(2);
    EXPECT_EQ(sauver->text(), "Guardar");
    EXPECT_EQ(enregistrer->text(), "Grabar");
    d.FixerLangue(1);
    EXPECT_EQ(sauver->text(), "Sauver");
    EXPECT_EQ(enregistrer->text(), "Enregistrer");
    d.FixerLangue(3);
    sauver->setText(QStringLiteral("Mesurer")); // the form changes its caption
    d.FixerLangue(2);
    EXPECT_EQ(sauver->text(), "Medir");
    d.FixerLangue(1);
    EXPECT_EQ(sauver->text(), "Mesurer");
}

TEST_F(Traduction, AFormOpenedAfterAChangeShowsTheNewLanguageAtOnce) {
    d.FixerLangue(2);
    FormeEssai f;
    EXPECT_EQ(f.bouton->text(), "Abrir");
    EXPECT_EQ(f.windowTitle(), "Archivo");
}

TEST_F(Traduction, AssignedDictionaryReplacesTheOneFoundByName) {
    Dictionnaire autre(QStringLiteral("Autre"));
    autre.ChargerTextes(QStringLiteral("Ouvrir\tAbrir\tOpen here\n"), kLangues);
    autre.FixerLangue(3);
    d.FixerLangue(2);
    QWidget w;
    auto* b = new QPushButton(QStringLiteral("Ouvrir"), &w);
    Traducteur t;
    EXPECT_EQ(t.Dictionary(), &d);
    t.FixerDictionary(&autre);
    t.Traduire(&w);
    EXPECT_EQ(b->text(), "Open here");
}

TEST_F(Traduction, LanguageChangeIsSignalledOnlyForANewValidValue) {
    int changements = 0;
    QObject::connect(&d, &Dictionnaire::LangueChangee, [&](int) { ++changements; });
    d.FixerLangue(3);
    d.FixerLangue(3);
    d.FixerLangue(7);
    d.FixerLangue(0);
    EXPECT_EQ(changements, 1);
    EXPECT_EQ(d.LangueCourante(), 3);
}

TEST(LangueAide, HelpPageFollowsLanguageThenLocale) {
    struct Cas {
        int langue;
        QString locale;
        QString page;
    };
    const Cas cas[] = {
        {-1, "en_GB.UTF-8", "kinepoEng.html"},
        {-1, "en", "kinepoEng.html"},
        {-1, "es_ES.UTF-8", "kinepoSpan.html"},
        {-1, "fr_FR.UTF-8", "kinepo.html"},
        {-1, "de_DE.UTF-8", "kinepo.html"},
        {-1, "", "kinepo.html"},
        {-1, "C.UTF-8", "kinepo.html"},
        {2, "en_US.UTF-8", "kinepoSpan.html"},
        {2, "fr_FR", "kinepoSpan.html"},
        {3, "fr_FR", "kinepoEng.html"},
        {1, "en_US", "kinepo.html"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(FichierAidePourLangue(c.langue, c.locale), c.page)
            << c.langue << " " << c.locale.toStdString();
}

TEST(LangueAide, StartingLanguageIsTheSavedChoiceElseTheLocale) {
    EXPECT_EQ(LangueDeDepart(2, 3, "en_US.UTF-8"), 2);
    EXPECT_EQ(LangueDeDepart(-1, 3, "en_US.UTF-8"), 3);
    EXPECT_EQ(LangueDeDepart(-1, 3, "es_MX"), 2);
    EXPECT_EQ(LangueDeDepart(-1, 3, "it_IT"), 1);
    EXPECT_EQ(LangueDeDepart(9, 3, "es_MX"), 2); // a saved number the files no longer have
    EXPECT_EQ(LangueDeDepart(-1, 1, "en_US"), 1);
}

TEST(LangueAide, LocaleIsReadInTheCLibraryOrder) {
    const QByteArray avant = qgetenv("LC_ALL");
    qunsetenv("LC_ALL");
    qputenv("LC_MESSAGES", "es_ES.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    EXPECT_EQ(LocaleUtilisateur(), "es_ES.UTF-8");
    qunsetenv("LC_MESSAGES");
    EXPECT_EQ(LocaleUtilisateur(), "en_US.UTF-8");
    qputenv("LC_ALL", avant);
}

TEST(LangueAide, ChoiceIsSavedInTheSettingsFile) {
    QTemporaryDir tmp;
    const QString ini = tmp.filePath("kinepo.INI");
    EXPECT_EQ(LireLangueSauvee(ini), -1);
    ASSERT_TRUE(SauverLangue(ini, 3));
    EXPECT_EQ(LireLangueSauvee(ini), 3);
    EXPECT_EQ(IniFile(ini).lireTexte("Langue", "Index"), "3");
}

// The dialogs of a translatable form speak its language; those of another window stay French.
TEST_F(Traduction, DialogsOfTranslatableFormsAreTranslated) {
    test::FakeDialogues interne;
    DialoguesTraduits dt(interne, [this] { return &d; });
    dt.message("Extension non reconnue");
    d.FixerLangue(3);
    dt.message("Extension non reconnue");
    int filtre = 1;
    interne.fichiers.push_back(std::nullopt);
    dt.ouvrirFichierFiltre("Ouvrir", "/tmp", "Films (*.avi);;Tous (*)", filtre);
    ASSERT_EQ(interne.affiches.size(), 3u);
    EXPECT_EQ(interne.affiches[0].texte, "Extension non reconnue");
    EXPECT_EQ(interne.affiches[1].texte, "Extension not recognised");
    EXPECT_EQ(interne.affiches[2].texte, "Open");
    EXPECT_EQ(dt.Filtre("Films (*.avi);;Tous (*)"), "Films (*.avi);;Tous (*)");
    d.FixerLangue(2);
    EXPECT_EQ(dt.Filtre("Films (*.avi);;Tous (*)"), "Películas (*.avi);;Tous (*)");

    // A window that is not a translatable form is active: French.
    QDialog transfert;
    transfert.show();
    transfert.activateWindow();
    QApplication::setActiveWindow(&transfert);
    ASSERT_EQ(QApplication::activeWindow(), &transfert);
    EXPECT_EQ(dt.T("Extension non reconnue"), "Extension non reconnue");
    // The same text while a translatable form is active.
    FormeEssai forme;
    forme.show();
    QApplication::setActiveWindow(&forme);
    EXPECT_EQ(dt.T("Extension non reconnue"), "Extensión no reconocida");
}

TEST(LangueAide, F1OpensTheHelpPageOfTheLanguageAtTheActiveForm) {
    QTemporaryDir tmp;
    test::Processus().vraiment = false;
    qApp->setProperty("fichierAide", QStringLiteral("kinepoEng.html"));
    // The help lies beside the executable, as the build puts it.
    const QString aide = QCoreApplication::applicationDirPath() + "/aide";
    QDir().mkpath(aide);
    QFile page(aide + "/kinepoEng.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html></html>");
    page.close();

    ToucheAide touche;
    TAboutBox forme;
    forme.installEventFilter(&touche);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&forme, &f1);
    ASSERT_EQ(test::Processus().lances.size(), 1u);
    EXPECT_EQ(test::Processus().lances[0].programme, "xdg-open");
    const QString url = test::Processus().lances[0].arguments.value(0);
    EXPECT_TRUE(url.startsWith("file://")) << url.toStdString();
    EXPECT_TRUE(url.endsWith("/aide/kinepoEng.html#TAboutBox")) << url.toStdString();
    QFile::remove(aide + "/kinepoEng.html");
    QDir().rmdir(aide);
}

} // namespace

namespace {

// Qt's own dialogs follow the language chosen, and come back to French.
TEST(LangueAide, QtDialogsFollowTheLanguage) {
    ASSERT_TRUE(ChangerTraductionsQt(*QCoreApplication::instance(), "es"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
    ASSERT_TRUE(ChangerTraductionsQt(*QCoreApplication::instance(), "en"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    ASSERT_TRUE(ChangerTraductionsQt(*QCoreApplication::instance(), "fr"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    EXPECT_EQ(QCoreApplication::instance()
                  ->findChildren<QTranslator*>("qtbase", Qt::FindDirectChildrenOnly)
                  .size(),
              1);
}

} // namespace
