// The profile computation: orientation, walking, averaging, range cut and trimming, distances,
// both readings (the copy file against a byte-by-byte reading of it) and saturation.
#include "ImagesOptique.h"
#include "common/Arrondi.h"
#include "common/BmpFile.h"
#include "optics/ProfilOptique.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;
using kinepo::test::Gris;
using kinepo::test::ImageGeneree;
using kinepo::test::ImageGrise;

namespace {

std::unique_ptr<ProfilOptique> Profil(QSize taille, QPoint p1, QPoint p2, int m = 0) {
    auto p = std::make_unique<ProfilOptique>();
    p->Image = p->Bornes = p->Affiche = taille;
    p->Zoom = 1;
    p->Poignee[1] = p1;
    p->Poignee[2] = p2;
    p->Poignee[3] = {0, 0};
    p->Poignee[4] = {100, 0};
    p->TypeEchelle = 1;
    p->Moyenne = m;
    return p;
}

// The copy reading as the file format describes it: three bytes read at their own offset for
// every pixel, lines walked one after the other.
void ReferenceOctetParOctet(const ProfilOptique& p, const QString& chemin, QSize image,
                            std::vector<double>& sommes, int& d0, int& d1) {
    QFile f(chemin);
    const bool ouvert = f.open(QIODevice::ReadOnly);
    const int m = p.Moyenne, W = image.width(), H = image.height();
    const qint64 pas = (3 * qint64(W) + 3) & ~qint64(3);
    const QPoint p1 = p.Poignee[1], p2 = p.Poignee[2];
    const bool vertical = p2.x() == p1.x(), horizontal = !vertical && p2.y() == p1.y();
    const long double s = (vertical || horizontal)
                              ? 0
                              : (long double)(p1.y() - p2.y()) / (long double)(p1.x() - p2.x());
    const bool selonX = horizontal || (!vertical && std::fabs(s) <= 1);
    double a = selonX ? -p1.x() + m : -p1.y() + m;
    double b = selonX ? p.Affiche.width() - p1.x() - m : p.Affiche.height() - p1.y() - m;
    d0 = int(std::max<double>(Arrondi(a / p.Zoom), -32768));
    d1 = int(std::min<double>(Arrondi(b / p.Zoom), 32768));
    sommes.assign(std::size_t(std::max(0, d1 - d0 + 1)), 0.0);
    for (int k = 0; k <= 2 * m; ++k) {
        const int dec = DecalageLigne(k);
        const int bx = ArrondiInt((p1.x() + (selonX ? 0 : dec)) / p.Zoom);
        const int by = ArrondiInt((p1.y() + (selonX ? dec : 0)) / p.Zoom);
        for (int i = d0; i <= d1; ++i) {
            int x, y;
            if (selonX) {
                x = bx + i;
                y = by + (horizontal ? 0 : int(std::nearbyint((long double)i * s)));
            } else {
                y = by + i;
                x = bx + (vertical ? 0 : int((long double)i / s));
            }
            if (x < 0 || y < 0 || x >= W || y >= H) continue;
            unsigned char o[3];
            double& somme = sommes[std::size_t(i - d0)];
            if (!ouvert || !f.seek(54 + (H - 1 - y) * pas + 3 * x) ||
                f.read(reinterpret_cast<char*>(o), 3) != 3)
                somme = 0;
            else
                somme += o[0] + o[1] + o[2];
        }
    }
}

} // namespace

TEST(ProfilOptique, LignesParalleles) {
    const int attendu[] = {0, 1, -1, 2, -2, 3, -3};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(DecalageLigne(k), attendu[k]) << k;
}

struct CasOrientation {
    const char* nom;
    QPoint p1, p2;
    bool selonX, alignee;
};

class Orientation : public ::testing::TestWithParam<CasOrientation> {};

TEST_P(Orientation, SensDeParcours) {
    const auto& c = GetParam();
    auto p = Profil({60, 60}, c.p1, c.p2);
    p->CalculerDirect(ImageGrise(60, 60));
    EXPECT_EQ(p->SelonX, c.selonX);
    EXPECT_EQ(p->Alignee, c.alignee);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Orientation,
    ::testing::Values(CasOrientation{"verticale", {30, 30}, {30, 50}, false, true},
                      CasOrientation{"horizontale", {30, 30}, {50, 30}, true, true},
                      CasOrientation{"quarante_cinq", {30, 30}, {40, 40}, true, false},
                      CasOrientation{"moins_quarante_cinq", {30, 30}, {40, 20}, true, false},
                      CasOrientation{"pente_deux", {30, 30}, {31, 32}, false, false},
                      CasOrientation{"pente_demi", {30, 30}, {34, 32}, true, false},
                      CasOrientation{"confondues", {30, 30}, {30, 30}, false, true}),
    [](const auto& info) { return std::string(info.param.nom); });

