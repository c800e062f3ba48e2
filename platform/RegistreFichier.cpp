#include "platform/RegistreFichier.h"

#include "common/IniFile.h"
#include "platform/Chemins.h"

#include <QDir>
#include <QFileInfo>

namespace kinepo {

RegistreFichier::RegistreFichier(QString chemin) : chemin_(std::move(chemin)) {
    if (chemin_.isEmpty()) {
        const QByteArray env = qgetenv("KINEPO_REGISTRE");
        chemin_ = env.isEmpty() ? DossierConfigurationUtilisateur() + QStringLiteral("/registre.ini")
                                : QString::fromLocal8Bit(env);
    }
}

std::optional<QString> RegistreFichier::lire(const QString& cle, const QString& nom) const {
    return IniFile(chemin_).valeur(cle, nom);
}

void RegistreFichier::ecrire(const QString& cle, const QString& nom, const QString& valeur) {
    QDir().mkpath(QFileInfo(chemin_).absolutePath());
    IniFile f(chemin_);
    f.ecrireTexte(cle, nom, valeur);
    f.enregistrer();
}

} // namespace kinepo
