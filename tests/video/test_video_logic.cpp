// Calibration, film naming and pointing rules of the video forms, without any window.
#include "video/logic/FichierFilm.h"
#include "video/logic/Pointage.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;

TEST(CadenceFilm, DepuisLesDeuxLongueurs) {
    struct Cas {
        double images, ms;
        int cadence;
        double periode, duree;
    };
    const Cas cas[] = {
        {250, 10000, 25, 0.04, 10},               // a plain 25 fps film
        {30, 100000, 0, 100000.0 / 30000.0, 100}, // slower than half a frame per second
        {1500, 10000, 150, 1.0 / 150, 10},        // faster than 100 fps: the spin box clamps it
        {301, 10033.333333, 30, 10033.333333 / 301000, 10.033333333},
        {0, 0, 25, 0.04, 0}, // nothing known: the defaults stay
    };
    for (const Cas& c : cas) {
        const CadenceFilm r = CadenceDepuisLongueurs(c.images, c.ms);
        EXPECT_EQ(r.fileFrameRate, c.cadence) << c.images << " / " << c.ms;
        EXPECT_NEAR(r.framePeriod, c.periode, 1e-12) << c.images << " / " << c.ms;
        EXPECT_NEAR(r.duration, c.duree, 1e-9) << c.images << " / " << c.ms;
    }
}

TEST(VideoCalibration, ExempleEchelleDansLesQuatreOrientations) {
    struct Cas {
        OrientationAxes o;
        double x, y;
    };
    const Cas cas[] = {
        {OrientationAxes::HautDroite, 0.25, 0.05},
        {OrientationAxes::BasGauche, -0.25, -0.05},
        {OrientationAxes::BasDroite, 0.25, -0.05},
        {OrientationAxes::HautGauche, -0.25, 0.05},
    };
    for (const Cas& c : cas) {
        VideoCalibration cal;
        cal.DefautsFilm(640, 480);
        cal.ScaleStart = {10, 10};
        cal.ScaleEnd = {110, 10};
        cal.ScaleLength = 0.5;
        cal.Orientation = c.o;
        ASSERT_TRUE(cal.MettreAJourFacteurs());
        EXPECT_DOUBLE_EQ(std::fabs(cal.KX), 0.005);
        EXPECT_DOUBLE_EQ(cal.DisplayStep, 0.001);
        EXPECT_NEAR(cal.XMetres({60, 0}, {10, 10}), c.x, 1e-12) << static_cast<int>(c.o);
        EXPECT_NEAR(cal.YMetres({60, 0}, {10, 10}), c.y, 1e-12) << static_cast<int>(c.o);
    }
}

TEST(VideoCalibration, SegmentNulGardeLesFacteursPrecedents) {
    VideoCalibration cal;
    cal.DefautsFilm(320, 240);
    ASSERT_TRUE(cal.MettreAJourFacteurs());
    const double kx = cal.KX;
    cal.ScaleEnd = cal.ScaleStart;
    EXPECT_FALSE(cal.MettreAJourFacteurs());
    EXPECT_EQ(cal.KX, kx);
    EXPECT_FALSE(SegmentEchelleAcceptable({10, 10}, {13, 14}));
    EXPECT_TRUE(SegmentEchelleAcceptable({10, 10}, {14, 14}));
}

TEST(VideoCalibration, DefautsEtZoom) {
    VideoCalibration cal;
    cal.Zoom = 3;
    cal.DefautsFilm(641, 481);
    EXPECT_EQ(cal.Zoom, 1);
    EXPECT_EQ(cal.Origin, QPoint(320, 240));
    EXPECT_EQ(cal.ScaleStart, QPoint(160, 120));
    EXPECT_EQ(cal.ScaleEnd, QPoint(320, 120));
    cal.Zoom = 3;
    EXPECT_EQ(cal.EcranVersImage({8, 9}), QPoint(2, 3));
    EXPECT_EQ(cal.ImageVersEcran({2, 3}), QPoint(6, 9));
}

TEST(VideoCalibration, ArrondiGrilleMoitieVersPair) {
    VideoCalibration cal;
    cal.DisplayStep = 0.001;
    struct Cas {
        double v, attendu;
    };
    const Cas cas[] = {
        {0.0025, 0.002}, {0.0035, 0.004}, {-0.0025, -0.002}, {0.25, 0.25}, {0.01234, 0.012}};
    for (const Cas& c : cas)
        EXPECT_NEAR(cal.ArrondiGrille(c.v), c.attendu, 1e-15) << c.v;
    EXPECT_DOUBLE_EQ(PasAffichage(0.0023), 0.001);
    EXPECT_DOUBLE_EQ(PasAffichage(-0.05), 0.01);
    EXPECT_DOUBLE_EQ(PasAffichage(3), 1);
}

