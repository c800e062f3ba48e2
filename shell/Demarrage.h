#pragma once
// What the program block prepares before any window exists: the cursor table, the
// application's names and help file, and Qt's own French texts for its standard dialogs.
class QApplication;
class QCoreApplication;
class QTranslator;

namespace kinepo {

// The application title, shown as the caption of the program's message boxes.
inline constexpr char kTitreApplication[] = "Multimedia pour Tabulane";

// Registers the cursors, names the application and sets its help file, and loads Qt's French
// translations. Qt's application display name stays unset: Qt would append it to every
// window title, and each window's caption is exactly its own text.
void PreparerApplication(QApplication& app);

// Installs Qt's own French translation of its dialogs and buttons ("Annuler", "Oui", "Voir
// dans"), looked for in Qt's translation folder and then in "translations" beside the
// executable. Returns the installed translator (owned by app), or null when none was found:
// the dialogs then stay in English.
QTranslator* ChargerTraductionsQt(QCoreApplication& app);

} // namespace kinepo
