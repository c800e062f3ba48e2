#pragma once
// The measurement tables of a video form, allocated once with the form: recording a point or
// a row never allocates. Row i holds a time and up to five points plus its origin (point 0).
#include "video/logic/VideoCalibration.h"

#include <QPoint>
#include <QRgb>
#include <array>
#include <memory>
#include <optional>

namespace kinepo {

inline constexpr int kCapaciteLignes = 32769; // rows 0 .. 32768
inline constexpr int kNombreIndicesPoint = 6; // 0 = origin of the row, 1..5 = objects
inline constexpr int kMaxPointsParImage = 5;
inline constexpr int kCotePatch = 41;  // a patch is 41 x 41 colours around a point
inline constexpr int kPatchVivant = 6; // patch 6: the live neighbourhood of the pointer
inline constexpr int kNombreCases = 8; // click slots 0..7

using Patch = std::array<QRgb, kCotePatch * kCotePatch>;

class TablesPointage {
public:
    TablesPointage();

    // Point k (0..5) of row i (0..32768), image pixels.
    QPoint& Point(int k, int i) {
        return (*points_)[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)];
    }
    QPoint Point(int k, int i) const {
        return (*points_)[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)];
    }
    // Raw time of row i in seconds (before the time origin is subtracted).
    double& Temps(int i) { return (*temps_)[static_cast<std::size_t>(i)]; }
    double Temps(int i) const { return (*temps_)[static_cast<std::size_t>(i)]; }

    int Rows = 0;      // complete rows: 0 .. Rows - 1 are valid
    int NextPoint = 1; // index of the next click in the current image

    // Neighbourhoods: patch k (0..5) as clicked on the first row, patch 6 the live one.
    Patch& Patches(int k) { return (*patches_)[static_cast<std::size_t>(k)]; }
    const Patch& Patches(int k) const { return (*patches_)[static_cast<std::size_t>(k)]; }

    // The last pressed or released image pixel of each pointing state.
    std::array<QPoint, kNombreCases> Cases{};
    // Colour of each point index (0..5).
    std::array<QRgb, kNombreIndicesPoint> Couleurs{};

    // True when row Rows can still be written.
    bool Plein() const { return Rows >= kCapaciteLignes; }

    // Copies the unique origin into the origin of every row (0..32768).
    void OrigineUnique(QPoint origine);

    // Re-times the rows as one row per frame: Times[i] = i * periode for i < Rows, and
    // Times[Rows] = Rows * periode, which is returned (the new current time).
    double Retimer(double periode);

    // The row whose point 1 is nearest (Euclidean, image pixels) to posImage, the first one on
    // a tie, if that distance is below 64; otherwise nothing.
    std::optional<int> LignePlusProche(QPoint posImage) const;

    // Shifts the point indices of every stored row: +1 moves each point k to k + 1 for
    // k = nouveauNombre - 1 .. 0 (the origin becomes point 1); -1 moves k + 1 to k for
    // k = 0 .. nouveauNombre (point 1 becomes the origin).
    void DecalerIndices(int sens, int nouveauNombre);

private:
    std::unique_ptr<std::array<std::array<QPoint, kCapaciteLignes>, kNombreIndicesPoint>> points_;
    std::unique_ptr<std::array<double, kCapaciteLignes>> temps_;
    std::unique_ptr<std::array<Patch, kNombreIndicesPoint + 1>> patches_;
};

// Metres of point k (1..5) of row i, unrounded: relative to the row's origin (point 0).
double X(const VideoCalibration& c, const TablesPointage& t, int k, int i);
double Y(const VideoCalibration& c, const TablesPointage& t, int k, int i);
// Seconds of row i after the time origin.
double T(const VideoCalibration& c, const TablesPointage& t, int i);

} // namespace kinepo
