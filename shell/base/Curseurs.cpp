#include "shell/base/Curseurs.h"

#include <QBitmap>
#include <QImage>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace kinepo {
namespace {

struct Definition {
    const char* nom;
    int hx, hy;
};
constexpr std::array<Definition, 11> kDefinitions = {{{"CIBLE1", 15, 16},
                                                      {"CIBLE2", 15, 16},
                                                      {"CIBLE3", 15, 16},
                                                      {"CIBLE4", 15, 16},
                                                      {"CIBLE5", 15, 16},
                                                      {"CIBLENOIRE", 15, 15},
                                                      {"CIBLEBLANCHE", 15, 15},
                                                      {"CIBLENORMALE", 15, 15},
                                                      {"CIBLEMOVE", 15, 15},
                                                      {"ORIGINE", 14, 14},
                                                      {"ORIGINETEMPS", 0, 0}}};

std::array<std::optional<QCursor>, 12> g_curseurs;

constexpr int kCote = 32;

// The figures are drawn pixel by pixel rather than with a painter: a two-colour cursor has no
// grey, and font rendering would make the digits depend on the fonts installed.
//
// A 3 x 5 pixel font for the few characters the cursors carry.
struct Glyphe {
    char c;
    const char* lignes[5];
};
constexpr Glyphe kGlyphes[] = {
    {'0', {".#.", "#.#", "#.#", "#.#", ".#."}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"##.", "..#", ".#.", "#..", "###"}}, {'3', {"##.", "..#", ".#.", "..#", "##."}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "##.", "..#", "##."}},
    {'t', {".#.", "###", ".#.", ".#.", ".##"}}, {'=', {"...", "###", "...", "###", "..."}},
};

// The figure of a cursor on its 32 x 32 grid.
class Figure {
public:
    void point(int x, int y) {
        if (x >= 0 && x < kCote && y >= 0 && y < kCote) trait_[y * kCote + x] = 1;
    }
    bool a(int x, int y) const {
        return x >= 0 && x < kCote && y >= 0 && y < kCote && trait_[y * kCote + x];
    }
    // A straight line, both ends included.
    void ligne(int x0, int y0, int x1, int y1) {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            point(x0, y0);
            if (x0 == x1 && y0 == y1) return;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    // A one-pixel circle of radius r around (cx, cy).
    void cercle(int cx, int cy, int r) {
        int x = r, y = 0, err = 1 - r;
        while (x >= y) {
            for (const auto& [px, py] :
                 {std::pair{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}})
                point(cx + px, cy + py);
            ++y;
            if (err < 0) {
                err += 2 * y + 1;
            } else {
                --x;
                err += 2 * (y - x) + 1;
            }
        }
    }
    // A cross around (cx, cy) whose arms run from `trou` to `bras` pixels off the centre: the
    // centre stays open, so the pixel aimed at remains visible.
    void croix(int cx, int cy, int trou, int bras) {
        ligne(cx - bras, cy, cx - trou, cy);
        ligne(cx + trou, cy, cx + bras, cy);
        ligne(cx, cy - bras, cx, cy - trou);
        ligne(cx, cy + trou, cx, cy + bras);
    }
    // Text in the 3 x 5 font, top left corner at (x, y), one pixel between characters.
    void texte(const char* t, int x, int y) {
        for (; *t; ++t, x += 4)
            for (const Glyphe& g : kGlyphes)
                if (g.c == *t)
                    for (int j = 0; j < 5; ++j)
                        for (int i = 0; i < 3; ++i)
                            if (g.lignes[j][i] == '#') point(x + i, y + j);
    }

private:
    std::array<std::uint8_t, kCote * kCote> trait_{};
};

// Two concentric circles and a cross with an open centre.
void cible(Figure& f, int cx, int cy, int rayonExterieur, int rayonInterieur, int bras) {
    f.cercle(cx, cy, rayonExterieur);
    f.cercle(cx, cy, rayonInterieur);
    f.croix(cx, cy, 4, bras);
}

Figure dessiner(int numero) {
    Figure f;
    switch (numero) {
    case crCible1:
    case crCible2:
    case crCible3:
    case crCible4:
    case crCible5: {
        // The target of point n, numbered in the top right corner.
        f.cercle(15, 16, 7);
        f.croix(15, 16, 4, 11);
        const char chiffre[2] = {static_cast<char>('0' + numero), 0};
        f.texte(chiffre, 25, 1);
        break;
    }
    case crCibleNoire:
    case crCibleNormale:
        cible(f, 15, 15, 12, 5, 14);
        break;
    case crCibleBlanche:
        cible(f, 15, 15, 10, 5, 13);
        break;
    case crCibleMove:
        // A cross with an arrowhead at each end.
        f.croix(15, 15, 4, 13);
        f.ligne(15, 2, 12, 5), f.ligne(15, 2, 18, 5);
        f.ligne(15, 28, 12, 25), f.ligne(15, 28, 18, 25);
        f.ligne(2, 15, 5, 12), f.ligne(2, 15, 5, 18);
        f.ligne(28, 15, 25, 12), f.ligne(28, 15, 25, 18);
        break;
    case crOrigine:
        // Two axes crossing at the hot spot, arrowheads up and right, a small zero beside.
        f.ligne(3, 14, 10, 14), f.ligne(18, 14, 29, 14);
        f.ligne(14, 18, 14, 27), f.ligne(14, 10, 14, 2);
        f.ligne(29, 14, 26, 11), f.ligne(29, 14, 26, 17);
        f.ligne(14, 2, 11, 5), f.ligne(14, 2, 17, 5);
        f.texte("0", 8, 17);
        break;
    case crOrigineTemps:
        // A target with "t=0" under it.
        f.cercle(10, 9, 7);
        f.croix(10, 9, 3, 8);
        f.texte("t=0", 4, 20);
        break;
    default:
        break;
    }
    return f;
}

// The bitmap of a cursor: color1 (black) where `allume` holds, color0 elsewhere. The colour
// table is set explicitly: a bare Format_Mono image takes index 1 for white, which
// QBitmap::fromImage reads as color0, and a mask built that way shows the cursor inverted.
template <typename F> QBitmap bitmap(F allume) {
    QImage img(kCote, kCote, QImage::Format_MonoLSB);
    img.setColor(0, QColor(Qt::white).rgb());
    img.setColor(1, QColor(Qt::black).rgb());
    for (int y = 0; y < kCote; ++y)
        for (int x = 0; x < kCote; ++x)
            img.setPixel(x, y, allume(x, y) ? 1 : 0);
    return QBitmap::fromImage(img);
}

// The figure in one colour with a one-pixel rim of the other around it, so that it shows on
// any picture. The cursors that would invert the screen are drawn black: X11 has no
// inverting cursor.
QCursor versCurseur(const Figure& f, bool figureNoire, int hx, int hy) {
    const auto bord = [&f](int x, int y) {
        if (f.a(x, y)) return false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (f.a(x + dx, y + dy)) return true;
        return false;
    };
    const QBitmap noir = bitmap([&](int x, int y) { return figureNoire ? f.a(x, y) : bord(x, y); });
    const QBitmap masque = bitmap([&](int x, int y) { return f.a(x, y) || bord(x, y); });
    return QCursor(noir, masque, hx, hy);
}

} // namespace

