#include "shell/cli/Commandes.h"
#include "fringes/cli/CommandeFranges.h"
#include "image/cli/CommandeDigitize.h"
#include "optics/cli/CommandeProfil.h"
#include "sound/CommandeWav.h"
#include "video/cli/CommandesVideo.h"

// Each subsystem adds its include and appends its commands below, one block each.

namespace kinepo::cli {

std::vector<Commande> ToutesLesCommandes() {
    std::vector<Commande> commandes;
    commandes.push_back(CommandeWav());
    for (auto& c : CommandesVideo())
        commandes.push_back(std::move(c));
    commandes.push_back(CommandeDigitize());
    commandes.push_back(CommandeProfil());
    commandes.push_back(CommandeFranges());
    return commandes;
}

} // namespace kinepo::cli
