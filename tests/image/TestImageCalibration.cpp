// Calibration of a still picture: default handles, the three modes, the orthonormal drops,
// hit tests, distances and the guards against an undefined scale.
#include "image/logic/ImageCalibration.h"

#include <gtest/gtest.h>

using namespace kinepo;

namespace {

ImageCalibration Defaut(int mode, int w = 400, int h = 300) {
    ImageCalibration c;
    c.AxesMode = mode;
    c.ResetHandles(w, h);
    EXPECT_TRUE(c.RecomputeCalibration());
    return c;
}

const VueImage kVue1; // zoom 1, from (0, 0)
const QSize kTaille(400, 300);

} // namespace

TEST(ImageCalibration, ReglageParDefautSur400x300EnMode2) {
    const ImageCalibration c = Defaut(Orthonormal);
    EXPECT_EQ(c.Handles[SlotOrigine], QPoint(200, 150));
    EXPECT_EQ(c.Handles[SlotFinX], QPoint(300, 150));
    EXPECT_EQ(c.Handles[SlotFinY], QPoint(200, 75));
    EXPECT_DOUBLE_EQ(c.ScaleY, 1.0 / 75);
    EXPECT_DOUBLE_EQ(c.ScaleX, 1.0 / 75);
    EXPECT_DOUBLE_EQ(c.ValueX({275, 150}), 1.0);
    EXPECT_DOUBLE_EQ(c.ValueY({275, 150}), 0.0);
    EXPECT_DOUBLE_EQ(c.ValueX({200, 75}), 0.0);
    EXPECT_DOUBLE_EQ(c.ValueY({200, 75}), 1.0);
    // The X decade comes from the X vector's own length (100 px) even in mode 2.
    EXPECT_DOUBLE_EQ(c.DecadeX, 0.01);
    EXPECT_DOUBLE_EQ(c.DecadeY, 0.01);
}

TEST(ImageCalibration, Mode1VecteurYVersLeBas) {
    ImageCalibration c = Defaut(TwoAxes);
    c.Handles[SlotFinY] = {200, 225};
    ASSERT_TRUE(c.RecomputeCalibration());
    EXPECT_GT(c.ValueY({200, 200}), 0);
    EXPECT_DOUBLE_EQ(c.ValueY({200, 225}), 1.0);
    EXPECT_LT(c.ValueY({200, 100}), 0);
}

TEST(ImageCalibration, Mode1ProjectionSurUnVecteurXA45Degres) {
    ImageCalibration c = Defaut(TwoAxes);
    c.Handles[SlotFinX] = {250, 100}; // 45 degrees up and right
    ASSERT_TRUE(c.RecomputeCalibration());
    const QPoint surY(200, 75); // on the Y vector's line, 1 unit from the origin
    EXPECT_DOUBLE_EQ(c.ValueY(surY), 1.0);
    EXPECT_NE(c.ValueX(surY), 0.0);
    const double lx = std::sqrt(50.0 * 50 + 50 * 50);
    EXPECT_NEAR(c.ValueX(surY), 75 * std::sqrt(0.5) / lx, 1e-12);
}

TEST(ImageCalibration, Mode0LesPoigneesXNeSeSaisissentPas) {
    const ImageCalibration c = Defaut(OneAxis);
    EXPECT_EQ(c.HitHandle(kVue1, kVue1.VersVue(c.Handles[SlotFinX])), 0);
    EXPECT_EQ(c.HitHandle(kVue1, kVue1.VersVue(c.Handles[SlotFinY])), SlotFinY);
    // The distance uses the Y projection only: a horizontal drag measures nothing.
    EXPECT_DOUBLE_EQ(c.MeasureDistance({10, 10}, {85, 10}, 1), 0.0);
    EXPECT_DOUBLE_EQ(c.MeasureDistance({10, 10}, {10, 85}, 1), 1.0);
}

TEST(ImageCalibration, Mode2FinYLachee50PixelsAuDessus) {
    ImageCalibration c = Defaut(Orthonormal);
    ASSERT_TRUE(c.DropHandle(SlotFinY, {200, 100}, kVue1, kTaille));
    EXPECT_EQ(c.Handles[SlotFinY], QPoint(200, 100));
    EXPECT_EQ(c.Handles[SlotFinX], QPoint(250, 150)); // 50 px right, on the start's row
    // Same with the X end on the left before the drop: it stays on the left.
    c.Handles[SlotFinX] = {120, 150};
    ASSERT_TRUE(c.DropHandle(SlotFinY, {200, 120}, kVue1, kTaille));
    EXPECT_EQ(c.Handles[SlotFinX], QPoint(170, 150));
}

struct CasContrainte {
    const char* nom;
    int slot;
    QPoint lache;
    QPoint debut, finX, finY; // expected common start and ends
};

class Orthonormees : public ::testing::TestWithParam<CasContrainte> {};

TEST_P(Orthonormees, GardentDebutCommunEtLongueurEgale) {
    const CasContrainte& k = GetParam();
    ImageCalibration c = Defaut(Orthonormal);
    ASSERT_TRUE(c.DropHandle(k.slot, k.lache, kVue1, kTaille));
    EXPECT_EQ(c.Handles[SlotDebutX], k.debut);
    EXPECT_EQ(c.Handles[SlotDebutY], k.debut);
    EXPECT_EQ(c.Handles[SlotFinX], k.finX);
    EXPECT_EQ(c.Handles[SlotFinY], k.finY);
}

