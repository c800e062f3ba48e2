#pragma once
// Where the sound form gets its player, its input and its recorder. The real back-ends talk to
// the desktop's sound server through Qt Multimedia; tests install fakes with InstallerAudio.
#include "platform/audio/EnregistreurSon.h"
#include "platform/audio/EntreeSon.h"
#include "platform/audio/LecteurSon.h"

#include <QString>
#include <functional>
#include <memory>

namespace kinepo {

struct FabriqueAudio {
    std::function<std::unique_ptr<LecteurSon>()> lecteur;
    std::function<std::unique_ptr<EntreeSon>()> entree;
    std::function<std::unique_ptr<EnregistreurSon>()> enregistreur;
};

// Replaces the factories (an empty one means the real back-end); returns the previous ones.
FabriqueAudio InstallerAudio(const FabriqueAudio& f);

std::unique_ptr<LecteurSon> CreerLecteurSon();
std::unique_ptr<EntreeSon> CreerEntreeSon();
std::unique_ptr<EnregistreurSon> CreerEnregistreurSon();

// The desktop's mixer that can set the recording volume (pavucontrol ...): its program path,
// empty when none is installed.
QString ProgrammeMixeur();

} // namespace kinepo
