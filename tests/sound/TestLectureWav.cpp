// The WAV reader against generated files: the canonical layout, extra chunks, rejected formats,
// truncation, short and bogus files.
#include "sound/TamponSon.h"
#include "sound/WavTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace kinepo;
using namespace kinepo::test;

namespace {

struct CasLecture {
    const char* nom;
    std::function<QByteArray()> fichier;
    // Expected result: an error message, or the format, the frame count and the ratio.
    std::optional<QString> erreur;
    int format = 0;
    std::int32_t trames = 0;
    double troncature = 1.0;
    std::uint32_t frequence = 0;
    // When given, the value of frame i on channel v, checked on the first, middle and last frames.
    std::function<int(std::int64_t, int)> attendu = {};
};
// Cases print as their name in test listings.
void PrintTo(const CasLecture& c, std::ostream* os) {
    *os << c.nom;
}

QByteArray Tronquer(QByteArray b, int n) {
    return b.left(n);
}

// 16-bit samples that differ from frame to frame and from channel to channel.
int Valeur16(std::int64_t i, int v) {
    return int((i * 37 + v * 1000) % 30000) - 15000;
}
QByteArray Pcm16(std::int64_t trames, int voies) {
    QByteArray b;
    for (std::int64_t i = 0; i < trames; ++i)
        for (int v = 0; v < voies; ++v)
            Ajouter16(b, std::uint16_t(std::int16_t(Valeur16(i, v))));
    return b;
}
OptionsWav Options16(std::int64_t trames, int voies = 1) {
    OptionsWav o;
    o.bits = 16;
    o.voies = voies;
    o.trames = trames;
    o.echantillon = Valeur16;
    return o;
}

// The comment chunk ffmpeg writes for -metadata comment="TP: metadata du son": the word "data"
// inside it comes before the data chunk.
QByteArray ListeCommentaire() {
    return Chunk("LIST", QByteArray("INFO") + Chunk("ICMT", QByteArray("TP: metadata du son", 20)) +
                             Chunk("ISFT", QByteArray("Lavf59.27.100", 14)));
}

// Eight bytes that look like a chunk header claiming 2 GiB: walking the chunks leaves the file
// there, so only the byte-by-byte search can find what follows.
QByteArray ChunkPerdu() {
    return QByteArray("LIST\xf0\xff\xff\x7f", 8);
}

std::vector<CasLecture> Cas() {
    std::vector<CasLecture> c;
    c.push_back(
        {"canonique_8bits_mono_11025", [] { return FabriquerWav({}); }, {}, 0, 11025, 1.0, 11025});
    c.push_back({"chunk_LIST_avant_data",
                 [] {
                     OptionsWav o;
                     o.trames = 100;
                     QByteArray list("LIST");
                     Ajouter32(list, 10);
                     list.append("INFOabcdef");
                     o.chunkAvantData = list;
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 100,
                 1.0,
                 11025});
    c.push_back({"mono_16bits_44100",
                 [] {
                     OptionsWav o;
                     o.bits = 16;
                     o.frequence = 44100;
                     o.trames = 500;
                     return FabriquerWav(o);
                 },
                 {},
                 1,
                 500,
                 1.0,
                 44100});
    c.push_back({"stereo_8bits",
                 [] {
                     OptionsWav o;
                     o.voies = 2;
                     o.trames = 300;
                     return FabriquerWav(o);
                 },
                 {},
                 3,
                 300,
                 1.0,
                 11025});
    c.push_back({"stereo_16bits_trop_long",
                 [] {
                     OptionsWav o;
                     o.voies = 2;
                     o.bits = 16;
                     o.frequence = 44100;
                     o.trames = 2500000; // 10 000 000 bytes of data
                     return FabriquerWav(o);
                 },
                 {},
                 2,
                 1048576,
                 10000000.0 / 4194304.0,
                 44100});
    c.push_back({"trois_voies_lues_en_mono",
                 [] {
                     OptionsWav o;
                     o.voies = 3;
                     o.trames = 100;
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 300,
                 1.0,
                 11025});
    c.push_back({"zero_voie_lue_en_mono",
                 [] {
                     OptionsWav o;
                     o.trames = 100;
                     QByteArray b = FabriquerWav(o);
                     b[22] = 0;
                     return b;
                 },
                 {},
                 0,
                 100,
                 1.0,
                 11025});
    c.push_back({"taille_data_plus_grande_que_le_fichier",
                 [] {
                     OptionsWav o;
                     o.trames = 1000;
                     o.tailleData = 50000;
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 1000,
                 1.0,
                 11025});
    // A size of 0xFFFFFFFF, as a pipe leaves it, means up to the end of the file.
    c.push_back({"taille_data_inconnue_tout_lu",
                 [] {
                     OptionsWav o = Options16(1001);
                     o.tailleData = 0xFFFFFFFFu;
                     return FabriquerWav(o);
                 },
                 {},
                 1,
                 1001,
                 1.0,
                 11025,
                 Valeur16});
    c.push_back({"taille_data_inconnue_plus_longue_que_2_22",
                 [] {
                     OptionsWav o = Options16(2500000, 2); // 10 000 000 bytes present
                     o.tailleData = 0xFFFFFFFFu;
                     return FabriquerWav(o);
                 },
                 {},
                 2,
                 1048576,
                 10000000.0 / 4194304.0,
                 11025,
                 Valeur16});
    c.push_back({"codec_inconnu_refuse",
                 [] {
                     WavBrut w;
                     w.tag = 0x7777;
                     w.bits = 4;
                     w.donnees = QByteArray(100, '\x5a');
                     return FabriquerWavBrut(w);
                 },
                 QStringLiteral("Format du fichier WAV non reconnu")});
    // The chunks are walked: what sits before "fmt " or "data", odd sizes and their pad byte,
    // and the word "data" inside another chunk.
    c.push_back({"data_dans_un_commentaire_LIST",
                 [] {
                     OptionsWav o = Options16(1000);
                     o.chunkAvantData = ListeCommentaire();
                     return FabriquerWav(o);
                 },
                 {},
                 1,
                 1000,
                 1.0,
                 11025,
                 Valeur16});
    c.push_back({"flux_ffmpeg_tailles_inconnues_avec_commentaire",
                 [] {
                     OptionsWav o = Options16(800, 2);
                     o.chunkAvantData = ListeCommentaire();
                     o.tailleRiff = 0xFFFFFFFFu;
                     o.tailleData = 0xFFFFFFFFu;
                     return FabriquerWav(o);
                 },
                 {},
                 2,
                 800,
                 1.0,
                 11025,
                 Valeur16});
    c.push_back({"JUNK_avant_fmt",
                 [] {
                     WavBrut w;
                     w.bits = 16;
                     w.frequence = 22050;
                     w.avantFmt = Chunk("JUNK", QByteArray(28, '\0'));
                     w.donnees = Pcm16(500, 1);
                     return FabriquerWavBrut(w);
                 },
                 {},
                 1,
                 500,
                 1.0,
                 22050,
                 Valeur16});
    c.push_back({"bext_impair_avant_fmt",
                 [] {
                     WavBrut w;
                     w.bits = 16;
                     w.voies = 2;
                     w.frequence = 48000;
                     QByteArray bext("Enregistreur de terrain, data: 48 kHz");
                     bext.append(QByteArray(601 - bext.size(), '\0'));
                     w.avantFmt = Chunk("bext", bext);
                     w.donnees = Pcm16(300, 2);
                     return FabriquerWavBrut(w);
                 },
                 {},
                 2,
                 300,
                 1.0,
                 48000,
                 Valeur16});
    c.push_back({"chunk_impair_contenant_data",
                 [] {
                     OptionsWav o = Options16(200);
                     o.chunkAvantData = Chunk("note", QByteArray("x data!"));
                     return FabriquerWav(o);
                 },
                 {},
                 1,
                 200,
                 1.0,
                 11025,
                 Valeur16});
    c.push_back({"extensible_16_bits_lu_tel_quel",
                 [] {
                     WavBrut w;
                     w.tag = 0xFFFE;
                     w.bits = 16;
                     w.voies = 2;
                     w.frequence = 44100;
                     w.donnees = Pcm16(400, 2);
                     return FabriquerWavBrut(w);
                 },
                 {},
                 2,
                 400,
                 1.0,
                 44100,
                 Valeur16});
    c.push_back({"fichier_vide", [] { return QByteArray(); },
                 QStringLiteral("Format du fichier WAV non reconnu")});
    c.push_back({"fichier_absurde",
                 [] { return QByteArray("Ceci n'est pas un son, juste du texte. ").repeated(30); },
                 QStringLiteral("Format du fichier WAV non reconnu")});
    c.push_back({"plus_court_que_son_entete", [] { return Tronquer(FabriquerWav({}), 30); },
                 QStringLiteral("Format du fichier WAV non reconnu")});
    c.push_back({"entete_sans_etiquette_data", [] { return Tronquer(FabriquerWav({}), 38); },
                 QStringLiteral("Format incorrect")});
    // Walking the chunks does not trust the RIFF size ...
    c.push_back({"taille_riff_trop_petite_lue_par_les_chunks",
                 [] {
                     OptionsWav o;
                     o.trames = 100;
                     o.chunkAvantData = Chunk("LIST", QByteArray(400, 'z'));
                     o.tailleRiff = 200; // ends inside the LIST chunk
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 100,
                 1.0,
                 11025});
    c.push_back({"taille_riff_nulle_lue_par_les_chunks",
                 [] {
                     OptionsWav o;
                     o.trames = 64;
                     o.tailleRiff = 0;
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 64,
                 1.0,
                 11025});
    // ... but the byte-by-byte search, where the walk finds nothing, stops at it.
    c.push_back({"pas_de_data_dans_la_taille_riff",
                 [] {
                     OptionsWav o;
                     o.trames = 100;
                     o.chunkAvantData = ChunkPerdu() + QByteArray(400, 'z');
                     o.tailleRiff = 200; // ends inside the filler
                     return FabriquerWav(o);
                 },
                 QStringLiteral("Format incorrect")});
    c.push_back({"taille_riff_nulle_refusee_par_la_recherche",
                 [] {
                     OptionsWav o;
                     o.trames = 64;
                     o.chunkAvantData = ChunkPerdu();
                     o.tailleRiff = 0;
                     return FabriquerWav(o);
                 },
                 QStringLiteral("Format incorrect")});
    c.push_back({"recherche_trouve_data_apres_un_chunk_perdu",
                 [] {
                     OptionsWav o;
                     o.trames = 64;
                     o.chunkAvantData = ChunkPerdu() + QByteArray(30, 'z');
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 64,
                 1.0,
                 11025});
    c.push_back({"taille_riff_4_Go_forme_canonique",
                 [] {
                     OptionsWav o;
                     o.trames = 64;
                     o.tailleRiff = 0xFFFFFFFFu;
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 64,
                 1.0,
                 11025});
    c.push_back({"data_trouve_au_dernier_deplacement_permis",
                 [] {
                     OptionsWav o;
                     o.trames = 8;
                     o.chunkAvantData = ChunkPerdu();
                     o.tailleRiff = 7; // "data" comes after 8 moves of the window
                     return FabriquerWav(o);
                 },
                 QStringLiteral("Format incorrect")});
    c.push_back({"data_trouve_avant_la_taille_riff",
                 [] {
                     OptionsWav o;
                     o.trames = 8;
                     o.chunkAvantData = ChunkPerdu();
                     o.tailleRiff = 9;
                     return FabriquerWav(o);
                 },
                 {},
                 0,
                 8,
                 1.0,
                 11025});
    c.push_back({"taille_riff_4_Go_sans_data",
                 [] {
                     QByteArray b = FabriquerWav({});
                     b.replace(36, 4, "dada");
                     b.replace(4, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));
                     return b;
                 },
                 QStringLiteral("Format incorrect")});
    c.push_back({"taille_data_nulle",
                 [] {
                     OptionsWav o;
                     o.trames = 0;
                     return FabriquerWav(o);
                 },
                 QString()});
    c.push_back({"une_demi_trame_16_bits",
                 [] {
                     OptionsWav o;
                     o.bits = 16;
                     o.trames = 0;
                     o.tailleData = 1;
                     QByteArray b = FabriquerWav(o);
                     b.append('\x01');
                     return b;
                 },
                 QString()});
    return c;
}

class LectureWav : public ::testing::TestWithParam<CasLecture> {};

TEST_P(LectureWav, DonneLeResultatAttendu) {
    const CasLecture& cas = GetParam();
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString chemin = EcrireFichier(dossier.path(), QStringLiteral("son.wav"), cas.fichier());
    auto son = std::make_unique<TamponSon>();
    if (cas.erreur) {
        try {
            son->Read(chemin);
            FAIL() << "no error raised";
        } catch (const EWavError& e) {
            EXPECT_EQ(e.message(), *cas.erreur);
        }
        return;
    }
    ASSERT_NO_THROW(son->Read(chemin));
    EXPECT_EQ(son->Format(), cas.format);
    EXPECT_EQ(son->NbEchantillons(), cas.trames);
    EXPECT_DOUBLE_EQ(son->Troncature(), cas.troncature);
    EXPECT_EQ(son->Tronque(), cas.troncature != 1.0);
    EXPECT_EQ(son->Frequence(), cas.frequence);
    EXPECT_EQ(son->NomFichier(), chemin);
    EXPECT_FALSE(son->Converti()); // 8- and 16-bit PCM are read as they are
    if (!cas.attendu) return;
    for (const std::int32_t i : {0, son->NbEchantillons() / 2, son->NbEchantillons() - 1}) {
        for (int v = 0; v < son->Voies(); ++v) {
            EXPECT_EQ(son->Valeur(i, v), cas.attendu(i, v)) << "frame " << i << " channel " << v;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cas, LectureWav, ::testing::ValuesIn(Cas()),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(LectureWav, CanoniqueDureUneSeconde) {
    QTemporaryDir dossier;
    auto son = std::make_unique<TamponSon>();
    son->Read(EcrireFichier(dossier.path(), "a.wav", FabriquerWav({})));
    EXPECT_DOUBLE_EQ(double(son->NbEchantillons()) / son->Frequence(), 1.0);
}

TEST(LectureWav, ValeursDesDeuxVoiesEt16BitsSignes) {
    QTemporaryDir dossier;
    OptionsWav o;
    o.voies = 2;
    o.bits = 16;
    o.trames = 10;
    o.echantillon = [](std::int64_t i, int v) { return v == 0 ? int(-32768 + i) : int(32767 - i); };
    auto son = std::make_unique<TamponSon>();
    son->Read(EcrireFichier(dossier.path(), "s.wav", FabriquerWav(o)));
    ASSERT_EQ(son->NbEchantillons(), 10);
    EXPECT_EQ(son->Valeur(0, 0), -32768);
    EXPECT_EQ(son->Valeur(0, 1), 32767);
    EXPECT_EQ(son->Valeur(9, 0), -32759);
    EXPECT_EQ(son->Valeur(9, 1), 32758);
}

TEST(LectureWav, OctetHuitBits128VautZero) {
    QTemporaryDir dossier;
    OptionsWav o;
    o.voies = 2;
    o.trames = 4;
    o.echantillon = [](std::int64_t i, int v) { return v == 0 ? 128 : int(i * 80); };
    auto son = std::make_unique<TamponSon>();
    son->Read(EcrireFichier(dossier.path(), "s.wav", FabriquerWav(o)));
    EXPECT_EQ(son->Valeur(2, 0), 0);
    EXPECT_EQ(son->Valeur(0, 1), -128);
    EXPECT_EQ(son->Valeur(3, 1), 112);
}

TEST(LectureWav, FichierAbsentNeChangeQueLeNom) {
    QTemporaryDir dossier;
    auto son = std::make_unique<TamponSon>();
    son->Read(EcrireFichier(dossier.path(), "a.wav", FabriquerWav({})));
    const QString absent = dossier.filePath("absent.wav");
    EXPECT_NO_THROW(son->Read(absent));
    EXPECT_EQ(son->NomFichier(), absent);
    EXPECT_EQ(son->NbEchantillons(), 11025);
    EXPECT_EQ(son->Frequence(), 11025u);
}

TEST(LectureWav, DossierAuLieuDeFichierNePeutSOuvrir) {
    QTemporaryDir dossier;
    auto son = std::make_unique<TamponSon>();
    try {
        son->Read(dossier.path());
        FAIL();
    } catch (const EWavError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Problème d'ouverture"));
    }
}

} // namespace
