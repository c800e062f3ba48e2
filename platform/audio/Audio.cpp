#include "platform/audio/Audio.h"

#include "platform/audio/AudioQt.h"

#include <QStandardPaths>

namespace kinepo {

namespace {
FabriqueAudio& Installee() {
    static FabriqueAudio f;
    return f;
}
} // namespace

FabriqueAudio InstallerAudio(const FabriqueAudio& f) {
    FabriqueAudio avant = Installee();
    Installee() = f;
    return avant;
}

std::unique_ptr<LecteurSon> CreerLecteurSon() {
    if (Installee().lecteur) return Installee().lecteur();
    return std::make_unique<LecteurSonQt>();
}

std::unique_ptr<EntreeSon> CreerEntreeSon() {
    if (Installee().entree) return Installee().entree();
    return std::make_unique<EntreeSonQt>();
}

std::unique_ptr<EnregistreurSon> CreerEnregistreurSon() {
    if (Installee().enregistreur) return Installee().enregistreur();
    return std::make_unique<EnregistreurSonQt>();
}

QString ProgrammeMixeur() {
    // Mixers of the sound server that show the input volumes.
    for (const char* nom : {"pavucontrol", "pavucontrol-qt"}) {
        const QString chemin = QStandardPaths::findExecutable(QString::fromLatin1(nom));
        if (!chemin.isEmpty()) return chemin;
    }
    return {};
}

} // namespace kinepo
