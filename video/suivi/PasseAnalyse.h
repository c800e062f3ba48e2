#pragma once
// The per-frame analysis of automatic tracking and chronophotography, on pictures only: no
// tables, no player, no widgets. `SuiviAutomatique` drives it for the form and the command line.
//
// Coordinates: every QPoint named ...Ecran is a screen pixel of the picture panel, that is a
// pixel of the displayed frame (the decoded frame scaled by the zoom with nearest neighbour,
// W x H = zoom x frame size); every QPoint named ...Image is an image pixel of the unzoomed
// frame (screen pixel div zoom).
//
// Rules that the pass keeps exactly (tests compare it with a plain transcription of them):
//  - a pixel is moving when |R-Rref| + |G-Gref| + |B-Bref| > 192 against the background;
//  - every moving pixel of every frame is painted, with its own colour, into the chronophotograph;
//  - the target search keeps the first pixel, in row-major order, of smallest colour distance
//    E = |R-Rt| + |G-Gt| + |B-Bt| among moving pixels within the window of a fifth of the picture
//    around the last position, tried with thresholds 32, 48 and 64 (E must be below the
//    threshold); a best match at screen pixel (0, 0) counts as not found;
//  - a match is refined by the bounding box of the moving pixels with E < distance + 16 inside a
//    box of W div 20 by H div 20 half sizes around it; the position is the box centre.
// Two additions to those rules (the plain transcription in the tests has them too):
//  - a target not found in its window is searched again, by the same rules, over the whole
//    frame before the frame is given up;
//  - a refined box that reaches a side of its window (other than the picture's edge) is taken
//    again in a window moved onto the box's centre and widened to hold it with the first
//    margins on every side, until it lies inside (at most ToursAffinageMax windows). A box that
//    lies inside its first window, as a small object's does, is kept as the rule gives it.
#include <QImage>
#include <QPoint>

namespace kinepo {

// Mean colour of the target, each channel 0..255.
struct CouleurCible {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const CouleurCible&, const CouleurCible&) = default;
};

// What one frame gave.
struct ResultatPasse {
    bool trouve = false;
    QPoint meilleurEcran;     // best-matching pixel (valid when trouve)
    int distance = 0;         // its colour distance E
    QPoint meilleurImage;     // the best match in image pixels (kept for reference only)
    QPoint positionImage;     // the refined position of the object in image pixels
    bool horsFenetre = false; // found only by the search over the whole frame
};

class PasseAnalyse {
public:
    static constexpr int SeuilDifference = 192; // moving when the difference is above this
    static constexpr int SeuilRechercheDepart = 32;
    static constexpr int PasSeuilRecherche = 16;
    static constexpr int SeuilRechercheMax = 65; // searches run while the threshold is <= this
    static constexpr int MargeAffinage = 16;     // T = distance + 16
    static constexpr int ToursAffinageMax = 8;   // windows of the refinement at most

    // Takes the background: the displayed frame at the start of the analysis (any format; kept
    // as 24-bit RGB) and a second, modifiable copy of it as the chronophotograph. zoom >= 1 is
    // the screen pixels per image pixel of that frame.
    void Demarrer(const QImage& imageAffichee, int zoom);

    // The target colour: the mean (sums divided by 9, truncated) of the 3 x 3 background pixels
    // around the clicked screen pixel. Pixels beyond the picture's edge are taken at the edge.
    // Needs Demarrer first.
    void FixerCible(QPoint cibleEcran);

    // One frame of the analysis: paints the frame's moving pixels into the chronophotograph
    // and, when suivre is true, searches the target around derniereImage (the last recorded
    // position, image pixels) and refines it. A frame whose size differs from the background's
    // (or a pass before Demarrer) changes nothing and finds nothing.
    ResultatPasse Passer(const QImage& imageAffichee, QPoint derniereImage, bool suivre);

    // True when the target colour stands out from what surrounds the click on the background:
    // at least half the pixels of the ring at a tenth of the picture around it differ from the
    // target colour by more than SeuilDifference. Otherwise the pass cannot tell the target
    // from the background it uncovers (a click on the background itself). Needs FixerCible.
    bool CibleDistincte(QPoint cibleEcran) const;

    bool Demarree() const { return !reference_.isNull(); }
    int Zoom() const { return zoom_; }
    CouleurCible Cible() const { return cible_; }
    // The background and the chronophotograph built so far (RGB888, W x H).
    const QImage& Reference() const { return reference_; }
    const QImage& Chrono() const { return chrono_; }

    // Drops both copies (the end of the analysis).
    void Liberer();

private:
    // The refined position (screen pixels) of a match with threshold seuil on frame f.
    QPoint Affiner(const QImage& f, QPoint meilleur, int seuil) const;

    QImage reference_;
    QImage chrono_;
    CouleurCible cible_;
    int zoom_ = 1;
};

// How the pass walks a row. Every path gives the same result; Automatique takes the fastest the
// processor has (AVX2, then SSSE3, then the portable one). Tests compare each with the plain
// rule; benchmarks measure each.
enum class CheminPasse { Automatique, Portable, Ssse3, Avx2 };
// Chooses the path of every later pass; false (and nothing changed) when this processor cannot
// run it.
bool ChoisirCheminPasse(CheminPasse chemin);

// The displayed frame: each image pixel becomes a zoom x zoom square (nearest neighbour),
// in 24-bit RGB. zoom 1 returns the frame itself (converted to RGB888 when needed).
QImage ImageAfficheeDepuisDecodee(const QImage& decodee, int zoom);

} // namespace kinepo
