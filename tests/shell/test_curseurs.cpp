// The cursor table: eleven two-colour 32 x 32 cursors with their hot spots, -3 the system cross.
// Each cursor is rendered from its bitmap and mask, as the window system combines them, and
// checked pixel by pixel.
#include "shell/base/Curseurs.h"

#include <QBitmap>
#include <QImage>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

using namespace kinepo;

namespace {

// What the pointer shows on a picture: bitmap 1 and mask 1 is black, bitmap 0 and mask 1 is
// white, mask 0 leaves the picture.
enum class Vu { Transparent, Noir, Blanc };

struct Rendu {
    std::vector<Vu> px = std::vector<Vu>(32 * 32, Vu::Transparent);
    Vu at(int x, int y) const {
        return x < 0 || y < 0 || x >= 32 || y >= 32 ? Vu::Transparent : px[y * 32 + x];
    }
    int compte(Vu v) const {
        int n = 0;
        for (Vu p : px)
            n += p == v ? 1 : 0;
        return n;
    }
    int compteDans(QRect r, Vu v) const {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += at(x, y) == v ? 1 : 0;
        return n;
    }
};

// A pixel of a QBitmap's image is set (color1) when it is black.
bool allume(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

Rendu rendre(const QCursor& c) {
    const QImage bits = c.bitmap().toImage();
    const QImage masque = c.mask().toImage();
    Rendu r;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (allume(masque, x, y)) r.px[y * 32 + x] = allume(bits, x, y) ? Vu::Noir : Vu::Blanc;
    return r;
}

// The cursor composed over a mid-grey picture, the way it looks on screen.
QImage surImage(const Rendu& r) {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(QColor(128, 128, 128));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (r.at(x, y) != Vu::Transparent)
                img.setPixelColor(x, y, r.at(x, y) == Vu::Noir ? Qt::black : Qt::white);
    return img;
}

struct Cas {
    int numero;
    const char* nom;
    QPoint chaud;
    Vu figure;                  // colour of the figure; the rim is the other colour
    QPoint centre;              // centre of the target or of the axes, left open
    std::vector<QPoint> traits; // pixels of the figure
    QRect zoneTexte;            // where a text stands (empty: none)
};
void PrintTo(const Cas& c, std::ostream* os) {
    *os << c.nom;
}

const Cas kCas[] = {
    {1,
     "CIBLE1",
     {15, 16},
     Vu::Noir,
     {15, 16},
     {{15, 9}, {8, 16}, {15, 5}, {26, 16}},
     {25, 1, 3, 5}},
    {2, "CIBLE2", {15, 16}, Vu::Noir, {15, 16}, {{15, 9}, {22, 16}}, {25, 1, 3, 5}},
    {3, "CIBLE3", {15, 16}, Vu::Noir, {15, 16}, {{15, 9}, {22, 16}}, {25, 1, 3, 5}},
    {4, "CIBLE4", {15, 16}, Vu::Noir, {15, 16}, {{15, 9}, {22, 16}}, {25, 1, 3, 5}},
    {5, "CIBLE5", {15, 16}, Vu::Noir, {15, 16}, {{15, 9}, {22, 16}}, {25, 1, 3, 5}},
    // Outer circle, inner circle, the ends of the cross.
    {6,
     "CIBLENOIRE",
     {15, 15},
     Vu::Noir,
     {15, 15},
     {{15, 3}, {27, 15}, {15, 10}, {20, 15}, {1, 15}, {15, 29}},
     {}},
    {7, "CIBLEBLANCHE", {15, 15}, Vu::Blanc, {15, 15}, {{15, 5}, {25, 15}, {15, 10}, {2, 15}}, {}},
    {8, "CIBLENORMALE", {15, 15}, Vu::Noir, {15, 15}, {{15, 3}, {27, 15}, {15, 10}, {1, 15}}, {}},
    {9, "CIBLEMOVE", {15, 15}, Vu::Noir, {15, 15}, {{15, 2}, {12, 5}, {28, 15}, {25, 18}}, {}},
    // Axes, the tips and one side of each arrowhead; the zero beside the crossing.
    {10,
     "ORIGINE",
     {14, 14},
     Vu::Noir,
     {14, 14},
     {{3, 14}, {29, 14}, {26, 11}, {14, 2}, {11, 5}, {14, 27}},
     {8, 17, 3, 5}},
    // The target and "t=0" under it.
    {11, "ORIGINETEMPS", {0, 0}, Vu::Noir, {10, 9}, {{10, 2}, {17, 9}, {10, 17}}, {4, 20, 11, 5}},
};

} // namespace

class CurseurDessine : public ::testing::TestWithParam<Cas> {};

TEST_P(CurseurDessine, FigureOpaqueSurroundingsAndCentreTransparent) {
    const Cas& c = GetParam();
    EnregistrerCurseurs();
    const QCursor cur = CurseurNumero(c.numero);
    EXPECT_STREQ(NomRessourceCurseur(c.numero), c.nom);
    ASSERT_EQ(cur.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cur.hotSpot(), c.chaud);
    ASSERT_EQ(cur.bitmap().size(), QSize(32, 32));
    ASSERT_EQ(cur.mask().size(), QSize(32, 32));
    const Rendu r = rendre(cur);
    const Vu bordure = c.figure == Vu::Noir ? Vu::Blanc : Vu::Noir;

    for (const QPoint& p : c.traits) {
        SCOPED_TRACE(testing::Message() << "trait " << p.x() << "," << p.y());
        EXPECT_EQ(r.at(p.x(), p.y()), c.figure);
    }
    // The surroundings: the corners, and most of the square.
    for (const QPoint& coin : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)}) {
        SCOPED_TRACE(testing::Message() << "coin " << coin.x() << "," << coin.y());
        EXPECT_EQ(r.at(coin.x(), coin.y()), Vu::Transparent);
    }
    EXPECT_GT(r.compte(Vu::Transparent), 32 * 32 / 2);
    // The centre is open: the pixel aimed at and its neighbours show the picture.
    EXPECT_EQ(r.compteDans(QRect(c.centre - QPoint(1, 1), QSize(3, 3)), Vu::Transparent), 9);
    const QImage vu = surImage(r);
    EXPECT_EQ(vu.pixelColor(c.centre), QColor(128, 128, 128));
    // Every pixel of the figure is ringed by the other colour, never by the picture, so it
    // shows on dark and light pictures alike.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (r.at(x, y) != c.figure) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= 32 || ny >= 32) continue;
                    EXPECT_NE(r.at(nx, ny), Vu::Transparent)
                        << "figure pixel " << x << "," << y << " touches the picture";
                }
        }
    EXPECT_GT(r.compte(bordure), 0);
    // A text: figure pixels in its box, and it is not a filled block.
    if (!c.zoneTexte.isEmpty()) {
        const int n = r.compteDans(c.zoneTexte, c.figure);
        EXPECT_GE(n, 5);
        EXPECT_LT(n, c.zoneTexte.width() * c.zoneTexte.height());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CurseurDessine, ::testing::ValuesIn(kCas),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(Curseurs, TheFiveNumberedTargetsDifferByTheirDigitOnly) {
    const Rendu un = rendre(CurseurNumero(crCible1));
    for (int n = crCible2; n <= crCible5; ++n) {
        const Rendu r = rendre(CurseurNumero(n));
        int differents = 0, horsChiffre = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (r.at(x, y) != un.at(x, y)) {
                    ++differents;
                    if (x < 24 || y > 6) ++horsChiffre;
                }
        EXPECT_GT(differents, 0) << n;
        EXPECT_EQ(horsChiffre, 0) << n;
    }
}

TEST(Curseurs, SystemCursorsByNumber) {
    EXPECT_EQ(CurseurNumero(crCroix).shape(), Qt::CrossCursor);
    EXPECT_EQ(CurseurNumero(crDefaut).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CurseurNumero(99).shape(), Qt::ArrowCursor);
    EXPECT_STREQ(NomRessourceCurseur(12), "");
}
