#include "video/suivi/PasseAnalyse.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#define KINEPO_PASSE_SSSE3 1
#include <immintrin.h>
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
    for (int i = 0; i < 3 * PixelsParBloc; ++i)
        au_dela |= std::abs(f[i] - r[i]) > SeuilCanal;
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

// One pixel by the rule: painted into the chronophotograph when it differs from the
// background, and kept as the best match when it is in the window and closer than the best so
// far. x counts from the row pointers; decalage turns it into the picture's column.
inline void PasserPixel(const uchar* f, const uchar* r, uchar* c, int x, int y, bool chercher,
                        int x0, int x1, const CouleurCible& cible, Meilleur& m, int decalage = 0) {
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
            m.x = decalage + x;
            m.y = y;
        }
    }
}

// One row: paints its moving pixels into the chronophotograph and, when the row crosses the
// search window, keeps the best match among its moving pixels in columns [x0, x1].
// The three searches of increasing threshold are folded into one: they all paint the same
// pixels, and each one keeps the first pixel of smallest distance below its threshold, so the
// first that finds something finds the overall first minimum, provided it is below 64.
inline void PasserLigne(const uchar* f, const uchar* r, uchar* c, int largeur, int y, bool chercher,
                        int x0, int x1, const CouleurCible& cible, Meilleur& m) {
    auto pixel = [&](int x) { PasserPixel(f, r, c, x, y, chercher, x0, x1, cible, m); };
    int x = 0;
    for (; x + PixelsParBloc <= largeur; x += PixelsParBloc) {
        if (BlocImmobile(f + 3 * x, r + 3 * x)) continue;
        for (int k = 0; k < PixelsParBloc; ++k)
            pixel(x + k);
    }
    for (; x < largeur; ++x)
        pixel(x);
}

using FonctionLigne = void (*)(const uchar*, const uchar*, uchar*, int, int, bool, int, int,
                               const CouleurCible&, Meilleur&);

CheminPasse g_chemin = CheminPasse::Automatique;

#if defined(KINEPO_PASSE_SSSE3)
// Byte shuffles of the 16-pixel SSSE3 path. A block is 48 bytes R G B R G B ... in three
// registers; plan[k][j] gathers channel k's bytes found in register j into pixel order (other
// lanes zero), etendre[j] spreads one byte per pixel back to the three bytes of each pixel.
struct Masques {
    alignas(16) unsigned char plan[3][3][16];
    alignas(16) unsigned char etendre[3][16];
};
constexpr Masques FaireMasques() {
    Masques m{};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j)
            for (int p = 0; p < 16; ++p) {
                const int octet = 3 * p + k - 16 * j;
                m.plan[k][j][p] =
                    octet >= 0 && octet < 16 ? static_cast<unsigned char>(octet) : 0x80;
            }
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 16; ++i)
            m.etendre[j][i] = static_cast<unsigned char>((16 * j + i) / 3);
    return m;
}
constexpr Masques kMasques = FaireMasques();

#define KINEPO_CHARGER(t) _mm_load_si128(reinterpret_cast<const __m128i*>(t))
#define KINEPO_PLAN(v0, v1, v2, k)                                                                 \
    _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v0, plan[k][0]), _mm_shuffle_epi8(v1, plan[k][1])), \
                 _mm_shuffle_epi8(v2, plan[k][2]))
#define KINEPO_ECART(a, b) _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a))

