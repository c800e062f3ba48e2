#pragma once
// The texts a video table leaves the form as: the bare table of the clipboard target, the
// CSV/TXT export and the exchange text for the analysis program. Values are converted with the
// calibration at the moment the text is built (unrounded, general 6-digit format of
// ReelVersTexte, whose decimal separator follows the language settings).
#include "transfer/TexteEchange.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

#include <QString>
#include <QStringList>

namespace kinepo {

// Column names: "t", "x", "y" for one point; "t", "x1", "y1", ... "xn", "yn" otherwise.
QStringList NomsColonnes(int nbrePoints);

// Names line, units line and one line per stored row, fields joined by `separateur`.
QStringList LignesTableau(const VideoCalibration& c, const TablesPointage& t, int nbrePoints,
                          QChar separateur);

// Clipboard target "vers presse papiers": names, units and data lines, TAB-separated.
QString TextePressePapiers(const VideoCalibration& c, const TablesPointage& t, int nbrePoints);

// Export separator of a chosen file name: "," when its extension is ".csv" (any case), TAB
// otherwise.
QChar SeparateurExport(const QString& nomFichier);
// The export text (same lines as the clipboard target, with the file's separator).
QString TexteExport(const VideoCalibration& c, const TablesPointage& t, int nbrePoints,
                    QChar separateur);
// Writes an export as CP1252 through a temporary file renamed over the target, so a failed
// write never destroys an existing file of that name. False on any error.
bool EcrireExport(const QString& nomFichier, const QString& texte);

// Uncertainty block: "&<Rows> INCERT", then per row (Times[1] - Times[0]) / 100 followed, for
// every point, by |KX| * n and |KY| * n (n = c.Incertitude).
QStringList LignesIncertitude(const VideoCalibration& c, const TablesPointage& t, int nbrePoints);

// Header blocks of a new file: NOMX, NOMY, ORTHO and FICHIER.
QStringList LignesEnteteNouveauFichier(int nbrePoints, const QString& cheminFilm);

// What the exchange text needs besides the table.
struct EnteteEchange {
    QString cheminExecutable;   // line 1
    bool nouveauFichier = true; // "Nouveau fichier" chosen: title and header blocks
    QString commentaire;        // line 3
    QStringList blocConstante;  // the constant block (empty when none), as the link builds it
    QString cheminFilm;         // FICHIER
};

// The page title of a new file.
inline const char* const kTitreVideo = "Acquisition à partir de video";

// The whole exchange text for the analysis program, as lines: identification, names, units,
// data lines, constant block, uncertainty block, and the header blocks of a new file.
QStringList LignesEchange(const EnteteEchange& e, const VideoCalibration& c,
                          const TablesPointage& t, int nbrePoints);

} // namespace kinepo
