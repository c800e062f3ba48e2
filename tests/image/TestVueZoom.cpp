// The view tools' rules without the form: zoom factors, the anchor, the limits at the picture's
// edges, the overview drag, the drawn part, the contrast table and the point labels.
#include "ImagesDeTest.h"
#include "image/logic/Contraste.h"
#include "image/logic/DessinImage.h"
#include "image/logic/VueZoom.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace kinepo;


TEST(VueZoom, BoutonsEtArrondis) {
    const struct {
        double z;
        bool avant;
        double attendu;
    } cas[] = {
        {8, true, 8},
        {6, true, 12},
        {1.0 / 3, true, 0.5},
        {3, true, 6},
        {1.0 / 8, false, 1.0 / 8},
        {5, false, 2},
        {7, false, 4},
        {1.0 / 3, false, 1.0 / 6},
        {1, true, 2},
        {1, false, 0.5},
        {0.25, false, 0.125},
        {12, false, 6},
    };
    for (const auto& c : cas) {
        const double x = c.avant ? ZoomAvant(c.z) : ZoomArriere(c.z);
        EXPECT_DOUBLE_EQ(NormaliserZoom(x), c.attendu) << c.z << (c.avant ? " +" : " -");
    }
    EXPECT_DOUBLE_EQ(NormaliserZoom(2.5), 2);
    EXPECT_DOUBLE_EQ(NormaliserZoom(3.5), 4);
    EXPECT_DOUBLE_EQ(NormaliserZoom(1 / 2.5), 0.5);
}

TEST(VueZoom, TexteDeLaBoite) {
    EXPECT_EQ(TexteZoom(3), QStringLiteral("Zoom X 3"));
    EXPECT_EQ(TexteZoom(0.25), QStringLiteral("Zoom / 4"));
    EXPECT_EQ(TexteZoom(1), QStringLiteral("Taille réelle"));
    EXPECT_EQ(TexteZoom(12), QStringLiteral("Zoom X 12"));
    EXPECT_EQ(TexteZoom(1.0 / 6), QStringLiteral("Zoom / 6"));
}

// The image point under the anchor stays there, unless the rectangle is held at the left or
// top of the picture. The rule rounds the anchor's image point (round(P / z) + L) where a click
// takes the pixel whose square holds it (floor), so away from whole positions the point may
// move by one pixel; from zoom 1 at an even anchor it is exact.
TEST(VueZoom, LAncreGardeSonPixel) {
    const QSize panneau(600, 400), image(1000, 800);
    const struct {
        QPoint ancre;
        double z0, z;
        bool retenu; // held at the left or top edge
        int ecart;   // how far the image point may move
    } cas[] = {
        {{100, 80}, 1, 2, false, 0},  {{300, 200}, 1, 4, false, 0}, {{599, 399}, 1, 8, false, 1},
        {{100, 80}, 1, 0.5, true, 0}, {{0, 0}, 1, 3, false, 0},     {{250, 120}, 2, 9, false, 1},
    };
    for (const auto& c : cas) {
        VueImage v = VueNouvelleImage(panneau);
        if (c.z0 != 1) AppliquerZoom(v, c.z0, {0, 0}, panneau, image);
        const QPoint avant = v.VersImage(c.ancre);
        AppliquerZoom(v, c.z, c.ancre, panneau, image);
        EXPECT_DOUBLE_EQ(v.zoom, c.z);
        if (c.retenu) {
            EXPECT_EQ(v.gauche, 0);
            EXPECT_EQ(v.haut, 0);
        } else {
            const QPoint apres = v.VersImage(c.ancre);
            EXPECT_LE(std::abs(apres.x() - avant.x()), c.ecart) << c.ancre.x() << " x" << c.z;
            EXPECT_LE(std::abs(apres.y() - avant.y()), c.ecart) << c.ancre.y() << " x" << c.z;
        }
        EXPECT_GE(v.gauche, 0);
        EXPECT_LE(v.droite, image.width());
        EXPECT_LE(v.bas, image.height());
    }
}

// A picture narrower (and lower) than the view: the whole picture, from 0, and an empty band.
TEST(VueZoom, ImageEtroite) {
    const QSize panneau(600, 400), image(200, 150);
    VueImage v = VueNouvelleImage(panneau);
    EXPECT_EQ(v.droite, 600); // a new picture is not limited before the first zoom
    AppliquerZoom(v, 1, {300, 300}, panneau, image);
    EXPECT_EQ(v.gauche, 0);
    EXPECT_EQ(v.droite, 200);
    EXPECT_EQ(v.haut, 0);
    EXPECT_EQ(v.bas, 150);
    EXPECT_EQ(TailleDessinee(v), QSize(200, 150));
    EXPECT_EQ(RenduVue(test::Coordonnees(200, 150), v, 0).size(), QSize(200, 150));
}