// The same row as PasserLigne, sixteen pixels at a time: the difference and the colour distance
// are summed with saturation at 255, which keeps every comparison exact (192 and the search
// thresholds, at most 64, lie below it); the search keeps the first lane holding the block's
// smallest distance, and blocks only replace the best match when strictly better, so the first
// pixel in scan order still wins.
__attribute__((target("ssse3"))) void PasserLigneSsse3(const uchar* f, const uchar* r, uchar* c,
                                                       int largeur, int y, bool chercher, int x0,
                                                       int x1, const CouleurCible& cible,
                                                       Meilleur& m, int decalage = 0) {
    __m128i plan[3][3], etendre[3];
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j)
            plan[k][j] = KINEPO_CHARGER(kMasques.plan[k][j]);
    for (int j = 0; j < 3; ++j)
        etendre[j] = KINEPO_CHARGER(kMasques.etendre[j]);
    const __m128i zero = _mm_setzero_si128();
    const __m128i uns = _mm_cmpeq_epi8(zero, zero);
    const __m128i seuilCanal = _mm_set1_epi8(static_cast<char>(SeuilCanal));
    const __m128i seuilDifference = _mm_set1_epi8(static_cast<char>(PasseAnalyse::SeuilDifference));
    const __m128i cr = _mm_set1_epi8(static_cast<char>(cible.r));
    const __m128i cg = _mm_set1_epi8(static_cast<char>(cible.g));
    const __m128i cb = _mm_set1_epi8(static_cast<char>(cible.b));
    const __m128i voies = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);

    int x = 0;
    for (; x + PixelsParBloc <= largeur; x += PixelsParBloc) {
        const uchar* pf = f + 3 * x;
        const uchar* pr = r + 3 * x;
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pf));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pf + 16));
        const __m128i a2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pf + 32));
        const __m128i d0 = KINEPO_ECART(a0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pr)));
        const __m128i d1 =
            KINEPO_ECART(a1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pr + 16)));
        const __m128i d2 =
            KINEPO_ECART(a2, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pr + 32)));
        const __m128i auDela =
            _mm_or_si128(_mm_or_si128(_mm_subs_epu8(d0, seuilCanal), _mm_subs_epu8(d1, seuilCanal)),
                         _mm_subs_epu8(d2, seuilCanal));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(auDela, zero)) == 0xFFFF) continue;

        const __m128i somme =
            _mm_adds_epu8(_mm_adds_epu8(KINEPO_PLAN(d0, d1, d2, 0), KINEPO_PLAN(d0, d1, d2, 1)),
                          KINEPO_PLAN(d0, d1, d2, 2));
        const __m128i immobile = _mm_cmpeq_epi8(_mm_subs_epu8(somme, seuilDifference), zero);
        if (_mm_movemask_epi8(immobile) == 0xFFFF) continue;
        const __m128i mobile = _mm_xor_si128(immobile, uns);

        uchar* pc = c + 3 * x;
        const __m128i a[3] = {a0, a1, a2};
        for (int j = 0; j < 3; ++j) {
            __m128i* o = reinterpret_cast<__m128i*>(pc + 16 * j);
            const __m128i masque = _mm_shuffle_epi8(mobile, etendre[j]);
            const __m128i ancien = _mm_loadu_si128(o);
            _mm_storeu_si128(
                o, _mm_or_si128(_mm_and_si128(masque, a[j]), _mm_andnot_si128(masque, ancien)));
        }

        if (!chercher || x + PixelsParBloc - 1 < x0 || x > x1) continue;
        const __m128i e = _mm_adds_epu8(_mm_adds_epu8(KINEPO_ECART(KINEPO_PLAN(a0, a1, a2, 0), cr),
                                                      KINEPO_ECART(KINEPO_PLAN(a0, a1, a2, 1), cg)),
                                        KINEPO_ECART(KINEPO_PLAN(a0, a1, a2, 2), cb));
        const int bas = std::clamp(x0 - x - 1, -1, 16), haut = std::clamp(x1 - x + 1, -1, 16);
        const __m128i fenetre =
            _mm_and_si128(_mm_cmpgt_epi8(voies, _mm_set1_epi8(static_cast<char>(bas))),
                          _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(haut)), voies));
        const __m128i candidat = _mm_and_si128(mobile, fenetre);
        const __m128i ec = _mm_or_si128(e, _mm_andnot_si128(candidat, uns));
        __m128i mini = _mm_min_epu8(ec, _mm_srli_si128(ec, 8));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 4));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 2));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 1));
        const int plusPetite = _mm_cvtsi128_si32(mini) & 0xFF;
        if (plusPetite >= m.distance) continue;
        const int voiesMin = _mm_movemask_epi8(_mm_and_si128(
            _mm_cmpeq_epi8(ec, _mm_set1_epi8(static_cast<char>(plusPetite))), candidat));
        m.distance = plusPetite;
        m.x = decalage + x + __builtin_ctz(static_cast<unsigned>(voiesMin));
        m.y = y;
    }
    // The last pixels of the row, one by one.
    for (; x < largeur; ++x)
        PasserPixel(f, r, c, x, y, chercher, x0, x1, cible, m, decalage);
}
#undef KINEPO_CHARGER
#undef KINEPO_PLAN
#undef KINEPO_ECART

// Thirty-two pixels at a time: two 16-pixel blocks side by side, one in each 128-bit half, so
// the in-lane byte shuffles of the SSSE3 path serve unchanged; lane i of the masks is pixel
// x + i, in scan order.
__attribute__((target("avx2"))) void PasserLigneAvx2(const uchar* f, const uchar* r, uchar* c,
                                                     int largeur, int y, bool chercher, int x0,
                                                     int x1, const CouleurCible& cible,
                                                     Meilleur& m) {
#define KINEPO_DOUBLE(t)                                                                           \
    _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(t)))
