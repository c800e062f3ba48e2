#include "ReferenceSuivi.h"

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
                                  bool suivre) {
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
        int seuilRecherche = 32;
        QPoint best(0, 0);
        int c = 0;
        bool trouve = false;
        do {
            c = seuilRecherche;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const QRgb p = F.pixel(x, y);
                    if (Ecart(p, reference.pixel(x, y)) <= 192) continue;
                    res.chrono.setPixel(x, y, p);
                    if (std::abs(x - px) >= W / 5 || std::abs(y - py) >= H / 5) continue;
                    const int e = Distance(p, res.r, res.g, res.b);
                    if (e < c) {
                        best = QPoint(x, y);
                        c = e;
                    }
                }
            trouve = best.x() > 0 || best.y() > 0;
            if (!trouve) seuilRecherche += 16;
        } while (!trouve && seuilRecherche <= 65);

        if (!suivre || !trouve) continue;
        const int T = c + 16;
        const int hx = W / 20, hy = H / 20;
        int minX = best.x() + hx, maxX = best.x() - hx;
        int minY = best.y() + hy, maxY = best.y() - hy;
        for (int y = std::max(0, best.y() - hy); y <= std::min(best.y() + hy, H - 1); ++y)
            for (int x = std::max(0, best.x() - hx); x <= std::min(best.x() + hx, W - 1); ++x) {
                const QRgb p = F.pixel(x, y);
                if (Ecart(p, reference.pixel(x, y)) > 192 && Distance(p, res.r, res.g, res.b) < T) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
            }
        res.lignes.push_back({QPoint(((minX + maxX) / 2) / zoom, ((minY + maxY) / 2) / zoom),
                              QPoint(best.x() / zoom, best.y() / zoom), static_cast<int>(i), c});
    }
    return res;
}

} // namespace kinepo::test
