#include "optics/PoigneesOptique.h"

#include "common/Arrondi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kinepo {
namespace {

int Manhattan(QPoint a, QPoint b) {
    return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
}

void ReinitialiserPoignees(ProfilOptique& p, int l, int h) {
    p.Poignee[1] = {l / 2, h / 2};
    p.Poignee[2] = {4 * l / 5, h / 2};
    p.Poignee[3] = {l / 5, 3 * h / 4};
    p.Poignee[4] = {4 * l / 5, 3 * h / 4};
}

void Croix(Overlay& o, QPoint c, int demi, int largeur) {
    o.traits.push_back({QLine(c.x() - demi, c.y(), c.x() + demi, c.y()), largeur});
    o.traits.push_back({QLine(c.x(), c.y() - demi, c.x(), c.y() + demi), largeur});
}

// The line through a and b between its two meeting points with the border of 0 ... w x 0 ... h
// (the slope held in single precision, as the drawing always did).
QLine LigneEntiere(QPoint a, QPoint b, int w, int h) {
    if (a.x() == b.x()) return QLine(a.x(), 0, a.x(), h);
    if (a.y() == b.y()) return QLine(0, a.y(), w, a.y());
    const float s = float(b.y() - a.y()) / float(b.x() - a.x());
    std::vector<QPoint> bords;
    auto ajouter = [&](float x, float y) {
        if (x < -0.5f || x > w + 0.5f || y < -0.5f || y > h + 0.5f) return;
        const QPoint q(ArrondiInt(x), ArrondiInt(y));
        for (const QPoint& r : bords)
            if (r == q) return;
        bords.push_back(q);
    };
    ajouter(0, a.y() - s * a.x());
    ajouter(float(w), a.y() + s * (w - a.x()));
    ajouter(a.x() - a.y() / s, 0);
    ajouter(a.x() + (h - a.y()) / s, float(h));
    if (bords.size() < 2) return QLine(a, b);
    return QLine(bords[0], bords[1]);
}

} // namespace

double CalculerZoom(int largeurClient, int hauteurDisponible, QSize taille) {
    if (taille.isEmpty()) return 1;
    const double zy = double(hauteurDisponible) / taille.height();
    const double zx = (2.0 * largeurClient / taille.width()) / 3.0;
    double z = std::min(zx, zy);
    if (z > 1) return std::trunc(z);
    if (z <= 0) return 1.0 / std::max(1, taille.width());
    return 1.0 / std::ceil(1.0 / z);
}

void RegleZoom(ProfilOptique& p, int largeurClient, int hauteurDisponible, QSize taille) {
    const double z = CalculerZoom(largeurClient, hauteurDisponible, taille);
    p.Zoom = z;
    p.Lecture = LecturePixels::Directe;
    p.Affiche = QSize(ArrondiInt(taille.width() * z), ArrondiInt(taille.height() * z));
    p.Image = taille;
    p.Bornes = taille;
    ReinitialiserPoignees(p, taille.width(), taille.height());
    p.TaillePoignee = ArrondiInt(8 / z);
    p.PoigneeSaisie = 0;
}

void PasserEnLectureCopie(ProfilOptique& p) {
    p.Lecture = LecturePixels::Copie;
    ReinitialiserPoignees(p, p.Affiche.width(), p.Affiche.height());
    p.TaillePoignee = 8;
    p.Bornes = p.Affiche;
}

int PoigneeSous(const ProfilOptique& p, QPoint pos) {
    for (int n = 1; n <= 4; ++n)
        if (Manhattan(pos, p.Poignee[std::size_t(n)]) < p.TaillePoignee) return n;
    return 0;
}

int Partenaire(int n) {
    static constexpr int kPartenaire[5] = {0, 2, 1, 4, 3};
    return (n >= 1 && n <= 4) ? kPartenaire[n] : 0;
}

void GlisserPoignee(ProfilOptique& p, int n, QPoint pos, bool maj) {
    if (n < 1 || n > 4) return;
    auto& P = p.Poignee;
    const int t = p.TaillePoignee;
    if (n == 1) {
        const QPoint d = pos - P[1];
        P[1] = pos;
        P[2] += d;
        P[2].setX(std::clamp(P[2].x(), t, std::max(t, p.Bornes.width() - t)));
        P[2].setY(std::clamp(P[2].y(), t, std::max(t, p.Bornes.height() - t)));
    } else if (Manhattan(pos, P[std::size_t(Partenaire(n))]) > t) {
        P[std::size_t(n)] = pos;
    }
    if (maj) {
        const QPoint a = P[std::size_t(n)];
        QPoint& b = P[std::size_t(Partenaire(n))];
        const int dx = b.x() - a.x(), dy = b.y() - a.y();
        if (dx == 0 || std::abs(dy) > std::abs(dx))
            b.setX(a.x());
        else
            b.setY(a.y());
    }
}

Overlay GeometrieOverlay(const ProfilOptique& p) {
    Overlay o;
    const bool copie = p.Lecture == LecturePixels::Copie;
    const int large = copie ? 2 : int(std::trunc(2 / p.Zoom)) + 1;
    const int fin = copie ? 1 : int(std::trunc(1 / p.Zoom)) + 1;
    const int h = p.TaillePoignee;
    const auto& P = p.Poignee;
    Croix(o, P[1], h, large);
    o.centreCercle = P[2];
    o.rayon = h;
    o.largeurCercle = large;
    o.traits.push_back({LigneEntiere(P[1], P[2], p.Bornes.width(), p.Bornes.height()), large});
    if (p.TypeEchelle == 0) {
        Croix(o, P[3], h, large);
        Croix(o, P[4], h, large);
        o.traits.push_back({QLine(P[3], P[4]), fin});
        const double dx = P[4].x() - P[3].x(), dy = P[4].y() - P[3].y();
        for (int k = 1; k <= 9; ++k) {
            const int x = ArrondiInt(P[3].x() + dx * k / 10.0);
            const int y = ArrondiInt(P[3].y() + dy * k / 10.0);
            if (std::abs(dx) > std::abs(dy)) {
                const int c = ArrondiInt(h * dy / dx);
                o.traits.push_back({QLine(x - c, y + h, x + c, y - h), fin});
            } else if (dy != 0) {
                const int c = ArrondiInt(h * dx / dy);
                o.traits.push_back({QLine(x + h, y - c, x - h, y + c), fin});
            }
        }
    }
    return o;
}

} // namespace kinepo
