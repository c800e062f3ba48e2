// Curve plots checked on the pixels of an image: mappings at the edges, the two drawing modes
// of the sound wave, the left channel of stereo sounds, absent points bridged.
#include "common/Grapheu.h"
#include "common/Nombres.h"
#include "tests/common/ImpressionQt.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace kinepo;

namespace {

const QRgb kBleu = qRgb(0, 0, 255);
const QRgb kBlanc = qRgb(255, 255, 255);
const QRgb kRouge = qRgb(255, 0, 0);

QImage ImageRouge(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kRouge);
    return img;
}

// Rows of column x that are blue.
std::vector<int> LignesBleues(const QImage& img, int x) {
    std::vector<int> lignes;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(x, y) == kBleu) lignes.push_back(y);
    return lignes;
}

std::vector<int> Intervalle(int de, int a) {
    std::vector<int> v;
    for (int y = std::min(de, a); y <= std::max(de, a); ++y)
        v.push_back(y);
    return v;
}

// A sound buffer: format byte, then the frames. gauche(k) and droite(k) give the channels.
std::vector<std::uint8_t> Son(
    int format, int trames, const std::function<int(int)>& gauche,
    const std::function<int(int)>& droite = [](int) { return 0; }) {
    const bool seize = format == 1 || format == 2;
    const bool stereo = format == 2 || format == 3;
    std::vector<std::uint8_t> b;
    b.push_back(static_cast<std::uint8_t>(format));
    if (seize) b.push_back(0);
    const auto ecrire = [&](int v) {
        if (seize) {
            const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
            b.push_back(static_cast<std::uint8_t>(u & 0xFF));
            b.push_back(static_cast<std::uint8_t>(u >> 8));
        } else {
            b.push_back(static_cast<std::uint8_t>(v));
        }
    };
    for (int k = 0; k < trames; ++k) {
        ecrire(gauche(k));
        if (stereo) ecrire(droite(k));
    }
    return b;
}

// Screen row of a sample value in a rectangle of height h starting at row 0.
int Ligne16(double v, int h) {
    return static_cast<int>(std::nearbyint(h - h * (v + 32768) / 65536));
}
int Ligne8(double v, int h) {
    return static_cast<int>(std::nearbyint(h - h * v / 256));
}

void DessinerSon(TgrapheSon& g, QImage& img) {
    QPainter p(&img);
    g.Dessine(p);
}

} // namespace

TEST(Grapheu, PremierEgalDernierNeDessineQueLeBlanc) {
    const QRect rect(10, 5, 50, 30);
    const auto son = Son(1, 100, [](int k) { return k * 300; });
    TgrapheSon gs;
    Tgraphe g;
    for (int qui = 0; qui < 2; ++qui) {
        QImage img = ImageRouge(80, 60);
        if (qui == 0) {
            gs.FixerDonnees(son.data(), son.size());
            gs.rect = rect;
            gs.first = gs.last = 20;
            gs.canvas = &img;
            gs.Dessine();
        } else {
            for (int i = 0; i < 10; ++i) {
                g.X[i] = i;
                g.Y[i] = i;
            }
            g.mondeX.maxi = g.mondeY.maxi = 10;
            g.rect = rect;
            g.first = g.last = 5;
            g.canvas = &img;
            g.Dessine();
        }
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ASSERT_EQ(img.pixel(x, y), rect.contains(x, y) ? kBlanc : kRouge)
                    << qui << " " << x << "," << y;
    }
}

