#pragma once
// The texts the sound form produces from a selection: the exchange-text lines of a transfer
// (around the constant block, which the shared transfer appends) and the text table.
#include "sound/SelectionSon.h"
#include "transfer/TexteEchange.h"

#include <QStringList>

namespace kinepo {

class TamponSon;

// General format with 7 significant digits and at least one exponent digit, with the user's
// decimal separator: 0.0005 -> "0,0005", 2.267574e-5 -> "2,267574E-5", 12345678 -> "1,234568E7".
QString TempsVersTexte(double x);

struct ParametresTransfertSon {
    QString cheminExecutable;      // line 1
    bool nouveauFichier = true;    // line 2: the title, or an empty line for a new page
    QString commentaire;           // line 3
    bool stereo = false;           // both channels (stereo sound with "Stéréo" checked)
    QString fichierSon;            // the player's file, sent in the FICHIER block ...
    QString fichierEnregistrement; // ... unless it is the program's recording file
};

// Lines before the constant block: identification, names, units and one data line for every
// sample from start to end whose index is a multiple of the step.
QStringList LignesTransfertSon(const TamponSon& son, const Selection& s,
                               const SousEchantillonnage& sous, const ParametresTransfertSon& p);
// Lines after the constant block: NOMX, NOMY, LIGNE, ANALOG (stereo) and FICHIER.
QStringList BlocsTransfertSon(const ParametresTransfertSon& p);

// The text table: names, units and every sample from start to end, without thinning.
QStringList LignesTableSon(const TamponSon& son, const Selection& s, bool stereo);

} // namespace kinepo
