#pragma once
// The video commands of kinepo-cli, running the AVI form's code on a film:
//   info FILM                      frame size, frame count, file frame rate, duration, codec
//   track FILM --target X,Y [...]  automatic tracking; prints the table as the form's clipboard
//                                  target (or CSV / TXT export) holds it
//   chrono FILM OUT.bmp [--frame N] the chronophotograph alone
// Exit status: 0 on success; 1 when the film cannot be read or an output cannot be written;
// 2 for a bad command line (unknown option, a number that does not parse, a target outside the
// frame). Errors print one line on stderr and leave no output file behind.
#include "shell/cli/Commandes.h"

#include <QString>
#include <functional>
#include <vector>

namespace kinepo::cli {

// The three commands, for the program's command table.
std::vector<Commande> CommandesVideo();

int CommandeInfo(const QStringList& arguments);
int CommandeTrack(const QStringList& arguments);
int CommandeChrono(const QStringList& arguments);

} // namespace kinepo::cli
