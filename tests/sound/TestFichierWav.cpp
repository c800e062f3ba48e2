// The WAV writer (canonical 44-byte header) read back by the reader, on the sample sounds.
#include "platform/audio/FichierWav.h"
#include "samples/SonsExemples.h"
#include "sound/TamponSon.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;

namespace {

TEST(FichierWav, EnteteCanonique) {
    const QByteArray h = EnteteWav({44100, 16, 2}, 1000);
    ASSERT_EQ(h.size(), 44);
    EXPECT_EQ(h.left(4), QByteArray("RIFF"));
    EXPECT_EQ(h.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(h.mid(36, 4), QByteArray("data"));
    auto u32 = [&](int o) {
        return std::uint32_t(std::uint8_t(h[o])) | std::uint32_t(std::uint8_t(h[o + 1])) << 8 |
               std::uint32_t(std::uint8_t(h[o + 2])) << 16 |
               std::uint32_t(std::uint8_t(h[o + 3])) << 24;
    };
    EXPECT_EQ(u32(4), 1036u);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 176400u);     // bytes per second
    EXPECT_EQ(u32(32) & 0xFFFF, 4u); // block alignment
    EXPECT_EQ(u32(32) >> 16, 16u);   // bits
    EXPECT_EQ(u32(40), 1000u);
}

TEST(FichierWav, SonsExemplesRelusALIdentique) {
    QTemporaryDir dossier;
    auto son = std::make_unique<TamponSon>();

    const auto diapason = exemples::DiapasonBattements();
    const QString d = dossier.filePath("diapason.wav");
    ASSERT_TRUE(
        EcrireWav(d, diapason.format, diapason.pcm.data(), std::int64_t(diapason.pcm.size())));
    son->Read(d);
    EXPECT_EQ(son->Format(), Mono16);
    EXPECT_EQ(son->Frequence(), 22050u);
    EXPECT_EQ(son->NbEchantillons(), 3 * 22050);
    // The beat: loud at 0 s, silent at 0.125 s (the two forks in opposition).
    auto crete = [&](double t) {
        int m = 0;
        const int debut = int(t * 22050);
        for (int i = debut; i < debut + 50; ++i)
            m = std::max(m, std::abs(son->Valeur(i)));
        return m;
    };
    EXPECT_GT(crete(0.25), 20000);
    EXPECT_LT(crete(0.125 - 25.0 / 22050), 1500);

    const auto clap = exemples::ClapDeuxMicros();
    const QString c = dossier.filePath("clap.wav");
    ASSERT_TRUE(EcrireWav(c, clap.format, clap.pcm.data(), std::int64_t(clap.pcm.size())));
    son->Read(c);
    ASSERT_EQ(son->Format(), Stereo16);
    auto premier = [&](int voie) {
        for (int i = 0; i < son->NbEchantillons(); ++i)
            if (son->Valeur(i, voie) != 0) return i;
        return -1;
    };
    EXPECT_EQ(premier(0), 8821);
    EXPECT_EQ(premier(1) - premier(0), 129);
}

TEST(FichierWav, DossierInexistantRefuse) {
    const std::uint8_t pcm[2] = {128, 128};
    EXPECT_FALSE(EcrireWav(QStringLiteral("/nonexistent-folder/x.wav"), {}, pcm, 2));
}

} // namespace