TEST(Grapheu, BordsDesMappingsSeizeEtHuitBits) {
    const struct {
        int format;
        int hauteur;
        int basse, haute; // extreme sample values
        int yBasse, yHaute;
    } cas[] = {
        // The lowest value sits on the bottom edge, the highest one unit of resolution below
        // the top edge.
        {1, 65536, -32768, 32767, 65536, 1},
        {2, 65536, -32768, 32767, 65536, 1},
        {0, 256, 0, 255, 256, 1},
        {3, 256, 0, 255, 256, 1},
        {1, 200, -32768, 32767, 200, 0},
        {0, 200, 0, 255, 200, 1},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.format * 1000000 + c.hauteur);
        const auto son = Son(c.format, 10, [](int) { return 0; });
        TgrapheSon g;
        g.FixerDonnees(son.data(), son.size());
        g.rect = QRect(0, 0, 100, c.hauteur);
        g.first = 2;
        g.last = 7;
        QImage img(1, 1, QImage::Format_RGB32);
        DessinerSon(g, img);
        EXPECT_EQ(g.MondeVersEcran(c.basse, 0), QPoint(0, c.yBasse));
        EXPECT_EQ(g.MondeVersEcran(c.haute, 5), QPoint(100, c.yHaute));
        const auto m = g.EcranVersMonde(40, c.yBasse);
        EXPECT_DOUBLE_EQ(m.position, 2);
        EXPECT_DOUBLE_EQ(m.valeur, c.basse);
    }
}

// Odd frames are spikes. Joining only even frames (step 2) hides them; min/max columns show them.
TEST(Grapheu, DeuxEchantillonsParPixelUneLigneSixEnColonnes) {
    const int w = 100, h = 200;
    const auto son = Son(0, 1000, [](int k) { return k % 2 ? 250 : 128; });
    const int yPlat = Ligne8(128, h), yPic = Ligne8(250, h);
    const struct {
        int parPixel, pas;
        bool compresse;
        bool picsVisibles;
    } cas[] = {{2, 2, false, false}, {2, 1, false, true}, {6, 2, true, true}, {6, 1, true, true}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.parPixel * 10 + c.pas);
        TgrapheSon g;
        g.FixerDonnees(son.data(), son.size());
        g.rect = QRect(0, 0, w, h);
        g.first = 0;
        g.last = c.parPixel * w;
        g.step = c.pas;
        QImage img = ImageRouge(w, h);
        DessinerSon(g, img);
        EXPECT_EQ(g.compressed, c.compresse);
        bool pic = false;
        for (int x = 0; x < w; ++x) {
            const auto lignes = LignesBleues(img, x);
            if (c.compresse) {
                EXPECT_EQ(lignes, Intervalle(yPic, yPlat)) << x;
            } else if (!c.picsVisibles) {
                EXPECT_EQ(lignes, std::vector<int>{yPlat}) << x;
            }
            if (!lignes.empty() && lignes.front() == yPic) pic = true;
        }
        EXPECT_EQ(pic, c.picsVisibles);
    }
}

TEST(Grapheu, UnStereoNeDessineQueLaVoieGauche) {
    const int w = 100, h = 200;
    const struct {
        int format;
        int gauche, droite;
        int yGauche;
    } sons[] = {{2, 16384, -16384, Ligne16(16384, h)}, {3, 200, 50, Ligne8(200, h)}};
    for (const auto& s : sons) {
        const auto son = Son(
            s.format, 1000, [&](int) { return s.gauche; }, [&](int) { return s.droite; });
        for (int parPixel : {2, 6}) {
            SCOPED_TRACE(s.format * 10 + parPixel);
            TgrapheSon g;
            g.FixerDonnees(son.data(), son.size());
            g.rect = QRect(0, 0, w, h);
            g.last = parPixel * w;
            QImage img = ImageRouge(w, h);
            DessinerSon(g, img);
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(LignesBleues(img, x), std::vector<int>{s.yGauche}) << x;
        }
    }
}

// Each column spans exactly the minimum and maximum of its own block of frames, counted from
// first; frames before first are never shown.
TEST(Grapheu, ColonnesMinMaxExactes) {
    const int w = 10, h = 400, n = 6, first = 3;
    const auto valeur = [&](int k) {
        if (k < first) return 32767;
        const int x = (k - first) / n, r = (k - first) % n;
        if (r == (x % n)) return -1000 * (x + 1);
        if (r == ((x + 3) % n)) return 1500 * (x + 1);
        return 0;
    };
    const auto son = Son(1, first + n * w + 5, valeur);
    TgrapheSon g;
    g.FixerDonnees(son.data(), son.size());
    g.rect = QRect(0, 0, w, h);
    g.first = first;
    g.last = first + n * w;
    QImage img = ImageRouge(w, h);
    DessinerSon(g, img);
    ASSERT_TRUE(g.compressed);
    for (int x = 0; x < w; ++x)
        EXPECT_EQ(LignesBleues(img, x),
                  Intervalle(Ligne16(1500 * (x + 1), h), Ligne16(-1000 * (x + 1), h)))
            << x;
}