#define KINEPO_CHARGER2(p, j)                                                                      \
    _mm256_inserti128_si256(                                                                       \
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>((p) + 16 * (j)))), \
        _mm_loadu_si128(reinterpret_cast<const __m128i*>((p) + 48 + 16 * (j))), 1)
#define KINEPO_PLAN(v0, v1, v2, k)                                                                 \
    _mm256_or_si256(                                                                               \
        _mm256_or_si256(_mm256_shuffle_epi8(v0, plan[k][0]), _mm256_shuffle_epi8(v1, plan[k][1])), \
        _mm256_shuffle_epi8(v2, plan[k][2]))
#define KINEPO_ECART(a, b) _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a))
    __m256i plan[3][3], etendre[3];
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j)
            plan[k][j] = KINEPO_DOUBLE(kMasques.plan[k][j]);
    for (int j = 0; j < 3; ++j)
        etendre[j] = KINEPO_DOUBLE(kMasques.etendre[j]);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i uns = _mm256_cmpeq_epi8(zero, zero);
    const __m256i seuilCanal = _mm256_set1_epi8(static_cast<char>(SeuilCanal));
    const __m256i seuilDifference =
        _mm256_set1_epi8(static_cast<char>(PasseAnalyse::SeuilDifference));
    const __m256i cr = _mm256_set1_epi8(static_cast<char>(cible.r));
    const __m256i cg = _mm256_set1_epi8(static_cast<char>(cible.g));
    const __m256i cb = _mm256_set1_epi8(static_cast<char>(cible.b));
    const __m256i voies =
        _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                         21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
    constexpr int kPixels = 2 * PixelsParBloc;

    int x = 0;
    for (; x + kPixels <= largeur; x += kPixels) {
        const uchar* pf = f + 3 * x;
        const uchar* pr = r + 3 * x;
        const __m256i a0 = KINEPO_CHARGER2(pf, 0), a1 = KINEPO_CHARGER2(pf, 1),
                      a2 = KINEPO_CHARGER2(pf, 2);
        const __m256i d0 = KINEPO_ECART(a0, KINEPO_CHARGER2(pr, 0));
        const __m256i d1 = KINEPO_ECART(a1, KINEPO_CHARGER2(pr, 1));
        const __m256i d2 = KINEPO_ECART(a2, KINEPO_CHARGER2(pr, 2));
        const __m256i auDela = _mm256_or_si256(
            _mm256_or_si256(_mm256_subs_epu8(d0, seuilCanal), _mm256_subs_epu8(d1, seuilCanal)),
            _mm256_subs_epu8(d2, seuilCanal));
        if (_mm256_testz_si256(auDela, auDela)) continue;

        const __m256i somme = _mm256_adds_epu8(
            _mm256_adds_epu8(KINEPO_PLAN(d0, d1, d2, 0), KINEPO_PLAN(d0, d1, d2, 1)),
            KINEPO_PLAN(d0, d1, d2, 2));
        const __m256i mobile = _mm256_xor_si256(
            _mm256_cmpeq_epi8(_mm256_subs_epu8(somme, seuilDifference), zero), uns);
        if (_mm256_testz_si256(mobile, mobile)) continue;

        uchar* pc = c + 3 * x;
        const __m256i a[3] = {a0, a1, a2};
        for (int j = 0; j < 3; ++j) {
            __m128i* bas = reinterpret_cast<__m128i*>(pc + 16 * j);
            __m128i* haut = reinterpret_cast<__m128i*>(pc + 48 + 16 * j);
            const __m256i masque = _mm256_shuffle_epi8(mobile, etendre[j]);
            const __m256i ancien = _mm256_inserti128_si256(
                _mm256_castsi128_si256(_mm_loadu_si128(bas)), _mm_loadu_si128(haut), 1);
            const __m256i nouveau = _mm256_blendv_epi8(ancien, a[j], masque);
            _mm_storeu_si128(bas, _mm256_castsi256_si128(nouveau));
            _mm_storeu_si128(haut, _mm256_extracti128_si256(nouveau, 1));
        }

        if (!chercher || x + kPixels - 1 < x0 || x > x1) continue;
        const __m256i e =
            _mm256_adds_epu8(_mm256_adds_epu8(KINEPO_ECART(KINEPO_PLAN(a0, a1, a2, 0), cr),
                                              KINEPO_ECART(KINEPO_PLAN(a0, a1, a2, 1), cg)),
                             KINEPO_ECART(KINEPO_PLAN(a0, a1, a2, 2), cb));
        const int bas = std::clamp(x0 - x - 1, -1, kPixels);
        const int haut = std::clamp(x1 - x + 1, -1, kPixels);
        const __m256i fenetre =
            _mm256_and_si256(_mm256_cmpgt_epi8(voies, _mm256_set1_epi8(static_cast<char>(bas))),
                             _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(haut)), voies));
        const __m256i candidat = _mm256_and_si256(mobile, fenetre);
        const __m256i ec = _mm256_or_si256(e, _mm256_andnot_si256(candidat, uns));
        __m128i mini = _mm_min_epu8(_mm256_castsi256_si128(ec), _mm256_extracti128_si256(ec, 1));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 8));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 4));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 2));
        mini = _mm_min_epu8(mini, _mm_srli_si128(mini, 1));
        const int plusPetite = _mm_cvtsi128_si32(mini) & 0xFF;
        if (plusPetite >= m.distance) continue;
        const unsigned voiesMin = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(
            _mm256_cmpeq_epi8(ec, _mm256_set1_epi8(static_cast<char>(plusPetite))), candidat)));
        m.distance = plusPetite;
        m.x = x + __builtin_ctz(voiesMin);
        m.y = y;
    }
