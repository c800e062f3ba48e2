// The exchange text: the worked video example byte for byte, the constant block, keyword
// blocks and the line limit; the analysis program's command line.
#include "common/Cp1252.h"
#include "common/Nombres.h"
#include "support/FakePlateforme.h"
#include "transfer/CheminTabulane.h"
#include "transfer/TexteEchange.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace kinepo;

namespace {

class SeparateurFrancais : public ::testing::Test {
protected:
    void SetUp() override { FixerSeparateurDecimal(u','); }
    void TearDown() override { SeparateurDecimalDuSysteme(); }
};

QByteArray lireFichier(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Line-by-line report of two CR LF texts, shown when they differ.
std::string difference(const QByteArray& attendu, const QByteArray& obtenu) {
    const QList<QByteArray> a = attendu.split('\n');
    const QList<QByteArray> b = obtenu.split('\n');
    std::string out;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QByteArray la = i < a.size() ? a[i] : QByteArray("<none>");
        const QByteArray lb = i < b.size() ? b[i] : QByteArray("<none>");
        if (la != lb)
            out += "line " + std::to_string(i + 1) + ": expected [" + la.toStdString() + "] got [" +
                   lb.toStdString() + "]\n";
    }
    return out;
}

} // namespace

// One point, four images at 25 images per second, pixel uncertainty 1, pixel of 1.25 mm,
// constant g = 9.81 m/s², new file, French settings.
TEST_F(SeparateurFrancais, ExempleVideoOctetPourOctet) {
    PageTransfert page;
    page.cheminExecutable = QStringLiteral("/opt/kinepo/kinepo");
    page.choix = ChoixPage::NouveauFichier;
    page.commentaire = QStringLiteral("chute libre");
    page.constante = {QStringLiteral("g"), QStringLiteral("m/s²"), QStringLiteral("9,81")};

    const double pixel = 0.00125;
    const std::array<int, 4> xPixels{0, 10, 20, 30};
    const std::array<int, 4> yPixels{0, 7, 25, 56}; // downward in the picture
    const int n = 4;

    TexteEchange texte;
    texte.ajouterIdentification(page, QStringLiteral("Acquisition à partir de video"));
    texte.ajouterChamps({"t", "x", "y"});
    texte.ajouterChamps({"s", "m", "m"});
    for (int i = 0; i < n; ++i)
        texte.ajouterValeurs({i / 25.0, xPixels[i] * pixel, -yPixels[i] * pixel});
    page.AjouteConstante(texte);
    const std::array<double, 3> incertitudes{(1 / 25.0 - 0) / 100, 1 * pixel, 1 * pixel};
    texte.ajouterIncertitudes(n, incertitudes);
    if (page.nouveauFichier()) {
        texte.ajouterNomX({"x"});
        texte.ajouterNomY({"y"});
        texte.ajouterOrtho(1);
        texte.ajouterFichier(QStringLiteral("/home/eleve/films/chute libre.avi"));
    }

    const QByteArray attendu =
        lireFichier(QStringLiteral(KINEPO_TEST_DATA "/video-1point-25ips-constante-g.txt"));
    ASSERT_FALSE(attendu.isEmpty());
    const QByteArray obtenu = texte.octetsCp1252();
    EXPECT_EQ(obtenu, attendu) << difference(attendu, obtenu);
    // The clipboard gets the same text as Unicode.
    EXPECT_EQ(texte.texte(), DepuisCp1252(attendu));
}

TEST_F(SeparateurFrancais, NouvellePageLaisseLaLigneDeuxVide) {
    PageTransfert page;
    page.cheminExecutable = QStringLiteral("/k");
    page.choix = ChoixPage::NouvellePage;
    page.commentaire = QStringLiteral("c");
    TexteEchange texte;
    texte.ajouterIdentification(page, QStringLiteral("Lecture de bitmap"));
    EXPECT_EQ(texte.texte(), QStringLiteral("/k\r\n\r\nc\r\n"));

    // Without a title line at all (fringe tracking): the comment is the second line.
    TexteEchange franges;
    page.choix = ChoixPage::NouveauFichier;
    franges.ajouterIdentification(page, std::nullopt);
    EXPECT_EQ(franges.texte(), QStringLiteral("/k\r\nc\r\n"));
}

