// kinepo-cli info / track / chrono, run as a separate program on films generated here.
#include "FilmsSuivi.h"
#include "LancerCli.h"
#include "ReferenceSuivi.h"

#include "common/BmpFile.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kinepo;
using kinepo::test::FilmGenere;
using kinepo::test::ParametresFilm;

namespace {

// A ball thrown across a still table, never overlapping its previous place (so the first
// frames are not hidden by the background copy), small enough for the refinement box.
ParametresFilm Lancer320() {
    ParametresFilm p;
    p.largeur = 320;
    p.hauteur = 240;
    p.images = 20;
    p.depart = {20, 30};
    p.vitesse = {12, 3};
    p.gravite = 0.5;
    p.rayon = 4;
    return p;
}

class LigneDeCommande : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dossier = new QTemporaryDir;
        film = new FilmGenere(GenererFilm(Lancer320()));
        brut = dossier->filePath("320x240-25fps-raw.avi");
        mjpeg = dossier->filePath("320x240-25fps-mjpeg.avi");
        ASSERT_TRUE(test::EcrireFilm(film->images, brut, "rawvideo"));
        ASSERT_TRUE(test::EcrireFilm(film->images, mjpeg, "mjpeg"));
    }
    static void TearDownTestSuite() {
        delete film;
        delete dossier;
    }
    static QString Fichier(const QString& nom) { return dossier->filePath(nom); }

    static inline QTemporaryDir* dossier = nullptr;
    static inline FilmGenere* film = nullptr;
    static inline QString brut, mjpeg;
};

// With the scale 1 m per pixel, the origin at (0, 0) and y downward, the table is in pixels.
const QStringList kEnPixels = {"--scale", "0,0,100,0,100", "--origin",
                               "0,0",     "--axes",        "down-right"};

struct Ligne {
    double t, x, y;
};

std::vector<Ligne> LireTable(const QString& texte, QChar separateur, QChar decimal = u'.') {
    std::vector<Ligne> lignes;
    const QStringList l = texte.split("\r\n");
    for (int i = 2; i < l.size(); ++i) {
        if (l[i].isEmpty()) continue;
        QStringList champs = l[i].split(separateur);
        if (separateur == decimal) { // "0,04,20,30": rebuild the numbers from whole parts
            ADD_FAILURE() << "ambiguous table";
            break;
        }
        for (auto& c : champs)
            c.replace(decimal, u'.');
        lignes.push_back(
            {champs.value(0).toDouble(), champs.value(1).toDouble(), champs.value(2).toDouble()});
    }
    return lignes;
}

TEST_F(LigneDeCommande, InfoUneCleParLigne) {
    const Sortie s = Lancer({"info", brut});
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    EXPECT_TRUE(s.erreurs.isEmpty());
    const QStringList l = s.sortie.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(l.size(), 5) << s.sortie.toStdString();
    EXPECT_EQ(l[0], "size: 320x240");
    EXPECT_EQ(l[1], "frames: 20");
    EXPECT_EQ(l[2], "frame rate: 25");
    EXPECT_EQ(l[3], "duration: 0.8");
    EXPECT_TRUE(l[4].startsWith("codec: "));
    EXPECT_EQ(Lancer({"info", mjpeg}).sortie.split('\n')[4], "codec: MJPG");
    EXPECT_EQ(Lancer({"info", mjpeg}, "fr_FR.UTF-8").sortie.split('\n')[3], "duration: 0,8");
}

