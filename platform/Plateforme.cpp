#include "platform/Plateforme.h"

#include <stdexcept>

namespace kinepo {
namespace {
Plateforme g_plateforme;

template <class T> T& exiger(T* p, const char* nom) {
    if (!p) throw std::logic_error(std::string("platform facility not installed: ") + nom);
    return *p;
}
} // namespace

Plateforme InstallerPlateforme(const Plateforme& p) {
    Plateforme ancien = g_plateforme;
    g_plateforme = p;
    return ancien;
}

IDialogues& Dialogues() { return exiger(g_plateforme.dialogues, "dialogues"); }
IPressePapiers& PressePapiers() { return exiger(g_plateforme.pressePapiers, "clipboard"); }
IProcessus& Processus() { return exiger(g_plateforme.processus, "processes"); }
IRegistre& Registre() { return exiger(g_plateforme.registre, "registry"); }

} // namespace kinepo