// The bytes after the filled part hold loud garbage that must never appear.
TEST(Grapheu, NeLitJamaisAuDelaDeLaPartieRemplie) {
    const int w = 100, h = 200;
    for (int format : {0, 1, 2, 3}) {
        const bool seize = format == 1 || format == 2;
        const int silence = seize ? 0 : 128, fort = seize ? 32767 : 255;
        auto son = Son(
            format, 1000, [&](int k) { return k < 30 ? silence : fort; },
            [&](int k) { return k < 30 ? silence : fort; });
        const std::size_t octetsParTrame = (seize ? 2 : 1) * (format >= 2 ? 2 : 1);
        // Plus the first byte of a frame still being written, when a frame has several.
        const std::size_t rempli = (seize ? 2 : 1) + 30 * octetsParTrame + (octetsParTrame > 1);
        for (int parPixel : {2, 6}) {
            SCOPED_TRACE(format * 10 + parPixel);
            TgrapheSon g;
            g.FixerDonnees(son.data(), rempli);
            EXPECT_EQ(g.NombreTrames(), 30);
            g.rect = QRect(0, 0, w, h);
            g.last = parPixel * w;
            QImage img = ImageRouge(w, h);
            DessinerSon(g, img);
            const int yS = seize ? Ligne16(silence, h) : Ligne8(silence, h);
            for (int x = 0; x < w; ++x) {
                const auto lignes = LignesBleues(img, x);
                if (!lignes.empty()) {
                    EXPECT_EQ(lignes, std::vector<int>{yS}) << x;
                    EXPECT_LE(x * parPixel, 30) << x;
                }
            }
            EXPECT_FALSE(LignesBleues(img, 0).empty());
        }
    }
}

// A buffer exactly as long as its frames and a range far past its end: under the address
// sanitizer any read past the end fails this test.
TEST(Grapheu, PlageAuDelaDUnTamponAjuste) {
    for (int format : {0, 1, 2, 3}) {
        const auto son = Son(
            format, 37, [](int k) { return k; }, [](int k) { return k; });
        for (int parPixel : {1, 2, 6, 1000}) {
            TgrapheSon g;
            g.FixerDonnees(son.data(), son.size());
            g.rect = QRect(0, 0, 50, 50);
            g.first = 5;
            g.last = 5 + parPixel * 50;
            QImage img = ImageRouge(50, 50);
            DessinerSon(g, img);
            EXPECT_FALSE(LignesBleues(img, 0).empty()) << format << " " << parPixel;
        }
    }
}

TEST(Grapheu, TamponAbsentOuFormatInconnuDonneUnRectangleBlanc) {
    std::vector<std::uint8_t> inconnu(100, 7);
    for (int cas = 0; cas < 3; ++cas) {
        TgrapheSon g;
        if (cas == 1) g.FixerDonnees(inconnu.data(), inconnu.size());
        if (cas == 2) g.FixerDonnees(inconnu.data(), 1); // format byte only
        g.rect = QRect(0, 0, 20, 20);
        g.last = 50;
        QImage img = ImageRouge(20, 20);
        DessinerSon(g, img);
        for (int x = 0; x < 20; ++x)
            EXPECT_TRUE(LignesBleues(img, x).empty()) << cas;
        EXPECT_EQ(img.pixel(19, 19), kBlanc);
    }
}

namespace {
// A Tgraphe over a 100 x 100 rectangle with world 0 ... 10 on both axes: point (X, Y) lands on
// pixel (10 X, 100 - 10 Y).
void Preparer(Tgraphe& g) {
    g.rect = QRect(0, 0, 100, 100);
    g.mondeX.mini = g.mondeY.mini = 0;
    g.mondeX.maxi = g.mondeY.maxi = 10;
}
std::vector<QPoint> PixelsBleus(const QImage& img) {
    std::vector<QPoint> v;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kBleu) v.emplace_back(x, y);
    return v;
}
} // namespace

