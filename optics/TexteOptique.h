#pragma once
// The texts of the profile form: the scale entry (label, value shown, accepted keys, reading),
// the lines of a transfer and of the text table, and the saturation note under the plot.
#include "optics/ProfilOptique.h"
#include "transfer/PageTransfert.h"

#include <QChar>
#include <QString>
#include <QStringList>

namespace kinepo {

class TexteEchange;

// "Longueur de l'échelle" (type 0) or "Dimension du pixel" (type 1).
QString LibelleEchelle(int typeEchelle);
// The hint of the scale box: the label, a blank and "(validez avec Entrée)".
QString AideEchelle(int typeEchelle);
// The characters the scale box accepts: codes 8, 9, 13, 37, 39, 44, 46 and 48 to 57.
bool CaractereEchelleAccepte(QChar c);

// The text and unit index (0 m, 1 mm, 2 µm) the scale box shows for the stored value of the
// current type.
struct AffichageEchelle {
    QString texte;
    int unite;
};
AffichageEchelle AfficherEchelle(const ProfilOptique& p);
// Reads the box's text in the unit and stores it as the scale length (type 0) or the pixel
// size (type 1). Text that cannot be read counts as 1 of the unit.
void LireEchelle(ProfilOptique& p, const QString& texte, int unite);

// Builds the exchange text of a transfer: identification (line 2 always empty), names "x" "I",
// units "m" and none, descriptions, one line per kept sample, the constant of the page, and
// "&1 FICHIER" with the source name when there is one.
void ConstruireTexteOptique(const ProfilOptique& p, const PageTransfert& page,
                            const QString& source, TexteEchange& texte);

// The text table: names, units, descriptions and one line per kept sample.
QStringList LignesTableOptique(const ProfilOptique& p);

// The note under the plot: empty when no kept sample is saturated, else
// "1 échantillon saturé" / "<n> échantillons saturés (composante à 255)".
QString TexteSaturation(int nombre);

} // namespace kinepo