INSTANTIATE_TEST_SUITE_P(
    Lachers, Orthonormees,
    ::testing::Values(
        CasContrainte{"DebutX", SlotDebutX, {180, 160}, {180, 160}, {300, 160}, {180, 40}},
        CasContrainte{"FinX", SlotFinX, {260, 140}, {200, 140}, {260, 140}, {200, 80}},
        CasContrainte{"DebutY", SlotDebutY, {190, 170}, {190, 170}, {285, 170}, {190, 75}},
        CasContrainte{"FinY", SlotFinY, {210, 50}, {210, 150}, {310, 150}, {210, 50}},
        CasContrainte{"Origine", SlotOrigine, {10, 10}, {200, 150}, {300, 150}, {200, 75}}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(ImageCalibration, LaPoigneeDeNumeroLePlusBasGagne) {
    const ImageCalibration c = Defaut(TwoAxes);
    // Origin, X start and Y start coincide at (200, 150).
    EXPECT_EQ(c.HitHandle(kVue1, {203, 152}), SlotOrigine);
    ImageCalibration d = Defaut(TwoAxes);
    d.Handles[SlotOrigine] = {10, 10};
    d.Handles[SlotFinX] = {204, 150};
    EXPECT_EQ(d.HitHandle(kVue1, {202, 150}), SlotDebutX);
    EXPECT_EQ(d.HitHandle(kVue1, {300, 300}), 0);
    EXPECT_EQ(d.HitHandle(kVue1, {208, 150}), SlotFinX); // 8 from the start, 4 from the end
}

TEST(ImageCalibration, LeLacherEstBorneALaPartieDessinee) {
    ImageCalibration c = Defaut(TwoAxes);
    ASSERT_TRUE(c.DropHandle(SlotOrigine, {-50, 900}, kVue1, kTaille));
    EXPECT_EQ(c.Handles[SlotOrigine], QPoint(1, 299));
}

TEST(ImageCalibration, ValeurDeGrilleDUnPointAuDessusDeLOrigine) {
    const ImageCalibration c = Defaut(Orthonormal);
    EXPECT_LT(c.GridValueY({200, 100}), 0);
    EXPECT_GT(c.ValueY({200, 100}), 0);
    EXPECT_DOUBLE_EQ(c.GridValueY({200, 100}), -0.67); // -50/75 to a multiple of 0.01
}

TEST(ImageCalibration, UnVecteurDeLongueurNulleEstRefuse) {
    ImageCalibration c = Defaut(TwoAxes);
    const auto avant = c.Handles;
    EXPECT_FALSE(c.DropHandle(SlotFinY, {200, 150}, kVue1, kTaille));
    EXPECT_EQ(c.Handles, avant);
    EXPECT_DOUBLE_EQ(c.ScaleY, 1.0 / 75);
    // In mode 2 a drop of the X end on the start gives both vectors a length of 0.
    ImageCalibration o = Defaut(Orthonormal);
    EXPECT_FALSE(o.DropHandle(SlotFinX, {200, 150}, kVue1, kTaille));
    EXPECT_EQ(o.Handles[SlotFinY], QPoint(200, 75));
}

TEST(ImageCalibration, UneLongueurDeReferenceNulleGardeLEchellePrecedente) {
    ImageCalibration c = Defaut(Orthonormal);
    c.RefLengthY = 0;
    EXPECT_FALSE(c.RecomputeCalibration());
    EXPECT_DOUBLE_EQ(c.ScaleY, 1.0 / 75);
    EXPECT_TRUE(std::isfinite(c.ValueY({1, 1})));
}

TEST(ImageCalibration, EquerrerUnVecteurXVerticalLuiDonneLaLongueurDeY) {
    ImageCalibration c = Defaut(TwoAxes);
    c.Handles[SlotFinX] = {200, 50}; // vertical X vector, then the mode becomes 2
    c.AxesMode = Orthonormal;
    c.SquareVectors();
    EXPECT_EQ(c.Handles[SlotFinX], QPoint(275, 150));
    EXPECT_TRUE(c.RecomputeCalibration());
}

TEST(VueImage, UnPointDeLaVueTombeSurLePixelDessineLa) {
    const VueImage demi{0.5, 0, 0};
    EXPECT_EQ(demi.offX(), 0);                     // round(0.25) = 0
    EXPECT_EQ(demi.VersVue({5, 7}), QPoint(2, 4)); // round(2.5) = 2, round(3.5) = 4
    const VueImage double_{2, 10, 20};
    EXPECT_EQ(double_.offX(), -19);
    EXPECT_EQ(double_.VersVue({10, 20}), QPoint(1, 1));
    EXPECT_EQ(double_.VersImage({1, 1}), QPoint(10, 20));
    EXPECT_EQ(double_.VersImage({3, 2}), QPoint(11, 21));
    // At zoom 1 every view pixel is the image pixel drawn there, odd ones included.
    for (int v = 0; v < 6; ++v)
        EXPECT_EQ(kVue1.VersImage({v, v}), kVue1.VersVue({v, v})) << v;
}
