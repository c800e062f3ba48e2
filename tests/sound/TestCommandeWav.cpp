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

TEST_F(CommandeWavTest, FichierIlisibleDonneLeMessageDuLecteur) {
    OptionsWav o;
    o.bits = 24;
    EXPECT_NE(Lancer({Ecrire(o)}), 0);
    EXPECT_TRUE(erreur.endsWith(QStringLiteral("Format du fichier WAV non reconnu")));
    EXPECT_TRUE(sortie.isEmpty());
    EXPECT_NE(Lancer({dossier.filePath("absent.wav")}), 0);
    EXPECT_FALSE(erreur.isEmpty());
    EXPECT_NE(Lancer({}), 0);
    EXPECT_NE(Lancer({Ecrire({}), "--from", "x"}), 0);
}

} // namespace
