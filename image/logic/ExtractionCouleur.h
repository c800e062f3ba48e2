#pragma once
// Following a plotted curve by its colour: one point per step of columns, at the centre of the
// run of pixels of that colour in the column.
#include "image/logic/SeriesPoints.h"

#include <QImage>
#include <QRgb>

namespace kinepo {

struct ParametresExtraction {
    QRgb couleur = qRgb(255, 0, 0);
    // A pixel matches when |dR| + |dG| + |dB| is at most this.
    int tolerance = 60;
    // Columns examined: 0, pas, 2 pas, ... (image pixels).
    int pas = 1;
};

struct ResultatExtraction {
    int ajoutes = 0;    // points appended
    bool plein = false; // the series filled up before the last column
};

// True when the pixel is within the tolerance of the colour.
bool CouleurProche(QRgb pixel, QRgb couleur, int tolerance);

// Appends to `serie` one point per examined column that holds matching pixels. When a column
// holds several runs (a curve crossing it more than once), the run nearest the previous point
// wins (the series' last point, or for the first point of an empty series the longest run).
// Stops cleanly when the series is full.
ResultatExtraction ExtraireCourbe(const QImage& image, const ParametresExtraction& parametres,
                                  SeriesPoints& series, int serie);

} // namespace kinepo
