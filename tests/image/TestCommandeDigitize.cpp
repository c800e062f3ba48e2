// kinepo-cli digitize: the table printed for given pixels and for a curve followed by colour,
// and one error line with a non-zero status for each bad command line.
#include "ImagesDeTest.h"
#include "common/Nombres.h"
#include "image/cli/CommandeDigitize.h"
#include "support/JpegExif.h"

#include <QFile>

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

class Digitize : public ::testing::Test {
protected:
    void SetUp() override {
        FixerSeparateurDecimal(u',');
        image = dossier.filePath(QStringLiteral("graphe.png"));
        ASSERT_TRUE(test::GrapheSinus(test::Sinus{}).save(image));
    }
    void TearDown() override { SeparateurDecimalDuSysteme(); }
    int lancer(QStringList args) {
        sortie.clear();
        erreur.clear();
        return cli::ExecuterDigitize(args, sortie, erreur);
    }
    QTemporaryDir dossier;
    QString image, sortie, erreur;
};

} // namespace

TEST_F(Digitize, PointsDonnesEnMode2) {
    ASSERT_EQ(lancer({image, "--origin", "200,150", "--y-vector", "200,150,200,75,1", "--points",
                      "275,150 200,75  200,225"}),
              0)
        << erreur.toStdString();
    EXPECT_EQ(sortie, "t\tX\tY\ns\tm\tm\n0\t1\t0\n1\t0\t1\n2\t0\t-1\n");
}

TEST_F(Digitize, Mode0SansReferenceAvecNomsEtUnites) {
    ASSERT_EQ(
        lancer({image, "--mode", "0", "--origin", "200,150", "--y-vector", "200,150,200,50,2.5",
                "--names", "x,h", "--units", "s,cm", "--no-reference", "--points", "200,100"}),
        0)
        << erreur.toStdString();
    EXPECT_EQ(sortie, "h\ncm\n1,25\n");
}

TEST_F(Digitize, LesContraintesOrthonormeesSAppliquentAuxVecteursDonnes) {
    // A slanted Y vector is squared as a drop would square it: vertical, X of the same length.
    ASSERT_EQ(lancer({image, "--origin", "100,100", "--y-vector", "100,100,110,50,1", "--points",
                      "150,100"}),
              0)
        << erreur.toStdString();
    EXPECT_EQ(sortie, "t\tX\tY\ns\tm\tm\n0\t1\t0\n");
}

TEST_F(Digitize, CourbeSuivieParSaCouleur) {
    const test::Sinus s;
    ASSERT_EQ(lancer({image, "--origin", "40,150", "--y-vector", "40,150,40,130,1", "--colour",
                      "220,30,30", "--step", "50", "--no-reference"}),
              0)
        << erreur.toStdString();
    const QStringList lignes = sortie.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), 2 + 8); // columns 0, 50, ..., 350
    EXPECT_EQ(lignes[2].split(u'\t')[0], "-2");
    for (int i = 2; i < lignes.size(); ++i) {
        const QStringList c = lignes[i].split(u'\t');
        const double x = LireReel(c[0]), y = LireReel(c[1]);
        EXPECT_NEAR(y, 4 * std::sin(2 * std::numbers::pi * x / 10), 0.05)
            << lignes[i].toStdString();
    }
}

struct CasErreur {
    const char* nom;
    QStringList arguments; // after the picture
    int code;
    const char* debut;
};

class DigitizeErreurs : public Digitize, public ::testing::WithParamInterface<CasErreur> {};

TEST_P(DigitizeErreurs, UneLigneSurStderr) {
    const CasErreur& k = GetParam();
    EXPECT_EQ(lancer(QStringList{image} + k.arguments), k.code);
    EXPECT_TRUE(sortie.isEmpty());
    EXPECT_TRUE(
        erreur.startsWith(QStringLiteral("kinepo-cli digitize: ") + QString::fromUtf8(k.debut)))
        << erreur.toStdString();
    EXPECT_FALSE(erreur.contains(u'\n'));
}

const QStringList kBase{"--origin", "200,150", "--y-vector", "200,150,200,75,1"};

INSTANTIATE_TEST_SUITE_P(
    Cas, DigitizeErreurs,
    ::testing::Values(
        CasErreur{"SansPoints", kBase, 2, "give either"},
        CasErreur{"PointsEtCouleur", kBase + QStringList{"--points", "1,1", "--colour", "1,2,3"}, 2,
                  "give either"},
        CasErreur{"OptionInconnue", kBase + QStringList{"--zoom", "2"}, 2, "unknown option"},
        CasErreur{"ModeHorsBornes", kBase + QStringList{"--mode", "3", "--points", "1,1"}, 2,
                  "--mode"},
        CasErreur{"Mode1SansX", kBase + QStringList{"--mode", "1", "--points", "1,1"}, 2,
                  "--x-vector"},
        CasErreur{"LongueurNulle",
                  {"--origin", "1,1", "--y-vector", "200,150,200,75,0", "--points", "1,1"},
                  2,
                  "--y-vector: the reference length is 0"},
        CasErreur{"VecteurNul",
                  {"--origin", "1,1", "--y-vector", "200,150,200,150,1", "--points", "1,1"},
                  2,
                  "--y-vector: the vector has zero length"},
        CasErreur{"PointHorsImage", kBase + QStringList{"--points", "400,10"}, 2,
                  "--points: pixel 400,10 is outside"},
        CasErreur{"PointIllisible", kBase + QStringList{"--points", "1;1"}, 2,
                  "--points: expected X,Y"},
        CasErreur{"CouleurHorsBornes", kBase + QStringList{"--colour", "1,2,300"}, 2, "--colour"},
        CasErreur{"PasNul", kBase + QStringList{"--colour", "1,2,3", "--step", "0"}, 2, "--step"},
        CasErreur{"SansValeur", kBase + QStringList{"--points"}, 2, "--points needs a value"}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Digitize, ImageIllisible) {
    EXPECT_EQ(lancer(QStringList{dossier.filePath("absente.bmp")} + kBase +
                     QStringList{"--points", "1,1"}),
              1);
    EXPECT_TRUE(erreur.contains(QStringLiteral("Impossible de lire l'image « absente.bmp »")))
        << erreur.toStdString();
}

// A phone photograph turned by its EXIF orientation is read upright: a red row of the stored
// picture is a red column of the one the command digitizes.
TEST_F(Digitize, PhotoTourneeParSonExif) {
    QImage stockee = test::ImageUnie(64, 32);
    for (int x = 0; x < 64; ++x)
        for (int y = 4; y <= 6; ++y)
            stockee.setPixel(x, y, qRgb(255, 0, 0));
    const QString photo = dossier.filePath(QStringLiteral("portrait.jpg"));
    for (int orientation : {1, 6}) {
        QFile f(photo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(test::JpegOriente(stockee, orientation));
        f.close();
        ASSERT_EQ(lancer({photo, "--origin", "0,0", "--y-vector", "0,10,0,0,1", "--colour",
                          "255,0,0", "--tolerance", "200"}),
                  0)
            << erreur.toStdString();
        const int points = int(sortie.count(u'\n')) - 2;
        if (orientation == 1)
            EXPECT_GE(points, 60); // one point in every column
        else
            EXPECT_LE(points, 4)
                << sortie.toStdString(); // the line stands upright: its few columns
    }
}
