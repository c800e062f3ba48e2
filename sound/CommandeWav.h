#pragma once
// "kinepo-cli wav FILE [--from SECONDS --to SECONDS] [--stereo] [--txt]": what the sound form
// would transfer for that selection (choice "Nouveau fichier", empty comment, no constant), or
// with --txt the text table it would save.
#include "shell/cli/Commandes.h"

namespace kinepo::cli {

Commande CommandeWav();
// The command itself, for tests: fills `sortie` (the text, CR LF line ends) or `erreur`;
// returns the exit status.
int ExecuterWav(const QStringList& arguments, QString& sortie, QString& erreur);

} // namespace kinepo::cli