#undef KINEPO_DOUBLE
#undef KINEPO_CHARGER2
#undef KINEPO_PLAN
#undef KINEPO_ECART
    // What is left of the row (fewer than 32 pixels) takes the 16-pixel path.
    if (x < largeur)
        PasserLigneSsse3(f + 3 * x, r + 3 * x, c + 3 * x, largeur - x, y, chercher, x0 - x, x1 - x,
                         cible, m, x);
}
#endif

bool Disponible(CheminPasse chemin) {
    switch (chemin) {
    case CheminPasse::Automatique:
    case CheminPasse::Portable:
        return true;
#if defined(KINEPO_PASSE_SSSE3)
    case CheminPasse::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case CheminPasse::Avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("ssse3");
#else
    default:
        return false;
#endif
    }
    return false;
}

FonctionLigne ChoisirLigne() {
    CheminPasse chemin = g_chemin;
    if (chemin == CheminPasse::Automatique) {
        static const CheminPasse meilleur = Disponible(CheminPasse::Avx2) ? CheminPasse::Avx2
                                            : Disponible(CheminPasse::Ssse3)
                                                ? CheminPasse::Ssse3
                                                : CheminPasse::Portable;
        chemin = meilleur;
    }
    switch (chemin) {
#if defined(KINEPO_PASSE_SSSE3)
    case CheminPasse::Avx2:
        return PasserLigneAvx2;
    case CheminPasse::Ssse3:
        return [](const uchar* f, const uchar* r, uchar* c, int largeur, int y, bool chercher,
                  int x0, int x1, const CouleurCible& cible, Meilleur& m) {
            PasserLigneSsse3(f, r, c, largeur, y, chercher, x0, x1, cible, m);
        };
#endif
    default:
        return [](const uchar* f, const uchar* r, uchar* c, int largeur, int y, bool chercher,
                  int x0, int x1, const CouleurCible& cible,
                  Meilleur& m) { PasserLigne(f, r, c, largeur, y, chercher, x0, x1, cible, m); };
    }
}

} // namespace

bool ChoisirCheminPasse(CheminPasse chemin) {
    if (!Disponible(chemin)) return false;
    g_chemin = chemin;
    return true;
}

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
            for (int k = 0; k < 3; ++k)
                s[k] += ligne[3 * x + k];
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
    const FonctionLigne ligne = ChoisirLigne();
    for (int y = 0; y < H; ++y, lf += pasF, lr += pasR, lc += pasC)
        ligne(lf, lr, lc, W, y, fenetre && y >= y0 && y <= y1, x0, x1, cible_, m);

    const auto trouve = [&] {
        return m.distance < SeuilRechercheDepart + 2 * PasSeuilRecherche && (m.x != 0 || m.y != 0);
    };
    if (fenetre && !trouve()) {
        // Lost in its window (a fast object, a jerk of the camera): the same searches over the
        // whole frame before the frame is given up. Painting again what is already painted
        // changes nothing.
        m = Meilleur{SeuilRechercheDepart + 2 * PasSeuilRecherche};
        lf = f.constBits();
        lr = reference_.constBits();
        lc = chrono_.bits();
        for (int y = 0; y < H; ++y, lf += pasF, lr += pasR, lc += pasC)
            ligne(lf, lr, lc, W, y, true, 0, W - 1, cible_, m);
        res.horsFenetre = trouve();
    }
    if (!fenetre || !trouve()) return res;

    res.trouve = true;
    res.meilleurEcran = QPoint(m.x, m.y);
    res.distance = m.distance;
    res.meilleurImage = QPoint(m.x / zoom_, m.y / zoom_);
    const QPoint centre = Affiner(f, res.meilleurEcran, m.distance + MargeAffinage);
    res.positionImage = QPoint(centre.x() / zoom_, centre.y() / zoom_);
    return res;
}