TEST(VideoCalibration, SensDuRetourDeRafraichissement) {
    struct Cas {
        double position, longueur;
        bool arriere;
    };
    const Cas cas[] = {
        {0, 10000, false},   {5000, 10000, false}, {5001, 10000, true},
        {9960, 10000, true}, {4, 9, false},        {5, 9, true}, // integer half of 9 is 4
        {0, 1, false},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(SensRetourArriere(c.position, c.longueur), c.arriere)
            << c.position << "/" << c.longueur;
}

TEST(VideoCalibration, TexteDuTemps) {
    EXPECT_EQ(TexteTemps(1.24, 10, '.'), "t=1.240 s /10.000 s");
    EXPECT_EQ(TexteTemps(1.24, 10, ','), "t=1,240 s /10,000 s");
    EXPECT_EQ(TexteTemps(1.0 / 30, 123.456, '.'), "t=0.033 s /123.460 s");
}

TEST(TablesPointage, OrigineDesTempsParPointLePlusProche) {
    TablesPointage t;
    t.Rows = 3;
    t.Point(1, 0) = {100, 100};
    t.Point(1, 1) = {200, 100};
    t.Point(1, 2) = {100, 100}; // same place as row 0: the earlier row wins
    EXPECT_EQ(t.LignePlusProche({101, 100}), 0);
    EXPECT_EQ(t.LignePlusProche({190, 100}), 1);
    EXPECT_EQ(t.LignePlusProche({263, 100}), 1);            // 63 pixels away
    EXPECT_EQ(t.LignePlusProche({264, 100}), std::nullopt); // 64: too far
    EXPECT_EQ(t.LignePlusProche({400, 400}), std::nullopt);
    t.Rows = 0;
    EXPECT_EQ(t.LignePlusProche({100, 100}), std::nullopt);
}

TEST(TablesPointage, RetimerUneLigneParImage) {
    TablesPointage t;
    t.Rows = 4;
    for (int i = 0; i < 4; ++i)
        t.Temps(i) = 7.0 * i;
    EXPECT_DOUBLE_EQ(t.Retimer(0.01), 0.04);
    EXPECT_DOUBLE_EQ(t.Temps(3), 0.03);
    EXPECT_DOUBLE_EQ(t.Temps(4), 0.04);
}

TEST(FichierFilm, ReglesDExtension) {
    struct Cas {
        const char* nom;
        const char* chemin;
        const char* extension;
        bool avi;
    };
    const Cas cas[] = {
        {"/tmp/chute.avi", "/tmp/chute.avi", ".AVI", true},
        {"/tmp/chute", "/tmp/chute.AVI", "", false},
        {"/tmp/v.1/chute", "/tmp/v.1/chute.AVI", "", false},
        {"/tmp/film.mpg", "/tmp/film.mpg", ".MPG", false},
        {"/tmp/film.Mpeg", "/tmp/film.Mpeg", ".MPEG", false},
        {"/tmp/film.mp4", "/tmp/film.mp4", ".MP4", false},
    };
    for (const Cas& c : cas) {
        const NomFilm n = PreparerNomFilm(QString::fromUtf8(c.nom));
        EXPECT_EQ(n.chemin, QString::fromUtf8(c.chemin));
        EXPECT_EQ(n.extension, QString::fromUtf8(c.extension));
        EXPECT_EQ(n.estAvi, c.avi) << c.nom;
    }
}

TEST(FichierFilm, LibelleDuCodecDepuisLEnTete) {
    QTemporaryDir dossier;
    auto fichier = [&](const QByteArray& code, int taille) {
        QByteArray octets(taille, 'R');
        if (taille >= 116) octets.replace(112, 4, code);
        const QString nom =
            dossier.filePath(QStringLiteral("f%1.avi").arg(QString::fromLatin1(code.toHex())));
        QFile f(nom);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(octets);
        return nom;
    };
    struct Cas {
        QByteArray code;
        int taille;
        const char* libelle;
        bool msvc;
    };
    const Cas cas[] = {
        {"iv50", 200, "Intel Video 5.0", false},
        {"IV41", 200, "Intel Video 4.1", false},
        {"DIVX", 200, "DIVX", false},
        {"divx", 200, "DIVX", false},
        {"MPG4", 200, "MPEG 4", false},
        {"msvc", 200, "Microsoft Virtual Camera", true},
        {"cvid", 200, "Cinepack", false},
        {"I420", 200, "Intel Video 4:2:0", false},
        {"MJPG", 116, "MJPG", false},
        {"XXXX", 50, "Codec inconnu", false},
        {"XXXX", 114, "Codec inconnu", false},
    };
    for (const Cas& c : cas) {
        const LibelleCodec l = IdentifierCodec(fichier(c.code, c.taille));
        EXPECT_EQ(l.texte, QString::fromUtf8(c.libelle)) << c.code.constData() << " " << c.taille;
        EXPECT_EQ(l.microsoftVideo1, c.msvc);
    }
    EXPECT_EQ(IdentifierCodec(dossier.filePath("absent.avi")).texte, "Codec inconnu");
}

namespace {
Patch PatchUni(QRgb c) {
    Patch p;
    p.fill(c);
    return p;
}
} // namespace

TEST(MachinePointage, OriginesMobilesTroisPointsQuatreInvites) {
    TablesPointage t;
    MachinePointage m(t);
    m.NbreSE = 3;
    m.OrigineMobile = true;
    EffetPointage e = m.Demarrer();
    EXPECT_EQ(e.invite, "Origine du point n°1");
    EXPECT_EQ(e.curseur, kCurseurOrigine);
    const QString invites[] = {
        "|Cliquer sur le premier point de l'image n° 1",
        "|Cliquer sur le 2ième point de l'image n° 1",
        "|Cliquer sur le 3ième point de l'image n° 1",
        "Cliquer sur l'origine du point n°2",
    };
    for (int clic = 0; clic < 4; ++clic) {
        e = m.Enregistrer({10 * clic, 5}, 0.5, true, PatchUni(qRgb(clic, 0, 0)));
        EXPECT_EQ(e.invite, invites[clic]) << clic;
        EXPECT_EQ(e.petitesAxes, clic == 0);
        EXPECT_EQ(e.croixPoint, clic == 1 || clic == 2);
        EXPECT_EQ(e.ligneComplete, clic == 3);
        EXPECT_EQ(e.avancer, clic == 3);
    }
    EXPECT_EQ(t.Rows, 1);
    EXPECT_EQ(t.NextPoint, 0);
    EXPECT_EQ(t.Point(0, 0), QPoint(0, 5));
    EXPECT_EQ(t.Point(3, 0), QPoint(30, 5));
    EXPECT_EQ(qRed(t.Patches(2)[0]), 2); // patches of the first row are kept
}

TEST(MachinePointage, UnPointOrigineUniqueEtDerniereImage) {
    TablesPointage t;
    MachinePointage m(t);
    m.Demarrer();
    for (int i = 0; i < 3; ++i) {
        const EffetPointage e = m.Enregistrer({i, i}, 0.04 * i, i < 2, PatchUni(0));
        EXPECT_EQ(e.invite, i < 2 ? InviteImage(1, i + 2) : QString::fromUtf8(kInviteRepos));
        EXPECT_EQ(e.avancer, i < 2);
        EXPECT_EQ(e.finMesure, i == 2); // the last frame ends the measurement
    }
    EXPECT_EQ(m.Etat, PointingState::psIdle);
    EXPECT_EQ(t.Rows, 3);
}

TEST(MachinePointage, TablesPleinesArretentLaMesure) {
    TablesPointage t;
    MachinePointage m(t);
    m.Demarrer();
    t.Rows = kCapaciteLignes - 1;
    EffetPointage e = m.Enregistrer({1, 1}, 9, true, PatchUni(0));
    EXPECT_TRUE(e.ligneComplete);
    EXPECT_TRUE(e.finMesure);
    EXPECT_TRUE(e.tablesPleines);
    EXPECT_FALSE(e.avancer);
    EXPECT_EQ(t.Rows, kCapaciteLignes);
    m.Etat = PointingState::psMeasure;
    e = m.Enregistrer({2, 2}, 9, true, PatchUni(0));
    EXPECT_TRUE(e.tablesPleines);
    EXPECT_EQ(t.Rows, kCapaciteLignes);
}

TEST(MachinePointage, DefaireEtConversionDesModes) {
    TablesPointage t;
    MachinePointage m(t);
    m.NbreSE = 2;
    m.OrigineMobile = true;
    m.Demarrer();
    for (int i = 0; i < 10; ++i)
        for (int k = 0; k <= 2; ++k)
            m.Enregistrer({100 * k + i, i}, i, true, PatchUni(0));
    EXPECT_EQ(t.Rows, 10);
    // Mobile -> unique: the former origins become point 1.
    EXPECT_FALSE(m.ChangerModeOrigine(false, false)); // TabulaneBtn disabled: only the mode
    m.OrigineMobile = true;
    EXPECT_TRUE(m.ChangerModeOrigine(false, true));
    EXPECT_EQ(m.NbreSE, 3);
    EXPECT_EQ(t.Point(1, 4), QPoint(4, 4));
    EXPECT_EQ(t.Point(3, 4), QPoint(204, 4));
    // And back: point 1 becomes the origin again.
    EXPECT_TRUE(m.ChangerModeOrigine(true, true));
    EXPECT_EQ(m.NbreSE, 2);
    EXPECT_EQ(t.Point(0, 4), QPoint(4, 4));
    EXPECT_EQ(t.Point(2, 4), QPoint(204, 4));

    const EffetPointage e = m.Defaire();
    EXPECT_EQ(t.Rows, 9);
    EXPECT_EQ(t.NextPoint, 0);
    EXPECT_EQ(e.invite, "Cliquer sur l'origine du point n°10");
}
