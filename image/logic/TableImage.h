#pragma once
// The table of the digitized points: the grid's headings and cells, and the exchange text sent
// to the analysis program (also printed by kinepo-cli digitize).
#include "image/logic/ImageCalibration.h"
#include "image/logic/SeriesPoints.h"

#include <QString>
#include <QStringList>

namespace kinepo {

class TexteEchange;
struct PageTransfert;

// The names and units as typed in the scale dialog.
struct NomsVariables {
    QString nomX = QStringLiteral("X");
    QString nomY = QStringLiteral("Y");
    QString nomT = QStringLiteral("t");
    QString uniteX = QStringLiteral("m");
    QString uniteY = QStringLiteral("m");
    QString uniteT = QStringLiteral("s");
};

// The title of a new file's page.
inline constexpr auto kTitreImage = QLatin1StringView("Lecture de bitmap");

// Grid headings for n series: "t(s)", then "X1(m)", "Y1(m)", ... (mode 0: "Y1(m)", ...).
QStringList EntetesGrille(int axesMode, int nombreSeries, const NomsVariables& noms);
// Column of the grid holding X (false) or Y (true) of series s (1-based); X has none in mode 0.
int ColonneGrille(int axesMode, int serie, bool y);
// Series whose colour a grid column takes (0 for column 0).
int SerieDeColonne(int axesMode, int colonne);

// Names line: [t] then for each series [X] Y, numbered when there is more than one series.
QStringList ChampsNoms(const ImageCalibration& calib, const NomsVariables& noms);
// Units line in the same pattern, without numbers.
QStringList ChampsUnites(const ImageCalibration& calib, const NomsVariables& noms);
// Data line of point i (0-based, i below the length of series 1): [i x TimeStep] then the
// values of point i of each series. A later series shorter than series 1 has empty cells
// in the rows it lacks.
QStringList ChampsPoint(const ImageCalibration& calib, const SeriesPoints& series, int i);

// The whole exchange text: identification, names, units, one line per point of series 1,
// the constant block, and for a new file the NOMX, NOMY, ORTHO and FICHIER blocks.
void ConstruireTexteImage(TexteEchange& texte, const PageTransfert& page,
                          const ImageCalibration& calib, const NomsVariables& noms,
                          const SeriesPoints& series, const QString& nomFichier);

} // namespace kinepo
