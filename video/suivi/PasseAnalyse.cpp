#include "video/suivi/PasseAnalyse.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kinepo {

namespace {

// A difference above 192 over three channels needs at least one channel differing by more
// than 64. Blocks of pixels where no channel does so cannot hold a moving pixel and are
// skipped whole; on a still background that is nearly every block.
constexpr int SeuilCanal = PasseAnalyse::SeuilDifference / 3;
constexpr int PixelsParBloc = 16; // 48 bytes: three SSE registers

inline bool BlocImmobile(const uchar* f, const uchar* r) {
#if defined(__SSE2__)
    const __m128i seuil = _mm_set1_epi8(static_cast<char>(SeuilCanal));
    __m128i au_dela = _mm_setzero_si128();
    for (int k = 0; k < 3; ++k) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + 16 * k));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 16 * k));
        const __m128i ecart = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
        au_dela = _mm_or_si128(au_dela, _mm_subs_epu8(ecart, seuil));
    }
    return _mm_movemask_epi8(_mm_cmpeq_epi8(au_dela, _mm_setzero_si128())) == 0xFFFF;
#else
    int au_dela = 0;
    for (int i = 0; i < 3 * PixelsParBloc; ++i) au_dela |= std::abs(f[i] - r[i]) > SeuilCanal;
    return au_dela == 0;
#endif
}

inline int Ecart(const uchar* p, const uchar* q) {
    return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
}

inline int Distance(const uchar* p, const CouleurCible& c) {
    return std::abs(p[0] - c.r) + std::abs(p[1] - c.g) + std::abs(p[2] - c.b);
}

// The best match so far: smallest distance, first in scan order (strict comparison).
struct Meilleur {
    int distance;
    int x = 0;
    int y = 0;
};

// One row: paints its moving pixels into the chronophotograph and, when the row crosses the
// search window, keeps the best match among its moving pixels in columns [x0, x1].
// The three searches of increasing threshold are folded into one: they all paint the same
// pixels, and each one keeps the first pixel of smallest distance below its threshold, so the
// first that finds something finds the overall first minimum, provided it is below 64.
inline void PasserLigne(const uchar* f, const uchar* r, uchar* c, int largeur, int y, bool chercher,
                        int x0, int x1, const CouleurCible& cible, Meilleur& m) {
    auto pixel = [&](int x) {
        const uchar* p = f + 3 * x;
        if (Ecart(p, r + 3 * x) <= PasseAnalyse::SeuilDifference) return;
        uchar* o = c + 3 * x;
        o[0] = p[0];
        o[1] = p[1];
        o[2] = p[2];
        if (chercher && x >= x0 && x <= x1) {
            const int e = Distance(p, cible);
            if (e < m.distance) {
                m.distance = e;
                m.x = x;
                m.y = y;
            }
        }
    };
    int x = 0;
    for (; x + PixelsParBloc <= largeur; x += PixelsParBloc) {
        if (BlocImmobile(f + 3 * x, r + 3 * x)) continue;
        for (int k = 0; k < PixelsParBloc; ++k) pixel(x + k);
    }
    for (; x < largeur; ++x) pixel(x);
}

} // namespace

void PasseAnalyse::Demarrer(const QImage& imageAffichee, int zoom) {
    reference_ = imageAffichee.convertToFormat(QImage::Format_RGB888);
    chrono_ = reference_.copy();
    zoom_ = std::max(1, zoom);
    cible_ = {};
}

void PasseAnalyse::FixerCible(QPoint cibleEcran) {
    if (reference_.isNull()) return;
    const int w = reference_.width(), h = reference_.height();
    int s[3] = {0, 0, 0};
    for (int dy = -1; dy <= 1; ++dy) {
        const int y = std::clamp(cibleEcran.y() + dy, 0, h - 1);
        const uchar* ligne = reference_.constScanLine(y);
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = std::clamp(cibleEcran.x() + dx, 0, w - 1);
            for (int k = 0; k < 3; ++k) s[k] += ligne[3 * x + k];
        }
    }
    cible_ = {s[0] / 9, s[1] / 9, s[2] / 9};
}

