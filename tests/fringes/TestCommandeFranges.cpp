// "kinepo-cli fringes" on films made here: the transfer text, the bare table, the capacity of
// the series and the errors.
#include "common/Nombres.h"
#include "fringes/cli/CommandeFranges.h"
#include "support/FilmSynthetique.h"

#include <QColor>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;
namespace kt = kinepo::test;

namespace {

class CommandeFranges : public ::testing::Test {
protected:
    // A 32 × 24 raw film at 25 frames/s whose left half is black and right half goes from
    // black to white, one step per frame.
    QString Film(int images) {
        const QString chemin = dir.filePath(QStringLiteral("franges-%1.avi").arg(images));
        kt::ParametresFilm p;
        p.codec = kt::CodecFilm::RawAvi;
        p.largeur = 32;
        p.hauteur = 24;
        p.images = images;
        EXPECT_TRUE(kt::EcrireFilm(chemin, p, [](int n) {
            QImage g(32, 24, QImage::Format_RGB888);
            g.fill(Qt::black);
            const int v = std::min(255, n * 51);
            for (int y = 0; y < 24; ++y)
                for (int x = 16; x < 32; ++x)
                    g.setPixelColor(x, y, QColor(v, v, v));
            return g;
        }));
        return chemin;
    }
    QTemporaryDir dir;
};

TEST_F(CommandeFranges, TransferTextWithTwoPoints) {
    const QString film = Film(6);
    QString sortie, erreur;
    ASSERT_EQ(cli::ExecuterFranges({film, "--p1", "24,12", "--p2", "4,4"}, sortie, erreur), 0)
        << erreur.toStdString();
    EXPECT_TRUE(erreur.isEmpty());
    const QStringList l = sortie.split(QStringLiteral("\r\n"));
    EXPECT_TRUE(l.at(0).endsWith(QStringLiteral("/kinepo")));
    EXPECT_EQ(l.mid(1, 4), (QStringList{"", "t\tNa\tLaser", "s\t\t",
                                        "temps\tIntensité lampe spectrale\tIntensité laser"}));
    // Luma 16 + 219 v / 255 (RGB converted to limited range): 0, 16+43.8, ... and black.
    for (int n = 0; n < 6; ++n) {
        const int v = std::min(255, n * 51);
        const int y = qRound(16 + 219.0 * v / 255.0);
        EXPECT_EQ(l.at(5 + n), ReelVersTexte(0.04 * n) + "\t" +
                                   ReelVersTexte((9.0 * y - 144) / 2115) + "\t" + ReelVersTexte(0))
            << n;
    }
    EXPECT_EQ(l.mid(11), (QStringList{"&2 NOMX", "t", "t", "&2 NOMY", "Na", "Laser", "&2 COULEUR",
                                      "0", "255", "&2 LIGNE", "1", "1", ""}));
}

TEST_F(CommandeFranges, BareTableWithOnePoint) {
    const QString film = Film(3);
    QString sortie, erreur;
    ASSERT_EQ(cli::ExecuterFranges({film, "--p1", "4,4", "--txt"}, sortie, erreur), 0);
    EXPECT_EQ(sortie, "t\tNa\r\ns\t\r\n" + ReelVersTexte(0) + "\t" + ReelVersTexte(0) + "\r\n" +
                          ReelVersTexte(0.04) + "\t" + ReelVersTexte(0) + "\r\n" +
                          ReelVersTexte(0.08) + "\t" + ReelVersTexte(0) + "\r\n");
}

TEST_F(CommandeFranges, CapacityEndsTheTableWithOneLine) {
    // 65 002 frames of 8 × 8, MPEG-4 with long groups so that the film stays small.
    const QString chemin = dir.filePath(QStringLiteral("long.avi"));
    kt::ParametresFilm p;
    p.codec = kt::CodecFilm::Mpeg4Avi;
    p.largeur = 16;
    p.hauteur = 16;
    p.images = 65002;
    p.gop = 600;
    QImage g(16, 16, QImage::Format_RGB888);
    g.fill(Qt::gray);
    ASSERT_TRUE(kt::EcrireFilm(chemin, p, [&](int) { return g; }));
    QString sortie, erreur;
    ASSERT_EQ(cli::ExecuterFranges({chemin, "--p1", "8,8", "--txt"}, sortie, erreur), 0);
    EXPECT_EQ(sortie.count(QStringLiteral("\r\n")), 2 + 65001);
    EXPECT_FALSE(erreur.isEmpty());
    EXPECT_FALSE(erreur.contains('\n'));
    EXPECT_TRUE(erreur.contains(QStringLiteral("65001")));
}

TEST_F(CommandeFranges, Errors) {
    const QString film = Film(2);
    QFile vide(dir.filePath("vide.avi"));
    ASSERT_TRUE(vide.open(QIODevice::WriteOnly));
    vide.close();
    QFile absurde(dir.filePath("absurde.mpg"));
    ASSERT_TRUE(absurde.open(QIODevice::WriteOnly));
    absurde.write("ceci n'est pas un film");
    absurde.close();
    struct Cas {
        QStringList args;
        int statut;
    } cas[] = {
        {{}, 2},
        {{film}, 2},
        {{film, "--p1"}, 2},
        {{film, "--p1", "3"}, 2},
        {{film, "--p1", "a,b"}, 2},
        {{film, "--p1", "4,4", "--p3", "1,1"}, 2},
        {{film, "--p1", "0,4"}, 2},
        {{film, "--p1", "4,4", "--p2", "31,4"}, 2},
        {{film, "--p1", "4,23"}, 2},
        {{vide.fileName(), "--p1", "4,4"}, 1},
        {{absurde.fileName(), "--p1", "4,4"}, 1},
        {{dir.filePath("absent.avi"), "--p1", "4,4"}, 1},
    };
    for (const Cas& c : cas) {
        QString sortie, erreur;
        EXPECT_EQ(cli::ExecuterFranges(c.args, sortie, erreur), c.statut)
            << c.args.join(' ').toStdString();
        EXPECT_FALSE(erreur.isEmpty());
        EXPECT_FALSE(erreur.contains('\n'));
        EXPECT_TRUE(sortie.isEmpty());
    }
}

} // namespace
