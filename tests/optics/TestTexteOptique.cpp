// The profile's texts (scale entry, transfer, text table) and "kinepo-cli profile".
#include "ImagesOptique.h"
#include "common/BmpFile.h"
#include "common/Nombres.h"
#include "optics/TexteOptique.h"
#include "optics/cli/CommandeProfil.h"
#include "transfer/TexteEchange.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;

namespace {

class TexteOptique : public ::testing::Test {
protected:
    void SetUp() override { FixerSeparateurDecimal(QLatin1Char(',')); }
    void TearDown() override { SeparateurDecimalDuSysteme(); }
};

// A white picture of 6 x 3 read along its middle row: samples -3 ... 2, all 1.
std::unique_ptr<ProfilOptique> ProfilBlanc() {
    auto p = std::make_unique<ProfilOptique>();
    p->Image = p->Affiche = p->Bornes = {6, 3};
    p->Poignee[1] = {3, 1};
    p->Poignee[2] = {5, 1};
    p->TypeEchelle = 1;
    p->TaillePixel = 0.5e-3;
    p->CalculerDirect(
        kinepo::test::ImageGeneree(6, 3, [](int, int) { return qRgb(255, 255, 255); }));
    return p;
}

} // namespace

TEST_F(TexteOptique, SaisieDeLEchelle) {
    EXPECT_EQ(LibelleEchelle(0), "Longueur de l'échelle");
    EXPECT_EQ(LibelleEchelle(1), "Dimension du pixel");
    EXPECT_EQ(AideEchelle(1), "Dimension du pixel (validez avec Entrée)");
    for (QChar c : QStringLiteral("0123456789,.\b\t\r%'"))
        EXPECT_TRUE(CaractereEchelleAccepte(c)) << int(c.unicode());
    for (QChar c : QStringLiteral("aem-+ µ"))
        EXPECT_FALSE(CaractereEchelleAccepte(c)) << int(c.unicode());

    ProfilOptique p;
    p.TypeEchelle = 1;
    p.TaillePixel = 1.4e-05;
    const AffichageEchelle a = AfficherEchelle(p);
    EXPECT_EQ(a.unite, 2); // µm
    LireEchelle(p, QStringLiteral("7,5"), 1);
    EXPECT_DOUBLE_EQ(p.TaillePixel, 7.5e-3);
    LireEchelle(p, QStringLiteral("n'importe quoi"), 2); // counts as 1 µm
    EXPECT_DOUBLE_EQ(p.TaillePixel, 1e-6);
    EXPECT_DOUBLE_EQ(p.LongueurEchelle, 0.01); // the other value is untouched
}

TEST_F(TexteOptique, TransfertAvecFichier) {
    auto p = ProfilBlanc();
    ASSERT_EQ(p->Debut, -3);
    ASSERT_EQ(p->Fin, 2);
    PageTransfert page;
    page.cheminExecutable = QStringLiteral("/opt/kinepo/kinepo");
    page.commentaire = QStringLiteral("fentes d'Young");
    page.constante = {QStringLiteral("a"), QStringLiteral("m"), QStringLiteral("0,2m")};
    TexteEchange texte;
    ConstruireTexteOptique(*p, page, QStringLiteral("/home/prof/Images/fentes 2.bmp"), texte);
    const QStringList attendu = {"/opt/kinepo/kinepo",
                                 "",
                                 "fentes d'Young",
                                 "x\tI",
                                 "m\t",
                                 "Distance\tIntensité relative",
                                 "-0,0015\t1",
                                 "-0,001\t1",
                                 "-0,0005\t1",
                                 "0\t1",
                                 "0,0005\t1",
                                 "0,001\t1",
                                 "",
                                 "a\t",
                                 "m\t",
                                 "0,0002\t",
                                 "&1 FICHIER",
                                 "/home/prof/Images/fentes 2.bmp"};
    EXPECT_EQ(texte.lignes(), attendu) << texte.texte().toStdString();

    // A new page leaves line 2 empty too; the webcam is named as such.
    page.choix = ChoixPage::NouvellePage;
    page.constante = {};
    TexteEchange webcam;
    ConstruireTexteOptique(*p, page, QStringLiteral("Webcam"), webcam);
    EXPECT_EQ(webcam.lignes().at(1), "");
    EXPECT_EQ(webcam.lignes().mid(webcam.lignes().size() - 2),
              (QStringList{"&1 FICHIER", "Webcam"}));
    // No source, no FICHIER block.
    TexteEchange rien;
    ConstruireTexteOptique(*p, page, QString(), rien);
    EXPECT_EQ(rien.lignes().last(), "0,001\t1");
}

TEST_F(TexteOptique, TableTexte) {
    auto p = ProfilBlanc();
    const QStringList t = LignesTableOptique(*p);
    ASSERT_EQ(t.size(), 3 + 6);
    EXPECT_EQ(t.mid(0, 3), (QStringList{"x\tI", "m\t", "Distance\tIntensité relative"}));
    EXPECT_EQ(t.at(3), "-0,0015\t1");
}

