// The fringe measurement without widgets: levels, the timer's arithmetic, the series with
// their chart range and capacity, the chart geometry, the fringe count and the texts.
#include "common/Nombres.h"
#include "fringes/HiResTmr.h"
#include "fringes/SuiviMichelson.h"
#include "transfer/TexteEchange.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

using namespace kinepo;

namespace {

std::vector<std::uint8_t> Plan(int w, int h, std::uint8_t v) {
    return std::vector<std::uint8_t>(std::size_t(w) * std::size_t(h), v);
}

TEST(NiveauPoint, UniformFramesAndSinglePixels) {
    struct Cas {
        std::uint8_t fond;
        QPoint pixel; // one pixel set to 255 (outside the frame: none)
        QPoint point;
        double attendu;
    } cas[] = {
        {16, {-1, -1}, {5, 5}, 0.0},
        {235, {-1, -1}, {5, 5}, (2115.0 - 144.0) / 2115.0},
        {0, {-1, -1}, {5, 5}, -144.0 / 2115.0},
        {255, {-1, -1}, {5, 5}, (9 * 255.0 - 144.0) / 2115.0},
        {16, {6, 4}, {5, 5}, (255.0 - 16.0) / 2115.0}, // corner of the neighbourhood
        {16, {7, 5}, {5, 5}, 0.0},                     // just outside it
        {16, {0, 0}, {0, 0}, (255.0 - 16.0) / 2115.0}, // moved inside at the edge
        {16, {9, 9}, {12, 12}, (255.0 - 16.0) / 2115.0},
    };
    for (const Cas& c : cas) {
        auto p = Plan(10, 10, c.fond);
        if (c.pixel.x() >= 0) p[std::size_t(c.pixel.y() * 10 + c.pixel.x())] = 255;
        EXPECT_DOUBLE_EQ(NiveauPoint(p.data(), 10, 10, c.point), c.attendu)
            << int(c.fond) << " at " << c.point.x() << "," << c.point.y();
    }
}

TEST(HiResTmr, ElapsedSecondsAndWrap) {
    const std::uint64_t m = std::numeric_limits<std::uint64_t>::max();
    struct Cas {
        std::uint64_t a, b, f;
        long double secondes;
    } cas[] = {
        {0, 1000, 1000, 1.0L},
        {500, 500, 1000, 0.0L},
        {m - 10, 5, 1, 15.0L},
        {m, 0, 1, 0.0L},
        {123, 123 + 2500000000ULL, 1000000000ULL, 2.5L},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(SecondesEcoulees(c.a, c.b, c.f), c.secondes) << c.a << " " << c.b;
    const std::uint64_t a = LireCompteur();
    EXPECT_GE(LireCompteur(), a);
    EXPECT_EQ(FrequenceCompteur(), 1000000000ULL);
}

TEST(SuiviMichelson, PresetTimesAndFirstRange) {
    auto s = std::make_unique<SuiviMichelson>();
    EXPECT_EQ(s->Temps.size(), std::size_t(65001));
    EXPECT_DOUBLE_EQ(s->Temps[256], 76.8);
    EXPECT_DOUBLE_EQ(s->Temps[65000], 19500.0);
    EXPECT_EQ(s->PlageTrace, 256);
    EXPECT_EQ(s->Point1, QPoint(160, 120));
    EXPECT_EQ(s->Point2, QPoint(100, 100));
}

TEST(SuiviMichelson, RangeGrowsEvery256SamplesWithTheMeanPeriod) {
    auto s = std::make_unique<SuiviMichelson>();
    s->Commencer();
    std::vector<int> redessins;
    for (int i = 0; i < 1000; ++i) {
        const auto e = s->AjouterImage(0.5, 0.1, i * 0.04, true);
        EXPECT_EQ(e.segment, i > 0);
        if (e.redessiner) redessins.push_back(s->NombreEchantillons);
    }
    EXPECT_EQ(redessins, (std::vector<int>{257, 513, 769}));
    EXPECT_EQ(s->PlageTrace, 1024);
    // Beyond the count, times follow the mean period of what was measured.
    EXPECT_NEAR(s->Temps[1024], 1024 * 0.04, 1e-9);
    EXPECT_NEAR(s->Temps[800], 800 * 0.04, 1e-9);
}

TEST(SuiviMichelson, StopsAfter65001SamplesAndWaitingWritesNothingBeyond) {
    auto s = std::make_unique<SuiviMichelson>();
    s->Commencer();
    int fin = -1;
    for (int i = 0; i < 65001; ++i) {
        const auto e = s->AjouterImage(0.2, 0.3, i * 0.02, true);
        if (e.fin) {
            fin = i;
            break;
        }
    }
    EXPECT_EQ(fin, 65000);
    EXPECT_EQ(s->NombreEchantillons, 65001);
    EXPECT_EQ(s->PlageTrace, 65000);
    // Waiting afterwards: the count stays, nothing is written.
    s->Lampe[65000] = 0.25;
    const auto e = s->AjouterImage(0.9, 0.9, 5, false);
    EXPECT_FALSE(e.segment || e.redessiner || e.fin);
    EXPECT_EQ(s->NombreEchantillons, 65001);
    EXPECT_EQ(s->Lampe[65000], 0.25);
    // Waiting with a small count: the levels land at the count, which does not move.
    s->Commencer();
    s->AjouterImage(0.7, 0.6, 1.5, false);
    EXPECT_EQ(s->NombreEchantillons, 0);
    EXPECT_EQ(s->Lampe[0], 0.7);
}

TEST(SuiviMichelson, ChartSegments) {
    auto s = std::make_unique<SuiviMichelson>();
    s->Commencer();
    s->AjouterImage(0.0, 1.0, 0.0, true);
    s->AjouterImage(0.5, 0.25, 0.3, true);
    s->MettreEchelle(QSize(768, 200)); // 76.8 s over 768 pixels: 10 pixels per second
    EXPECT_DOUBLE_EQ(s->EchelleGraphe, 10.0);
    EXPECT_EQ(s->Segment(1, s->Lampe), QLine(0, 200, 3, 100));
    EXPECT_EQ(s->Segment(1, s->Laser), QLine(0, 0, 3, 150));
}

TEST(CompteurFranges, CountsMaximaNotNoise) {
    struct Cas {
        const char* nom;
        std::function<double(int)> niveau;
        int images;
        int maxima;
    } cas[] = {
        {"five periods",
         [](int i) { return 0.5 + 0.4 * std::sin(2 * std::numbers::pi * i / 40.0); }, 200, 5},
        {"plateau with noise", [](int i) { return 0.5 + ((i * 7919) % 11 - 5) * 0.0015; }, 500, 0},
        {"slow rise", [](int i) { return i / 1000.0; }, 900, 0},
        {"noisy fringes",
         [](int i) {
             return 0.5 + 0.3 * std::cos(2 * std::numbers::pi * i / 25.0) +
                    ((i * 7919) % 11 - 5) * 0.002;
         },
         250, 10},
    };
    for (const Cas& c : cas) {
        CompteurFranges f;
        for (int i = 0; i < c.images; ++i)
            f.Ajouter(c.niveau(i));
        EXPECT_EQ(f.Nombre(), c.maxima) << c.nom;
    }
}

// Data values as the exchange text writes them.
QString V(double x) {
    return ReelVersTexte(x);
}

TEST(TexteMichelson, OneAndTwoPoints) {
    auto s = std::make_unique<SuiviMichelson>();
    s->Commencer();
    s->AjouterImage(0.5, 0.25, 0.0, true);
    s->AjouterImage(0.75, 0.125, 0.04, true);
    PageTransfert page;
    page.cheminExecutable = QStringLiteral("/opt/kinepo");
    page.commentaire = QStringLiteral("anneaux");
    struct Cas {
        bool deux;
        QStringList attendu;
    } cas[] = {
        {false,
         {"/opt/kinepo", "anneaux", "t\tNa", "s\t",
          "temps\tIntensité lampe spectrale\tIntensité laser", V(0) + "\t" + V(0.5),
          V(0.04) + "\t" + V(0.75), "&1 NOMX", "t", "&1 NOMY", "Na", "&1 COULEUR", "0", "&1 LIGNE",
          "1"}},
        {true,
         {"/opt/kinepo", "anneaux", "t\tNa\tLaser", "s\t\t",
          "temps\tIntensité lampe spectrale\tIntensité laser",
          V(0) + "\t" + V(0.5) + "\t" + V(0.25), V(0.04) + "\t" + V(0.75) + "\t" + V(0.125),
          "&2 NOMX", "t", "t", "&2 NOMY", "Na", "Laser", "&2 COULEUR", "0", "255", "&2 LIGNE", "1",
          "1"}},
    };
    for (const Cas& c : cas) {
        TexteEchange t;
        ConstruireTexteMichelson(*s, c.deux, page, t);
        EXPECT_EQ(t.lignes(), c.attendu) << t.lignes().join('|').toStdString();
    }
    // The constant comes after the data lines.
    page.constante = {QStringLiteral("L"), QStringLiteral("m"), QStringLiteral("0.5")};
    TexteEchange t;
    ConstruireTexteMichelson(*s, false, page, t);
    EXPECT_EQ(t.lignes().at(7), "");
    EXPECT_EQ(t.lignes().at(8), "L\t");
    EXPECT_EQ(LignesTableMichelson(*s, true).mid(0, 2), (QStringList{"t\tNa\tLaser", "s\t\t"}));
    EXPECT_EQ(LignesTableMichelson(*s, false).size(), 4);
}

} // namespace
