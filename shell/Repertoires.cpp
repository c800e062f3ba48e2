#include "shell/Repertoires.h"

#include "common/IniFile.h"
#include "platform/Dialogues.h"

#include <QDir>
#include <QFileInfo>

namespace kinepo {
namespace {
const QString kSection = QStringLiteral("Repertoire");
} // namespace

Repertoires LireRepertoires(const QString& fichierIni) {
    const IniFile ini(fichierIni);
    return {ini.lireTexte(kSection, "Wav"), ini.lireTexte(kSection, "Avi"),
            ini.lireTexte(kSection, "Mecanique"), ini.lireTexte(kSection, "Optique"),
            ini.lireTexte(kSection, "Tabulane")};
}

bool EcrireRepertoires(const QString& fichierIni, const Repertoires& r) {
    IniFile ini(fichierIni);
    ini.ecrireTexte(kSection, "Wav", r.wav);
    ini.ecrireTexte(kSection, "Avi", r.avi);
    ini.ecrireTexte(kSection, "Mecanique", r.mecanique);
    ini.ecrireTexte(kSection, "Optique", r.optique);
    ini.ecrireTexte(kSection, "Tabulane", r.tabulane);
    return ini.enregistrer();
}

ErreurRepertoire::ErreurRepertoire()
    : std::runtime_error("Impossible de créer le répertoire") {}

std::optional<QString> ChoisirRepertoire(IDialogues& dialogues, const QString& propose) {
    QString courant = propose;
    for (;;) {
        const std::optional<QString> choix =
            dialogues.choisirDossier(QStringLiteral("Sélection du répertoire"), courant);
        if (!choix || choix->trimmed().isEmpty()) return std::nullopt;
        const QString dossier = QDir::cleanPath(*choix);
        if (QFileInfo(dossier).isDir()) return dossier;
        if (!dialogues.confirmer(
                QStringLiteral("Le répertoire spécifié n'existe pas. Le créer ?"))) {
            courant = dossier; // the chooser stays open on what was typed
            continue;
        }
        if (QFileInfo::exists(dossier) || !QDir().mkpath(dossier)) throw ErreurRepertoire();
        return dossier;
    }
}

} // namespace kinepo
