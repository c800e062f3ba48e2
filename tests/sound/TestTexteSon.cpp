// The transfer lines and the text table of the sound form, and their 7-digit time format.
#include "common/Nombres.h"
#include "sound/TamponSon.h"
#include "sound/TexteSon.h"

#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;

namespace {

class TexteSon : public ::testing::Test {
protected:
    void SetUp() override { FixerSeparateurDecimal(QLatin1Char(',')); }
    void TearDown() override { FixerSeparateurDecimal(QLatin1Char('.')); }

    // Writes 8-bit frames (bytes) into the block.
    void Son8(FormatSon format, std::initializer_list<int> octets, std::uint32_t f) {
        int k = 1;
        for (int o : octets)
            son->Octets()[k++] = std::uint8_t(o);
        son->Definir(format, std::int32_t(octets.size()) / (format == Stereo8 ? 2 : 1), f,
                     QStringLiteral("/sons/essai.wav"));
    }
    std::unique_ptr<TamponSon> son = std::make_unique<TamponSon>();
};

TEST_F(TexteSon, FormatDuTempsASeptChiffres) {
    struct {
        double x;
        const char* attendu;
    } cas[] = {{0, "0"},
               {0.5, "0,5"},
               {2.5, "2,5"},
               {1.0 / 11025, "9,070295E-5"},
               {1.5e-5, "1,5E-5"},
               {-1.5e-5, "-1,5E-5"},
               {0.0001, "0,0001"},
               {2.0 / 11025, "0,0001814059"},
               {23.777233560090703, "23,77723"},
               {1234567, "1234567"},
               {12345678, "1,234568E7"},
               {0.99999999, "1"},
               {1e-10, "1E-10"}};
    for (const auto& c : cas)
        EXPECT_EQ(TempsVersTexte(c.x), QString::fromLatin1(c.attendu)) << c.x;
}

TEST_F(TexteSon, TransfertMono8BitsNouveauFichier) {
    Son8(Mono8, {128, 0, 255, 130, 127}, 11025);
    ParametresTransfertSon p;
    p.cheminExecutable = QStringLiteral("/opt/kinepo/kinepo");
    p.commentaire = QStringLiteral("diapason");
    p.fichierSon = son->NomFichier();
    p.fichierEnregistrement = QStringLiteral("/opt/kinepo/kinepo.wav");
    const Selection s{0, 4};
    const auto sous = CalculerSousEchantillonnage(son->Frequence(), s);
    QStringList lignes = LignesTransfertSon(*son, s, sous, p) + BlocsTransfertSon(p);
    const QStringList attendu = {"/opt/kinepo/kinepo",
                                 "Acquisition à fech=11025 Hz",
                                 "diapason",
                                 "t\ts",
                                 "s\t",
                                 "0\t0",
                                 "9,070295E-5\t-128",
                                 "0,0001814059\t127",
                                 "0,0002721088\t2",
                                 "0,0003628118\t-1",
                                 "&1 NOMX",
                                 "t",
                                 "&1 NOMY",
                                 "s",
                                 "&1 LIGNE",
                                 "1",
                                 "&1 FICHIER",
                                 "/sons/essai.wav"};
    EXPECT_EQ(lignes, attendu);
}

TEST_F(TexteSon, TransfertStereoNouvellePageEnregistrement) {
    Son8(Stereo8, {128, 128, 0, 255, 200, 100}, 22050);
    ParametresTransfertSon p;
    p.cheminExecutable = QStringLiteral("/k");
    p.nouveauFichier = false;
    p.stereo = true;
    p.fichierSon = QStringLiteral("/k.wav");
    p.fichierEnregistrement = QStringLiteral("/k.wav"); // the recording: no FICHIER block
    const Selection s{1, 2};
    const auto sous = CalculerSousEchantillonnage(son->Frequence(), s);
    QStringList lignes = LignesTransfertSon(*son, s, sous, p) + BlocsTransfertSon(p);
    const QStringList attendu = {
        "/k",      "",  "",          "t\tsG\tsD", "s\t\t", "0\t-128\t127", "4,535147E-5\t72\t-28",
        "&2 NOMX", "t", "t",         "&2 NOMY",   "sG",    "sD",           "&2 LIGNE",
        "1",       "1", "&1 ANALOG", "1"};
    EXPECT_EQ(lignes, attendu);
}

TEST_F(TexteSon, TransfertAmincPartDuPremierMultipleDuPas) {
    // 44100 Hz, 16-bit mono, frame i holds (i mod 60000) - 30000.
    const std::int32_t n = 70000;
    for (std::int32_t i = 0; i < n; ++i) {
        const auto v = std::uint16_t(std::int16_t(i % 60000 - 30000));
        son->Octets()[2 + 2 * i] = std::uint8_t(v & 0xFF);
        son->Octets()[3 + 2 * i] = std::uint8_t(v >> 8);
    }
    son->Definir(Mono16, n, 44100, QStringLiteral("/s.wav"));
    ParametresTransfertSon p;
    const Selection s{3, 3 + 65535};
    const auto sous = CalculerSousEchantillonnage(son->Frequence(), s);
    ASSERT_EQ(sous.pas, 2);
    const QStringList l = LignesTransfertSon(*son, s, sous, p);
    EXPECT_EQ(l.at(1), QStringLiteral("Acquisition à fech=22050 Hz"));
    ASSERT_EQ(l.size(), 5 + 32768);
    EXPECT_EQ(l.at(5), QStringLiteral("2,267574E-5\t-29996"));
    EXPECT_EQ(l.last(), QStringLiteral("1,486054\t-24462")); // index 65538
}

TEST_F(TexteSon, TableTexteSansAmincissement) {
    Son8(Stereo8, {128, 128, 0, 255, 200, 100}, 11025);
    EXPECT_EQ(LignesTableSon(*son, {0, 2}, true),
              (QStringList{"t\tsonGauche\tsonDroit", "s\t\t", "0\t0\t0", "9,070295E-5\t-128\t127",
                           "0,0001814059\t72\t-28"}));
    EXPECT_EQ(LignesTableSon(*son, {1, 2}, false),
              (QStringList{"t\tson", "s\t", "0\t-128", "9,070295E-5\t72"}));
    EXPECT_EQ(JoindreLignes({"a", "b"}), QStringLiteral("a\r\nb\r\n"));
}

} // namespace
