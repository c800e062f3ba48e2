#pragma once
// Where the program finds its platform facilities. The program installs the real ones at
// start-up (InstallerPlateformeQt); tests install fakes. Each accessor throws std::logic_error
// when nothing was installed, so a forgotten installation fails loudly.
namespace kinepo {

class IDialogues;
class IPressePapiers;
class IProcessus;
class IRegistre;

struct Plateforme {
    IDialogues* dialogues = nullptr;
    IPressePapiers* pressePapiers = nullptr;
    IProcessus* processus = nullptr;
    IRegistre* registre = nullptr;
};

// Replaces the current set; returns the previous one (tests restore it).
Plateforme InstallerPlateforme(const Plateforme& p);

IDialogues& Dialogues();
IPressePapiers& PressePapiers();
IProcessus& Processus();
IRegistre& Registre();

} // namespace kinepo
