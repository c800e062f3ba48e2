#pragma once
// Where the program's own files lie.
#include <QString>

namespace kinepo {

// Full path of the running executable.
QString CheminExecutable();

// True when a file can be created in that folder.
bool DossierInscriptible(const QString& dossier);

// The data folder of an installed program ("<prefix>/share/kinepo" beside "<prefix>/bin"), or
// empty when the program runs from its build or a portable folder.
QString DossierPartageInstalle();
// A file shipped with the program ("langues/translat.txt", "aide/kinepo.html"): in the
// installed data folder, else beside the executable. Empty when it is not there.
QString CheminDonneeProgramme(const QString& nom);

// The executable's path with its extension replaced by `extension` (".INI", ".bmp", ".wav")
// when the executable's folder is writable (a portable install); otherwise, and always for an
// installed program, the same file name in `dossierRepli`. The folder is created when needed.
QString FichierPresExecutable(const QString& extension, const QString& dossierRepli);

// The user's data folder for the program's side files (XDG data home).
QString DossierDonneesUtilisateur();
// The user's configuration folder for the program (XDG config home).
QString DossierConfigurationUtilisateur();

// The full path of the settings file. The environment variable KINEPO_INI, when set, names it;
// otherwise the executable's path with ".INI" when that folder is writable, or the same name
// in the user's configuration folder. Computed at each call (cheap), so tests can move it.
QString NomFichierIni();

} // namespace kinepo
