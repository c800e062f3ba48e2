#pragma once
// The program's language: which one it starts in, which help page goes with it, Qt's own
// dialog texts, and the F1 key that opens the help.
#include <QObject>
#include <QString>

class QCoreApplication;
class QWidget;

namespace kinepo {

class Dictionnaire;

// Language numbers of the shipped language.txt.
inline constexpr int kLangueFrancais = 1;
inline constexpr int kLangueEspagnol = 2;
inline constexpr int kLangueAnglais = 3;

// The user's locale name as the C library reads it: LC_ALL, else LC_MESSAGES, else LANG
// ("en_GB.UTF-8"); empty when none is set.
QString LocaleUtilisateur();
// The language of a locale name: English 3, Spanish 2, French and any other 1.
int LangueDuLocale(const QString& locale);
// The starting language: the saved choice when it names a language of the dictionary, else
// the locale's.
int LangueDeDepart(int langueSauvee, int nombreLangues, const QString& locale);
// The help page for the dictionary's current language (-1: the locale decides):
// "kinepo.html" (French), "kinepoSpan.html" (Spanish), "kinepoEng.html" (English).
QString FichierAidePourLangue(int langue, const QString& locale);

// Settings of the language in the settings file.
inline constexpr char kSectionLangue[] = "Langue";
inline constexpr char kCleLangue[] = "Index";
int LireLangueSauvee(const QString& fichierIni);
bool SauverLangue(const QString& fichierIni, int langue);

// Loads the dictionary's files from the shipped folder. False (and an empty dictionary) when
// they are missing.
bool ChargerDictionnaire(Dictionnaire& d);

// Installs Qt's translation of its own dialogs for the language code ("fr", "es"; "en" or
// empty removes it: Qt speaks English). False when no translation file was found.
bool ChangerTraductionsQt(QCoreApplication& app, const QString& code);

// The help page of the current language, at the section of `fenetre` (its class name), is
// opened in the desktop's browser. False when the page is missing or the browser did not start.
bool OuvrirAide(const QWidget* fenetre);

// F1 anywhere in the program opens the help at the active window's section.
class ToucheAide : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
};

} // namespace kinepo
