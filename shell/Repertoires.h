#pragma once
// The launcher's five default folders and their section "Repertoire" of the settings file,
// and the folder-choosing step of the folder buttons.
#include <QString>
#include <optional>
#include <stdexcept>

namespace kinepo {

class IDialogues;

struct Repertoires {
    QString wav;       // "Wav": the sound form's dialogs
    QString avi;       // "Avi": the video forms' open dialog
    QString mecanique; // "Mecanique": the image form's dialogs
    QString optique;   // "Optique": the light-profile form's dialogs
    QString tabulane;  // "Tabulane": where the analysis program is looked for
};

// Reads section "Repertoire"; a missing file, section or key gives an empty folder.
Repertoires LireRepertoires(const QString& fichierIni);
// Rewrites the five keys of section "Repertoire", keeping the rest of the file.
// False when the file could not be written (the caller ignores it).
bool EcrireRepertoires(const QString& fichierIni, const Repertoires& r);

// Raised when a chosen folder cannot be created: "Impossible de créer le répertoire".
class ErreurRepertoire : public std::runtime_error {
public:
    ErreurRepertoire();
};

// The folder chooser "Sélection du répertoire", opened on `propose`. A typed folder that does
// not exist is offered for creation ("Le répertoire spécifié n'existe pas. Le créer ?"); a "no"
// keeps the chooser open. Returns the chosen folder (created when needed), or nothing when the
// user cancels. Throws ErreurRepertoire when the folder cannot be created.
std::optional<QString> ChoisirRepertoire(IDialogues& dialogues, const QString& propose);

} // namespace kinepo
