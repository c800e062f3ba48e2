// Zoom, handles and overlay geometry of the profile form.
#include "optics/PoigneesOptique.h"

#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;

struct CasZoom {
    const char* nom;
    QSize image;
    double zoom;
    QSize affiche;
    int taillePoignee;
};

class Zoom : public ::testing::TestWithParam<CasZoom> {};

// A client width of 1270 and an available height of 900.
TEST_P(Zoom, ExemplesDuFormulaire) {
    const auto& c = GetParam();
    auto p = std::make_unique<ProfilOptique>();
    RegleZoom(*p, 1270, 900, c.image);
    EXPECT_DOUBLE_EQ(p->Zoom, c.zoom);
    EXPECT_EQ(p->Affiche, c.affiche);
    EXPECT_EQ(p->TaillePoignee, c.taillePoignee);
    EXPECT_EQ(p->Bornes, c.image);
    EXPECT_EQ(p->Image, c.image);
    const int w = c.image.width(), h = c.image.height();
    EXPECT_EQ(p->Poignee[1], QPoint(w / 2, h / 2));
    EXPECT_EQ(p->Poignee[2], QPoint(4 * w / 5, h / 2));
    EXPECT_EQ(p->Poignee[3], QPoint(w / 5, 3 * h / 4));
    EXPECT_EQ(p->Poignee[4], QPoint(4 * w / 5, 3 * h / 4));
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Zoom,
    ::testing::Values(CasZoom{"vga", {640, 480}, 1.0, {640, 480}, 8},
                      CasZoom{"douze_megapixels", {4000, 3000}, 0.2, {800, 600}, 40},
                      CasZoom{"petite", {200, 100}, 4.0, {800, 400}, 2},
                      CasZoom{"moitie", {1600, 1000}, 0.5, {800, 500}, 16}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(Poignees, LectureCopieEnPixelsAffiches) {
    auto p = std::make_unique<ProfilOptique>();
    RegleZoom(*p, 1270, 900, {4000, 3000});
    PasserEnLectureCopie(*p);
    EXPECT_EQ(p->Lecture, LecturePixels::Copie);
    EXPECT_EQ(p->TaillePoignee, 8);
    EXPECT_EQ(p->Bornes, QSize(800, 600));
    EXPECT_EQ(p->Poignee[1], QPoint(400, 300));
    EXPECT_EQ(p->Poignee[4], QPoint(640, 450));
    EXPECT_EQ(p->VersPoignee({123, 45}), QPoint(123, 45));
    p->Lecture = LecturePixels::Directe;
    EXPECT_EQ(p->VersPoignee({123, 45}), QPoint(615, 225));
}

class Glisser : public ::testing::Test {
protected:
    void SetUp() override {
        p = std::make_unique<ProfilOptique>();
        RegleZoom(*p, 1270, 900, {640, 480}); // handle size 8
    }
    std::unique_ptr<ProfilOptique> p;
};

TEST_F(Glisser, PremierePoigneeTouchee) {
    p->Poignee[2] = p->Poignee[1] + QPoint(5, 0);
    EXPECT_EQ(PoigneeSous(*p, p->Poignee[1] + QPoint(3, 0)), 1);
    EXPECT_EQ(PoigneeSous(*p, p->Poignee[2] + QPoint(3, 4)), 2);
    EXPECT_EQ(PoigneeSous(*p, p->Poignee[2] + QPoint(4, 4)), 0); // Manhattan 8: not below 8
    EXPECT_EQ(PoigneeSous(*p, p->Poignee[3] + QPoint(-2, 5)), 3);
}

TEST_F(Glisser, OrigineEmporteLaDirection) {
    // Handles 1 (320, 240) and 2 (512, 240): moving the origin by (100, -50) moves the
    // direction by as much, then keeps it one handle size inside the picture.
    GlisserPoignee(*p, 1, {420, 190}, false);
    EXPECT_EQ(p->Poignee[1], QPoint(420, 190));
    EXPECT_EQ(p->Poignee[2], QPoint(612, 190));
    GlisserPoignee(*p, 1, {500, 20}, false);
    EXPECT_EQ(p->Poignee[1], QPoint(500, 20));
    EXPECT_EQ(p->Poignee[2], QPoint(632, 20)); // 640 - 8
    GlisserPoignee(*p, 1, {500, 3}, false);
    EXPECT_EQ(p->Poignee[2], QPoint(632, 8));
}

TEST_F(Glisser, DirectionPoseeSurLOrigine) {
    const QPoint avant = p->Poignee[2];
    GlisserPoignee(*p, 2, p->Poignee[1] + QPoint(4, 3), false); // closer than 8: refused
    EXPECT_EQ(p->Poignee[2], avant);
    GlisserPoignee(*p, 2, p->Poignee[1] + QPoint(5, 4), false); // 9: accepted
    EXPECT_EQ(p->Poignee[2], p->Poignee[1] + QPoint(5, 4));
    // The scale ends obey the same rule with each other.
    const QPoint fin = p->Poignee[4];
    GlisserPoignee(*p, 4, p->Poignee[3] + QPoint(0, 7), false);
    EXPECT_EQ(p->Poignee[4], fin);
}

TEST_F(Glisser, MajusculeAligneLePartenaire) {
    // Mostly horizontal: the other end goes onto the same row.
    GlisserPoignee(*p, 3, {100, 300}, true);
    EXPECT_EQ(p->Poignee[3], QPoint(100, 300));
    EXPECT_EQ(p->Poignee[4], QPoint(512, 300));
    // Mostly vertical: onto the same column.
    p->Poignee[4] = {130, 420};
    GlisserPoignee(*p, 3, {110, 290}, true);
    EXPECT_EQ(p->Poignee[4], QPoint(110, 420));
    // Dragging the direction with Shift moves the origin onto its row or column.
    GlisserPoignee(*p, 2, {400, 260}, true);
    EXPECT_EQ(p->Poignee[2], QPoint(400, 260));
    EXPECT_EQ(p->Poignee[1], QPoint(320, 260));
    // Two handles on one column count as vertical.
    p->Poignee[3] = {200, 100};
    GlisserPoignee(*p, 4, {200, 100 + 50}, true);
    EXPECT_EQ(p->Poignee[3], QPoint(200, 100));
}

TEST(Overlay, LigneEntiereEtTraits) {
    auto p = std::make_unique<ProfilOptique>();
    RegleZoom(*p, 1270, 900, {4000, 3000}); // z = 1/5, handle size 40
    const Overlay o = GeometrieOverlay(*p);
    // Cross at the origin, the whole line, crosses at both scale ends, segment, nine ticks.
    ASSERT_EQ(o.traits.size(), 2u + 1u + 4u + 1u + 9u);
    EXPECT_EQ(o.traits[0].ligne, QLine(1960, 1500, 2040, 1500));
    EXPECT_EQ(o.traits[0].largeur, 11); // Trunc(2 / z) + 1
    EXPECT_EQ(o.traits[2].ligne, QLine(0, 1500, 4000, 1500));
    EXPECT_EQ(o.rayon, 40);
    EXPECT_EQ(o.centreCercle, QPoint(3200, 1500));
    EXPECT_EQ(o.traits[7].ligne, QLine(800, 2250, 3200, 2250));
    EXPECT_EQ(o.traits[7].largeur, 6); // Trunc(1 / z) + 1
    // A horizontal scale segment gets vertical ticks at tenths.
    EXPECT_EQ(o.traits[8].ligne, QLine(1040, 2290, 1040, 2210));
    // An oblique line meets the border twice; pixel mode draws no scale.
    p->Poignee[2] = {3000, 1000}; // slope -1/2 through (2000, 1500)
    p->TypeEchelle = 1;
    const Overlay q = GeometrieOverlay(*p);
    ASSERT_EQ(q.traits.size(), 3u);
    EXPECT_EQ(q.traits[2].ligne, QLine(0, 2500, 4000, 500));
    // In copy reading the pens are 2 and 1 pixels wide.
    PasserEnLectureCopie(*p);
    p->TypeEchelle = 0;
    const Overlay c = GeometrieOverlay(*p);
    EXPECT_EQ(c.traits[0].largeur, 2);
    EXPECT_EQ(c.traits[7].largeur, 1);
}

TEST(Overlay, TraitsPerpendiculaires) {
    auto p = std::make_unique<ProfilOptique>();
    RegleZoom(*p, 1270, 900, {640, 480});
    p->Poignee[3] = {100, 100};
    p->Poignee[4] = {200, 150}; // mostly horizontal, dy/dx = 1/2
    Overlay o = GeometrieOverlay(*p);
    // First tick at (110, 105): from (x - Round(8 * 0.5), y + 8) to (x + 4, y - 8).
    EXPECT_EQ(o.traits[8].ligne, QLine(106, 113, 114, 97));
    p->Poignee[4] = {150, 200}; // mostly vertical, dx/dy = 1/2
    o = GeometrieOverlay(*p);
    EXPECT_EQ(o.traits[8].ligne, QLine(113, 106, 97, 114));
}