TEST_F(LigneDeCommande, TrajectoireAUnPixelPresSurChaqueImage) {
    for (const QString& f : {brut, mjpeg}) {
        const QPoint cible = film->centres[0].toPoint();
        const Sortie s = Lancer(QStringList{"track", f, "--target",
                                            QStringLiteral("%1,%2").arg(cible.x()).arg(cible.y())} +
                                kEnPixels);
        ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
        const auto lignes = LireTable(s.sortie, u'\t');
        ASSERT_EQ(lignes.size(), film->centres.size()) << f.toStdString();
        for (std::size_t i = 0; i < lignes.size(); ++i) {
            EXPECT_NEAR(lignes[i].t, 0.04 * double(i), 1e-9);
            EXPECT_LE(std::abs(lignes[i].x - film->centres[i].x()), 1.0)
                << f.toStdString() << " " << i;
            EXPECT_LE(std::abs(lignes[i].y - film->centres[i].y()), 1.0)
                << f.toStdString() << " " << i;
        }
    }
}

TEST_F(LigneDeCommande, DispositionsPressePapiersCsvTxt) {
    const QStringList base = QStringList{"track", brut, "--target", "20,30"} + kEnPixels;
    const Sortie presse = Lancer(base);
    const Sortie csv = Lancer(base + QStringList{"--csv"});
    const Sortie txt = Lancer(base + QStringList{"--txt"});
    const Sortie fr = Lancer(base, "fr_FR.UTF-8");
    for (const Sortie* s : {&presse, &csv, &txt, &fr})
        ASSERT_EQ(s->code, 0) << s->erreurs.toStdString();
    EXPECT_TRUE(presse.sortie.startsWith("t\tx\ty\r\ns\tm\tm\r\n0\t20\t30\r\n0.04\t32\t"))
        << presse.sortie.toStdString();
    EXPECT_TRUE(presse.sortie.endsWith("\r\n"));
    EXPECT_EQ(presse.sortie.count("\r\n"), 2 + 20);
    EXPECT_EQ(presse.sortie.count('\n'), presse.sortie.count("\r\n"));
    EXPECT_TRUE(csv.sortie.startsWith("t,x,y\r\ns,m,m\r\n0,20,30\r\n0.04,32,"));
    EXPECT_EQ(txt.sortie, presse.sortie);
    EXPECT_TRUE(fr.sortie.startsWith("t\tx\ty\r\ns\tm\tm\r\n0\t20\t30\r\n0,04\t32\t"));
    // The form's defaults for a new film: origin at the centre, 1 m = a quarter of the width,
    // y upward. (20, 30) is then x = (20 - 160) / 80 = -1.75, y = -(30 - 120) / 80 = 1.125.
    const Sortie defaut = Lancer({"track", brut, "--target", "20,30"});
    EXPECT_TRUE(defaut.sortie.startsWith("t\tx\ty\r\ns\tm\tm\r\n0\t-1.75\t1.125\r\n"))
        << defaut.sortie.toStdString();
}

TEST_F(LigneDeCommande, ImageDeDepartEtZoom) {
    const QPoint c5 = film->centres[5].toPoint();
    const QString cible = QStringLiteral("%1,%2").arg(c5.x()).arg(c5.y());
    const Sortie z1 =
        Lancer(QStringList{"track", brut, "--target", cible, "--frame", "5"} + kEnPixels);
    const Sortie z2 = Lancer(
        QStringList{"track", brut, "--target", cible, "--frame", "5", "--zoom", "2"} + kEnPixels);
    ASSERT_EQ(z1.code, 0) << z1.erreurs.toStdString();
    ASSERT_EQ(z2.code, 0) << z2.erreurs.toStdString();
    const auto l1 = LireTable(z1.sortie, u'\t');
    ASSERT_EQ(l1.size(), 15u);
    EXPECT_DOUBLE_EQ(l1[0].t, 0.2);
    EXPECT_EQ(l1[0].x, c5.x());
    EXPECT_EQ(z2.sortie, z1.sortie);
}