// Which pixel each step reads, for every kind of line, with m = 0.
struct CasPixel {
    const char* nom;
    QPoint p1, p2;
    int i;
    QPoint lu; // the pixel step i reads
};

class PixelLu : public ::testing::TestWithParam<CasPixel> {};

TEST_P(PixelLu, IntensiteDuPixel) {
    const auto& c = GetParam();
    auto p = Profil({80, 80}, c.p1, c.p2);
    p->CalculerDirect(ImageGrise(80, 80));
    EXPECT_DOUBLE_EQ(p->Intensite[c.i], 3.0 * Gris(c.lu.x(), c.lu.y()) / 765.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, PixelLu,
    ::testing::Values(
        // A vertical line is walked along y with no x offset, a horizontal one along x.
        CasPixel{"verticale", {20, 40}, {20, 10}, 7, {20, 47}},
        CasPixel{"verticale_negatif", {20, 40}, {20, 10}, -9, {20, 31}},
        CasPixel{"horizontale", {20, 40}, {60, 40}, 11, {31, 40}},
        // 45 degrees is walked along x.
        CasPixel{"quarante_cinq", {20, 20}, {30, 30}, 6, {26, 26}},
        // Slope 0.5 along x: Round(i s) with ties to even (2.5 -> 2, 1.5 -> 2).
        CasPixel{"demi_pas5", {20, 20}, {24, 22}, 5, {25, 22}},
        CasPixel{"demi_pas3", {20, 20}, {24, 22}, 3, {23, 22}},
        CasPixel{"demi_pas_moins5", {20, 20}, {24, 22}, -5, {15, 18}},
        // Slope 2 along y: x = base + Trunc(i / s), toward zero.
        CasPixel{"deux_pas3", {20, 20}, {21, 22}, 3, {21, 23}},
        CasPixel{"deux_pas_moins3", {20, 20}, {21, 22}, -3, {19, 17}}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(ProfilOptique, DiviseurDeLaMoyenne) {
    // Rows of different levels: with m = 2 the five rows around the line are averaged,
    // divided by 5 x 765; with m = 0 a single pixel divided by 765.
    const QImage image = ImageGeneree(50, 50, [](int, int y) { return qRgb(y, 2 * y, 3 * y); });
    auto p = Profil({50, 50}, {25, 25}, {40, 25}, 0);
    p->CalculerDirect(image);
    EXPECT_DOUBLE_EQ(p->Intensite[3], 6.0 * 25 / 765.0);
    p->Moyenne = 2;
    p->CalculerDirect(image);
    EXPECT_DOUBLE_EQ(p->Intensite[3], 6.0 * (23 + 24 + 25 + 26 + 27) / (5 * 765.0));
    // The band is horizontal for a mostly vertical line: columns are averaged.
    const QImage colonnes = ImageGeneree(50, 50, [](int x, int) { return qRgb(x, x, x); });
    auto v = Profil({50, 50}, {25, 25}, {27, 45}, 1);
    v->CalculerDirect(colonnes);
    EXPECT_FALSE(v->SelonX);
    EXPECT_DOUBLE_EQ(v->Intensite[0], 3.0 * (24 + 25 + 26) / (3 * 765.0));
}

TEST(ProfilOptique, ImageBlancheEtCoupureAuBord) {
    const QImage blanche = ImageGeneree(40, 30, [](int, int) { return qRgb(255, 255, 255); });
    // m = 2: the range stops m steps short of both edges and every sample is 1.
    auto p = Profil({40, 30}, {20, 15}, {30, 15}, 2);
    p->CalculerDirect(blanche);
    EXPECT_EQ(p->Debut, -18);
    EXPECT_EQ(p->Fin, 18);
    for (int i = p->Debut; i <= p->Fin; ++i)
        EXPECT_DOUBLE_EQ(p->Intensite[i], 1.0) << i;
    // m = 0: the last step lies on x = 40, outside: it is 0 and trimmed.
    p->Moyenne = 0;
    p->CalculerDirect(blanche);
    EXPECT_EQ(p->Debut, -20);
    EXPECT_EQ(p->Fin, 19);
    EXPECT_DOUBLE_EQ(p->Intensite[19], 1.0);
}

TEST(ProfilOptique, ImageNoireReduiteAuPointZero) {
    const QImage noire = ImageGeneree(40, 30, [](int, int) { return qRgb(0, 0, 0); });
    auto p = Profil({40, 30}, {20, 15}, {33, 20}, 3);
    p->CalculerDirect(noire);
    EXPECT_EQ(p->Debut, 0);
    EXPECT_EQ(p->Fin, 0);
    EXPECT_EQ(p->NombreEchantillons(), 1);
    EXPECT_DOUBLE_EQ(p->Intensite[0], 0.0);
}

TEST(ProfilOptique, LigneHorsImageAnnuleEnLectureDirecte) {
    // The origin one row from the top with m = 3: lines -2 and -3 lie above the picture, and
    // the last line walked (-3) cancels every sum: the profile is empty.
    const QImage blanche = ImageGeneree(40, 30, [](int, int) { return qRgb(255, 255, 255); });
    auto p = Profil({40, 30}, {20, 1}, {30, 1}, 3);
    p->CalculerDirect(blanche);
    EXPECT_EQ(p->Debut, 0);
    EXPECT_EQ(p->Fin, 0);
    // With m = 1, only line -1 (y = 0) and the others are inside: all samples are 1.
    p->Moyenne = 1;
    p->CalculerDirect(blanche);
    EXPECT_EQ(p->Debut, -19);
    EXPECT_EQ(p->Fin, 19);
    EXPECT_DOUBLE_EQ(p->Intensite[5], 1.0);
}

TEST(ProfilOptique, DistancesEnModePixelEtEchelle) {
    auto p = Profil({200, 200}, {100, 100}, {150, 100});
    p->TaillePixel = 1.4e-05;
    p->CalculerDirect(ImageGrise(200, 200));
    EXPECT_DOUBLE_EQ(p->Distance[37], 37 * 1.4e-05);
    EXPECT_DOUBLE_EQ(p->Distance[-12], -12 * 1.4e-05);

    // Scale handles 100 pixels apart for 0.01 m: 1e-4 m per step on a horizontal line...
    p->TypeEchelle = 0;
    p->LongueurEchelle = 0.01;
    p->Poignee[3] = {20, 180};
    p->Poignee[4] = {120, 180};
    p->CalculerDirect(ImageGrise(200, 200));
    EXPECT_DOUBLE_EQ(p->MetresParPas(), 1e-4);
    EXPECT_NEAR(p->Distance[10], 1e-3, 1e-15);
    // ... and sqrt(1.25) x 1e-4 on a line of slope 0.5.
    p->Poignee[2] = {140, 120};
    p->CalculerDirect(ImageGrise(200, 200));
    EXPECT_NEAR(p->MetresParPas(), std::sqrt(1.25) * 1e-4, 1e-18);
    // Slope 2, walked along y: sqrt(1 + 1/4) as well.
    p->Poignee[2] = {110, 120};
    p->CalculerDirect(ImageGrise(200, 200));
    EXPECT_NEAR(p->MetresParPas(), std::sqrt(1.25) * 1e-4, 1e-18);
    // In copy reading the displayed distance is divided by the zoom.
    p->Lecture = LecturePixels::Copie;
    p->Zoom = 0.2;
    p->Poignee[2] = {150, 100};
    p->Poignee[4] = {40, 180}; // 20 displayed pixels = 100 picture pixels
    EXPECT_DOUBLE_EQ(p->MetresParPas(), 1e-4);
    // Coinciding scale ends cannot make a scale.
    p->Poignee[4] = p->Poignee[3];
    EXPECT_THROW(p->MetresParPas(), std::domain_error);
    // ... and a computation refused for it leaves the last profile as it was.
    const int debut = p->Debut, fin = p->Fin;
    const double v = p->Intensite[3];
    EXPECT_THROW(p->CalculerDirect(ImageGeneree(200, 200, [](int, int) { return 0u; })),
                 std::domain_error);
    EXPECT_EQ(p->Debut, debut);
    EXPECT_EQ(p->Fin, fin);
    EXPECT_EQ(p->Intensite[3], v);
}

TEST(ProfilOptique, SaturationMarquee) {
    // A saturated green band for 10 <= x < 14, on the row just below the line only.
    const QImage image = ImageGeneree(60, 40, [](int x, int y) {
        return (x >= 10 && x < 14 && y == 21) ? qRgb(10, 255, 10) : qRgb(90, 90, 90);
    });
    auto p = Profil({60, 40}, {30, 20}, {50, 20}, 0);
    p->CalculerDirect(image);
    EXPECT_EQ(p->NombreSatures(), 0); // the line itself does not cross the band
    p->Moyenne = 1;
    p->CalculerDirect(image);
    EXPECT_EQ(p->NombreSatures(), 4);
    for (int i = -20; i <= -17; ++i)
        EXPECT_TRUE(p->Sature(i)) << i;
    EXPECT_FALSE(p->Sature(-21));
    EXPECT_FALSE(p->Sature(-16));
}

class LectureCopie : public ::testing::TestWithParam<CasPixel> {};

// The copy file read by rows gives exactly what reading it three bytes at a time gives, at
// z = 1 and at z = 1/2, with lines running out of the picture and parallel lines above it.
TEST_P(LectureCopie, CommeOctetParOctet) {
    const auto& c = GetParam();
    QTemporaryDir dir;
    const QSize taille(123, 97); // 369 bytes a row: padded rows
    const QImage image = ImageGeneree(taille.width(), taille.height(), [](int x, int y) {
        return qRgb((x * 5) % 256, (y * 3) % 256, (x + y) % 256);
    });
    const QString chemin = dir.filePath(QStringLiteral("copie.BMP"));
    ASSERT_TRUE(EcrireBmp24(image, chemin));
    for (double z : {1.0, 0.5}) {
        for (int m : {0, 3}) {
            auto p = Profil(taille, c.p1, c.p2, m);
            p->Image = taille;
            p->Zoom = z;
            p->Affiche = p->Bornes =
                QSize(ArrondiInt(taille.width() * z), ArrondiInt(taille.height() * z));
            p->Lecture = LecturePixels::Copie;
            p->CalculerCopie(chemin);
            std::vector<double> ref;
            int d0 = 0, d1 = 0;
            ReferenceOctetParOctet(*p, chemin, taille, ref, d0, d1);
            int a = d0, b = d1;
            while (a < 0 && ref[std::size_t(a - d0)] == 0)
                ++a;
            while (b > 0 && ref[std::size_t(b - d0)] == 0)
                --b;
            ASSERT_EQ(p->Debut, a) << "z " << z << " m " << m;
            ASSERT_EQ(p->Fin, b) << "z " << z << " m " << m;
            for (int i = a; i <= b; ++i)
                ASSERT_DOUBLE_EQ(p->Intensite[i], ref[std::size_t(i - d0)] / (765.0 * (2 * m + 1)))
                    << "z " << z << " m " << m << " i " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cas, LectureCopie,
                         ::testing::Values(CasPixel{"horizontale", {30, 40}, {50, 40}, 0, {}},
                                           CasPixel{"verticale", {30, 40}, {30, 10}, 0, {}},
                                           CasPixel{"quarante_cinq", {30, 30}, {40, 40}, 0, {}},
                                           CasPixel{"pente_demi", {30, 30}, {34, 32}, 0, {}},
                                           CasPixel{"pente_moins_trois", {25, 20}, {26, 17}, 0, {}},
                                           CasPixel{"bord_haut", {30, 1}, {50, 2}, 0, {}}),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(ProfilOptique, DirecteEtCopieDonnentLeMemeProfil) {
    QTemporaryDir dir;
    const QImage image = kinepo::test::ImageFranges(400, 300);
    const QString chemin = dir.filePath(QStringLiteral("franges.BMP"));
    ASSERT_TRUE(EcrireBmp24(image, chemin));
    struct Ligne {
        QPoint p1, p2;
    };
    for (const Ligne& l : {Ligne{{200, 150}, {320, 150}}, Ligne{{200, 150}, {200, 40}},
                           Ligne{{200, 150}, {300, 190}}, Ligne{{200, 150}, {230, 60}}}) {
        auto d = Profil({400, 300}, l.p1, l.p2, 4);
        auto c = Profil({400, 300}, l.p1, l.p2, 4);
        d->CalculerDirect(image);
        c->Lecture = LecturePixels::Copie;
        c->CalculerCopie(chemin);
        ASSERT_EQ(d->Debut, c->Debut);
        ASSERT_EQ(d->Fin, c->Fin);
        for (int i = d->Debut; i <= d->Fin; ++i) {
            ASSERT_EQ(d->Intensite[i], c->Intensite[i]) << i;
            ASSERT_EQ(d->Sature(i), c->Sature(i)) << i;
        }
    }
}

TEST(ProfilOptique, CopieIllisibleDonneDesZeros) {
    QTemporaryDir dir;
    const QImage image = ImageGeneree(50, 40, [](int, int) { return qRgb(200, 200, 200); });
    const QString chemin = dir.filePath(QStringLiteral("copie.BMP"));
    ASSERT_TRUE(EcrireBmp24(image, chemin));
    // Cut the file inside row y = 20 (rows are stored bottom-up): the rows above it are lost.
    QFile f(chemin);
    ASSERT_TRUE(f.resize(54 + 19 * 152 + 60));
    auto p = Profil({50, 40}, {25, 20}, {25, 35}, 0);
    p->Lecture = LecturePixels::Copie;
    p->CalculerCopie(chemin);
    // Row 20 keeps its first 20 pixels only: x = 25 is lost there and above; index 0 stays.
    EXPECT_EQ(p->Debut, 0);
    EXPECT_EQ(p->Fin, 19);
    EXPECT_DOUBLE_EQ(p->Intensite[0], 0.0);
    EXPECT_DOUBLE_EQ(p->Intensite[5], 600.0 / 765.0);
    // A missing copy file: nothing is read, the profile is the single zero sample.
    p->CalculerCopie(dir.filePath(QStringLiteral("absent.BMP")));
    EXPECT_EQ(p->Debut, 0);
    EXPECT_EQ(p->Fin, 0);
}