ResultatPasse PasseAnalyse::Passer(const QImage& imageAffichee, QPoint derniereImage, bool suivre) {
    ResultatPasse res;
    if (reference_.isNull() || imageAffichee.size() != reference_.size()) return res;
    const QImage f = imageAffichee.format() == QImage::Format_RGB888
                         ? imageAffichee
                         : imageAffichee.convertToFormat(QImage::Format_RGB888);
    const int W = f.width(), H = f.height();

    // The search window: |x - px| < W div 5 and |y - py| < H div 5.
    const int px = derniereImage.x() * zoom_, py = derniereImage.y() * zoom_;
    const int dx = W / 5, dy = H / 5;
    const int x0 = std::max(0, px - dx + 1), x1 = std::min(W - 1, px + dx - 1);
    const int y0 = std::max(0, py - dy + 1), y1 = std::min(H - 1, py + dy - 1);
    const bool fenetre = suivre && x0 <= x1 && y0 <= y1;

    Meilleur m{SeuilRechercheDepart + 2 * PasSeuilRecherche};
    static_assert(SeuilRechercheDepart + 3 * PasSeuilRecherche > SeuilRechercheMax,
                  "three searches: 32, 48, 64");

    const qsizetype pasF = f.bytesPerLine(), pasR = reference_.bytesPerLine(),
                    pasC = chrono_.bytesPerLine();
    const uchar* lf = f.constBits();
    const uchar* lr = reference_.constBits();
    uchar* lc = chrono_.bits();
    for (int y = 0; y < H; ++y, lf += pasF, lr += pasR, lc += pasC)
        PasserLigne(lf, lr, lc, W, y, fenetre && y >= y0 && y <= y1, x0, x1, cible_, m);

    if (!fenetre || m.distance >= SeuilRechercheDepart + 2 * PasSeuilRecherche ||
        (m.x == 0 && m.y == 0))
        return res;

    res.trouve = true;
    res.meilleurEcran = QPoint(m.x, m.y);
    res.distance = m.distance;
    res.meilleurImage = QPoint(m.x / zoom_, m.y / zoom_);

    // Refinement: bounding box of the moving pixels of the target's colour near the match.
    const int seuil = m.distance + MargeAffinage;
    const int hx = W / 20, hy = H / 20;
    int minX = m.x + hx, maxX = m.x - hx, minY = m.y + hy, maxY = m.y - hy;
    const int bx0 = std::max(0, m.x - hx), bx1 = std::min(m.x + hx, W - 1);
    const int by0 = std::max(0, m.y - hy), by1 = std::min(m.y + hy, H - 1);
    for (int y = by0; y <= by1; ++y) {
        const uchar* pf = f.constScanLine(y);
        const uchar* pr = reference_.constScanLine(y);
        for (int x = bx0; x <= bx1; ++x) {
            const uchar* p = pf + 3 * x;
            if (Ecart(p, pr + 3 * x) <= SeuilDifference || Distance(p, cible_) >= seuil) continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    res.positionImage = QPoint(((minX + maxX) / 2) / zoom_, ((minY + maxY) / 2) / zoom_);
    return res;
}

void PasseAnalyse::Liberer() {
    reference_ = QImage();
    chrono_ = QImage();
}

QImage ImageAfficheeDepuisDecodee(const QImage& decodee, int zoom) {
    const QImage src = decodee.format() == QImage::Format_RGB888
                           ? decodee
                           : decodee.convertToFormat(QImage::Format_RGB888);
    if (zoom <= 1 || src.isNull()) return src;
    const int w = src.width(), h = src.height();
    QImage dst(w * zoom, h * zoom, QImage::Format_RGB888);
    if (dst.isNull()) return dst;
    for (int y = 0; y < h; ++y) {
        const uchar* s = src.constScanLine(y);
        uchar* d0 = dst.scanLine(y * zoom);
        uchar* d = d0;
        for (int x = 0; x < w; ++x, s += 3)
            for (int k = 0; k < zoom; ++k, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        for (int k = 1; k < zoom; ++k)
            std::memcpy(dst.scanLine(y * zoom + k), d0, static_cast<size_t>(3 * w * zoom));
    }
    return dst;
}

} // namespace kinepo
