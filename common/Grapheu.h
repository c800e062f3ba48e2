#pragma once
// Curve plots of the light-profile and sound forms: a linear world-to-screen mapping per axis
// (Tmonde), a curve given by two real arrays (Tgraphe) and a wave drawn straight from a sound
// buffer (TgrapheSon). Neither draws axes or labels: Dessine clears its rectangle and draws the
// curve in blue.
//
// Rectangles follow the window-system convention the mappings are written for: left and top
// are rect.x() and rect.y(), right and bottom are rect.x() + rect.width() and
// rect.y() + rect.height() (one past the last pixel). Drawing is clipped to the rectangle.
#include <QPoint>
#include <QRect>

#include <cstddef>
#include <cstdint>
#include <memory>

class QPainter;
class QPaintDevice;

namespace kinepo {

// Linear mapping of one axis: screen = nearest integer (ties to even) to a * world + b.
class Tmonde {
public:
    double mini = 0; // world value at the low edge
    double maxi = 1; // world value at the high edge
    double a = 1;    // screen units per world unit (negative on a vertical axis)
    double b = 0;    // screen coordinate of world value 0

    // Screen coordinate of a world value. Values far off screen (or not a number) are pinned
    // to ±1e8 (NaN to -1) so that the conversion to int stays defined.
    int VersEcran(double monde) const;
};

// Edges of a rectangle in the convention above.
inline int Gauche(const QRect& r) {
    return r.x();
}
inline int Haut(const QRect& r) {
    return r.y();
}
inline int Droite(const QRect& r) {
    return r.x() + r.width();
}
inline int Bas(const QRect& r) {
    return r.y() + r.height();
}

// A real array indexed -32768 ... 32768, allocated once with its owner.
class TableauGraphe {
public:
    static constexpr int IndiceMin = -32768;
    static constexpr int IndiceMax = 32768;
    static constexpr int Capacite = IndiceMax - IndiceMin + 1;

    TableauGraphe();
    // The caller keeps i within IndiceMin ... IndiceMax.
    double& operator[](int i) { return valeurs_[static_cast<std::size_t>(i - IndiceMin)]; }
    double operator[](int i) const { return valeurs_[static_cast<std::size_t>(i - IndiceMin)]; }

    // The 65 537 values in index order (element 0 is index IndiceMin), for bulk copies.
    double* data() { return valeurs_.get(); }
    const double* data() const { return valeurs_.get(); }

private:
    std::unique_ptr<double[]> valeurs_;
};

// A curve of up to 65 537 points (X[i], Y[i]), i from first to last.
class Tgraphe {
public:
    Tgraphe();

    QPaintDevice* canvas = nullptr; // where Dessine() draws (set once by the owner)
    Tmonde mondeX, mondeY;          // the owner sets mini and maxi before each drawing
    std::int32_t first = 0, last = 0;
    QRect rect; // drawing area, set before each drawing
    TableauGraphe X, Y;
    bool lines = true; // true: segments between points; false: single pixels

    // Clears rect to white and draws the curve on canvas (does nothing without a canvas).
    // first and last are clamped to the array bounds. Points carrying ValeurAbsente, or
    // mapping to a screen coordinate of 0 or less, are skipped and the curve bridges over them.
    // A world range of zero width (mini == maxi) leaves only the white rectangle.
    void Dessine();
    // Same, with a painter the caller already holds (for example in a paint event that also
    // draws axes). The painter's state is restored on return.
    void Dessine(QPainter& peintre);

    // Screen position of point i, or (-1, -1) when it carries ValeurAbsente. Valid after a
    // drawing (it uses the mappings that Dessine computed).
    QPoint PointEcran(int i) const;

private:
    std::unique_ptr<QPoint[]> trace_; // polyline buffer, sized once for every point
};

// A sound wave read from the sound buffer: one format byte (0 = 8-bit mono, 1 = 16-bit mono,
// 2 = 16-bit stereo, 3 = 8-bit stereo), then the samples: 8-bit unsigned from byte 1, 16-bit
// signed little-endian from byte 2, stereo interleaved left, right. Only the left channel is
// drawn. Positions count frames from first.
class TgrapheSon {
public:
    QPaintDevice* canvas = nullptr;
    Tmonde mondeX, mondeY;
    std::int32_t first = 0, last = 0; // frame range to draw
    std::int32_t step = 1;            // one-line mode: only frames whose index is a multiple
    QRect rect;
    bool compressed = false; // set by Dessine: more than 5 frames per pixel column

    // The buffer (owned by the caller, kept alive while drawing) and the number of its bytes
    // that are filled, format byte included. Nothing past that count is ever read.
    void FixerDonnees(const std::uint8_t* tampon, std::size_t octetsRemplis);
    // Number of complete frames in the filled part of the buffer.
    std::int64_t NombreTrames() const;
    // First-channel value of frame k (0 ... 255 or -32768 ... 32767); k must be a valid frame.
    int Echantillon(std::int64_t k) const;
    bool Est16Bits() const;

    // Clears rect and draws frames first ... last: one segment per frame when a pixel column
    // holds at most 5 frames, otherwise a vertical min-max segment per column. Frames beyond
    // last or beyond the filled part of the buffer are not read.
    void Dessine();
    void Dessine(QPainter& peintre);

    // Screen point of a sample value at a position (frames from first).
    QPoint MondeVersEcran(double valeur, double position) const;
    // Position and value under a screen point.
    struct PointMonde {
        double position;
        double valeur;
    };
    PointMonde EcranVersMonde(int x, int y) const;

private:
    void MettreAJourMappings();

    const std::uint8_t* donnees_ = nullptr;
    std::size_t octets_ = 0;
};

} // namespace kinepo
