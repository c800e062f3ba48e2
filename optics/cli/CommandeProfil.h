#pragma once
// "kinepo-cli profile": the profile form's computation on a picture file, headless.
#include "shell/cli/Commandes.h"

#include <QString>
#include <QStringList>

namespace kinepo::cli {

// Runs the command on its arguments (those after "profile"); fills the standard output text or
// the one-line error, and returns the exit status (0, 1 for an unreadable picture, 2 for bad
// arguments).
int ExecuterProfil(const QStringList& arguments, QString& sortie, QString& erreur);

Commande CommandeProfil();

} // namespace kinepo::cli
