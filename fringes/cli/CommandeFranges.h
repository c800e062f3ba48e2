#pragma once
// "kinepo-cli fringes": a recorded experiment analysed headless, the film played as a camera
// through the fringe form's own measurement.
#include "shell/cli/Commandes.h"

namespace kinepo::cli {

// Runs the command on its arguments (those after "fringes"); fills the standard output text
// and the error lines, and returns the exit status (0, 1 for a film that cannot be read, 2 for
// bad arguments).
int ExecuterFranges(const QStringList& arguments, QString& sortie, QString& erreur);

Commande CommandeFranges();

} // namespace kinepo::cli