TEST_F(LigneDeCommande, ChronophotographieCommeLaRegle) {
    const QString seule = Fichier("seule.bmp"), avecSuivi = Fichier("suivi.bmp");
    ASSERT_EQ(Lancer({"chrono", brut, seule}).code, 0);
    const Sortie s = Lancer(QStringList{"track", brut, "--target", "20,30", "--chrono", avecSuivi});
    ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
    const auto ref = test::SuivreReference(film->images, 1, QPoint(20, 30), false);
    EXPECT_EQ(LireBmp(seule).convertToFormat(QImage::Format_RGB888), ref.chrono);
    QFile a(seule), b(avecSuivi);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    const QString depuis3 = Fichier("depuis3.bmp");
    ASSERT_EQ(Lancer({"chrono", brut, depuis3, "--frame", "3"}).code, 0);
    const std::vector<QImage> fin(film->images.begin() + 3, film->images.end());
    EXPECT_EQ(LireBmp(depuis3).convertToFormat(QImage::Format_RGB888),
              test::SuivreReference(fin, 1, QPoint(), false).chrono);
}

struct CasCadence {
    const char* cadence;   // ffmpeg's -r
    const char* frameRate; // info's "frame rate"
    double t3;             // time of the fourth row
};

// Times come from the film's own frame times at every rate, phone films of 120 and 240 frames
// per second included.
TEST_F(LigneDeCommande, TempsSelonLaCadence) {
    const CasCadence cas[] = {{"25", "25", 0.12},
                              {"30000/1001", "30", 0.1001},
                              {"120", "120", 0.025},
                              {"240", "240", 0.0125},
                              {"2/5", "0", 7.5}};
    ParametresFilm p = Lancer320();
    p.images = 6;
    const FilmGenere court = GenererFilm(p);
    for (const CasCadence& c : cas) {
        const QString chemin =
            Fichier(QStringLiteral("cadence-%1.avi").arg(QString(c.cadence).replace('/', '-')));
        ASSERT_TRUE(test::EcrireFilm(court.images, chemin, "rawvideo", c.cadence));
        const Sortie info = Lancer({"info", chemin});
        EXPECT_EQ(info.sortie.split('\n').value(2),
                  QStringLiteral("frame rate: %1").arg(c.frameRate))
            << c.cadence;
        const Sortie s = Lancer(QStringList{"track", chemin, "--target", "20,30"} + kEnPixels);
        ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
        const auto lignes = LireTable(s.sortie, u'\t');
        ASSERT_EQ(lignes.size(), 6u) << c.cadence;
        EXPECT_NEAR(lignes[3].t, c.t3, 1e-6) << c.cadence;
    }
}

// The status bar's outcome of the tracking, and the warning about a target that does not stand
// out, on stderr; the table still goes to stdout.
TEST_F(LigneDeCommande, CiblePerdueEtCibleConfondueSurStderr) {
    ParametresFilm p = Lancer320();
    p.images = 8;
    FilmGenere f = GenererFilm(p);
    for (int n = 5; n < 8; ++n)
        f.images[static_cast<std::size_t>(n)] = test::Fond(p.largeur, p.hauteur);
    const QString chemin = Fichier("disparait.avi");
    ASSERT_TRUE(test::EcrireFilm(f.images, chemin, "rawvideo"));
    const Sortie perdue = Lancer(QStringList{"track", chemin, "--target", "20,30"} + kEnPixels);
    ASSERT_EQ(perdue.code, 0) << perdue.erreurs.toStdString();
    EXPECT_EQ(perdue.erreurs, "Cible perdue sur 3 images\n");
    EXPECT_EQ(LireTable(perdue.sortie, u'\t').size(), 5u);

    const std::vector<QImage> immobile(4, f.images[0]);
    const QString fixe = Fichier("immobile.avi");
    ASSERT_TRUE(test::EcrireFilm(immobile, fixe, "rawvideo"));
    const Sortie jamais = Lancer({"track", fixe, "--target", "20,30"});
    EXPECT_EQ(jamais.erreurs, QString::fromUtf8("Cible non trouvée\n"));

    const Sortie fond = Lancer({"track", brut, "--target", "250,200"});
    EXPECT_TRUE(fond.erreurs.startsWith(
        QString::fromUtf8("La couleur cliquée ne se distingue pas de ce qui l'entoure")))
        << fond.erreurs.toStdString();
}

