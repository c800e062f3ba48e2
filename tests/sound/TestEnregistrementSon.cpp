// The recording logic: mode list, level meter and its history, the stop wait.
#include "sound/EnregistrementSon.h"

#include <gtest/gtest.h>
#include <vector>

using namespace kinepo;

namespace {

TEST(ModesEnregistrement, ListeDepuisLeMasque) {
    auto modes = ListeModes(0xFFFFFFFF);
    ASSERT_EQ(modes.size(), 6u);
    EXPECT_EQ(modes[0].texte, QStringLiteral("11025 Hz 8 bits"));
    EXPECT_EQ(modes[3].texte, QStringLiteral("22050 Hz 16 bits"));
    EXPECT_EQ(modes[5].texte, QStringLiteral("44100 Hz 16 bits"));
    EXPECT_EQ(ListeModes(0).size(), 0u);
    EXPECT_EQ(ListeModes(Cap11025_8 | Cap44100_16).size(), 2u);
}

TEST(ModesEnregistrement, ChoixParValeurPuisParPosition) {
    // Only 22050 Hz 16 bits: with the form at 11025 Hz and "Mode" 0 it is selected by position.
    const auto seul = ListeModes(Cap22050_16);
    ASSERT_EQ(seul.size(), 1u);
    EXPECT_EQ(ModeChoisi(seul, 11025, 8, 0), 0);
    EXPECT_EQ(ModeChoisi(seul, 11025, 8, 3), -1);
    const auto tous = ListeModes(0x555);
    EXPECT_EQ(ModeChoisi(tous, 44100, 8, 0), 4);
    EXPECT_EQ(ModeChoisi(tous, 48000, 16, 2), 2);
    EXPECT_EQ(ModeChoisi({}, 11025, 8, 0), -1);
}

std::vector<std::uint8_t> Pcm16(std::initializer_list<int> valeurs) {
    std::vector<std::uint8_t> b;
    for (int v : valeurs) {
        const auto u = std::uint16_t(std::int16_t(v));
        b.push_back(std::uint8_t(u & 0xFF));
        b.push_back(std::uint8_t(u >> 8));
    }
    return b;
}

TEST(NiveauEntree, Buffers) {
    std::vector<std::uint8_t> silence8(4096, 128), silence16(4096, 0);
    EXPECT_EQ(NiveauBuffer(silence8.data(), 4096, true), 0);
    EXPECT_EQ(NiveauBuffer(silence16.data(), 4096, false), 0);
    auto plein = Pcm16({0, 32767, -32767, 100});
    EXPECT_EQ(NiveauBuffer(plein.data(), int(plein.size()), false), 127);
    auto min = Pcm16({0, 32767, -32768});
    EXPECT_EQ(NiveauBuffer(min.data(), int(min.size()), false), 128);
    std::vector<std::uint8_t> bas{128, 0, 64, 127};
    EXPECT_EQ(NiveauBuffer(bas.data(), 4, true), 0); // only swings below silence
    std::vector<std::uint8_t> pleine8{0, 255, 128};
    EXPECT_EQ(NiveauBuffer(pleine8.data(), 3, true), 127);
    auto petit = Pcm16({-600, 300});
    EXPECT_EQ(NiveauBuffer(petit.data(), int(petit.size()), false), 2);
}

TEST(NiveauEntree, LongueurDeLHistorique) {
    EXPECT_EQ(HistoriqueNiveau::Longueur(11025, 8), 4);
    EXPECT_EQ(HistoriqueNiveau::Longueur(11025, 16), 8);
    EXPECT_EQ(HistoriqueNiveau::Longueur(22050, 8), 8);
    EXPECT_EQ(HistoriqueNiveau::Longueur(44100, 16), 32);
    EXPECT_EQ(HistoriqueNiveau::Longueur(48000, 16), 32);
}

TEST(NiveauEntree, LaBarreGardeLeMaximumDesLPlusUnDerniers) {
    HistoriqueNiveau h;
    h.Initialiser(4);
    h.Ajouter(100);
    for (int k = 0; k < 4; ++k) {
        h.Ajouter(3);
        EXPECT_EQ(h.Maximum(), 100) << k;
    }
    h.Ajouter(5);
    EXPECT_EQ(h.Maximum(), 5);
}

TEST(AttenteArret, DureeEtLimite) {
    EXPECT_DOUBLE_EQ(DureeEcoulee(5000), 5.0);
    EXPECT_DOUBLE_EQ(DureeEcoulee(3600000 + 61250), 61.25); // whole hours are not counted
    // 5 s: (5000 - 5) / 110 = 45.4 -> 45, + 1.
    EXPECT_EQ(LimiteAttente(5.0), 46);
    EXPECT_EQ(LimiteAttente(0.0), 1);
    EXPECT_EQ(LimiteAttente(1.1), 11);
}

} // namespace
