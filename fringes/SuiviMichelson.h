#pragma once
// The fringe form's measurement without widgets: the light level at a point of a luma plane,
// the three series of an acquisition (lamp level, laser level, time) with their fixed
// capacity, the strip chart's geometry, the count of fringes, and the transfer texts.
#include "transfer/PageTransfert.h"

#include <QLine>
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace kinepo {

class TexteEchange;

// Level at (x, y): the nine luma bytes of its 3 × 3 neighbourhood summed, S, and
// (S − 144) / 2115, so that video black (16) gives 0 and video white (235) just under 0.94.
// A neighbourhood reaching out of the plane is moved inside it first.
double NiveauPoint(const std::uint8_t* luma, int largeur, int hauteur, QPoint point);

// Counts the maxima of a level as it comes in. A maximum counts once the level has fallen
// back from it by the hysteresis, which grows with the swing seen so far (a quarter of it,
// never under 0.02), so that noise on a plateau is not taken for fringes.
class CompteurFranges {
public:
    void Reinitialiser();
    void Ajouter(double niveau);
    int Nombre() const { return nombre_; }

private:
    int nombre_ = 0;
    bool premier_ = true, monte_ = true;
    double extreme_ = 0, mini_ = 0, maxi_ = 0;
};

class SuiviMichelson {
public:
    static constexpr int IndiceMax = 65000;        // the series hold indices 0 … 65000
    static constexpr int Capacite = IndiceMax + 1; // 65001 samples
    static constexpr int PasPlage = 256;           // the chart grows by this many samples

    SuiviMichelson(); // the time series preset to 0.3 s per sample

    QPoint Point1{160, 120}; // frame pixels
    QPoint Point2{100, 100};
    std::uint64_t DebutAcquisition = 0;      // high-resolution count at the start
    int LargeurImage = 320;                  // also the byte length of one luma row
    std::vector<double> Lampe, Laser, Temps; // Capacite each, allocated once
    int NombreEchantillons = 0;
    int PlageTrace = PasPlage; // index of the time sample at the chart's right edge
    double EchelleGraphe = 0;  // pixels per second
    double HauteurGraphe = 0;  // pixels
    CompteurFranges Franges;

    // A new acquisition: no sample, the first chart range, no fringe.
    void Commencer();

    // What a frame of an acquisition asks of the chart.
    struct Effet {
        bool segment = false;    // draw the segment from NombreEchantillons − 2 to − 1
        bool redessiner = false; // the range grew: repaint the whole chart
        bool fin = false;        // the series are full: the acquisition stops
    };
    // Stores one frame's levels and time at the current count; during an acquisition the count
    // then grows (and the range with it, the times beyond the count filled at the mean period).
    // While waiting, nothing is written past the last index.
    Effet AjouterImage(double lampe, double laser, double tempsS, bool acquisition);

    // The chart's scale for a chart of that size (at each full repaint).
    void MettreEchelle(QSize taille);
    // Segment k (1 ≤ k < count) of a series in chart pixels.
    QLine Segment(int k, const std::vector<double>& serie) const;
};

// The transfer: identification (no title line), names "t" "Na" ["Laser"], units, the three
// descriptions, one line per sample, the constant, then NOMX, NOMY, COULEUR and LIGNE for one
// curve or two.
void ConstruireTexteMichelson(const SuiviMichelson& s, bool deuxPoints, const PageTransfert& page,
                              TexteEchange& texte);
// The bare table: names, units and one line per sample.
QStringList LignesTableMichelson(const SuiviMichelson& s, bool deuxPoints);

} // namespace kinepo
