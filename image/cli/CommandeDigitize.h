#pragma once
// kinepo-cli digitize: the image form's calibration and table, headless, for scanned graphs.
//   digitize PICTURE [--mode 0|1|2] --origin X,Y --y-vector X1,Y1,X2,Y2,LENGTH
//            [--x-vector X1,Y1,X2,Y2,LENGTH] [--names X,Y] [--units U,V] [--no-reference]
//            (--points "X,Y X,Y ..." | --colour R,G,B [--tolerance T] [--step N])
// Prints the names line, the units line and one line per point, TAB-separated, numbers by
// ReelVersTexte: what the form sends between its identification lines and its constant.
// Exit status 0; 1 when the picture cannot be read; 2 for a bad command line.
#include "shell/cli/Commandes.h"

namespace kinepo::cli {

Commande CommandeDigitize();

// The command itself: the text for stdout in `sortie`, one error line in `erreur`.
int ExecuterDigitize(const QStringList& arguments, QString& sortie, QString& erreur);

} // namespace kinepo::cli
