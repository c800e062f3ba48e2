#pragma once
// The zoom and panning rules of the image form's view and overview, and the drawing of the
// visible part of the picture. All in image pixels unless a name says otherwise: "vue" is a
// pixel of the zoomed view, "apercu" a pixel of the overview.
#include "image/logic/ImageCalibration.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace kinepo {

// A factor made whole: above 1 rounded, below 1 the inverse of the rounded inverse (ties to
// even: 2.5 gives 2, 3.5 gives 4, 1/1.5 gives 1/2).
double NormaliserZoom(double x);

// The factor the zoom buttons give from z: twice z while z < 8, half z while z > 0.125, else
// z itself (the limits only test the current factor).
double ZoomAvant(double z);
double ZoomArriere(double z);

// The zoom box: "Taille réelle", "Zoom X n" above 1.1, "Zoom / n" below 0.9.
QString TexteZoom(double z);

// The view of a new picture: zoom 1, rectangle (0, 0, Wp, Hp) of the view panel, not limited
// to the picture.
VueImage VueNouvelleImage(QSize panneau);

// Zooms to the normalised `x` keeping the image point under `ancreVue` (view pixels) in place,
// then limits the rectangle to the picture and fills the panel as far as the picture allows.
void AppliquerZoom(VueImage& vue, double x, QPoint ancreVue, QSize panneau, QSize image);

// The end of an overview drag: the rectangle moved by `deplacementApercu` (overview pixels,
// fit factor s), kept inside the picture.
void DeplacerVue(VueImage& vue, QPoint deplacementApercu, double s, QSize panneau, QSize image);

// The drawn area of the view: round((R - L) z) x round((B - T) z).
QSize TailleDessinee(const VueImage& vue);

// The part (L, T, R, B) of the picture stretched onto (0, 0, Wv, Hv), pixel by nearest pixel;
// what lies beyond the picture is `fond`.
QImage RenduVue(const QImage& image, const VueImage& vue, QRgb fond);

// The overview: fit factor s = min(Ha / H, Wa / W) for the overview panel, its size
// round(W s) x round(H s), and the outlined rectangle of the view in overview pixels.
double FacteurApercu(QSize panneauApercu, QSize image);
QSize TailleApercu(double s, QSize image);
QRect RectangleApercu(const VueImage& vue, double s);

} // namespace kinepo