struct CasErreur {
    const char* nom;
    QStringList arguments; // FILM stands for the raw film, ABSENT for a missing one, etc.
    int code;
};

TEST_F(LigneDeCommande, ErreursUneLigneCodeNonNulSansFichier) {
    QFile vide(Fichier("vide.avi"));
    ASSERT_TRUE(vide.open(QIODevice::WriteOnly));
    vide.close();
    QFile bidon(Fichier("bidon.avi"));
    ASSERT_TRUE(bidon.open(QIODevice::WriteOnly));
    bidon.write("RIFF this is not a film at all, just some words\n");
    bidon.close();
    const QString sortie = Fichier("jamais.bmp");
    const QString impossible = Fichier("pas-de-dossier/x.bmp");

    const CasErreur cas[] = {
        {"film absent", {"track", "ABSENT", "--target", "1,1"}, 1},
        {"film vide", {"track", "VIDE", "--target", "1,1", "--chrono", "SORTIE"}, 1},
        {"film bidon", {"info", "BIDON"}, 1},
        {"chrono film bidon", {"chrono", "BIDON", "SORTIE"}, 1},
        {"cible hors image", {"track", "FILM", "--target", "320,10"}, 2},
        {"cible negative", {"track", "FILM", "--target", "-1,10"}, 2},
        {"cible illisible", {"track", "FILM", "--target", "a,b"}, 2},
        {"cible sans virgule", {"track", "FILM", "--target", "12"}, 2},
        {"cible manquante", {"track", "FILM"}, 2},
        {"echelle illisible", {"track", "FILM", "--target", "1,1", "--scale", "0,0,100,0,abc"}, 2},
        {"echelle trop courte", {"track", "FILM", "--target", "1,1", "--scale", "0,0,1,0,1"}, 2},
        {"zoom hors bornes", {"track", "FILM", "--target", "1,1", "--zoom", "9"}, 2},
        {"image hors film", {"track", "FILM", "--target", "1,1", "--frame", "20"}, 2},
        {"axes inconnus", {"track", "FILM", "--target", "1,1", "--axes", "sideways"}, 2},
        {"option inconnue", {"track", "FILM", "--target", "1,1", "--fast"}, 2},
        {"option sans valeur", {"track", "FILM", "--target"}, 2},
        {"chrono impossible", {"track", "FILM", "--target", "1,1", "--chrono", "IMPOSSIBLE"}, 1},
        {"chrono sur un dossier", {"chrono", "FILM", "DOSSIER"}, 1},
        {"chrono sans sortie", {"chrono", "FILM"}, 2},
        {"chrono image illisible", {"chrono", "FILM", "SORTIE", "--frame", "x"}, 2},
    };
    for (const CasErreur& c : cas) {
        QStringList args;
        for (const QString& a : c.arguments) {
            if (a == "FILM")
                args << brut;
            else if (a == "ABSENT")
                args << Fichier("absent.avi");
            else if (a == "VIDE")
                args << Fichier("vide.avi");
            else if (a == "BIDON")
                args << Fichier("bidon.avi");
            else if (a == "SORTIE")
                args << sortie;
            else if (a == "IMPOSSIBLE")
                args << impossible;
            else if (a == "DOSSIER")
                args << dossier->path();
            else
                args << a;
        }
        const Sortie s = Lancer(args);
        EXPECT_EQ(s.code, c.code) << c.nom << ": " << s.erreurs.toStdString();
        EXPECT_TRUE(s.sortie.isEmpty()) << c.nom;
        EXPECT_EQ(s.erreurs.count('\n'), 1) << c.nom << ": " << s.erreurs.toStdString();
        EXPECT_TRUE(s.erreurs.startsWith("kinepo-cli ")) << c.nom;
        EXPECT_FALSE(QFile::exists(sortie)) << c.nom;
        EXPECT_FALSE(QFile::exists(impossible)) << c.nom;
    }
}

} // namespace
