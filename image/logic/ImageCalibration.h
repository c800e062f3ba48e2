#pragma once
// The calibration of a still picture: the axes mode, the origin and the one or two scale
// vectors drawn on the picture as five handles, and how a picture pixel becomes a value.
//
// Coordinate spaces: "image" points are integer pixels of the unzoomed picture, rows growing
// downward; "view" points are pixels of the zoomed view (VueImage gives the mapping).
#include <QPoint>
#include <QSize>
#include <array>

namespace kinepo {

enum AxesModeImage { OneAxis = 0, TwoAxes = 1, Orthonormal = 2 };

// Handle slots; a slot is also the form's state while that handle is dragged.
enum SlotPoignee {
    SlotAppui = 0, // press point of a distance drag
    SlotOrigine = 3,
    SlotDebutX = 4,
    SlotFinX = 5,
    SlotDebutY = 6,
    SlotFinY = 7,
};

// The view of the picture: zoom z (a whole number or its inverse) and the visible part L, T,
// R, B in image pixels (R and B exclusive; see VueZoom.h for how they change). Offsets offX =
// round(z/2 - L z) and offY likewise, ties to even.
struct VueImage {
    double zoom = 1.0;
    int gauche = 0; // L
    int haut = 0;   // T
    int droite = 0; // R, exclusive
    int bas = 0;    // B, exclusive

    int offX() const;
    int offY() const;
    // Centre of the zoomed pixel: round(p z) + off.
    QPoint VersVue(QPoint posImage) const;
    // The image pixel whose zoomed square holds the view point: floor(v / z) + L (and T).
    QPoint VersImage(QPoint posVue) const;
};

class ImageCalibration {
public:
    int AxesMode = Orthonormal;
    double RefLengthX = 1.0;
    double RefLengthY = 1.0;
    double TimeStep = 1.0;
    bool HasReference = true;
    int SeriesCount = 1;
    std::array<QPoint, 8> Handles{};

    // Derived by RecomputeCalibration.
    double ScaleX = 1.0, ScaleY = 1.0;
    double DecadeX = 1.0, DecadeY = 1.0;
    double cX = 1.0, sX = 0.0, cY = 0.0, sY = 1.0;
    QPoint Origin;

    // Handles of a new W x H picture: origin and both starts at the centre, the X end a
    // quarter of the width to the right, the Y end a quarter of the height up.
    void ResetHandles(int largeur, int hauteur);
    // Mode 2 only: the X end takes the row of the X start, the Y end the column of the Y start.
    // A vector that this would shrink to nothing takes the length of the other one.
    void SquareVectors();
    // Scales, decades, directions and origin from the handles and the reference lengths.
    // A vector of zero length or a reference length of 0 leaves the scale undefined: the
    // previous derived values are kept and false is returned.
    bool RecomputeCalibration();
    // True when the handles and lengths give a defined calibration (see RecomputeCalibration).
    bool EstDefinie() const;

    // Physical values: the projection of the offset from the origin (rows turned upward) on
    // each vector's direction, times its scale.
    double ValueX(QPoint posImage) const;
    double ValueY(QPoint posImage) const;
    // The grid's values: scaled pixel offsets along columns and rows (rows downward), rounded
    // to a whole multiple of the decade.
    double GridValueX(QPoint posImage) const;
    double GridValueY(QPoint posImage) const;

    // Slot 3..7 of the first handle closer than 8 view pixels (Manhattan), or 0. The X
    // handles take part only outside mode 0.
    int HitHandle(const VueImage& vue, QPoint posVue) const;

    // Moves a handle to a view point, clamped to 1..Wv-1 x 1..Hv-1 (the drawn part, in view
    // pixels), applies the orthonormal constraints in mode 2 and recomputes the calibration.
    // A drop that would leave a vector of zero length is refused: the handles stay as they
    // were and false is returned.
    bool DropHandle(int slot, QPoint posVue, const VueImage& vue, QSize tailleVue);

    // Distance between a press point and the current point (view pixels) in the X unit:
    // both projections of the displacement, X left out in mode 0.
    double MeasureDistance(QPoint appuiVue, QPoint courantVue, double zoom) const;

    // The orthonormal constraints after handle `slot` moved to where it now is: common start,
    // X horizontal, Y vertical, both of the length of the vector just edited, each on the
    // side it had.
    void ContraindreOrthonormal(int slot);
};

} // namespace kinepo