QPoint PasseAnalyse::Affiner(const QImage& f, QPoint meilleur, int seuil) const {
    // The bounding box of the moving pixels of the target's colour in a window around the
    // match. A box that reaches a side of its window (not the picture's edge) belongs to an
    // object larger than the window, or met from its edge: the window moves onto the box's
    // centre, wide enough to hold the box with the first margins on every side, and the box is
    // taken again, until it lies inside.
    const int W = f.width(), H = f.height();
    const int hx = W / 20, hy = H / 20;
    int cx = meilleur.x(), cy = meilleur.y(), dx = hx, dy = hy;
    int minX = cx + hx, maxX = cx - hx, minY = cy + hy, maxY = cy - hy;
    QRect fenetrePrecedente;
    for (int tour = 0; tour < ToursAffinageMax; ++tour) {
        const int bx0 = std::max(0, cx - dx), bx1 = std::min(cx + dx, W - 1);
        const int by0 = std::max(0, cy - dy), by1 = std::min(cy + dy, H - 1);
        const QRect fenetre(QPoint(bx0, by0), QPoint(bx1, by1));
        if (fenetre == fenetrePrecedente) break; // the window covers all it can
        fenetrePrecedente = fenetre;
        if (tour > 0) {
            minX = cx + dx;
            maxX = cx - dx;
            minY = cy + dy;
            maxY = cy - dy;
        }
        for (int y = by0; y <= by1; ++y) {
            const uchar* pf = f.constScanLine(y);
            const uchar* pr = reference_.constScanLine(y);
            for (int x = bx0; x <= bx1; ++x) {
                // Still blocks hold no moving pixel: skipped whole, as in the pass.
                while (x + PixelsParBloc <= bx1 + 1 && BlocImmobile(pf + 3 * x, pr + 3 * x))
                    x += PixelsParBloc;
                if (x > bx1) break;
                const uchar* p = pf + 3 * x;
                if (Ecart(p, pr + 3 * x) <= SeuilDifference || Distance(p, cible_) >= seuil)
                    continue;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
        const bool touche = (minX == bx0 && bx0 > 0) || (maxX == bx1 && bx1 < W - 1) ||
                            (minY == by0 && by0 > 0) || (maxY == by1 && by1 < H - 1);
        if (!touche || minX > maxX || minY > maxY) break;
        cx = (minX + maxX) / 2;
        cy = (minY + maxY) / 2;
        dx = (maxX - minX) / 2 + 1 + hx;
        dy = (maxY - minY) / 2 + 1 + hy;
    }
    return QPoint((minX + maxX) / 2, (minY + maxY) / 2);
}

bool PasseAnalyse::CibleDistincte(QPoint cibleEcran) const {
    // The pass finds the target only where it differs from the background by more than the
    // difference threshold; once it has moved, its background is what surrounds it now. The
    // surroundings are the ring at a tenth of the picture around the click.
    if (reference_.isNull()) return true;
    const int W = reference_.width(), H = reference_.height();
    const int rx = std::max(1, W / 10), ry = std::max(1, H / 10);
    const uchar c[3] = {static_cast<uchar>(cible_.r), static_cast<uchar>(cible_.g),
                        static_cast<uchar>(cible_.b)};
    int total = 0, distincts = 0;
    const auto compter = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= W || y >= H) return;
        ++total;
        if (Ecart(reference_.constScanLine(y) + 3 * x, c) > SeuilDifference) ++distincts;
    };
    const int x0 = cibleEcran.x() - rx, x1 = cibleEcran.x() + rx;
    const int y0 = cibleEcran.y() - ry, y1 = cibleEcran.y() + ry;
    for (int x = x0; x <= x1; ++x) {
        compter(x, y0);
        compter(x, y1);
    }
    for (int y = y0 + 1; y < y1; ++y) {
        compter(x0, y);
        compter(x1, y);
    }
    return total == 0 || 2 * distincts >= total;
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
