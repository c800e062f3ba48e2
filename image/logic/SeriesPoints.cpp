#include "image/logic/SeriesPoints.h"

#include <algorithm>
#include <cmath>

namespace kinepo {

SeriesPoints::SeriesPoints()
    : points_(std::make_unique<std::array<QPoint, kNombreSeriesMax * kCapaciteSerie>>()) {}

int SeriesPoints::HitPoint(const VueImage& vue, QPoint v, int nombreSeries) {
    FoundSeries = 1;
    double meilleur = 10;
    int resultat = -1;
    const double z = vue.zoom;
    const int offX = vue.offX(), offY = vue.offY();
    for (int s = 1; s <= std::clamp(nombreSeries, 1, kNombreSeriesMax); ++s) {
        const QPoint* p = donnees(s);
        for (int i = 0; i < Longueur(s); ++i) {
            const double d =
                std::fabs(p[i].x() * z + offX - v.x()) + std::fabs(p[i].y() * z + offY - v.y());
            if (d < meilleur) {
                meilleur = d;
                resultat = i;
                FoundSeries = s;
            }
        }
    }
    return resultat;
}

bool SeriesPoints::Ajouter(int serie, QPoint p) {
    int& n = longueurs_[static_cast<std::size_t>(serie - 1)];
    if (n >= kCapaciteSerie) return false;
    donnees(serie)[n++] = p;
    return true;
}

Enregistrement SeriesPoints::RecordOrMovePoint(QPoint p) {
    if (MovingPoint >= 0 && MovingPoint < Longueur(FoundSeries)) {
        donnees(FoundSeries)[MovingPoint] = p;
        MovingPoint = -1;
        return Enregistrement::Deplace;
    }
    MovingPoint = -1;
    if (!Ajouter(CurrentSeries, p)) return Enregistrement::Plein;
    if (CurrentSeries > 1 && Longueur(CurrentSeries) == Longueur(1))
        return Enregistrement::SerieComplete;
    return Enregistrement::Ajoute;
}

void SeriesPoints::Supprimer(int serie, int i) {
    int& n = longueurs_[static_cast<std::size_t>(serie - 1)];
    if (i < 0 || i >= n) return;
    QPoint* p = donnees(serie);
    std::copy(p + i + 1, p + n, p + i);
    --n;
}

void SeriesPoints::UndoLastPoint() {
    int& n = longueurs_[static_cast<std::size_t>(CurrentSeries - 1)];
    if (n > 0) --n;
}

void SeriesPoints::ResetPoints() {
    longueurs_.fill(0);
}

void SeriesPoints::Effacer() {
    longueurs_.fill(0);
    points_->fill(QPoint(0, 0));
}

} // namespace kinepo
