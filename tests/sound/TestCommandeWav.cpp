// "kinepo-cli wav": the form's transfer text or table for a selection given in seconds.
#include "sound/CommandeWav.h"
#include "sound/WavTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;
using namespace kinepo::test;

namespace {

class CommandeWavTest : public ::testing::Test {
protected:
    QString Ecrire(const OptionsWav& o) {
        return EcrireFichier(dossier.path(), QStringLiteral("s.wav"), FabriquerWav(o));
    }
    int Lancer(QStringList args) { return cli::ExecuterWav(args, sortie, erreur); }
    QStringList Lignes() const {
        QStringList l = sortie.split(QStringLiteral("\r\n"));
        EXPECT_EQ(l.last(), QString());
        l.removeLast();
        return l;
    }
    QTemporaryDir dossier;
    QString sortie, erreur;
};

TEST_F(CommandeWavTest, TableEntreDeuxInstants) {
    OptionsWav o;
    o.trames = 11025;
    o.echantillon = [](std::int64_t i, int) { return int(i % 256); };
    const QString f = Ecrire(o);
    ASSERT_EQ(Lancer({f, "--from", "0.1", "--to", "0.2", "--txt"}), 0) << qPrintable(erreur);
    const QStringList l = Lignes();
    // start = round(0.1 x 11025) = 1102 (ties to even), end = round(0.2 x 11025) = 2205
    ASSERT_EQ(l.size(), 2 + 2205 - 1102 + 1);
    EXPECT_EQ(l.at(0), QStringLiteral("t\tson"));
    EXPECT_EQ(l.at(2), QStringLiteral("0\t%1").arg(1102 % 256 - 128));
}

TEST_F(CommandeWavTest, TransfertParDefautStereo) {
    OptionsWav o;
    o.voies = 2;
    o.bits = 16;
    o.frequence = 44100;
    o.trames = 40000;
    const QString f = Ecrire(o);
    ASSERT_EQ(Lancer({f, "--stereo"}), 0);
    const QStringList l = Lignes();
    EXPECT_TRUE(l.at(0).endsWith(QStringLiteral("/kinepo")));
    EXPECT_EQ(l.at(1), QStringLiteral("Acquisition à fech=44100 Hz"));
    EXPECT_EQ(l.at(2), QString());
    EXPECT_EQ(l.at(3), QStringLiteral("t\tsG\tsD"));
    // Default selection: the centred 32768 samples.
    EXPECT_EQ(l.indexOf(QStringLiteral("&2 NOMX")), 5 + 32768);
    EXPECT_EQ(l.at(l.size() - 2), QStringLiteral("&1 FICHIER"));
}

TEST_F(CommandeWavTest, StereoIgnoreSurUnSonMono) {
    const QString f = Ecrire({});
    ASSERT_EQ(Lancer({f, "--stereo", "--to", "0.001"}), 0);
    EXPECT_EQ(Lignes().at(3), QStringLiteral("t\ts"));
}

// A 24-bit WAV opens as the form opens it: its top 16 bits, in the table and the transfer.
TEST_F(CommandeWavTest, Son24BitsLuEn16Bits) {
    WavBrut w;
    w.bits = 24;
    w.frequence = 22050;
    for (const std::uint32_t v : {0x123456u, 0xFFFFFFu, 0x7FFF00u})
        for (int k = 0; k < 3; ++k)
            w.donnees.append(char((v >> (8 * k)) & 0xFF));
    const QString f =
        EcrireFichier(dossier.path(), QStringLiteral("terrain.wav"), FabriquerWavBrut(w));
    ASSERT_EQ(Lancer({f, "--txt"}), 0) << qPrintable(erreur);
    EXPECT_EQ(Lignes().mid(2, 3),
              (QStringList{"0\t4660", "4.535147E-5\t-1", "9.070295E-5\t32767"}));
    ASSERT_EQ(Lancer({f}), 0) << qPrintable(erreur);
    EXPECT_EQ(Lignes().at(1), QStringLiteral("Acquisition à fech=22050 Hz"));
}

TEST_F(CommandeWavTest, FichierIlisibleDonneLeMessageDuLecteur) {
    WavBrut w;
    w.tag = 0x7777; // no decoder knows it
    w.bits = 4;
    w.donnees = QByteArray(64, 'x');
    EXPECT_NE(Lancer({EcrireFichier(dossier.path(), QStringLiteral("s.wav"), FabriquerWavBrut(w))}),
              0);
    EXPECT_TRUE(erreur.endsWith(QStringLiteral("Format du fichier WAV non reconnu")));
    EXPECT_TRUE(sortie.isEmpty());
    EXPECT_NE(Lancer({dossier.filePath("absent.wav")}), 0);
    EXPECT_FALSE(erreur.isEmpty());
    EXPECT_NE(Lancer({}), 0);
    EXPECT_NE(Lancer({Ecrire({}), "--from", "x"}), 0);
}

} // namespace
