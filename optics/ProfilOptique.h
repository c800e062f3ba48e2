#pragma once
// The light-intensity profile: the state of the profile form (handles, zoom, range, the two
// fixed profile arrays) and the computation of the relative intensity along the line through
// the origin handle and the direction handle, averaged over parallel lines.
//
// Coordinates. Handle coordinates are picture pixels in direct reading and displayed pixels in
// copy reading (a reduced JPEG whose full-resolution copy lies on disk as a 24-bit BMP). Step
// indices i count picture pixels along the walking axis from the origin handle.
#include "common/Grapheu.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kinepo {

// Where the pixels of a computation are read.
enum class LecturePixels {
    Directe, // from the picture in memory, at its own size
    Copie,   // from the full-resolution BMP copy on disk
};

class ProfilOptique {
public:
    static constexpr int IndiceMin = TableauGraphe::IndiceMin; // -32768
    static constexpr int IndiceMax = TableauGraphe::IndiceMax; // 32768
    static constexpr int MoyenneMax = 128;

    ProfilOptique();

    // Handles 1 to 4 (index 0 unused), in handle coordinates: 1 origin, 2 direction, 3 and 4
    // the ends of the scale segment.
    std::array<QPoint, 5> Poignee{};
    std::uint8_t PoigneeSaisie = 0;         // 0 none
    std::uint8_t DernierePoigneeSaisie = 0; // kept after the button is released

    // Set by each computation from handles 1 and 2.
    bool SelonX = true;    // walked one column at a time (else one row at a time)
    bool Alignee = true;   // exactly horizontal or vertical
    long double Pente = 0; // (P1.y - P2.y) / (P1.x - P2.x), valid when not aligned

    QSize Affiche;         // displayed size (screen pixels)
    QSize Image;           // the picture's own size
    QSize Bornes;          // extent of handles and line, in handle coordinates
    double Zoom = 1;       // displayed / picture: an integer >= 1 or 1/n
    int TaillePoignee = 8; // grab distance and half-size of the marks, in handle coordinates
    LecturePixels Lecture = LecturePixels::Directe;

    std::int32_t Debut = 0, Fin = 0; // first and last kept step index
    TableauGraphe Intensite;         // sums while computing, relative intensities after
    TableauGraphe Distance;          // metres from the origin handle

    double LongueurEchelle = 0.01; // metres
    double TaillePixel = 1.4e-05;  // metres
    int TypeEchelle = 0;           // 0 from the scale handles, 1 from the pixel size
    int Moyenne = 0;               // m: lines averaged on each side, 0 ... 128

    // Range 0 ... 0, every intensity 0, every distance its own index, no saturation.
    void Reinitialiser();

    // Direct reading: `image` is the picture at its own size (Image is set from it). Pixels
    // outside the picture cancel what earlier lines added at that step.
    void CalculerDirect(const QImage& image);
    // Copy reading from the BMP copy `fichierCopie` of Image's size. Pixels outside the
    // picture are skipped; a sample whose bytes cannot be read is 0. The file is read row by
    // row into a window of rows, never byte by byte.
    void CalculerCopie(const QString& fichierCopie);

    // Metres per step of the current handles and scale (throws std::domain_error with
    // "Echelle incorrecte" when the scale handles coincide in scale mode).
    double MetresParPas() const;

    // Saturation: some pixel averaged into the kept sample i has a component at 255.
    bool Sature(int i) const { return sature_[std::size_t(i - IndiceMin)] != 0; }
    // Number of saturated samples from Debut to Fin.
    int NombreSatures() const;
    // Number of kept samples (Fin - Debut + 1).
    int NombreEchantillons() const { return Fin - Debut + 1; }

    // Handle coordinates of a point of the displayed picture (direct reading: divided by the
    // zoom and rounded; copy reading: as it is).
    QPoint VersPoignee(QPoint ecran) const;
    // Displayed position of a point in handle coordinates.
    QPoint VersEcran(QPoint poignee) const;

private:
    template <class Lecteur> void Calculer(Lecteur& lecteur);
    void Orientation();

    std::unique_ptr<std::uint8_t[]> sature_;
};

// Order in which the parallel lines are walked: 0, +1, -1, +2, -2, ... for k = 0 ... 2m.
inline int DecalageLigne(int k) {
    return (k & 1) ? (k + 1) / 2 : -(k / 2);
}

} // namespace kinepo
