// The selection after a read, its thinning to at most 32 768 rows, and the label texts.
#include "common/Nombres.h"
#include "sound/SelectionSon.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace kinepo;

namespace {

struct CasSous {
    std::uint32_t f;
    std::int32_t longueur; // end - start
    int pas;
    std::uint32_t fe;
    bool valide;
    const char* label;
};
void PrintTo(const CasSous& c, std::ostream* os) {
    *os << c.f << " Hz, " << c.longueur << " samples";
}


class SousEchantillonnageSon : public ::testing::TestWithParam<CasSous> {};

TEST_P(SousEchantillonnageSon, PasFrequenceEtLabel) {
    const CasSous& c = GetParam();
    // The rule depends on the length only, not on where the selection starts.
    for (std::int32_t debut : {0, 12345}) {
        const auto r = CalculerSousEchantillonnage(c.f, {debut, debut + c.longueur});
        EXPECT_EQ(r.pas, c.pas);
        EXPECT_EQ(r.valide, c.valide);
        if (c.valide) {
            EXPECT_EQ(r.frequence, c.fe);
        }
        EXPECT_EQ(TexteFreqTransfert(r), QString::fromUtf8(c.label));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SousEchantillonnageSon,
    ::testing::Values(
        // 44100 Hz: 65536 samples -> every other one at 22050 Hz.
        CasSous{44100, 65535, 2, 22050, true, "Fech=22050 Hz"},
        // three times 32768: 14700 Hz is not standard -> one in four at 11025 Hz.
        CasSous{44100, 3 * 32768 - 1, 4, 11025, true, "Fech=11025 Hz"},
        // 163840 samples: 8820 Hz, below 11025 and not standard.
        CasSous{44100, 163839, 5, 8820, false, "Fech=? (Schannon !)"},
        CasSous{44100, 32767, 1, 44100, true, "Fech=44100 Hz"},
        CasSous{44100, 32768, 2, 22050, true, "Fech=22050 Hz"},
        CasSous{22050, 65535, 2, 11025, true, "Fech=11025 Hz"},
        CasSous{11025, 32768, 2, 5512, false, "Fech=? (Schannon !)"},
        // 48000 Hz, 163840 samples: 9600 Hz -> one in six at 8000 Hz.
        CasSous{48000, 163839, 6, 8000, true, "Fech=8000 Hz"},
        CasSous{48000, 65535, 2, 24000, true, "Fech=24000 Hz"},
        CasSous{16000, 100, 1, 16000, true, "Fech=16000 Hz"},
        CasSous{8000, 65535, 2, 4000, false, "Fech=? (Schannon !)"},
        // A rate of neither list is trusted only when nothing is thinned out.
        CasSous{12345, 1000, 1, 12345, true, "Fech=12345 Hz"},
        CasSous{12345, 40000, 2, 6172, false, "Fech=? (Schannon !)"}),
    [](const auto& info) {
        return std::to_string(info.param.f) + "Hz_" + std::to_string(info.param.longueur + 1) +
               "_echantillons";
    });

TEST(SelectionSon, ParDefaut) {
    struct {
        std::int32_t n, debut, fin;
    } cas[] = {
        {1, 0, 0},         {100, 0, 99},           {32767, 0, 32766},        {32768, 0, 32767},
        {32769, 0, 32767}, {100000, 33616, 66383}, {1048576, 507904, 540671}};
    for (const auto& c : cas) {
        const Selection s = SelectionParDefaut(c.n);
        EXPECT_EQ(s.debut, c.debut) << c.n;
        EXPECT_EQ(s.fin, c.fin) << c.n;
        EXPECT_LE(s.fin - s.debut, 32767);
    }
}

TEST(SelectionSon, DepuisLesBordsArrondieEtBornee) {
    // 100 000 samples over 1000 pixels: 0.01 pixel per sample.
    const double a = 1000.0 / 100000;
    auto s = SelectionDepuisBords(10, 20, a, 0, 100000);
    EXPECT_EQ(s.debut, 1000);
    EXPECT_EQ(s.fin, 2000);
    s = SelectionDepuisBords(-3, 1005, a, 0, 100000);
    EXPECT_EQ(s.debut, 0);
    EXPECT_EQ(s.fin, 99999);
}

TEST(SelectionSon, Labels) {
    FixerSeparateurDecimal(QLatin1Char('.'));
    EXPECT_EQ(TexteDuree(11025, 11025), QStringLiteral("Durée= : 1.00 s"));
    EXPECT_EQ(TexteDuree(1048576, 44100), QStringLiteral("Durée= : 23.78 s"));
    EXPECT_EQ(TexteDuree(10, 0), QStringLiteral("Durée= : 0.00 s"));
    EXPECT_EQ(TexteFreqFichier(44100, 16), QStringLiteral("Fech=44100 Hz ; 16 bits"));
    EXPECT_EQ(TexteNoteSousEchantillonnage(32768, 44100), QString());
    EXPECT_EQ(TexteNoteSousEchantillonnage(32769, 44100),
              QStringLiteral("Sous échantillonnage si la durée excéde 0.74 s"));
    EXPECT_EQ(Fixe(1234.567, 2), QStringLiteral("1234.60"));
    FixerSeparateurDecimal(QLatin1Char(','));
    EXPECT_EQ(TexteDuree(11025, 22050), QStringLiteral("Durée= : 0,50 s"));
    FixerSeparateurDecimal(QLatin1Char('.'));
    EXPECT_EQ(TitreFormeSon(QStringLiteral("/tmp/x/Cloche.wav"), true),
              QStringLiteral(
                  "Lecture de fichier son pour Tabulane [Cloche.wav] (trop long donc tronqué)"));
    EXPECT_EQ(TitreFormeSon(QString(), false),
              QStringLiteral("Lecture de fichier son pour Tabulane"));
}

} // namespace
