#pragma once
// The digitized points of a picture: up to three series of image points at a fixed capacity,
// allocated once; recording, moving, deleting and undoing a point never allocates.
// Series are numbered 1..3 as the user sees them.
#include "image/logic/ImageCalibration.h"

#include <QPoint>
#include <array>
#include <memory>

namespace kinepo {

inline constexpr int kNombreSeriesMax = 3;
inline constexpr int kCapaciteSerie = 32769;

// What RecordOrMovePoint did.
enum class Enregistrement {
    Ajoute,        // appended to the current series
    Deplace,       // the grabbed point moved
    SerieComplete, // appended, and the series now has as many points as series 1: stop
    Plein,         // the series is full: nothing recorded
};

class SeriesPoints {
public:
    SeriesPoints();

    int CurrentSeries = 1;
    int MovingPoint = -1;
    int FoundSeries = 1;

    int Longueur(int serie) const { return longueurs_[static_cast<std::size_t>(serie - 1)]; }
    QPoint Point(int serie, int i) const { return donnees(serie)[i]; }
    const QPoint* Points(int serie) const { return donnees(serie); }

    // Index of the nearest point closer than 10 view pixels among series 1..nombreSeries
    // (Manhattan distance, products not rounded; the first one on a tie), or -1. Sets
    // FoundSeries to its series (1 when nothing is found).
    int HitPoint(const VueImage& vue, QPoint posVue, int nombreSeries);

    // Moves point MovingPoint of FoundSeries when one is grabbed, otherwise appends to
    // CurrentSeries. MovingPoint is -1 afterwards.
    Enregistrement RecordOrMovePoint(QPoint posImage);
    // Appends to a series; false when it is full.
    bool Ajouter(int serie, QPoint posImage);
    // Removes point i of a series; the later points move down one place.
    void Supprimer(int serie, int i);
    // The last point of the current series goes (whatever was moved since).
    void UndoLastPoint();
    // Every series empty.
    void ResetPoints();
    // Every series empty and every slot back to (0, 0), for a new picture.
    void Effacer();

private:
    QPoint* donnees(int serie) {
        return &(*points_)[static_cast<std::size_t>(serie - 1) * kCapaciteSerie];
    }
    const QPoint* donnees(int serie) const {
        return &(*points_)[static_cast<std::size_t>(serie - 1) * kCapaciteSerie];
    }
    std::unique_ptr<std::array<QPoint, kNombreSeriesMax * kCapaciteSerie>> points_;
    std::array<int, kNombreSeriesMax> longueurs_{};
};

} // namespace kinepo