// Absent points, points above the top (negative y) and points at x = 0 are skipped; the line
// joins the points around them.
TEST(Grapheu, PointsAbsentsPontes) {
    const double Xs[] = {0, 1, 3, 5, 6, 7, 9};
    const double Ys[] = {5, 5, 5, ValeurAbsente, 20, 5, 5};
    for (bool lignes : {true, false}) {
        SCOPED_TRACE(lignes);
        Tgraphe g;
        Preparer(g);
        for (int i = 0; i < 7; ++i) {
            g.X[i] = Xs[i];
            g.Y[i] = Ys[i];
        }
        g.first = 0;
        g.last = 6;
        g.lines = lignes;
        QImage img = ImageRouge(100, 100);
        g.canvas = &img;
        g.Dessine();
        std::vector<QPoint> attendu;
        if (lignes)
            for (int x = 10; x <= 90; ++x)
                attendu.emplace_back(x, 50);
        else
            attendu = {{10, 50}, {30, 50}, {70, 50}, {90, 50}};
        EXPECT_EQ(PixelsBleus(img), attendu);
        EXPECT_EQ(g.PointEcran(3), QPoint(-1, -1));
        EXPECT_EQ(g.PointEcran(1), QPoint(10, 50));
    }
}

TEST(Grapheu, UnPremierPointAbsentNeTireAucunSegmentDuBord) {
    Tgraphe g;
    Preparer(g);
    g.X[0] = ValeurAbsente;
    g.Y[0] = 5;
    g.X[1] = 5;
    g.Y[1] = 5;
    g.X[2] = 9;
    g.Y[2] = 5;
    g.last = 2;
    QImage img = ImageRouge(100, 100);
    QPainter p(&img);
    g.Dessine(p);
    p.end();
    std::vector<QPoint> attendu;
    for (int x = 50; x <= 90; ++x)
        attendu.emplace_back(x, 50);
    EXPECT_EQ(PixelsBleus(img), attendu);
}

TEST(Grapheu, BornesDuTableauEtEtendueNulle) {
    Tgraphe g;
    Preparer(g);
    for (int i = TableauGraphe::IndiceMin; i <= TableauGraphe::IndiceMax; ++i)
        g.X[i] = g.Y[i] = ValeurAbsente;
    g.X[-32768] = 1;
    g.Y[-32768] = 2;
    g.X[32768] = 9;
    g.Y[32768] = 2;
    g.first = -40000;
    g.last = 40000;
    QImage img = ImageRouge(100, 100);
    g.canvas = &img;
    g.Dessine();
    EXPECT_EQ(g.first, -32768);
    EXPECT_EQ(g.last, 32768);
    EXPECT_EQ(LignesBleues(img, 50), std::vector<int>{80});
    EXPECT_DOUBLE_EQ(g.mondeX.a, 10);
    EXPECT_DOUBLE_EQ(g.mondeY.a, -10);
    EXPECT_DOUBLE_EQ(g.mondeY.b, 100);

    // A world range of zero width cannot be mapped: the rectangle stays blank.
    g.mondeY.maxi = g.mondeY.mini;
    g.Dessine();
    EXPECT_TRUE(PixelsBleus(img).empty());
    EXPECT_EQ(img.pixel(0, 0), kBlanc);
}

TEST(Grapheu, MondeArrondiAuPairLePlusProche) {
    Tmonde m;
    m.a = 0.5;
    m.b = 0;
    EXPECT_EQ(m.VersEcran(1), 0); // 0.5
    EXPECT_EQ(m.VersEcran(3), 2); // 1.5
    EXPECT_EQ(m.VersEcran(5), 2); // 2.5
    EXPECT_EQ(m.VersEcran(-3), -2);
    EXPECT_EQ(m.VersEcran(1e300), 100000000);
    EXPECT_EQ(m.VersEcran(std::nan("")), -1);
}