std::optional<QPoint> DeplacementPointeur(int touche, Qt::KeyboardModifiers mod, bool pave) {
    const bool maj = mod & Qt::ShiftModifier;
    const bool clavierNumerique = pave && (mod & Qt::KeypadModifier);
    switch (touche) {
    case Qt::Key_Left:
        return QPoint(-1, 0);
    case Qt::Key_Right:
        return QPoint(1, 0);
    case Qt::Key_Up:
        return QPoint(0, -1);
    case Qt::Key_Down:
        return QPoint(0, 1);
    case Qt::Key_PageUp:
        return maj ? QPoint(-10, 0) : QPoint(0, -10);
    case Qt::Key_PageDown:
        return maj ? QPoint(10, 0) : QPoint(0, 10);
    case Qt::Key_4:
        if (clavierNumerique) return QPoint(-1, 0);
        break;
    case Qt::Key_6:
        if (clavierNumerique) return QPoint(1, 0);
        break;
    case Qt::Key_8:
        if (clavierNumerique) return QPoint(0, -1);
        break;
    case Qt::Key_2:
        if (clavierNumerique) return QPoint(0, 1);
        break;
    default:
        break;
    }
    return std::nullopt;
}

int& NumeroCibleApplication() {
    static int cible = crCibleNormale;
    return cible;
}

const char* NomRessourceCurseur(int numero) {
    return numero >= 1 && numero <= 11 ? kDefinitions[numero - 1].nom : "";
}

void EnregistrerCurseurs() {
    for (int n = 1; n <= 11; ++n)
        g_curseurs[n] = versCurseur(dessiner(n), n != crCibleBlanche, kDefinitions[n - 1].hx,
                                    kDefinitions[n - 1].hy);
}

QCursor CurseurNumero(int numero) {
    if (numero >= 1 && numero <= 11) {
        if (!g_curseurs[numero]) EnregistrerCurseurs();
        return *g_curseurs[numero];
    }
    switch (numero) {
    case crCroix:
        return QCursor(Qt::CrossCursor);
    case crTexte:
        return QCursor(Qt::IBeamCursor);
    case crSablier:
        return QCursor(Qt::WaitCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

} // namespace kinepo
