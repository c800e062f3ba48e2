// kinepo-cli on films from phones: the upright size and the rotation, tracking and the
// chronophotograph in the upright picture, every frame's own time, and real time for a
// slow-motion film.
#include "LancerCli.h"
#include "support/FilmsTelephone.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kinepo;
using kinepo::test::FilmTelephone;

namespace {

using test::BalleDroite;
constexpr auto Balle = BalleDroite;

// In pixels: 1 m per pixel, origin (0, 0), y downward.
const QStringList kEnPixels = {"--scale", "0,0,100,0,100", "--origin",
                               "0,0",     "--axes",        "down-right"};

struct Ligne {
    double t, x, y;
};
std::vector<Ligne> Table(const QString& texte) {
    std::vector<Ligne> lignes;
    const QStringList l = texte.split("\r\n");
    for (int i = 2; i < l.size(); ++i) {
        const QStringList c = l[i].split(u'\t');
        if (c.size() < 3) continue;
        lignes.push_back({c[0].toDouble(), c[1].toDouble(), c[2].toDouble()});
    }
    return lignes;
}

class CliTelephone : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString Film(const QString& nom, FilmTelephone f) {
        f.image = test::ImageBalleDroite;
        const QString chemin = dossier.filePath(nom);
        QString erreur;
        EXPECT_TRUE(test::EcrireFilmTelephone(chemin, f, &erreur)) << erreur.toStdString();
        return chemin;
    }
    static QStringList Suivre(const QString& film) {
        return QStringList{"track", film, "--target",
                           QStringLiteral("%1,%2").arg(Balle(0).x()).arg(Balle(0).y())} +
               kEnPixels;
    }
};

TEST_F(CliTelephone, FilmTourneMesureDansLImageDroite) {
    for (const int rotation : {0, 90, 180, 270}) {
        FilmTelephone f;
        f.rotation = rotation;
        const QString film = Film(QStringLiteral("tourne-%1.mov").arg(rotation), f);
        const Sortie info = Lancer({"info", film});
        ASSERT_EQ(info.code, 0) << info.erreurs.toStdString();
        const QStringList l = info.sortie.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(l.value(0), "size: 120x160") << rotation;
        EXPECT_EQ(l.contains(QStringLiteral("rotation: %1").arg(rotation)), rotation != 0)
            << info.sortie.toStdString();
        EXPECT_EQ(l.filter("rotation").size(), rotation != 0 ? 1 : 0);

        const QString bmp = dossier.filePath(QStringLiteral("suivi-%1.bmp").arg(rotation));
        const Sortie suivi = Lancer(Suivre(film) + QStringList{"--chrono", bmp});
        ASSERT_EQ(suivi.code, 0) << suivi.erreurs.toStdString();
        const auto lignes = Table(suivi.sortie);
        ASSERT_EQ(int(lignes.size()), f.images) << rotation;
        for (int n = 0; n < f.images; ++n) {
            EXPECT_NEAR(lignes[std::size_t(n)].t, n / 30.0, 1e-6);
            EXPECT_LE(std::abs(lignes[std::size_t(n)].x - Balle(n).x()) +
                          std::abs(lignes[std::size_t(n)].y - Balle(n).y()),
                      1.0)
                << rotation << " " << n;
        }
        // A target inside the upright frame only is accepted; one outside it is not.
        EXPECT_EQ(Lancer({"track", film, "--target", "100,150"}).code, 0) << rotation;
        EXPECT_EQ(Lancer({"track", film, "--target", "130,10"}).code, 2) << rotation;

        const QString chrono = dossier.filePath(QStringLiteral("chrono-%1.bmp").arg(rotation));
        ASSERT_EQ(Lancer({"chrono", film, chrono}).code, 0);
        for (const QString& image : {bmp, chrono}) {
            const QImage c(image);
            ASSERT_EQ(c.size(), QSize(120, 160)) << rotation;
            for (int n = 1; n < f.images; ++n)
                EXPECT_EQ(c.pixel(Balle(n)), qRgb(0, 0, 0)) << rotation << " " << n;
        }
    }
}

TEST_F(CliTelephone, CadenceVariableTempsDeChaqueImage) {
    FilmTelephone f;
    f.tempsMs = {0, 33, 70, 100, 180, 190, 260, 400};
    const Sortie s = Lancer(Suivre(Film("variable.mov", f)));
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    const auto lignes = Table(s.sortie);
    ASSERT_EQ(lignes.size(), f.tempsMs.size());
    for (std::size_t i = 0; i < lignes.size(); ++i)
        EXPECT_NEAR(lignes[i].t, f.tempsMs[i] / 1000.0, 1e-9) << i;
}

struct CasRalenti {
    const char* nom;
    QStringList options;
    double cadenceTemps; // the times are n / cadenceTemps; 0: refused with code 2
};

TEST_F(CliTelephone, RalentiEnTempsReel) {
    FilmTelephone f;
    f.captureFps = "240.000000";
    const QString ralenti = Film("ralenti.mp4", f);
    const QString normal = Film("normal.mp4", FilmTelephone());
    const Sortie info = Lancer({"info", ralenti});
    EXPECT_TRUE(info.sortie.split('\n').contains("capture rate: 240")) << info.sortie.toStdString();
    EXPECT_FALSE(Lancer({"info", normal}).sortie.contains("capture rate"));

    const CasRalenti cas[] = {
        {"film clock", {}, 30},
        {"real time", {"--real-time"}, 240},
        {"typed rate", {"--real-time", "--capture-rate", "120"}, 120},
        {"typed rate alone", {"--capture-rate=480"}, 480},
        {"unreadable rate", {"--capture-rate", "vite"}, 0},
        {"zero rate", {"--real-time", "--capture-rate", "0"}, 0},
    };
    for (const CasRalenti& c : cas) {
        const Sortie s = Lancer(Suivre(ralenti) + c.options);
        if (c.cadenceTemps == 0) {
            EXPECT_EQ(s.code, 2) << c.nom;
            EXPECT_TRUE(s.sortie.isEmpty()) << c.nom;
            EXPECT_TRUE(s.erreurs.startsWith("kinepo-cli track: --capture-rate")) << c.nom;
            continue;
        }
        ASSERT_EQ(s.code, 0) << c.nom << ": " << s.erreurs.toStdString();
        const auto lignes = Table(s.sortie);
        ASSERT_EQ(int(lignes.size()), f.images) << c.nom;
        for (int n = 0; n < f.images; ++n)
            EXPECT_NEAR(lignes[std::size_t(n)].t, n / c.cadenceTemps,
                        1e-5 * n / c.cadenceTemps + 1e-12)
                << c.nom << " " << n;
    }
    // Real time needs a capture rate.
    const Sortie sans = Lancer(Suivre(normal) + QStringList{"--real-time"});
    EXPECT_EQ(sans.code, 2);
    EXPECT_EQ(sans.erreurs, "kinepo-cli track: --real-time: the film carries no capture rate; "
                            "give --capture-rate FPS\n");
    const Sortie tapee =
        Lancer(Suivre(normal) + QStringList{"--real-time", "--capture-rate", "60"});
    ASSERT_EQ(tapee.code, 0);
    EXPECT_NEAR(Table(tapee.sortie).at(3).t, 3 / 60.0, 1e-6);
}

} // namespace