TEST_F(TexteOptique, NoteDeSaturation) {
    EXPECT_EQ(TexteSaturation(0), "");
    EXPECT_EQ(TexteSaturation(1), "1 échantillon saturé (composante à 255)");
    EXPECT_EQ(TexteSaturation(12), "12 échantillons saturés (composante à 255)");
}

class CommandeProfil : public TexteOptique {
protected:
    void SetUp() override {
        TexteOptique::SetUp();
        chemin = dir.filePath(QStringLiteral("gris.bmp"));
        ASSERT_TRUE(EcrireBmp24(kinepo::test::ImageGrise(40, 30), chemin));
    }
    QTemporaryDir dir;
    QString chemin;
};

TEST_F(CommandeProfil, TexteDeTransfert) {
    QString sortie, erreur;
    ASSERT_EQ(cli::ExecuterProfil({chemin, "--p1", "10,15", "--p2", "30,15", "--pixel", "1e-3"},
                                  sortie, erreur),
              0)
        << erreur.toStdString();
    const QStringList l = sortie.split(QStringLiteral("\r\n"));
    ASSERT_GE(l.size(), 9);
    EXPECT_TRUE(l.at(0).endsWith(QStringLiteral("/kinepo")));
    EXPECT_EQ(l.mid(1, 5), (QStringList{"", "", "x\tI", "m\t", "Distance\tIntensité relative"}));
    // Samples -10 ... 29 (x = 0 ... 39), then FICHIER, then the final CR LF.
    EXPECT_EQ(l.size(), 6 + 40 + 2 + 1);
    EXPECT_EQ(l.at(6),
              QStringLiteral("-0,01\t%1").arg(ReelVersTexte(kinepo::test::Gris(0, 15) / 255.0)));
    EXPECT_EQ(l.at(6 + 40), "&1 FICHIER");
    EXPECT_EQ(l.at(6 + 41), QFileInfo(chemin).absoluteFilePath());
    EXPECT_EQ(l.last(), "");
}

TEST_F(CommandeProfil, TableEtEchelle) {
    QString sortie, erreur;
    ASSERT_EQ(cli::ExecuterProfil({chemin, "--p1", "10,15", "--p2", "30,15", "--average", "2",
                                   "--scale", "0,0,20,0,0.01", "--txt"},
                                  sortie, erreur),
              0)
        << erreur.toStdString();
    const QStringList l = sortie.split(QStringLiteral("\r\n"));
    EXPECT_EQ(l.at(0), "x\tI");
    // Scale 20 pixels for 1 cm: 5e-4 m per step; the range starts m = 2 steps in.
    EXPECT_TRUE(l.at(3).startsWith(QStringLiteral("-0,004\t"))) << l.at(3).toStdString();
}

TEST_F(CommandeProfil, Erreurs) {
    struct Cas {
        QStringList args;
        int statut;
    };
    QTemporaryDir d;
    const QString vide = d.filePath(QStringLiteral("vide.jpg"));
    QFile(vide).open(QIODevice::WriteOnly);
    const QString faux = d.filePath(QStringLiteral("faux.png"));
    {
        QFile f(faux);
        f.open(QIODevice::WriteOnly);
        f.write("ceci n'est pas une image");
    }
    const Cas cas[] = {
        {{}, 2},
        {{chemin, "--p1", "10,15"}, 2},
        {{chemin, "--p1", "10", "--p2", "30,15"}, 2},
        {{chemin, "--p1", "10,15", "--p2", "30,15", "--average", "129"}, 2},
        {{chemin, "--p1", "10,15", "--p2", "30,15", "--pixel", "-1"}, 2},
        {{chemin, "--p1", "10,15", "--p2", "30,15", "--pixel", "1e-5", "--scale", "0,0,9,0,1"}, 2},
        {{chemin, "--p1", "10,15", "--p2", "30,15", "--scale", "4,4,4,4,0.01"}, 2},
        {{chemin, "--p1", "10,15", "--p2", "30,15", "--bruit"}, 2},
        {{d.filePath("absent.bmp"), "--p1", "10,15", "--p2", "30,15"}, 1},
        {{vide, "--p1", "10,15", "--p2", "30,15"}, 1},
        {{faux, "--p1", "10,15", "--p2", "30,15"}, 1},
    };
    for (const Cas& c : cas) {
        QString sortie, erreur;
        EXPECT_EQ(cli::ExecuterProfil(c.args, sortie, erreur), c.statut)
            << c.args.join(' ').toStdString();
        EXPECT_FALSE(erreur.isEmpty());
        EXPECT_FALSE(erreur.contains(QLatin1Char('\n')));
        EXPECT_TRUE(sortie.isEmpty());
    }
}
