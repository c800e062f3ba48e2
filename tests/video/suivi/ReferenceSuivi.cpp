#include "ReferenceSuivi.h"

#include <QRect>
#include <algorithm>
#include <cstdlib>

namespace kinepo::test {

namespace {
int Ecart(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}
int Distance(QRgb a, int r, int g, int b) {
    return std::abs(qRed(a) - r) + std::abs(qGreen(a) - g) + std::abs(qBlue(a) - b);
}
} // namespace

ResultatReference SuivreReference(const std::vector<QImage>& images, int zoom, QPoint cibleEcran,
                                  bool suivre, bool ajouts) {
    ResultatReference res;
    const QImage reference = images.at(0).convertToFormat(QImage::Format_RGB888);
    res.chrono = reference.copy();
    const int W = reference.width(), H = reference.height();

    int sr = 0, sg = 0, sb = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QRgb p = reference.pixel(std::clamp(cibleEcran.x() + dx, 0, W - 1),
                                           std::clamp(cibleEcran.y() + dy, 0, H - 1));
            sr += qRed(p);
            sg += qGreen(p);
            sb += qBlue(p);
        }
    res.r = sr / 9;
    res.g = sg / 9;
    res.b = sb / 9;
    res.lignes.push_back({QPoint(cibleEcran.x() / zoom, cibleEcran.y() / zoom), {}, 0, 0});

    for (std::size_t i = 1; i < images.size(); ++i) {
        const QImage F = images[i].convertToFormat(QImage::Format_RGB888);
        const int px = res.lignes.back().point1.x() * zoom;
        const int py = res.lignes.back().point1.y() * zoom;
        // The three searches of the rule in the window, then the same over the whole frame
        // when they find nothing.
        QPoint best(0, 0);
        int c = 0;
        bool trouve = false;
        for (const bool partout : {false, true}) {
            int seuilRecherche = 32;
            best = QPoint(0, 0);
            do {
                c = seuilRecherche;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x) {
                        const QRgb p = F.pixel(x, y);
                        if (Ecart(p, reference.pixel(x, y)) <= 192) continue;
                        res.chrono.setPixel(x, y, p);
                        if (!partout && (std::abs(x - px) >= W / 5 || std::abs(y - py) >= H / 5))
                            continue;
                        const int e = Distance(p, res.r, res.g, res.b);
                        if (e < c) {
                            best = QPoint(x, y);
                            c = e;
                        }
                    }
                trouve = best.x() > 0 || best.y() > 0;
                if (!trouve) seuilRecherche += 16;
            } while (!trouve && seuilRecherche <= 65);
            if (trouve || !suivre || !ajouts) break;
        }

        if (!suivre || !trouve) continue;
        // The box in a window around the match; while it reaches a side of its window that is
        // not the picture's edge, again in a window on its centre holding it with the first
        // margins on every side.
        const int T = c + 16;
        const int hx = W / 20, hy = H / 20;
        int cx = best.x(), cy = best.y(), dx = hx, dy = hy;
        int minX = 0, maxX = 0, minY = 0, maxY = 0;
        QRect precedente;
        for (int tour = 0; tour < 8; ++tour) {
            const QRect fenetre(QPoint(std::max(0, cx - dx), std::max(0, cy - dy)),
                                QPoint(std::min(cx + dx, W - 1), std::min(cy + dy, H - 1)));
            if (fenetre == precedente) break;
            precedente = fenetre;
            minX = cx + dx;
            maxX = cx - dx;
            minY = cy + dy;
            maxY = cy - dy;
            for (int y = fenetre.top(); y <= fenetre.bottom(); ++y)
                for (int x = fenetre.left(); x <= fenetre.right(); ++x) {
                    const QRgb p = F.pixel(x, y);
                    if (Ecart(p, reference.pixel(x, y)) > 192 &&
                        Distance(p, res.r, res.g, res.b) < T) {
                        minX = std::min(minX, x);
                        maxX = std::max(maxX, x);
                        minY = std::min(minY, y);
                        maxY = std::max(maxY, y);
                    }
                }
            const bool touche = (minX == fenetre.left() && fenetre.left() > 0) ||
                                (maxX == fenetre.right() && fenetre.right() < W - 1) ||
                                (minY == fenetre.top() && fenetre.top() > 0) ||
                                (maxY == fenetre.bottom() && fenetre.bottom() < H - 1);
            if (!touche || !ajouts) break;
            cx = (minX + maxX) / 2;
            cy = (minY + maxY) / 2;
            dx = (maxX - minX) / 2 + 1 + hx;
            dy = (maxY - minY) / 2 + 1 + hy;
        }
        res.lignes.push_back({QPoint(((minX + maxX) / 2) / zoom, ((minY + maxY) / 2) / zoom),
                              QPoint(best.x() / zoom, best.y() / zoom), static_cast<int>(i), c});
    }
    return res;
}

} // namespace kinepo::test
