#include "platform/video/RotationImage.h"

#include <algorithm>
#include <cstring>

namespace kinepo {

namespace {

// A tile is 8 source lines by 64 columns: the eight lines are read along, and each of the 64
// lines written gets a run of 24 bytes. Few lines at once keep the pages touched within the
// address translation cache when the picture is not on huge pages (a line of a 1080p frame is
// longer than a page): a 1080p frame turns in a third of the time square 32 x 32 tiles take.
constexpr int kLignesTuile = 8;
constexpr int kColonnesTuile = 64;

inline void Copier3(unsigned char* d, const unsigned char* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

} // namespace

int QuartDeTour(int degres) {
    if (degres % 90 != 0) return -1;
    return ((degres % 360) + 360) % 360;
}

void TournerRgb24(const unsigned char* source, std::ptrdiff_t ligneSource, int w, int h,
                  unsigned char* destination, std::ptrdiff_t ligneDestination, int degres) {
    if (w <= 0 || h <= 0) return;
    switch (degres) {
    case 90:
        // Source pixel (x, y) goes to line x, column h - 1 - y.
        for (int by = 0; by < h; by += kLignesTuile) {
            const int fy = std::min(h, by + kLignesTuile);
            for (int bx = 0; bx < w; bx += kColonnesTuile) {
                const int fx = std::min(w, bx + kColonnesTuile);
                for (int x = bx; x < fx; ++x) {
                    unsigned char* d = destination + std::ptrdiff_t(x) * ligneDestination +
                                       std::ptrdiff_t(h - fy) * 3;
                    const unsigned char* s =
                        source + std::ptrdiff_t(fy - 1) * ligneSource + std::ptrdiff_t(x) * 3;
                    for (int y = fy - 1; y >= by; --y, d += 3, s -= ligneSource)
                        Copier3(d, s);
                }
            }
        }
        break;
    case 270:
        // Source pixel (x, y) goes to line w - 1 - x, column y.
        for (int by = 0; by < h; by += kLignesTuile) {
            const int fy = std::min(h, by + kLignesTuile);
            for (int bx = 0; bx < w; bx += kColonnesTuile) {
                const int fx = std::min(w, bx + kColonnesTuile);
                for (int x = bx; x < fx; ++x) {
                    unsigned char* d = destination + std::ptrdiff_t(w - 1 - x) * ligneDestination +
                                       std::ptrdiff_t(by) * 3;
                    const unsigned char* s =
                        source + std::ptrdiff_t(by) * ligneSource + std::ptrdiff_t(x) * 3;
                    for (int y = by; y < fy; ++y, d += 3, s += ligneSource)
                        Copier3(d, s);
                }
            }
        }
        break;
    case 180:
        for (int y = 0; y < h; ++y) {
            const unsigned char* s = source + std::ptrdiff_t(y) * ligneSource;
            unsigned char* d = destination + std::ptrdiff_t(h - 1 - y) * ligneDestination +
                               std::ptrdiff_t(w - 1) * 3;
            for (int x = 0; x < w; ++x, s += 3, d -= 3)
                Copier3(d, s);
        }
        break;
    default:
        for (int y = 0; y < h; ++y)
            std::memcpy(destination + std::ptrdiff_t(y) * ligneDestination,
                        source + std::ptrdiff_t(y) * ligneSource, std::size_t(w) * 3);
        break;
    }
}

QImage TournerImage(const QImage& image, int degres) {
    degres = QuartDeTour(degres);
    if (image.isNull() || degres < 0) return {};
    const QImage source = image.format() == QImage::Format_RGB888
                              ? image
                              : image.convertToFormat(QImage::Format_RGB888);
    if (degres == 0) return source;
    const int w = source.width(), h = source.height();
    QImage resultat(LargeurTournee(w, h, degres), HauteurTournee(w, h, degres),
                    QImage::Format_RGB888);
    if (resultat.isNull()) return {};
    TournerRgb24(source.constBits(), source.bytesPerLine(), w, h, resultat.bits(),
                 resultat.bytesPerLine(), degres);
    return resultat;
}

} // namespace kinepo
