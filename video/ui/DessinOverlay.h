#pragma once
// The figures of the video overlay, drawn in surface pixels: the caller maps image pixels to
// the surface (times Zoom on the picture, scaled on the side page).
#include <QPoint>
#include <QString>

class QPainter;

namespace kinepo {

// A line from a toward b that leaves out b's own pixel, as the overlay's pens draw: drawing on
// from b continues it without a doubled pixel. Every figure below is made of such lines.
void Ligne(QPainter& p, QPoint a, QPoint b);
// Lines of 5 pixels each way around the point.
void PetiteCroix(QPainter& p, QPoint centre);
// Axes of 20 pixels each way with a chevron pointing where each axis grows.
void PetitsAxes(QPainter& p, QPoint centre, bool xVersLaDroite, bool yVersLeHaut);
// Axes across the whole surface (largeur x hauteur) through the origin, with arrowheads.
void AxesComplets(QPainter& p, QPoint origine, int largeur, int hauteur, bool xVersLaDroite,
                  bool yVersLeHaut);
// A point label: its top left corner 2 pixels right of and below the point, at most 5 characters.
void Etiquette(QPainter& p, QPoint point, const QString& texte);
// The label font of the picture ("Small Fonts", 10-pixel cells, normal weight).
void PolicEtiquettes(QPainter& p);

} // namespace kinepo
