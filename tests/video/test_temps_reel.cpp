// Real time of slow-motion films: the factor, the period counted in frames, the rescaling of
// the tables when the clock changes, the typed capture rates and the label of the clock.
#include "common/Nombres.h"
#include "video/logic/TempsReel.h"

#include <gtest/gtest.h>

using namespace kinepo;

namespace {

struct CasHorloge {
    const char* nom;
    double lecture, captureFilm;
    bool demande;
    double facteur;    // seconds of the scene per second of film
    double periode;    // period of a frame counted at 0.04 s
    const char* texte; // the label
};

TEST(TempsReel, FacteurPeriodeEtLibelle) {
    const CasHorloge cas[] = {
        {"ralenti 240 lu a 30", 30, 240, true, 0.125, 1 / 240.0, "temps réel (240 i/s)"},
        {"ralenti sans temps reel", 30, 240, false, 1, 0.04, "temps du film (30 i/s)"},
        {"film normal", 25, 0, true, 1, 0.04, "temps du film (25 i/s)"},
        {"ralenti stocke a sa cadence", 240, 240, true, 1, 1 / 240.0, "temps réel (240 i/s)"},
        {"NTSC", 30000 / 1001.0, 120000 / 1001.0, true, 0.25, 1001 / 120000.0,
         "temps réel (119.88 i/s)"},
        {"sans film", 0, 240, true, 1, 0.04, "temps du film"},
    };
    FixerSeparateurDecimal(u'.');
    for (const CasHorloge& c : cas) {
        TempsReel t;
        t.PourFilm(c.lecture, c.captureFilm);
        EXPECT_EQ(t.Demande(), c.captureFilm > 0) << c.nom; // asked for when the film says so
        t.FixerDemande(c.demande);
        EXPECT_NEAR(t.Facteur(), c.facteur, 1e-12) << c.nom;
        EXPECT_NEAR(t.Reel(2.0), 2.0 * c.facteur, 1e-12) << c.nom;
        EXPECT_NEAR(t.Periode(0.04), c.periode, 1e-15) << c.nom;
        EXPECT_EQ(t.Libelle(), QString::fromUtf8(c.texte)) << c.nom;
    }
    FixerSeparateurDecimal(u',');
    TempsReel t;
    t.PourFilm(29.97, 0);
    EXPECT_EQ(t.Libelle(), "temps du film (29,97 i/s)");
    SeparateurDecimalDuSysteme();
}

TEST(TempsReel, CadenceTapee) {
    struct Cas {
        const char* texte;
        bool acceptee;
        double cadence;
    };
    const Cas cas[] = {{"240", true, 240}, {"119,88", true, 119.88}, {" 60 ", true, 60},
                       {"1k", true, 1000}, {"0", false, 0},          {"-30", false, 0},
                       {"vite", false, 0}, {"", false, 0},           {"1e9", false, 0}};
    for (const Cas& c : cas) {
        TempsReel t;
        t.PourFilm(30, 0);
        EXPECT_EQ(t.FixerCadenceCapture(QString::fromUtf8(c.texte)), c.acceptee) << c.texte;
        EXPECT_DOUBLE_EQ(t.CadenceCapture(), c.cadence) << c.texte;
        EXPECT_EQ(t.Actif(), c.acceptee) << c.texte; // a typed rate asks for real time
        EXPECT_DOUBLE_EQ(t.CadenceCaptureFilm(), 0);
    }
}

TEST(TempsReel, ChangementDHorlogeReechelonneLesTemps) {
    TempsReel avant;
    avant.PourFilm(30, 240);
    TempsReel apres = avant;
    apres.FixerDemande(false);
    // Film clock: x8; counted in frames at 0.04 s: from 1/240 to 0.04 s a frame, x9.6.
    EXPECT_DOUBLE_EQ(apres.Rapport(avant), 8.0);
    EXPECT_DOUBLE_EQ(apres.Rapport(avant, 0.04), 0.04 * 240);
    EXPECT_DOUBLE_EQ(avant.Rapport(apres), 0.125);

    VideoCalibration c;
    auto t = std::make_unique<TablesPointage>();
    t->Rows = 3;
    for (int i = 0; i <= 3; ++i)
        t->Temps(i) = i / 240.0;
    t->Temps(4) = 99; // beyond the current row: untouched
    c.TimeOrigin = 1 / 240.0;
    c.CurrentTime = 3 / 240.0;
    c.Duration = 1.0 / 3;
    ReechelonnerTemps(c, *t, apres.Rapport(avant));
    for (int i = 0; i <= 3; ++i)
        EXPECT_NEAR(t->Temps(i), i / 30.0, 1e-15) << i;
    EXPECT_EQ(t->Temps(4), 99);
    EXPECT_NEAR(c.TimeOrigin, 1 / 30.0, 1e-15);
    EXPECT_NEAR(c.CurrentTime, 3 / 30.0, 1e-15);
    EXPECT_NEAR(c.Duration, 8.0 / 3, 1e-15);
    EXPECT_NEAR(T(c, *t, 2), 1 / 30.0, 1e-15);
    // A ratio that means nothing changes nothing.
    for (const double r : {0.0, -1.0, std::nan("")})
        ReechelonnerTemps(c, *t, r);
    EXPECT_NEAR(t->Temps(3), 0.1, 1e-15);
}

TEST(TempsReel, TempsDUnePositionDuLecteur) {
    TempsReel t;
    t.PourFilm(30, 240);
    EXPECT_DOUBLE_EQ(t.TempsPosition(800, false, 0.04), 0.1); // 800 ms of film
    EXPECT_DOUBLE_EQ(t.TempsPosition(24, true, 0.04), 0.1);   // frame 24 of the capture
    t.FixerDemande(false);
    EXPECT_DOUBLE_EQ(t.TempsPosition(800, false, 0.04), 0.8);
    EXPECT_DOUBLE_EQ(t.TempsPosition(24, true, 0.04), 24 * 0.04);
}

} // namespace
