#include "image/logic/ImageCalibration.h"

#include "common/Arrondi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kinepo {

int VueImage::offX() const {
    return ArrondiInt(zoom / 2 - gauche * zoom);
}
int VueImage::offY() const {
    return ArrondiInt(zoom / 2 - haut * zoom);
}

QPoint VueImage::VersVue(QPoint p) const {
    return {ArrondiInt(p.x() * zoom) + offX(), ArrondiInt(p.y() * zoom) + offY()};
}

QPoint VueImage::VersImage(QPoint v) const {
    // The zoomed pixel of image column p spans view columns (p - L) z to (p - L + 1) z, so
    // the column under a view point is the whole part of v / z. Rounding v / z - 1/2 to even
    // would give the same except on ties, which at zoom 1 are every other pixel: a click there
    // would land on the neighbouring pixel.
    return {static_cast<int>(std::floor(v.x() / zoom)) + gauche,
            static_cast<int>(std::floor(v.y() / zoom)) + haut};
}

namespace {

double Longueur(QPoint debut, QPoint fin) {
    const long long dx = fin.x() - debut.x();
    const long long dy = fin.y() - debut.y();
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

double Decade(double echelle) {
    return std::pow(10.0, std::floor(std::log10(std::fabs(echelle))));
}

} // namespace

void ImageCalibration::ResetHandles(int w, int h) {
    Handles[SlotOrigine] = Handles[SlotDebutX] = Handles[SlotDebutY] = QPoint(w / 2, h / 2);
    Handles[SlotFinX] = QPoint(3 * w / 4, h / 2);
    Handles[SlotFinY] = QPoint(w / 2, h / 4);
}

void ImageCalibration::SquareVectors() {
    if (AxesMode != Orthonormal) return;
    QPoint& sx = Handles[SlotDebutX];
    QPoint& ex = Handles[SlotFinX];
    QPoint& sy = Handles[SlotDebutY];
    QPoint& ey = Handles[SlotFinY];
    ex.setY(sx.y());
    ey.setX(sy.x());
    // A vector that was perpendicular to its side would vanish: it takes the other one's
    // length, pointing right or up.
    if (ex == sx && ey != sy) ex.setX(sx.x() + std::abs(ey.y() - sy.y()));
    if (ey == sy && ex != sx) ey.setY(sy.y() - std::abs(ex.x() - sx.x()));
}

bool ImageCalibration::EstDefinie() const {
    const double lx = Longueur(Handles[SlotDebutX], Handles[SlotFinX]);
    const double ly = Longueur(Handles[SlotDebutY], Handles[SlotFinY]);
    // Mode 0 uses the Y vector alone; mode 2 takes the X decade from the X vector, so it must
    // have a length too.
    if (ly == 0 || RefLengthY == 0 || !std::isfinite(RefLengthY)) return false;
    if (AxesMode != OneAxis && (lx == 0 || RefLengthX == 0 || !std::isfinite(RefLengthX)))
        return false;
    return true;
}

bool ImageCalibration::RecomputeCalibration() {
    if (!EstDefinie()) return false;
    const QPoint sx = Handles[SlotDebutX], ex = Handles[SlotFinX];
    const QPoint sy = Handles[SlotDebutY], ey = Handles[SlotFinY];
    const double ly = Longueur(sy, ey);
    // In mode 0 the X vector plays no part; keep its derived values defined all the same.
    double lx = Longueur(sx, ex);
    const bool xUtile = AxesMode != OneAxis;
    if (!xUtile && lx == 0) lx = 1;
    ScaleX = (xUtile ? RefLengthX : RefLengthY) / lx;
    ScaleY = RefLengthY / ly;
    DecadeX = Decade(ScaleX);
    DecadeY = Decade(ScaleY);
    if (AxesMode == Orthonormal) ScaleX = ScaleY;
    Origin = Handles[SlotOrigine];
    cX = (ex.x() - sx.x()) / lx;
    sX = -(ex.y() - sx.y()) / lx;
    cY = (ey.x() - sy.x()) / ly;
    sY = -(ey.y() - sy.y()) / ly;
    return true;
}

double ImageCalibration::ValueX(QPoint p) const {
    const double dx = p.x() - Origin.x(), dy = p.y() - Origin.y();
    return (dx * cX - dy * sX) * ScaleX;
}

double ImageCalibration::ValueY(QPoint p) const {
    const double dx = p.x() - Origin.x(), dy = p.y() - Origin.y();
    return (dx * cY - dy * sY) * ScaleY;
}

double ImageCalibration::GridValueX(QPoint p) const {
    const double dx = p.x() - Origin.x();
    return DecadeX * static_cast<double>(Arrondi(dx * ScaleX / DecadeX));
}

double ImageCalibration::GridValueY(QPoint p) const {
    const double dy = p.y() - Origin.y();
    return DecadeY * static_cast<double>(Arrondi(dy * ScaleY / DecadeY));
}

int ImageCalibration::HitHandle(const VueImage& vue, QPoint v) const {
    for (int slot = SlotOrigine; slot <= SlotFinY; ++slot) {
        if (AxesMode == OneAxis && (slot == SlotDebutX || slot == SlotFinX)) continue;
        const QPoint h = vue.VersVue(Handles[slot]);
        if (std::abs(v.x() - h.x()) + std::abs(v.y() - h.y()) < 8) return slot;
    }
    return 0;
}

void ImageCalibration::ContraindreOrthonormal(int slot) {
    const QPoint nouveau = Handles[static_cast<std::size_t>(std::clamp(slot, 0, 7))];
    QPoint& sx = Handles[SlotDebutX];
    QPoint& ex = Handles[SlotFinX];
    QPoint& sy = Handles[SlotDebutY];
    QPoint& ey = Handles[SlotFinY];
    const int a = nouveau.x(), b = nouveau.y();
    // Each vector keeps its side; one lying on the start's row or column counts as above
    // or left.
    auto cote = [](int ancien, int depart, int f) {
        return ancien - depart > 0 ? depart + std::abs(f) : depart - std::abs(f);
    };
    switch (slot) {
    case SlotDebutX: {
        const int ancienEY = ey.y();
        ex.setY(b);
        sy = QPoint(a, b);
        ey.setX(a);
        ey.setY(cote(ancienEY, b, ex.x() - a));
        break;
    }
    case SlotFinX: {
        const int ancienEY = ey.y();
        sx.setY(b);
        sy.setY(b);
        ey.setY(cote(ancienEY, b, a - sx.x()));
        break;
    }
    case SlotDebutY: {
        const int ancienEX = ex.x();
        const int f = ey.y() - b;
        ey.setX(a);
        sx = QPoint(a, b);
        ex.setY(b);
        ex.setX(cote(ancienEX, a, f));
        break;
    }
    case SlotFinY: {
        const int ancienEX = ex.x();
        sy.setX(a);
        sx.setX(a);
        ex.setX(cote(ancienEX, a, b - sy.y()));
        break;
    }
    default:
        break;
    }
}

bool ImageCalibration::DropHandle(int slot, QPoint v, const VueImage& vue, QSize tailleVue) {
    if (slot < SlotOrigine || slot > SlotFinY) return false;
    const int vx = std::clamp(v.x(), 1, std::max(1, tailleVue.width() - 1));
    const int vy = std::clamp(v.y(), 1, std::max(1, tailleVue.height() - 1));
    const QPoint p(ArrondiInt((vx - vue.offX()) / vue.zoom),
                   ArrondiInt((vy - vue.offY()) / vue.zoom));
    const std::array<QPoint, 8> avant = Handles;
    Handles[slot] = p;
    if (AxesMode == Orthonormal) ContraindreOrthonormal(slot);
    if (!RecomputeCalibration()) {
        Handles = avant;
        return false;
    }
    return true;
}

double ImageCalibration::MeasureDistance(QPoint appui, QPoint courant, double zoom) const {
    const double dX = (courant.x() - appui.x()) / zoom;
    const double dY = (courant.y() - appui.y()) / zoom;
    const double distX = AxesMode == OneAxis ? 0.0 : (dX * cX - dY * sX) * ScaleX;
    const double distY = (dX * cY - dY * sY) * ScaleY;
    return std::sqrt(distX * distX + distY * distY);
}

} // namespace kinepo
