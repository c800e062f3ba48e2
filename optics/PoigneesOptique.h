#pragma once
// The interactive rules of the profile form without its widgets: the zoom that fits a picture
// into the form, the handles (reset, hit test, dragging with the origin carrying the direction,
// the partner distance and Shift snapping), and the geometry of the overlay drawn over the
// picture (line, handle marks, scale segment with its ticks), all in handle coordinates.
#include "optics/ProfilOptique.h"

#include <QLine>
#include <QPoint>
#include <QSize>
#include <vector>

namespace kinepo {

// Zoom factor for a picture of `taille` in a form whose client area is `largeurClient` wide
// and offers `hauteurDisponible` for the picture: the picture takes at most two thirds of the
// width; an enlargement is a whole factor, a reduction 1/n.
double CalculerZoom(int largeurClient, int hauteurDisponible, QSize taille);

// What regleZoom sets in the state: zoom, displayed size (Round(size * z)), picture size and
// bounds, the handles reset in picture pixels, handle size Round(8 / z), no handle grabbed.
// The reading becomes direct.
void RegleZoom(ProfilOptique& p, int largeurClient, int hauteurDisponible, QSize taille);

// A reduced JPEG: copy reading, handles reset in displayed pixels, handle size 8, bounds the
// displayed size (call after RegleZoom).
void PasserEnLectureCopie(ProfilOptique& p);

// Handle under a point in handle coordinates: 1, 2, 3, 4 tried in that order, the first whose
// Manhattan distance is below the handle size; 0 for none.
int PoigneeSous(const ProfilOptique& p, QPoint pos);

// Handle paired with n (2 for 1, 1 for 2, 4 for 3, 3 for 4).
int Partenaire(int n);

// Drags handle n (1 ... 4) to `pos` (handle coordinates):
// - the origin goes there and carries the direction handle by the same amount, which is then
//   kept one handle size inside the bounds;
// - the direction handle and the scale ends move only when they stay farther than the handle
//   size (Manhattan) from their partner;
// - with `maj` (Shift held) the partner is then put on the same column (|dy/dx| > 1, or the
//   same x) or the same row as the dragged handle.
void GlisserPoignee(ProfilOptique& p, int n, QPoint pos, bool maj);

// The overlay, in handle coordinates, as drawn with an inverting pen.
struct TraitOverlay {
    QLine ligne;
    int largeur; // pen width
};
struct Overlay {
    std::vector<TraitOverlay> traits;
    QPoint centreCercle; // circle around the direction handle
    int rayon = 0;
    int largeurCercle = 1;
};
// The cross at the origin, the circle at the direction handle, the whole line across the
// bounds, and in scale mode the crosses at both scale ends, the segment and nine ticks.
Overlay GeometrieOverlay(const ProfilOptique& p);

} // namespace kinepo
