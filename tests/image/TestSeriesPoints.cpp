// The point store: fixed capacity, hit test, deletion, undo; the table's lines.
#include "common/Nombres.h"
#include "image/logic/SeriesPoints.h"
#include "image/logic/TableImage.h"
#include "transfer/TexteEchange.h"

#include <gtest/gtest.h>

using namespace kinepo;

TEST(SeriesPoints, UneSeriePleineRefuseLePoint) {
    SeriesPoints s;
    for (int i = 0; i < kCapaciteSerie; ++i)
        ASSERT_TRUE(s.Ajouter(1, {i % 400, i % 300}));
    EXPECT_EQ(s.Longueur(1), kCapaciteSerie);
    EXPECT_EQ(s.RecordOrMovePoint({5, 5}), Enregistrement::Plein);
    EXPECT_EQ(s.Longueur(1), kCapaciteSerie);
    // The other series are untouched by a full one.
    EXPECT_TRUE(s.Ajouter(2, {1, 1}));
    EXPECT_EQ(s.Point(1, kCapaciteSerie - 1),
              QPoint((kCapaciteSerie - 1) % 400, (kCapaciteSerie - 1) % 300));
}

TEST(SeriesPoints, LaSerieSuivanteSArreteALaLongueurDeLaPremiere) {
    SeriesPoints s;
    for (int i = 0; i < 3; ++i)
        s.Ajouter(1, {i, i});
    s.CurrentSeries = 2;
    EXPECT_EQ(s.RecordOrMovePoint({1, 1}), Enregistrement::Ajoute);
    EXPECT_EQ(s.RecordOrMovePoint({2, 2}), Enregistrement::Ajoute);
    EXPECT_EQ(s.RecordOrMovePoint({3, 3}), Enregistrement::SerieComplete);
}

TEST(SeriesPoints, AEgaliteLePremierPointGagne) {
    SeriesPoints s;
    s.Ajouter(1, {100, 100});
    s.Ajouter(2, {110, 100});
    // 5 view pixels from both.
    EXPECT_EQ(s.HitPoint(VueImage{}, {105, 100}, 2), 0);
    EXPECT_EQ(s.FoundSeries, 1);
    EXPECT_EQ(s.HitPoint(VueImage{}, {108, 100}, 2), 0);
    EXPECT_EQ(s.FoundSeries, 2);
    // Series beyond the count in use are not searched.
    EXPECT_EQ(s.HitPoint(VueImage{}, {108, 100}, 1), 0);
    EXPECT_EQ(s.FoundSeries, 1);
}

TEST(TableImage, UneSeriePlusCourteEnvoieDesCellulesVides) {
    ImageCalibration c;
    c.ResetHandles(400, 300);
    c.SeriesCount = 2;
    c.RecomputeCalibration();
    SeriesPoints s;
    for (int i = 0; i < 3; ++i)
        s.Ajouter(1, {200 + 75 * i, 150});
    s.Ajouter(2, {200, 75});
    FixerSeparateurDecimal(u',');
    EXPECT_EQ(ChampsPoint(c, s, 0), QStringList({"0", "0", "0", "0", "1"}));
    EXPECT_EQ(ChampsPoint(c, s, 2), QStringList({"2", "2", "0", "", ""}));
    EXPECT_EQ(LigneChamps(ChampsPoint(c, s, 1)), QStringLiteral("1\t1\t0\t\t"));
    SeparateurDecimalDuSysteme();
}

TEST(TableImage, EntetesDeLaGrille) {
    const NomsVariables n;
    EXPECT_EQ(EntetesGrille(Orthonormal, 1, n), QStringList({"t(s)", "X1(m)", "Y1(m)"}));
    EXPECT_EQ(EntetesGrille(OneAxis, 2, n), QStringList({"t(s)", "Y1(m)", "Y2(m)"}));
    EXPECT_EQ(SerieDeColonne(TwoAxes, 3), 2);
    EXPECT_EQ(SerieDeColonne(OneAxis, 3), 3);
}
