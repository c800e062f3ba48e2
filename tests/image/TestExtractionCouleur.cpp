// Following a curve by its colour: a sine drawn over black axes and a grey grid.
#include "ImagesDeTest.h"
#include "image/logic/ExtractionCouleur.h"
#include "image/logic/ImageCalibration.h"

#include <gtest/gtest.h>

using namespace kinepo;

TEST(ExtractionCouleur, ChaquePointDuSinusEstAMoinsDUnPixelDeLaCourbe) {
    const test::Sinus sinus;
    const QImage graphe = test::GrapheSinus(sinus);
    // Axes: origin where the black axes cross, 1 unit per 20 pixels both ways.
    ImageCalibration c;
    c.AxesMode = Orthonormal;
    c.Handles[SlotOrigine] = c.Handles[SlotDebutX] =
        c.Handles[SlotDebutY] = {sinus.x0, sinus.milieu};
    c.Handles[SlotFinX] = {sinus.x0 + 20, sinus.milieu};
    c.Handles[SlotFinY] = {sinus.x0, sinus.milieu - 20};
    ASSERT_TRUE(c.RecomputeCalibration());
    SeriesPoints s;
    const ResultatExtraction r = ExtraireCourbe(graphe, {sinus.couleur, 60, 1}, s, 1);
    EXPECT_FALSE(r.plein);
    // Every column gives a point.
    EXPECT_EQ(r.ajoutes, sinus.largeur);
    ASSERT_EQ(r.ajoutes, s.Longueur(1));
    const double unPixel = 1.0 / 20;
    const double amplitude = sinus.amplitude * unPixel;
    const double periode = sinus.periode * unPixel;
    for (int i = 0; i < s.Longueur(1); ++i) {
        const QPoint p = s.Point(1, i);
        const double x = c.ValueX(p), y = c.ValueY(p);
        const double attendu = amplitude * std::sin(2 * std::numbers::pi * x / periode);
        ASSERT_LE(std::fabs(y - attendu), unPixel)
            << "point " << i << " at pixel " << p.x() << "," << p.y();
    }
}

TEST(ExtractionCouleur, LePasEspaceLesColonnes) {
    const test::Sinus sinus;
    SeriesPoints s;
    ExtraireCourbe(test::GrapheSinus(sinus), {sinus.couleur, 60, 10}, s, 1);
    ASSERT_GT(s.Longueur(1), 2);
    for (int i = 1; i < s.Longueur(1); ++i)
        EXPECT_EQ(s.Point(1, i).x() - s.Point(1, i - 1).x(), 10);
}

TEST(ExtractionCouleur, UneCourbeQuiRecoupeUneColonneSuitLePointPrecedent) {
    // Two horizontal strokes of the colour; the series' last point is near the lower one.
    QImage i = test::ImageUnie(50, 100);
    for (int x = 0; x < 50; ++x) {
        for (int y = 20; y < 23; ++y)
            i.setPixel(x, y, qRgb(0, 0, 255));
        for (int y = 70; y < 75; ++y)
            i.setPixel(x, y, qRgb(0, 0, 250));
    }
    SeriesPoints s;
    s.Ajouter(1, {0, 65});
    ExtraireCourbe(i, {qRgb(0, 0, 255), 10, 5}, s, 1);
    ASSERT_EQ(s.Longueur(1), 11);
    for (int k = 1; k < 11; ++k)
        EXPECT_EQ(s.Point(1, k).y(), 72);
    // An empty series starts on the longest run.
    SeriesPoints vide;
    ExtraireCourbe(i, {qRgb(0, 0, 255), 10, 25}, vide, 1);
    ASSERT_EQ(vide.Longueur(1), 2);
    EXPECT_EQ(vide.Point(1, 0).y(), 72);
}

TEST(ExtractionCouleur, UneSeriePresquePleineSArreteProprement) {
    const test::Sinus sinus;
    SeriesPoints s;
    for (int k = 0; k < kCapaciteSerie - 5; ++k)
        s.Ajouter(1, {0, 0});
    const ResultatExtraction r =
        ExtraireCourbe(test::GrapheSinus(sinus), {sinus.couleur, 60, 1}, s, 1);
    EXPECT_TRUE(r.plein);
    EXPECT_EQ(r.ajoutes, 5);
    EXPECT_EQ(s.Longueur(1), kCapaciteSerie);
}
