// Automatic tracking and chronophotography: the pass against its plain reference, and the
// edge cases of the rules, driven as the form drives them (arm, target click, start, passes).
#include "FilmsSuivi.h"
#include "ReferenceSuivi.h"

#include "common/BmpFile.h"
#include "video/suivi/SuiviAutomatique.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace kinepo;
using kinepo::test::FilmGenere;
using kinepo::test::ParametresFilm;

namespace {

constexpr double kPeriode = 0.04;

// A form's worth of state with the tracking driver on it.
struct Formulaire {
    TablesPointage t;
    VideoCalibration c;
    MachinePointage m{t};
    SuiviAutomatique s{m, t, c};
};

// Runs the whole analysis as the form does: arming, target click on images[0] at time
// tempsClic, start on images[0], then one pass per later frame (time tempsClic + k * 0.04).
// Returns after `passes` passes (all by default).
std::unique_ptr<Formulaire> Analyser(const std::vector<QImage>& affichees, int zoom,
                                     QPoint cibleEcran, bool suivre, double tempsClic = 0,
                                     int passes = -1) {
    auto f = std::make_unique<Formulaire>();
    f->c.DefautsFilm(affichees[0].width() / zoom, affichees[0].height() / zoom);
    f->c.Zoom = zoom;
    f->c.CurrentTime = tempsClic;
    if (suivre) {
        f->s.Armer(QDir::temp().filePath("inutilise.bmp"));
        f->s.CliquerCible(cibleEcran);
    } else {
        f->s.ArmerChrono(QDir::temp().filePath("inutilise.bmp"), false);
    }
    f->s.Demarrer(affichees[0], suivre);
    const int n = passes < 0 ? static_cast<int>(affichees.size()) - 1 : passes;
    for (int k = 1; k <= n; ++k) {
        f->c.CurrentTime = tempsClic + k * kPeriode;
        f->s.Passer(affichees[static_cast<std::size_t>(k)], suivre);
    }
    return f;
}

std::vector<QImage> Zoomer(const std::vector<QImage>& images, int zoom) {
    std::vector<QImage> out;
    for (const QImage& i : images)
        out.push_back(ImageAfficheeDepuisDecodee(i, zoom));
    return out;
}

QImage Noire(int w, int h) {
    QImage i(w, h, QImage::Format_RGB888);
    i.fill(Qt::black);
    return i;
}

void Carre(QImage& i, int x0, int y0, int cote, QColor c) {
    for (int y = y0; y < y0 + cote; ++y)
        for (int x = x0; x < x0 + cote; ++x)
            i.setPixelColor(x, y, c);
}

// --- The optimised pass gives exactly what the plain rule gives ------------------------------

struct CasEquivalence {
    const char* nom;
    int largeur, hauteur, images, zoom, bruit;
    bool degrade, suivre;
    double vx, vy, gravite;
    int lignesMin; // rows the film must give at least (the test would prove little otherwise)
};
void PrintTo(const CasEquivalence& c, std::ostream* os) {
    *os << c.nom;
}

class Equivalence : public ::testing::TestWithParam<CasEquivalence> {};

TEST_P(Equivalence, MemesLignesEtMemeChronoQueLaRegle) {
    const CasEquivalence& cas = GetParam();
    ParametresFilm p;
    p.largeur = cas.largeur;
    p.hauteur = cas.hauteur;
    p.images = cas.images;
    p.bruit = cas.bruit;
    p.degrade = cas.degrade;
    p.vitesse = {cas.vx, cas.vy};
    p.gravite = cas.gravite;
    p.depart = {cas.largeur / 6.0, cas.hauteur / 5.0};
    const FilmGenere film = GenererFilm(p);
    const auto affichees = Zoomer(film.images, cas.zoom);
    const QPoint cible = (film.centres[0] * cas.zoom).toPoint();

    const auto ref = test::SuivreReference(affichees, cas.zoom, cible, cas.suivre);
    // Every path this processor can run.
    for (const CheminPasse chemin :
         {CheminPasse::Automatique, CheminPasse::Portable, CheminPasse::Ssse3, CheminPasse::Avx2}) {
        if (!ChoisirCheminPasse(chemin)) continue;
        SCOPED_TRACE(static_cast<int>(chemin));
        const auto f = Analyser(affichees, cas.zoom, cible, cas.suivre);
        ChoisirCheminPasse(CheminPasse::Automatique);

        const CouleurCible couleur = f->s.Passe().Cible();
        if (cas.suivre) {
            EXPECT_EQ(couleur, (CouleurCible{ref.r, ref.g, ref.b}));
        }
        ASSERT_EQ(f->t.Rows, static_cast<int>(ref.lignes.size()));
        for (int i = cas.suivre ? 0 : 1; i < f->t.Rows; ++i) {
            const auto& l = ref.lignes[static_cast<std::size_t>(i)];
            EXPECT_EQ(f->t.Point(1, i), l.point1) << "row " << i;
            if (i > 0) {
                EXPECT_EQ(f->t.Point(2, i), l.point2) << "row " << i;
            }
            EXPECT_DOUBLE_EQ(f->t.Temps(i), l.image * kPeriode) << "row " << i;
        }
        EXPECT_EQ(f->s.Passe().Chrono(), ref.chrono);
        EXPECT_GE(f->t.Rows, cas.lignesMin);
    }
}

const CasEquivalence kCasEquivalence[] = {
    {"RouleSurFondFixe", 160, 120, 15, 1, 0, false, true, 6, 0, 0, 15},
    {"ChuteLargeurImpaire", 203, 151, 15, 1, 0, true, true, 4, 1, 0.8, 10},
    {"BruitCapteurFort", 160, 120, 12, 1, 45, true, true, 5, 2, 0, 6},
    {"Zoom2", 120, 90, 10, 2, 20, false, true, 4, 3, 0, 8},
    {"Zoom3PetiteImage", 37, 29, 8, 3, 30, true, true, 2, 1, 0, 2},
    {"ChronoSeul", 160, 120, 10, 1, 40, false, false, 7, 3, 0, 1},
    {"ObjetQuiSort", 96, 64, 20, 1, 0, false, true, 9, 2, 0, 5},
    {"ToutBouge", 131, 97, 8, 1, 120, true, true, 5, 2, 0, 1},
    {"GrandeImageBruitee", 333, 250, 10, 1, 50, true, true, 11, 4, 0.5, 5},
};
INSTANTIATE_TEST_SUITE_P(Films, Equivalence, ::testing::ValuesIn(kCasEquivalence),
                         [](const auto& info) { return std::string(info.param.nom); });

// --- Arming and the target click ------------------------------------------------------------

TEST(Armement, TroisMobilesDonnentUnSeulMobile) {
    Formulaire f;
    f.m.NbreSE = 3;
    const EffetArmement e = f.s.Armer("chrono.bmp");
    EXPECT_TRUE(e.arme);
    EXPECT_TRUE(e.unSeulMobile);
    EXPECT_EQ(f.m.NbreSE, 1);
    EXPECT_EQ(f.m.Etat, PointingState::psTarget);
    EXPECT_EQ(e.invite, QString::fromUtf8("Cible|Cliquer sur la cible à suivre"));
    EXPECT_EQ(f.s.FichierChrono(), "chrono.bmp");

    Formulaire g;
    EXPECT_FALSE(g.s.Armer("x.bmp").unSeulMobile);
}

TEST(Armement, ChronoSansMesuresAutomatiquesAttendLeDepart) {
    Formulaire f;
    f.m.NbreSE = 2;
    const EffetArmement e = f.s.ArmerChrono("c.bmp", false);
    EXPECT_FALSE(e.arme);
    EXPECT_FALSE(e.unSeulMobile);
    EXPECT_EQ(f.m.NbreSE, 2);
    EXPECT_EQ(f.m.Etat, PointingState::psAnalysisStart);
    // Released before the start: back to rest, nothing written.
    EXPECT_EQ(f.s.RelacherChrono(), SuiviAutomatique::Relachement::RetourRepos);
    EXPECT_EQ(f.m.Etat, PointingState::psIdle);
    EXPECT_EQ(f.s.RelacherChrono(), SuiviAutomatique::Relachement::Rien);
}

TEST(Armement, LaPremiereLigneALeTempsDeLImageCliquee) {
    ParametresFilm p;
    const FilmGenere film = GenererFilm(p);
    Formulaire f;
    f.c.DefautsFilm(p.largeur, p.hauteur);
    f.c.TimeOrigin = 0.48;
    f.c.CurrentTime = 1.28;
    f.s.Armer("x.bmp");
    f.s.CliquerCible(QPoint(21, 30));
    EXPECT_EQ(f.m.Etat, PointingState::psAnalysisStart);
    EXPECT_EQ(f.t.Cases[7], QPoint(21, 30));
    f.s.Demarrer(film.images[0], true);
    EXPECT_EQ(f.m.Etat, PointingState::psAnalysis);
    EXPECT_EQ(f.t.Rows, 1);
    EXPECT_EQ(f.t.Point(1, 0), QPoint(21, 30));
    EXPECT_DOUBLE_EQ(f.t.Temps(0), 1.28);
    EXPECT_DOUBLE_EQ(f.c.TimeOrigin, 0);
    EXPECT_DOUBLE_EQ(T(f.c, f.t, 0), 1.28);
}

// --- The searches -----------------------------------------------------------------------------

struct CasRecherche {
    int ecart; // colour distance of the object on frame 1
    bool trouve;
};
void PrintTo(const CasRecherche& c, std::ostream* os) {
    *os << "distance " << c.ecart;
}

class Recherche : public ::testing::TestWithParam<CasRecherche> {};

// Frame 0: a 5 x 5 square of colour A clicked in its middle. Frame 1: the square moved and
// recoloured at distance d from A, with a tail of pixels at distance d + 13 (inside T = d + 16)
// and one at d + 17 (outside) to its right. The box, and so the position, tells which T was used.
TEST_P(Recherche, SeuilsTrenteDeuxQuaranteHuitSoixanteQuatreEtAffinage) {
    const CasRecherche cas = GetParam();
    const QColor A(150, 100, 100);
    QImage i0 = Noire(200, 200);
    Carre(i0, 40, 40, 5, A);
    QImage i1 = Noire(200, 200);
    Carre(i1, 50, 40, 5, QColor(150 + cas.ecart, 100, 100));
    for (int x = 55; x <= 57; ++x)
        i1.setPixelColor(x, 42, QColor(150 + cas.ecart + 13, 100, 100));
    i1.setPixelColor(58, 42, QColor(150 + cas.ecart + 17, 100, 100));

    const auto f = Analyser({i0, i1}, 1, QPoint(42, 42), true);
    const auto ref = test::SuivreReference({i0, i1}, 1, QPoint(42, 42), true);
    ASSERT_EQ(f->t.Rows, cas.trouve ? 2 : 1);
    ASSERT_EQ(ref.lignes.size(), cas.trouve ? 2u : 1u);
    if (!cas.trouve) return;
    EXPECT_EQ(ref.lignes[1].distance, cas.ecart);
    EXPECT_EQ(f->t.Point(2, 1), QPoint(50, 40));
    EXPECT_EQ(f->t.Point(1, 1), QPoint((50 + 57) / 2, (40 + 44) / 2));
    EXPECT_EQ(ref.lignes[1].point1, f->t.Point(1, 1));
}

INSTANTIATE_TEST_SUITE_P(Distances, Recherche,
                         ::testing::Values(CasRecherche{0, true}, CasRecherche{31, true},
                                           CasRecherche{40, true}, CasRecherche{55, true},
                                           CasRecherche{63, true}, CasRecherche{64, false}));

TEST(Recherche, MeilleurEnZeroZeroNEstPasTrouve) {
    const QColor A(200, 180, 30);
    QImage i0 = Noire(100, 100);
    Carre(i0, 9, 9, 3, A);
    QImage i1 = Noire(100, 100);
    i1.setPixelColor(0, 0, A);                // exact colour at (0, 0): the best match
    Carre(i1, 5, 5, 3, QColor(210, 180, 30)); // a worse one elsewhere in the window
    QImage i2 = Noire(100, 100);
    Carre(i2, 5, 5, 3, A);
    const auto f = Analyser({i0, i1, i2}, 1, QPoint(10, 10), true);
    const auto ref = test::SuivreReference({i0, i1, i2}, 1, QPoint(10, 10), true);
    ASSERT_EQ(f->t.Rows, 2);
    ASSERT_EQ(ref.lignes.size(), 2u);
    EXPECT_EQ(ref.lignes[1].image, 2);
    EXPECT_DOUBLE_EQ(f->t.Temps(1), 2 * kPeriode);
    EXPECT_EQ(f->t.Point(1, 1), QPoint(6, 6));
}

TEST(Recherche, ObjetImmobileJamaisTrouveEtChronoEgalePremiereImage) {
    ParametresFilm p;
    p.vitesse = {0, 0};
    const FilmGenere film = GenererFilm(p);
    const auto f = Analyser(film.images, 1, film.centres[0].toPoint(), true);
    EXPECT_EQ(f->t.Rows, 1);
    EXPECT_EQ(f->s.Passe().Chrono(), film.images[0]);
}

// Frames of a disc of radius 4 at the given centres on the textured background (none: no disc).
std::vector<QImage> Disques(int largeur, int hauteur, const std::vector<QPointF>& centres,
                            int rayon = 4) {
    std::vector<QImage> images;
    for (const QPointF& c : centres) {
        QImage i = test::Fond(largeur, hauteur);
        if (c.x() >= 0) test::PeindreDisque(i, c, rayon, QColor(240, 20, 20));
        images.push_back(i);
    }
    return images;
}
const QPointF kAucun(-1, -1);

TEST(Recherche, ObjetSortiDeLaFenetreEstCherchePartoutAvantDEtrePerdu) {
    // 160 x 240: the window is |dx| < 32, |dy| < 48 around the last recorded position. Frames 3
    // and 4 lie beyond it; the search over the whole frame finds them. Frame 5 shows nothing.
    const auto images = Disques(
        160, 240, {{20, 60}, {30, 60}, {40, 60}, {90, 60}, {100, 60}, kAucun, {60, 60}, {66, 60}});
    const auto f = Analyser(images, 1, QPoint(20, 60), true);
    const auto ref = test::SuivreReference(images, 1, QPoint(20, 60), true);
    ASSERT_EQ(f->t.Rows, 7);
    ASSERT_EQ(ref.lignes.size(), 7u);
    const double temps[] = {0, 1, 2, 3, 4, 6, 7};
    const int x[] = {20, 30, 40, 90, 100, 60, 66};
    for (int i = 0; i < 7; ++i) {
        EXPECT_DOUBLE_EQ(f->t.Temps(i), temps[i] * kPeriode) << i;
        EXPECT_EQ(f->t.Point(1, i), QPoint(x[i], 60)) << i;
        EXPECT_EQ(ref.lignes[static_cast<std::size_t>(i)].point1, f->t.Point(1, i)) << i;
    }
    EXPECT_EQ(f->s.PrendreBilan(), "Cible perdue sur 1 images");
    EXPECT_EQ(f->s.PrendreBilan(), ""); // told once
}

TEST(Recherche, ObjetRapideSuiviA72PixelsParImage) {
    ParametresFilm p;
    p.largeur = 320;
    p.hauteur = 240;
    p.images = 4;
    p.depart = {20, 100};
    p.vitesse = {72, 6};
    const FilmGenere film = GenererFilm(p);
    const auto f = Analyser(film.images, 1, film.centres[0].toPoint(), true);
    ASSERT_EQ(f->t.Rows, p.images);
    for (int i = 0; i < p.images; ++i) {
        const QPointF ecart = QPointF(f->t.Point(1, i)) - film.centres[static_cast<std::size_t>(i)];
        EXPECT_LE(std::abs(ecart.x()) + std::abs(ecart.y()), 2) << i;
    }
    EXPECT_EQ(f->s.PrendreBilan(), "");
}

// A ball larger than the refinement box: its centre, not a point near its top edge.
struct CasGrandObjet {
    int largeur, hauteur, rayon, zoom;
};
class GrandObjet : public ::testing::TestWithParam<CasGrandObjet> {};

TEST_P(GrandObjet, PlaceEnSonCentre) {
    const CasGrandObjet cas = GetParam();
    ParametresFilm p;
    p.largeur = cas.largeur;
    p.hauteur = cas.hauteur;
    p.images = 5;
    p.rayon = cas.rayon;
    // Never over its place on the first frame (the background copy), never out of the frame.
    p.depart = {cas.largeur / 8.0, cas.hauteur / 3.0};
    p.vitesse = {2.5 * cas.rayon, 0.5 * cas.rayon};
    const FilmGenere film = GenererFilm(p);
    const auto affichees = Zoomer(film.images, cas.zoom);
    const QPoint cible = (film.centres[0] * cas.zoom).toPoint();
    const auto f = Analyser(affichees, cas.zoom, cible, true);
    const auto ref = test::SuivreReference(affichees, cas.zoom, cible, true);
    ASSERT_EQ(f->t.Rows, p.images);
    ASSERT_EQ(ref.lignes.size(), static_cast<std::size_t>(p.images));
    for (int i = 1; i < p.images; ++i) {
        const QPointF c = film.centres[static_cast<std::size_t>(i)];
        EXPECT_LE(std::abs(f->t.Point(1, i).x() - c.x()), 1) << i;
        EXPECT_LE(std::abs(f->t.Point(1, i).y() - c.y()), 1) << i;
        EXPECT_EQ(ref.lignes[static_cast<std::size_t>(i)].point1, f->t.Point(1, i)) << i;
    }
    // The first velocity, pixels per frame.
    const double vy = f->t.Point(1, 2).y() - f->t.Point(1, 1).y();
    EXPECT_NEAR(vy, p.vitesse.y(), 1.01);
}

INSTANTIATE_TEST_SUITE_P(Balles, GrandObjet,
                         ::testing::Values(CasGrandObjet{640, 480, 30, 1},
                                           CasGrandObjet{320, 240, 14, 1},
                                           CasGrandObjet{320, 240, 20, 2}));

// Objects that fit in the refinement box give exactly the rows of the rule without additions.
TEST(Recherche, PetitsObjetsMemesLignesQueLaRegleSeule) {
    ParametresFilm p;
    p.largeur = 320;
    p.hauteur = 240;
    p.images = 15;
    p.rayon = 4;
    p.depart = {30, 40};
    p.vitesse = {9, 4};
    p.gravite = 0.6;
    p.bruit = 20;
    p.degrade = true;
    const FilmGenere film = GenererFilm(p);
    const QPoint cible = film.centres[0].toPoint();
    const auto f = Analyser(film.images, 1, cible, true);
    const auto seule = test::SuivreReference(film.images, 1, cible, true, false);
    ASSERT_EQ(f->t.Rows, static_cast<int>(seule.lignes.size()));
    ASSERT_EQ(f->t.Rows, p.images);
    for (int i = 0; i < f->t.Rows; ++i)
        EXPECT_EQ(f->t.Point(1, i), seule.lignes[static_cast<std::size_t>(i)].point1) << i;
}

// The outcome of a tracking, as the status bar shows it.
TEST(Bilan, CibleNonTrouveeOuPerdue) {
    const std::vector<QPointF> immobile(5, QPointF(40, 40));
    const auto f = Analyser(Disques(160, 120, immobile), 1, QPoint(40, 40), true);
    EXPECT_EQ(f->t.Rows, 1);
    EXPECT_EQ(f->s.PrendreBilan(), QString::fromUtf8("Cible non trouvée"));

    const auto g = Analyser(Disques(160, 120, {{20, 40}, {30, 40}, kAucun, kAucun, {40, 40}}), 1,
                            QPoint(20, 40), true);
    EXPECT_EQ(g->t.Rows, 3);
    EXPECT_EQ(g->s.PrendreBilan(), "Cible perdue sur 2 images");

    const auto h = Analyser(Disques(160, 120, {{20, 40}, kAucun}), 1, QPoint(), false);
    EXPECT_EQ(h->s.PrendreBilan(), ""); // a chronophotograph alone tracks nothing
}

// A click on the background: the colour does not stand out, the form warns before the pass.
TEST(Bilan, CibleQuiNeSeDistinguePasDuFond) {
    const auto images = Disques(160, 120, {{20, 40}, {40, 40}});
    EXPECT_TRUE(Analyser(images, 1, QPoint(20, 40), true)->s.CibleDistincte());
    EXPECT_FALSE(Analyser(images, 1, QPoint(100, 80), true)->s.CibleDistincte());
    EXPECT_TRUE(Analyser(images, 1, QPoint(100, 80), false)->s.CibleDistincte());
}

TEST(Recherche, Zoom2DivisePositionsParDeuxEtDoubleLaChrono) {
    ParametresFilm p;
    p.vitesse = {5, 2};
    p.depart = {30, 30};
    const FilmGenere film = GenererFilm(p);
    const QPoint cible = film.centres[0].toPoint();
    const auto z1 = Analyser(film.images, 1, cible, true);
    const auto z2 = Analyser(Zoomer(film.images, 2), 2, cible * 2, true);
    ASSERT_EQ(z1->t.Rows, p.images);
    ASSERT_EQ(z2->t.Rows, z1->t.Rows);
    for (int i = 0; i < z1->t.Rows; ++i) {
        EXPECT_EQ(z2->t.Point(1, i), z1->t.Point(1, i)) << i;
        EXPECT_LE(std::abs(z1->t.Point(1, i).x() - film.centres[static_cast<std::size_t>(i)].x()),
                  1);
    }
    const QImage& c2 = z2->s.Passe().Chrono();
    EXPECT_EQ(c2.size(), QSize(2 * p.largeur, 2 * p.hauteur));
    EXPECT_EQ(c2, ImageAfficheeDepuisDecodee(z1->s.Passe().Chrono(), 2));

    QImage deux(2, 1, QImage::Format_RGB888);
    deux.setPixelColor(0, 0, Qt::red);
    deux.setPixelColor(1, 0, Qt::blue);
    const QImage six = ImageAfficheeDepuisDecodee(deux, 3);
    ASSERT_EQ(six.size(), QSize(6, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(six.pixelColor(x, y), x < 3 ? QColor(Qt::red) : QColor(Qt::blue));
}

TEST(Recherche, TablesPleinesArretentLesLignesPasLaChrono) {
    ParametresFilm p;
    const FilmGenere film = GenererFilm(p);
    Formulaire f;
    f.c.DefautsFilm(p.largeur, p.hauteur);
    f.s.Armer("x.bmp");
    f.s.CliquerCible(film.centres[0].toPoint());
    f.s.Demarrer(film.images[0], true);
    f.t.Rows = kCapaciteLignes - 1;
    f.t.Point(1, f.t.Rows - 1) = film.centres[0].toPoint();
    EXPECT_EQ(f.s.Passer(film.images[1], true).ligne, kCapaciteLignes - 1);
    const EffetPasse e = f.s.Passer(film.images[2], true);
    EXPECT_TRUE(e.tablesPleines);
    EXPECT_EQ(e.ligne, -1);
    EXPECT_EQ(f.t.Rows, kCapaciteLignes);
    // The end of the tracking says why the table stopped.
    EXPECT_EQ(f.s.PrendreBilan(), QString::fromUtf8(kBilanTableauPlein));
}

// --- Chronophotograph -----------------------------------------------------------------------

TEST(Chrono, BalleQuiRouleSurTableFixe) {
    ParametresFilm p;
    p.vitesse = {12, 0};
    p.images = 10;
    const FilmGenere film = GenererFilm(p);
    const auto f = Analyser(film.images, 1, QPoint(), false);
    // The table once, the ball at every later position; where the ball stood on the first
    // frame (the background copy) the later frames differ, so the table shows through again.
    QImage attendue = test::Fond(p.largeur, p.hauteur);
    for (std::size_t k = 1; k < film.centres.size(); ++k)
        test::PeindreDisque(attendue, film.centres[k], p.rayon, p.balle);
    EXPECT_EQ(f->s.Passe().Chrono(), attendue);
    EXPECT_EQ(f->t.Rows, 1);
}

TEST(Chrono, RelacherEnCoursEnregistreCeQuiEstConstruit) {
    QTemporaryDir dossier;
    ParametresFilm p;
    p.bruit = 30;
    const FilmGenere film = GenererFilm(p);
    const QString fichier = dossier.filePath("moitie.bmp");
    Formulaire f;
    f.c.DefautsFilm(p.largeur, p.hauteur);
    f.s.ArmerChrono(fichier, false);
    f.s.Demarrer(film.images[0], false);
    for (int k = 1; k <= 6; ++k)
        f.s.Passer(film.images[static_cast<std::size_t>(k)], false);
    EXPECT_EQ(f.s.RelacherChrono(), SuiviAutomatique::Relachement::Fin);
    EXPECT_EQ(f.m.Etat, PointingState::psIdle);
    EXPECT_FALSE(f.s.Passe().Demarree());
    const std::vector<QImage> sept(film.images.begin(), film.images.begin() + 7);
    const auto ref = test::SuivreReference(sept, 1, QPoint(), false);
    EXPECT_EQ(LireBmp(fichier).convertToFormat(QImage::Format_RGB888), ref.chrono);
}

TEST(Chrono, FinDeFilmEnregistreUnBmp24) {
    QTemporaryDir dossier;
    ParametresFilm p;
    const FilmGenere film = GenererFilm(p);
    const QString fichier = dossier.filePath("fin.bmp");
    auto f = Analyser(film.images, 1, film.centres[0].toPoint(), true);
    // The file name comes from the arming; re-arm a fresh run with the real name.
    Formulaire g;
    g.c.DefautsFilm(p.largeur, p.hauteur);
    g.s.ArmerChrono(fichier, true);
    g.s.CliquerCible(film.centres[0].toPoint());
    g.s.Demarrer(film.images[0], true);
    for (std::size_t k = 1; k < film.images.size(); ++k)
        g.s.Passer(film.images[k], true);
    ASSERT_TRUE(g.s.Terminer());
    QFile bmp(fichier);
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray octets = bmp.readAll();
    EXPECT_EQ(octets, EncoderBmp24(f->s.Passe().Chrono()));
    EXPECT_EQ(octets.mid(0, 2), "BM");
    EXPECT_EQ(static_cast<int>(octets[28]), 24);
    EXPECT_EQ(g.t.Rows, f->t.Rows);
}

TEST(Chrono, FichierImpossibleGardeLesImages) {
    ParametresFilm p;
    const FilmGenere film = GenererFilm(p);
    Formulaire f;
    f.c.DefautsFilm(p.largeur, p.hauteur);
    f.s.ArmerChrono("/nonexistent-folder/x/chrono.bmp", false);
    f.s.Demarrer(film.images[0], false);
    f.s.Passer(film.images[1], false);
    EXPECT_EQ(f.s.RelacherChrono(), SuiviAutomatique::Relachement::ErreurEcriture);
    EXPECT_EQ(f.m.Etat, PointingState::psIdle);
    EXPECT_TRUE(f.s.Passe().Demarree());
    EXPECT_FALSE(QFile::exists("/nonexistent-folder/x/chrono.bmp"));
}

TEST(Chrono, AbandonGardeLesLignesSansRienEnregistrer) {
    QTemporaryDir dossier;
    ParametresFilm p;
    const FilmGenere film = GenererFilm(p);
    const QString fichier = dossier.filePath("jamais.bmp");
    Formulaire f;
    f.c.DefautsFilm(p.largeur, p.hauteur);
    f.s.Armer(fichier);
    f.s.CliquerCible(film.centres[0].toPoint());
    f.s.Demarrer(film.images[0], true);
    for (int k = 1; k <= 4; ++k)
        f.s.Passer(film.images[static_cast<std::size_t>(k)], true);
    f.s.Abandonner();
    EXPECT_EQ(f.m.Etat, PointingState::psIdle);
    EXPECT_EQ(f.t.Rows, 5);
    EXPECT_FALSE(QFile::exists(fichier));
}

TEST(Chrono, NomParDefautFiniParBmp) {
    const QString nom = NomChronoParDefaut();
    EXPECT_TRUE(nom.endsWith(".bmp"));
    EXPECT_FALSE(nom.isEmpty());
}

} // namespace
