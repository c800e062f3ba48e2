#pragma once
// What both video forms do alike with a measurement: draw its figures from the calibration and
// the tables (the row origins of a moving origin, the full axes and the scale segment, every
// recorded point with its label; each form maps image pixels to its own surface), read the live
// patch under the pointer, and send the table away.
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QPainter;
class QLineEdit;
class QToolButton;
class QWidget;

namespace kinepo {

struct OptionsDessinMesures {
    bool axes = true;           // "Axes": the full axes and the scale segment
    bool points = true;         // "Points": the recorded points and their labels
    bool origineMobile = false; // each row has its own origin (small axes drawn at each)
    int nbrePoints = 1;         // points per image
    QRgb couleurAxe = 0;
    int largeur = 0; // extent of the full axes on the surface
    int hauteur = 0;
};

// Draws the figures with p. versSurface maps an image pixel to the surface. When etiquettes is
// given, it receives every label drawn (surface position, text as drawn).
void DessinerMesures(QPainter& p, const VideoCalibration& calib, const TablesPointage& tables,
                     const OptionsDessinMesures& o,
                     const std::function<QPoint(QPoint)>& versSurface,
                     std::vector<std::pair<QPoint, QString>>* etiquettes = nullptr);

// A text tool button of the video forms, with its hint ("short|long"), checkable when bascule.
QToolButton* BoutonOutil(QWidget* parent, const QString& texte, const QString& aide,
                         bool bascule = false);

// Reads the scale length typed in the field into calib. A text that is not a length shows
// "Echelle incorrecte", puts the current length back into the field and returns false.
bool LireLongueurEchelle(QLineEdit* champ, VideoCalibration& calib);

// The live patch: the kCotePatch x kCotePatch pixels around centre (black outside the picture).
void LirePatch(const QImage& image, QPoint centre, Patch& patch);

// Sends the table to the analysis program (versTabulane: exchange text with identification,
// constant, uncertainty and, for a new file, the header block) or to the clipboard (the table
// only). False when nothing was sent.
bool TransfererMesures(VideoCalibration& calib, const TablesPointage& tables, int nbrePoints,
                       const QString& nomFilm, bool versTabulane);

} // namespace kinepo
