#include "video/logic/TablesPointage.h"

#include <cmath>
#include <limits>

namespace kinepo {

TablesPointage::TablesPointage()
    : points_(
          std::make_unique<std::array<std::array<QPoint, kCapaciteLignes>, kNombreIndicesPoint>>()),
      temps_(std::make_unique<std::array<double, kCapaciteLignes>>()),
      patches_(std::make_unique<std::array<Patch, kNombreIndicesPoint + 1>>()) {
    temps_->fill(0);
    for (auto& p : *patches_)
        p.fill(0);
    Couleurs.fill(0);
}

void TablesPointage::OrigineUnique(QPoint origine) {
    (*points_)[0].fill(origine);
}

double TablesPointage::Retimer(double periode) {
    const int n = Rows < kCapaciteLignes ? Rows : kCapaciteLignes - 1;
    for (int i = 0; i < n; ++i)
        Temps(i) = i * periode;
    const double courant = Rows * periode;
    if (Rows < kCapaciteLignes) Temps(Rows) = courant;
    return courant;
}

std::optional<int> TablesPointage::LignePlusProche(QPoint posImage) const {
    int meilleure = -1;
    double distanceMin = std::numeric_limits<double>::max();
    for (int i = 0; i < Rows; ++i) {
        const double dx = Point(1, i).x() - posImage.x();
        const double dy = Point(1, i).y() - posImage.y();
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < distanceMin) { // strict: the earlier row keeps a tie
            distanceMin = d;
            meilleure = i;
        }
    }
    if (meilleure < 0 || distanceMin >= 64) return std::nullopt;
    return meilleure;
}

void TablesPointage::DecalerIndices(int sens, int nouveauNombre) {
    for (int i = 0; i < Rows; ++i) {
        if (sens > 0) {
            for (int k = nouveauNombre; k >= 1; --k)
                Point(k, i) = Point(k - 1, i);
        } else {
            for (int k = 0; k <= nouveauNombre && k + 1 < kNombreIndicesPoint; ++k)
                Point(k, i) = Point(k + 1, i);
        }
    }
}

double X(const VideoCalibration& c, const TablesPointage& t, int k, int i) {
    return c.XMetres(t.Point(k, i), t.Point(0, i));
}
double Y(const VideoCalibration& c, const TablesPointage& t, int k, int i) {
    return c.YMetres(t.Point(k, i), t.Point(0, i));
}
double T(const VideoCalibration& c, const TablesPointage& t, int i) {
    return t.Temps(i) - c.TimeOrigin;
}

} // namespace kinepo
