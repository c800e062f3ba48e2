// Sounds that are not 8- or 16-bit PCM WAV, decoded into the 16-bit block: 24/32-bit integer
// and 32/64-bit float WAV (WAVE_FORMAT_EXTENSIBLE too) built here byte by byte, and the
// compressed files of phones and audio editors made with the ffmpeg program from generated WAV.
#include "sound/CommandeWav.h"
#include "sound/ConversionSon.h"
#include "sound/SelectionSon.h"
#include "sound/TamponSon.h"
#include "sound/WavTest.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <ostream>
#include <sys/resource.h>

using namespace kinepo;
using namespace kinepo::test;

namespace {

QByteArray Entiers(const std::vector<std::int32_t>& v, int octets) {
    QByteArray b;
    for (const std::int32_t x : v)
        for (int k = 0; k < octets; ++k)
            b.append(char((std::uint32_t(x) >> (8 * k)) & 0xFF));
    return b;
}
QByteArray Flottants32(const std::vector<float>& v) {
    QByteArray b(qsizetype(v.size() * 4), '\0');
    std::memcpy(b.data(), v.data(), v.size() * 4);
    return b;
}
QByteArray Flottants64(const std::vector<double>& v) {
    QByteArray b(qsizetype(v.size() * 8), '\0');
    std::memcpy(b.data(), v.data(), v.size() * 8);
    return b;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfini = std::numeric_limits<float>::infinity();

struct CasConversion {
    const char* nom;
    WavBrut wav;
    FormatSon format;
    std::vector<int> attendus; // the 16-bit samples, frames after frames
};
void PrintTo(const CasConversion& c, std::ostream* os) {
    *os << c.nom;
}

WavBrut Wav(std::uint16_t tag, std::uint16_t bits, std::uint16_t voies, QByteArray donnees,
            std::uint16_t sousFormat = 1) {
    WavBrut w;
    w.tag = tag;
    w.sousFormat = sousFormat;
    w.bits = bits;
    w.voies = voies;
    w.frequence = 44100;
    w.donnees = std::move(donnees);
    return w;
}

std::vector<CasConversion> CasConversions() {
    std::vector<CasConversion> c;
    // Integers keep their top 16 bits (an arithmetic shift: negative values round down).
    c.push_back(
        {"entiers_24_bits_mono",
         Wav(1, 24, 1, Entiers({0x123456, -1, 0x7FFFFF, -0x800000, 0x0000FF, -0x100, 0x000100}, 3)),
         Mono16,
         {0x1234, -1, 32767, -32768, 0, -1, 1}});
    c.push_back({"entiers_32_bits_stereo",
                 Wav(1, 32, 2, Entiers({0x12345678, -0x12345678, 0x7FFFFFFF, -0x7FFFFFFF - 1}, 4)),
                 Stereo16,
                 {0x1234, -0x1235, 32767, -32768}});
    // Floats become round(v × 32767), ties to even, clamped; not a number gives 0.
    c.push_back({"flottants_32_bits_mono",
                 Wav(3, 32, 1,
                     Flottants32({0.5f, -0.5f, 1.0f, -1.0f, 0.25f, 1.5f, -2.0f, kNaN, kInfini,
                                  -kInfini, 0.0f})),
                 Mono16,
                 {16384, -16384, 32767, -32767, 8192, 32767, -32768, 0, 32767, -32768, 0}});
    c.push_back({"flottants_64_bits_stereo",
                 Wav(3, 64, 2, Flottants64({0.5, -1.0, 100.0, -100.0, 1e-9, 0.75})),
                 Stereo16,
                 {16384, -32767, 32767, -32768, 0, 24575}});
    c.push_back({"extensible_entiers_24_bits_stereo",
                 Wav(0xFFFE, 24, 2, Entiers({0x7FFFFF, -0x800000, 0x00ABCD, -0x00ABCD}, 3)),
                 Stereo16,
                 {32767, -32768, 0x00AB, -0x00AC}});
    c.push_back({"extensible_flottants_32_bits_mono",
                 Wav(0xFFFE, 32, 1, Flottants32({0.5f, -0.25f, 2.0f}), 3),
                 Mono16,
                 {16384, -8192, 32767}});
    // Three channels: the form keeps the first two as left and right.
    c.push_back({"trois_voies_24_bits_gardent_les_deux_premieres",
                 Wav(1, 24, 3, Entiers({0x000100, 0x000200, 0x000300, -0x000100, -0x000200, 0}, 3)),
                 Stereo16,
                 {1, 2, -1, -2}});
    {
        // A field recorder's file: a JUNK chunk before "fmt ", a comment with "data" in it.
        WavBrut w = Wav(1, 24, 1, Entiers({0x400000, -0x400000, 0x200000}, 3));
        w.avantFmt = Chunk("JUNK", QByteArray(28, '\0'));
        w.avantData = Chunk("LIST", QByteArray("INFOICMT\x0c\0\0\0metadata bwf", 24));
        c.push_back(
            {"entiers_24_bits_apres_JUNK_et_commentaire", w, Mono16, {16384, -16384, 8192}});
    }
    {
        // Written through a pipe: RIFF and data sizes left at 0xFFFFFFFF.
        WavBrut w = Wav(3, 32, 1, Flottants32({0.5f, -0.5f, 0.25f, -0.25f}));
        w.tailleRiff = 0xFFFFFFFFu;
        w.tailleData = 0xFFFFFFFFu;
        c.push_back(
            {"flottants_32_bits_tailles_inconnues", w, Mono16, {16384, -16384, 8192, -8192}});
    }
    return c;
}

class ConversionWav : public ::testing::TestWithParam<CasConversion> {};

TEST_P(ConversionWav, DonneLesEchantillons16Bits) {
    const CasConversion& cas = GetParam();
    QTemporaryDir dossier;
    const QString chemin = EcrireFichier(dossier.path(), "son.wav", FabriquerWavBrut(cas.wav));
    auto son = std::make_unique<TamponSon>();
    ASSERT_NO_THROW(son->Read(chemin));
    EXPECT_TRUE(son->Converti());
    EXPECT_EQ(son->Format(), cas.format);
    EXPECT_EQ(son->Bits(), 16);
    EXPECT_EQ(son->Frequence(), 44100u);
    EXPECT_FALSE(son->Tronque());
    ASSERT_EQ(son->NbEchantillons() * son->Voies(), std::int32_t(cas.attendus.size()));
    for (std::size_t k = 0; k < cas.attendus.size(); ++k)
        EXPECT_EQ(son->Valeur(std::int32_t(k) / son->Voies(), int(k) % son->Voies()),
                  cas.attendus[k])
            << "sample " << k;
}

INSTANTIATE_TEST_SUITE_P(Cas, ConversionWav, ::testing::ValuesIn(CasConversions()),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(ConversionWav, LesReglesDeConversion) {
    EXPECT_EQ(EntierVers16(0x12345600), 0x1234);
    EXPECT_EQ(EntierVers16(-1), -1);
    EXPECT_EQ(ReelVers16(16383.5 / 32767), 16384);
    EXPECT_EQ(ReelVers16(16382.5 / 32767), 16382); // ties to even
    EXPECT_EQ(ReelVers16(-32767.5 / 32767), -32768);
    EXPECT_EQ(ReelVers16(std::nan("")), 0);
}

// The same capacity and truncation rule as 16-bit files: 2^22 bytes of 16-bit samples, and the
// ratio of the whole sound's 16-bit size to them.
TEST(ConversionWav, UnSonTropLongEstTronqueCommeEn16Bits) {
    QTemporaryDir dossier;
    std::vector<std::int32_t> v(2500000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = std::int32_t((i * 2654435761u) & 0xFFFFFF) - 0x800000;
    const QString chemin =
        EcrireFichier(dossier.path(), "long.wav", FabriquerWavBrut(Wav(1, 24, 1, Entiers(v, 3))));
    auto son = std::make_unique<TamponSon>();
    son->Read(chemin);
    EXPECT_TRUE(son->Converti());
    EXPECT_EQ(son->NbEchantillons(), 2097152);
    EXPECT_DOUBLE_EQ(son->Troncature(), 2500000.0 * 2 / 4194304);
    EXPECT_EQ(son->Valeur(2097151), EntierVers16(v[2097151] * 256));
}

TEST(ConversionWav, LeTitreDitLaConversion) {
    EXPECT_EQ(
        TitreFormeSon(QStringLiteral("/a/b/Voix.m4a"), false, true),
        QStringLiteral("Lecture de fichier son pour Tabulane [Voix.m4a] (converti en 16 bits)"));
    EXPECT_EQ(TitreFormeSon(QStringLiteral("/a/b/Long.flac"), true, true),
              QStringLiteral("Lecture de fichier son pour Tabulane [Long.flac] (converti en 16 "
                             "bits) (trop long donc tronqué)"));
}

// ---- compressed sounds, made by the ffmpeg program -----------------------------------------

// Runs ffmpeg quietly; its standard error when it fails.
QString Ffmpeg(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
    if (!p.waitForFinished(60000)) return QStringLiteral("ffmpeg did not finish");
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString::fromLocal8Bit(p.readAllStandardError());
    return {};
}

// One second of a 440 Hz sine at 44100 Hz, 16 bits, mono or stereo (the right channel at
// half the amplitude).
QByteArray Sinus16(int voies) {
    OptionsWav o;
    o.bits = 16;
    o.voies = voies;
    o.frequence = 44100;
    o.trames = 44100;
    o.echantillon = [](std::int64_t i, int v) {
        return int(
            std::lround((v ? 8000 : 16000) * std::sin(2 * M_PI * 440.0 * double(i) / 44100)));
    };
    return FabriquerWav(o);
}

// Zero crossings per second of channel v over the middle half of the sound.
double Passages(const TamponSon& son, int v) {
    const std::int32_t n = son.NbEchantillons(), debut = n / 4, fin = 3 * n / 4;
    int passages = 0;
    for (std::int32_t i = debut + 1; i < fin; ++i)
        if ((son.Valeur(i - 1, v) < 0) != (son.Valeur(i, v) < 0)) ++passages;
    return passages * double(son.Frequence()) / (fin - debut);
}
int Crete(const TamponSon& son, int v) {
    int m = 0;
    for (std::int32_t i = son.NbEchantillons() / 4; i < 3 * son.NbEchantillons() / 4; ++i)
        m = std::max(m, std::abs(son.Valeur(i, v)));
    return m;
}

struct CasCompresse {
    const char* nom;
    const char* extension;
    QStringList codec;
    int voies;
    std::uint32_t frequence; // what the decoder gives
};
void PrintTo(const CasCompresse& c, std::ostream* os) {
    *os << c.nom;
}

class SonCompresse : public ::testing::TestWithParam<CasCompresse> {};

TEST_P(SonCompresse, SeLitEn16BitsAvecSaFrequenceEtSesVoies) {
    const CasCompresse& cas = GetParam();
    QTemporaryDir dossier;
    const QString source = EcrireFichier(dossier.path(), "source.wav", Sinus16(cas.voies));
    const QString chemin = dossier.filePath(QStringLiteral("son.") + cas.extension);
    ASSERT_EQ(Ffmpeg(QStringList{"-i", source} + cas.codec + QStringList{chemin}), QString());
    auto son = std::make_unique<TamponSon>();
    ASSERT_NO_THROW(son->Read(chemin));
    EXPECT_TRUE(son->Converti());
    EXPECT_EQ(son->Format(), cas.voies == 2 ? Stereo16 : Mono16);
    EXPECT_EQ(son->Frequence(), cas.frequence);
    EXPECT_FALSE(son->Tronque());
    // About one second (encoders add a few milliseconds of priming or padding).
    EXPECT_NEAR(double(son->NbEchantillons()) / son->Frequence(), 1.0, 0.08);
    for (int v = 0; v < cas.voies; ++v) {
        EXPECT_NEAR(Passages(*son, v), 880.0, 20.0) << "channel " << v;
        EXPECT_NEAR(Crete(*son, v), v ? 8000 : 16000, 1600) << "channel " << v;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cas, SonCompresse,
    ::testing::Values(CasCompresse{"m4a_aac", "m4a", {"-c:a", "aac", "-b:a", "128k"}, 2, 44100},
                      CasCompresse{"wav_loi_A", "wav", {"-c:a", "pcm_alaw"}, 1, 44100},
                      CasCompresse{"wav_loi_mu", "wav", {"-c:a", "pcm_mulaw"}, 2, 44100},
                      CasCompresse{"wav_adpcm_ima", "wav", {"-c:a", "adpcm_ima_wav"}, 1, 44100},
                      CasCompresse{"mp3", "mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}, 1, 44100},
                      CasCompresse{"ogg_vorbis", "ogg", {"-c:a", "libvorbis"}, 2, 44100},
                      CasCompresse{"ogg_opus", "opus", {"-c:a", "libopus"}, 1, 48000},
                      CasCompresse{"flac", "flac", {"-c:a", "flac"}, 2, 44100}),
    [](const auto& info) { return std::string(info.param.nom); });

// A compressed sound longer than the block holds is cut as a 16-bit file is: 30 s of stereo at
// 44100 Hz is 5 292 000 bytes in 16 bits.
TEST(SonCompresse, UnSonCompresseTropLongEstTronque) {
    QTemporaryDir dossier;
    const QString mp3 = dossier.filePath("long.mp3");
    ASSERT_EQ(Ffmpeg({"-f", "lavfi", "-i", "sine=f=440:d=30:r=44100", "-ac", "2", "-c:a",
                      "libmp3lame", mp3}),
              QString());
    auto son = std::make_unique<TamponSon>();
    son->Read(mp3);
    EXPECT_EQ(son->Format(), Stereo16);
    EXPECT_EQ(son->NbEchantillons(), 1048576);
    EXPECT_NEAR(son->Troncature(), 5292000.0 / 4194304, 0.01);
}

// FLAC is lossless: its table is the table of the 16-bit WAV it was made from, and a 24-bit
// FLAC gives the top 16 bits of its samples, as the 24-bit WAV does.
TEST(SonCompresse, FlacDonneLaMemeTableQueLeWav) {
    QTemporaryDir dossier;
    const QString wav = EcrireFichier(dossier.path(), "classe.wav", Sinus16(2));
    const QString flac = dossier.filePath("classe.flac");
    ASSERT_EQ(Ffmpeg({"-i", wav, flac}), QString());
    QString tableWav, tableFlac, erreur;
    ASSERT_EQ(cli::ExecuterWav({wav, "--stereo", "--txt"}, tableWav, erreur), 0)
        << qPrintable(erreur);
    ASSERT_EQ(cli::ExecuterWav({flac, "--stereo", "--txt"}, tableFlac, erreur), 0)
        << qPrintable(erreur);
    EXPECT_EQ(tableFlac, tableWav);

    std::vector<std::int32_t> v(4000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = std::int32_t(std::lround(0x600000 * std::sin(double(i) * 0.01))) + int(i % 7);
    const QString wav24 = EcrireFichier(dossier.path(), "terrain.wav",
                                        FabriquerWavBrut(Wav(1, 24, 1, Entiers(v, 3))));
    const QString flac24 = dossier.filePath("terrain.flac");
    ASSERT_EQ(Ffmpeg({"-i", wav24, "-c:a", "flac", "-sample_fmt", "s32", flac24}), QString());
    auto a = std::make_unique<TamponSon>();
    auto b = std::make_unique<TamponSon>();
    a->Read(wav24);
    b->Read(flac24);
    ASSERT_EQ(a->NbEchantillons(), 4000);
    ASSERT_EQ(b->NbEchantillons(), 4000);
    for (std::int32_t i = 0; i < 4000; ++i)
        ASSERT_EQ(b->Valeur(i), a->Valeur(i)) << "frame " << i;
    EXPECT_EQ(a->Valeur(100), EntierVers16(v[100] * 256));
}

// What ffmpeg writes for a sound with a comment holding the word "data", to a file and through
// a pipe (sizes left at 0xFFFFFFFF): the very samples of the source, none cut.
TEST(SonCompresse, WavDeFfmpegAvecCommentaire) {
    QTemporaryDir dossier;
    const QString source = EcrireFichier(dossier.path(), "source.wav", Sinus16(2));
    const QString fichier = dossier.filePath("commente.wav");
    const QStringList entree{"-i",   source,     "-metadata", "comment=TP: metadata du son",
                             "-c:a", "pcm_s16le"};
    ASSERT_EQ(Ffmpeg(entree + QStringList{fichier}), QString());
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            QStringList{"-hide_banner", "-loglevel", "error", "-nostdin"} + entree +
                QStringList{"-f", "wav", "pipe:1"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString tuyau = EcrireFichier(dossier.path(), "tuyau.wav", p.readAllStandardOutput());
    ASSERT_EQ(QFileInfo(tuyau).size(), QFileInfo(fichier).size());

    auto attendu = std::make_unique<TamponSon>();
    attendu->Read(source);
    auto son = std::make_unique<TamponSon>();
    for (const QString& chemin : {fichier, tuyau}) {
        SCOPED_TRACE(chemin.toStdString());
        ASSERT_NO_THROW(son->Read(chemin));
        EXPECT_FALSE(son->Converti());
        EXPECT_FALSE(son->Tronque());
        ASSERT_EQ(son->NbEchantillons(), 44100);
        EXPECT_EQ(std::memcmp(son->Octets(), attendu->Octets(), 2 + 4 * 44100), 0);
    }
}

// The bogus rows: an empty file, a text, and a cut file, under every extension the form
// offers, give a clean error.
TEST(SonCompresse, FichiersVidesOuAbsurdesRefuses) {
    QTemporaryDir dossier;
    const QString source = EcrireFichier(dossier.path(), "source.wav", Sinus16(1));
    const QString m4a = dossier.filePath("vrai.m4a");
    ASSERT_EQ(Ffmpeg({"-i", source, "-c:a", "aac", m4a}), QString());
    QFile vrai(m4a);
    ASSERT_TRUE(vrai.open(QIODevice::ReadOnly));
    const QByteArray debutM4a = vrai.read(600);
    const QByteArray texte = QByteArray("Ceci n'est pas un son, juste du texte. ").repeated(30);
    auto son = std::make_unique<TamponSon>();
    for (const char* extension : {"m4a", "aac", "mp3", "ogg", "opus", "flac", "wav"})
        for (const QByteArray& contenu : {QByteArray(), texte, debutM4a}) {
            const QString chemin =
                EcrireFichier(dossier.path(), QStringLiteral("mauvais.") + extension, contenu);
            try {
                son->Read(chemin);
                ADD_FAILURE() << extension << ": a sound of " << son->NbEchantillons()
                              << " frames was read from " << contenu.size() << " bytes";
            } catch (const EWavError&) {
            }
        }
}

// A 141-byte WAV (found by fuzzing) whose LIST chunk announces 4 GB: FFmpeg's demuxer used to
// clear an 800 MB buffer for it before finding nothing there, seconds of work for a file of a
// few bytes. It is refused with the form's message, without that memory.
TEST(SonCompresse, UnEnTeteDemesureNeCoutePasDeMemoire) {
    QTemporaryDir dossier;
    const QByteArray contenu = QByteArray::fromBase64(
        "UklGRg4FAABXQVZFZm10ICgAAAD+/wH/////AMBdAAADABgAFgAYAAQAAAABAAAAAAAQAIAAAKoAOJtxTElTVNz/"
        "//9JTkZPSVNGVA4AAABMYXZmNQoKCgoKCgoKCgoKCgoKCjkuMjcuMTAwAGRhdGGwBAAAAAAAAGsFADIKAEFMTMEN"
        "ALYPAM0PAJT6");
    ASSERT_EQ(contenu.size(), 141);
    const QString chemin = EcrireFichier(dossier.path(), "demesure.wav", contenu);
    rusage avant{};
    getrusage(RUSAGE_SELF, &avant);
    auto son = std::make_unique<TamponSon>();
    EXPECT_THROW(son->Read(chemin), EWavError);
    rusage apres{};
    getrusage(RUSAGE_SELF, &apres);
    // ru_maxrss is the peak in kB: the process may already have been larger, never smaller.
    EXPECT_LT(apres.ru_maxrss - avant.ru_maxrss, 200 * 1024);
}

} // namespace