struct CasConstante {
    const char* nom;
    const char* unite;
    const char* valeur;
    std::vector<const char*> lignes;
};

void PrintTo(const CasConstante& c, std::ostream* os) {
    *os << '"' << c.nom << "\" \"" << c.unite << "\" \"" << c.valeur << '"';
}

class BlocConstante : public SeparateurFrancais,
                      public ::testing::WithParamInterface<CasConstante> {};

TEST_P(BlocConstante, Lignes) {
    const CasConstante& c = GetParam();
    QStringList lignes{QStringLiteral("donnée")};
    AjouteConstante(lignes, {QString::fromUtf8(c.nom), QString::fromUtf8(c.unite),
                             QString::fromUtf8(c.valeur)});
    QStringList attendu{QStringLiteral("donnée")};
    for (const char* l : c.lignes)
        attendu.append(QString::fromUtf8(l));
    EXPECT_EQ(lignes, attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, BlocConstante,
    ::testing::Values(CasConstante{"g", "m/s²", "9,81", {"", "g\t", "m/s²\t", "9,81\t"}},
                      CasConstante{"g", "m/s²", "9.81", {"", "g\t", "m/s²\t", "9,81\t"}},
                      CasConstante{"m", "kg", "-3", {"", "m\t", "kg\t", "-3\t"}},
                      CasConstante{"k", "", "0,000015", {"", "k\t", "\t", "1,5E-05\t"}},
                      CasConstante{"longnom123", "", "2", {"", "longnom1\t", "\t", "2\t"}},
                      CasConstante{"", "m", "3", {}},      // no name: not even the empty line
                      CasConstante{"g", "m/s²", "", {}},   // empty value
                      CasConstante{"g", "m/s²", "abc", {}} // unreadable value
                      ));

TEST(BlocsMotCle, EnteteEtNombreDeLignes) {
    TexteEchange t;
    t.ajouterNomX({"t", "t"});
    t.ajouterNomY({"sG", "sD"});
    t.ajouterLigneBloc(2);
    t.ajouterAnalog();
    const std::array<int, 2> couleurs{0, 255};
    t.ajouterCouleurs(couleurs);
    t.ajouterOrtho(3);
    t.ajouterBloc(QStringLiteral("NOMX"), {});
    EXPECT_EQ(t.lignes(), QStringList({"&2 NOMX", "t", "t", "&2 NOMY", "sG", "sD", "&2 LIGNE", "1",
                                       "1", "&1 ANALOG", "1", "&2 COULEUR", "0", "255", "&3 ORTHO",
                                       "1", "1", "1", "&0 NOMX"}));
}

TEST_F(SeparateurFrancais, IncertitudesLigneParLigne) {
    TexteEchange t;
    const std::vector<std::vector<double>> lignes{{0.5, 1e6}, {-2.5e-5, 0}};
    t.ajouterIncertitudes(lignes);
    EXPECT_EQ(t.lignes(), QStringList({"&2 INCERT", "0,5\t1E06", "-2,5E-05\t0"}));
}

TEST(LigneTable, CoupeeA255Caracteres) {
    const QStringList champs(40, QStringLiteral("abcdefgh"));
    const QString ligne = LigneChamps(champs);
    EXPECT_EQ(ligne.size(), kLongueurLigneMax);
    EXPECT_TRUE(champs.join(u'\t').startsWith(ligne));

    const std::vector<double> valeurs(100, -1.23456e-10);
    EXPECT_EQ(LigneValeurs(valeurs).size(), kLongueurLigneMax);
    EXPECT_EQ(LigneChamps({"a", "", "c"}), QStringLiteral("a\t\tc"));
}

TEST(Macro, SelonLeChoix) {
    EXPECT_EQ(MacroPourChoix(ChoixPage::NouveauFichier), QStringLiteral("CLIP|LOAD"));
    EXPECT_EQ(MacroPourChoix(ChoixPage::NouvellePage), QStringLiteral("CLIP|ADD"));
}

struct CasChemin {
    const char* dossier;
    std::vector<std::pair<const char*, const char*>> registre; // key, value of "Path"
    const char* attendu;
};

void PrintTo(const CasChemin& c, std::ostream* os) {
    *os << '"' << c.dossier << "\" -> " << c.attendu;
}

class CheminTabulane : public ::testing::TestWithParam<CasChemin> {};

TEST_P(CheminTabulane, Calcul) {
    const CasChemin& c = GetParam();
    test::FakeRegistre registre;
    for (const auto& [cle, valeur] : c.registre)
        registre.ecrire(QString::fromUtf8(cle), QStringLiteral("Path"), QString::fromUtf8(valeur));
    EXPECT_EQ(CalculeCheminTabulane(QString::fromUtf8(c.dossier), registre),
              QString::fromUtf8(c.attendu));
}

INSTANTIATE_TEST_SUITE_P(
    Cas, CheminTabulane,
    ::testing::Values(
        CasChemin{"", {}, "tabulane"}, CasChemin{"/opt/Tabulane", {}, "/opt/Tabulane/tabulane"},
        CasChemin{"/opt/Tabulane/", {}, "/opt/Tabulane/tabulane"},
        CasChemin{"/nulle/part", {{"Software\\Tabulane", "/usr/bin/tab"}}, "/nulle/part/tabulane"},
        CasChemin{"", {{"Software\\Tabulane", "/usr/bin/tab"}}, "/usr/bin/tab"},
        CasChemin{"", {{"Software\\Tabulane\\Tabulane", "/b"}}, "/b"},
        CasChemin{"", {{"Software\\Tabulane", "/a"}, {"Software\\Tabulane\\Tabulane", "/b"}}, "/b"},
        CasChemin{"", {{"Software\\Autre", "/a"}}, "tabulane"}));

TEST(LigneCommande, Scission) {
    struct Cas {
        QString ligne;
        std::optional<LigneCommande> attendu;
    };
    const std::vector<Cas> cas{
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"tabulane", LigneCommande{"tabulane", {}}},
        {"/opt/tab/tabulane --journal /tmp/j",
         LigneCommande{"/opt/tab/tabulane", {"--journal", "/tmp/j"}}},
        {"\"/opt/mes progs/tabulane\" -x", LigneCommande{"/opt/mes progs/tabulane", {"-x"}}},
        // Shell characters are plain characters: no shell ever sees the line.
        {"tabulane ; rm -rf ~", LigneCommande{"tabulane", {";", "rm", "-rf", "~"}}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.ligne.toStdString());
        const auto r = ScinderLigneCommande(c.ligne);
        ASSERT_EQ(r.has_value(), c.attendu.has_value());
        if (!r) continue;
        EXPECT_EQ(r->programme, c.attendu->programme);
        EXPECT_EQ(r->arguments, c.attendu->arguments);
    }

    // An existing file whose path holds spaces is the program as a whole.
    QTemporaryDir dossier;
    const QString chemin = dossier.path() + QStringLiteral("/Mes programmes/tabulane");
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const auto r = ScinderLigneCommande(chemin);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->programme, chemin);
    EXPECT_TRUE(r->arguments.isEmpty());

    // The command line is cut at 255 characters.
    const auto longue = ScinderLigneCommande(QStringLiteral("p ") + QString(300, u'a'));
    ASSERT_TRUE(longue);
    EXPECT_EQ(longue->arguments.value(0).size(), 253);
}
