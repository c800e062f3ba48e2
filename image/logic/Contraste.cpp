#include "image/logic/Contraste.h"

#include "common/Arrondi.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace kinepo {

double GainContraste(int position) {
    return std::exp(3.0 * position / 25.0);
}

int ComposanteContrastee(int v, int reference, int position) {
    const double g = GainContraste(position);
    return std::clamp(ArrondiInt(g * (v - reference)) + 128, 0, 255);
}

std::array<std::uint8_t, 256> TableContraste(int reference, int position) {
    std::array<std::uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v)
        t[std::size_t(v)] = std::uint8_t(ComposanteContrastee(v, reference, position));
    return t;
}

namespace {

// Rows debut..fin-1; `sortie` is the first byte of the result, `pas` its bytes per line.
void Lignes(const QImage& source, uchar* sortie, qsizetype pas,
            const std::array<std::uint8_t, 256>& t, int debut, int fin) {
    const int w = source.width();
    for (int y = debut; y < fin; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(sortie + y * pas);
        for (int x = 0; x < w; ++x) {
            const QRgb c = s[x] & 0xFFFFFFu;
            d[x] = c == 0 ? 0xFF000000u
                          : 0xFF000000u | (QRgb(t[c >> 16]) << 16) |
                                (QRgb(t[(c >> 8) & 0xFF]) << 8) | QRgb(t[c & 0xFF]);
        }
    }
}

} // namespace

void AppliquerContraste(const QImage& image, int reference, int position, QImage& sortie) {
    const QImage source =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    // The previous result's memory is written again when it is the displayed picture's own: a
    // fresh 12-megapixel picture would cost a page fault every 4 KiB, a third of the pass.
    if (sortie.size() != source.size() || sortie.format() != QImage::Format_RGB32 ||
        sortie.constBits() == source.constBits())
        sortie = QImage(source.size(), QImage::Format_RGB32);
    if (sortie.isNull()) return;
    const auto t = TableContraste(reference, position);
    // Large pictures in two halves, one per core: the rows are independent.
    const int h = source.height();
    uchar* octets = sortie.bits();
    const qsizetype pas = sortie.bytesPerLine();
    if (qint64(source.width()) * h < 1'000'000 || std::thread::hardware_concurrency() < 2) {
        Lignes(source, octets, pas, t, 0, h);
    } else {
        std::thread moitie([&] { Lignes(source, octets, pas, t, h / 2, h); });
        Lignes(source, octets, pas, t, 0, h / 2);
        moitie.join();
    }
}

QImage AppliquerContraste(const QImage& source, int reference, int position) {
    QImage sortie;
    AppliquerContraste(source, reference, position, sortie);
    return sortie;
}

int ColonneReference(int reference, int largeurBoite) {
    return reference * largeurBoite / 255;
}

int ReferenceDeColonne(int x, int largeurBoite) {
    return largeurBoite > 0 ? x * 255 / largeurBoite : 0;
}

} // namespace kinepo