// A zoom at the far right edge takes back the empty band from the left.
TEST(VueZoom, BandeVideReprise) {
    const QSize panneau(600, 400), image(1000, 800);
    VueImage v = VueNouvelleImage(panneau);
    AppliquerZoom(v, 0.5, {0, 0}, panneau, image); // the whole width: 0 .. 1000
    AppliquerZoom(v, 1, {590, 10}, panneau, image);
    EXPECT_EQ(v.droite, 1000);
    EXPECT_EQ(v.gauche, 400);
    EXPECT_EQ(TailleDessinee(v).width(), 600);
}

TEST(VueZoom, GlisserAuDelaDuBordDroit) {
    const QSize panneau(600, 400), image(2000, 1000);
    const struct {
        double z;
        QPoint d;
        int gauche, droite, haut, bas;
    } cas[] = {
        {1, {5000, 0}, 1400, 2000, 0, 400},
        {2, {5000, 5000}, 1700, 2000, 800, 1000},
        {1, {-5000, -50}, 0, 600, 0, 400},
        {0.25, {300, 0}, 0, 2000, 0, 1000}, // the picture fits: the whole of it
        {1, {10, 20}, 100, 700, 200, 600},
    };
    for (const auto& c : cas) {
        VueImage v = VueNouvelleImage(panneau);
        AppliquerZoom(v, c.z, {0, 0}, panneau, image);
        DeplacerVue(v, c.d, 0.1, panneau, image);
        EXPECT_EQ(v.gauche, c.gauche) << c.z << " " << c.d.x();
        EXPECT_EQ(v.droite, c.droite) << c.z << " " << c.d.x();
        EXPECT_EQ(v.haut, c.haut) << c.z << " " << c.d.y();
        EXPECT_EQ(v.bas, c.bas) << c.z << " " << c.d.y();
    }
}

// The drawn part: each view pixel shows the image pixel VersImage names.
TEST(VueZoom, RenduPixelParPixel) {
    const QImage image = test::Coordonnees(500, 300);
    const QSize panneau(240, 160);
    for (double z : {0.25, 1.0 / 3, 0.5, 1.0, 2.0, 3.0, 8.0}) {
        VueImage v = VueNouvelleImage(panneau);
        AppliquerZoom(v, z, {120, 80}, panneau, image.size());
        const QImage r = RenduVue(image, v, 0);
        ASSERT_EQ(r.size(), TailleDessinee(v)) << z;
        for (int y = 0; y < r.height(); y += 7)
            for (int x = 0; x < r.width(); x += 5) {
                if (z < 1) continue; // reduced: checked below on whole steps
                ASSERT_EQ(r.pixel(x, y), image.pixel(v.VersImage({x, y})))
                    << z << " " << x << "," << y;
            }
        if (z < 1) {
            for (int y = 0; y < r.height(); y += 3)
                for (int x = 0; x < r.width(); x += 3)
                    ASSERT_EQ(r.pixel(x, y),
                              image.pixel(v.gauche + int(x * (v.droite - v.gauche) / r.width()),
                                          v.haut + int(y * (v.bas - v.haut) / r.height())))
                        << z;
        }
    }
    // Beyond the picture (a new picture smaller than the panel): the background.
    const VueImage nouvelle = VueNouvelleImage({600, 400});
    const QImage r = RenduVue(image, nouvelle, qRgb(1, 2, 3));
    EXPECT_EQ(r.pixel(550, 10), qRgb(1, 2, 3));
    EXPECT_EQ(r.pixel(499, 299), image.pixel(499, 299));
}

TEST(VueZoom, Apercu) {
    EXPECT_DOUBLE_EQ(FacteurApercu({300, 200}, {1000, 500}), 0.3);
    EXPECT_EQ(TailleApercu(0.3, {1000, 500}), QSize(300, 150));
    VueImage v;
    v.gauche = 100;
    v.haut = 50;
    v.droite = 700;
    v.bas = 450;
    EXPECT_EQ(RectangleApercu(v, 0.3), QRect(QPoint(30, 15), QPoint(209, 134)));
}

// ---- Contrast ----------------------------------------------------------------------------

