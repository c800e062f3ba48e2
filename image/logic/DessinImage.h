#pragma once
// What the image form draws over its picture, in the view (view pixels) and in the overview
// (overview pixels, fit factor s): the point markers and labels of every series, the scale
// vectors with their arrowheads, the origin and the handles.
#include "image/logic/ImageCalibration.h"
#include "image/logic/SeriesPoints.h"

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QString>

class QPainter;

namespace kinepo {

// The label of point `indice` (from 0) of series `serie`: the index, then "(serie)" when there
// is more than one series; in the view it is cut to its first 5 characters.
QString EtiquettePoint(int indice, int serie, int nombreSeries, bool couper);

// A vector from s to e with an arrowhead at e (barbs `longueur` pixels back along the shaft,
// a third of that to each side) and a circle of radius 5 around s.
void DessinerVecteur(QPainter& p, QPoint s, QPoint e, double longueur = 16);

// Points and overlay drawn into the view's picture (Format_RGB32): crosses of arms 4, labels
// at (+4, +4) cut to 5 characters; then the Y vector, the X vector (not in mode 0), the origin
// and the handles in colour 0.
void DessinerVue(QImage& rendu, const VueImage& vue, const ImageCalibration& c,
                 const SeriesPoints& series, const QRgb couleurs[4]);

// The same in the overview at fit factor s: arms of round(4/s) image pixels (at least 1),
// whole labels; vectors with arrowheads 2 round(8/s) image pixels long.
void DessinerApercu(QPainter& p, double s, const ImageCalibration& c, const SeriesPoints& series,
                    const QRgb couleurs[4]);

} // namespace kinepo
