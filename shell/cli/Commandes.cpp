#include "shell/cli/Commandes.h"

// Each subsystem adds its include and appends its commands below, one block each.

namespace kinepo::cli {

std::vector<Commande> ToutesLesCommandes() {
    std::vector<Commande> commandes;
    return commandes;
}

} // namespace kinepo::cli