TEST(Contraste, LaTableEstLaFormule) {
    for (int ref : {-40, 0, 1, 100, 128, 200, 255, 320})
        for (int pos = 0; pos <= 25; ++pos) {
            const auto t = TableContraste(ref, pos);
            const double g = std::exp(0.12 * pos);
            for (int v = 0; v < 256; ++v) {
                const int attendu =
                    std::min(255, std::max(0, int(std::nearbyint(g * (v - ref))) + 128));
                ASSERT_EQ(t[std::size_t(v)], attendu) << ref << " " << pos << " " << v;
            }
        }
    EXPECT_NEAR(GainContraste(8), 2.6117, 1e-4);
    EXPECT_NEAR(GainContraste(25), 20.0855, 1e-4);
}

TEST(Contraste, IdentiteEtExemple) {
    // A picture with every value of every component, and random pixels.
    QImage source(256, 40, QImage::Format_RGB32);
    QRandomGenerator alea(7);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < 256; ++x)
            source.setPixel(
                x, y, y == 0 ? qRgb(x, 255 - x, (x * 7) & 0xFF) : alea.generate() | 0xFF000000u);
    source.setPixel(3, 3, qRgb(0, 0, 0));
    EXPECT_EQ(AppliquerContraste(source, 128, 0), source);

    source.setPixel(5, 5, qRgb(100, 150, 0));
    const QImage r = AppliquerContraste(source, 100, 0);
    EXPECT_EQ(r.pixel(5, 5), qRgb(128, 178, 28));
    EXPECT_EQ(r.pixel(3, 3), qRgb(0, 0, 0)); // pure black stays black
    // Every pixel of a stronger pass is the formula of its components.
    const QImage fort = AppliquerContraste(source, 90, 17);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < 256; ++x) {
            const QRgb s = source.pixel(x, y);
            const QRgb attendu = (s & 0xFFFFFF) == 0 ? qRgb(0, 0, 0)
                                                     : qRgb(ComposanteContrastee(qRed(s), 90, 17),
                                                            ComposanteContrastee(qGreen(s), 90, 17),
                                                            ComposanteContrastee(qBlue(s), 90, 17));
            ASSERT_EQ(fort.pixel(x, y), attendu) << x << "," << y;
        }
    // A large picture goes through the two-core pass: the same result.
    QImage grande(1500, 800, QImage::Format_RGB32);
    grande.fill(qRgb(100, 150, 0));
    grande.setPixel(1499, 799, qRgb(0, 0, 0));
    const QImage g = AppliquerContraste(grande, 100, 0);
    EXPECT_EQ(g.pixel(0, 0), qRgb(128, 178, 28));
    EXPECT_EQ(g.pixel(1498, 799), qRgb(128, 178, 28));
    EXPECT_EQ(g.pixel(1499, 799), qRgb(0, 0, 0));
}

TEST(Contraste, LigneDeReference) {
    const struct {
        int x, largeur, reference;
    } cas[] = {{100, 200, 127}, {0, 200, 0}, {200, 200, 255}, {-10, 200, -12}, {250, 200, 318}};
    for (const auto& c : cas)
        EXPECT_EQ(ReferenceDeColonne(c.x, c.largeur), c.reference) << c.x;
    EXPECT_EQ(ColonneReference(128, 200), 100);
    EXPECT_EQ(ColonneReference(255, 200), 200);
}

TEST(DessinImage, EtiquettesCoupees) {
    const struct {
        int indice, serie, nombre;
        bool couper;
        const char* attendu;
    } cas[] = {{123, 2, 2, true, "123(2"},   {123, 2, 2, false, "123(2)"}, {7, 1, 1, true, "7"},
               {12345, 1, 1, true, "12345"}, {32768, 3, 3, true, "32768"}, {5, 3, 3, true, "5(3)"}};
    for (const auto& c : cas)
        EXPECT_EQ(EtiquettePoint(c.indice, c.serie, c.nombre, c.couper),
                  QString::fromLatin1(c.attendu));
}

// The pass into the displayed picture: a picture still shared with the source is never
// written through; the displayed picture's own memory is reused.
TEST(Contraste, DansLImageAffichee) {
    QImage source(300, 200, QImage::Format_RGB32);
    source.fill(qRgb(100, 150, 0));
    QImage affichee = source; // shared, as after opening
    AppliquerContraste(source, 100, 0, affichee);
    EXPECT_EQ(source.pixel(7, 7), qRgb(100, 150, 0));
    EXPECT_EQ(affichee.pixel(7, 7), qRgb(128, 178, 28));
    const uchar* memoire = affichee.constBits();
    AppliquerContraste(source, 128, 0, affichee);
    EXPECT_EQ(affichee.constBits(), memoire);
    EXPECT_EQ(affichee, source); // position 0, reference 128: the source again
    EXPECT_EQ(source.pixel(7, 7), qRgb(100, 150, 0));
}
