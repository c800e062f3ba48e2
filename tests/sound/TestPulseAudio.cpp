// The real sound path against a PulseAudio server whose default input is a 440 Hz sine: the
// level monitor's input, the form's recording from the record button to the loaded sound, and
// playback into a null sink. Uses the server named by PULSE_SERVER (scripts/test.sh starts one),
// else starts a private one with scripts/pulse-test-server.sh for this process.
#include "platform/audio/Audio.h"
#include "sound/EnregistrementSon.h"
#include "sound/TamponSon.h"
#include "sound/ui/WavMain.h"
#include "support/FakePlateforme.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

// The server of this process: started once, stopped at exit.
struct ServeurPulse {
    QString dossier;
    QString erreur;
    bool absent = false; // pulseaudio is not installed on this machine

    ServeurPulse() {
        if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) return;
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
            absent = true;
            return;
        }
        dossier = QDir::temp().filePath(
            QStringLiteral("kinepo-pulse-test-%1").arg(QCoreApplication::applicationPid()));
        QProcess p;
        p.start(QStringLiteral("bash"),
                {QStringLiteral(KINEPO_SCRIPT_PULSE), QStringLiteral("start"), dossier});
        p.waitForFinished(20000);
        const QString sortie = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
        if (p.exitCode() == 3) {
            absent = true;
        } else if (p.exitCode() != 0 ||
                   !sortie.startsWith(QStringLiteral("export PULSE_SERVER="))) {
            erreur = QString::fromLocal8Bit(p.readAllStandardError());
        } else {
            qputenv("PULSE_SERVER",
                    sortie.mid(QStringLiteral("export PULSE_SERVER=").size()).toLocal8Bit());
        }
    }
    ~ServeurPulse() {
        if (dossier.isEmpty()) return;
        QProcess::execute(QStringLiteral("bash"),
                          {QStringLiteral(KINEPO_SCRIPT_PULSE), QStringLiteral("stop"), dossier});
        QDir(dossier).removeRecursively();
    }
};

ServeurPulse& Serveur() {
    static ServeurPulse s;
    return s;
}

class PulseAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (Serveur().absent) GTEST_SKIP() << "pulseaudio is not installed on this machine";
        ASSERT_TRUE(Serveur().erreur.isEmpty()) << qPrintable(Serveur().erreur);
    }
};

// Zero crossings per second of the left channel: about 880 for a 440 Hz sine.
double Passages(const TamponSon& son, std::int32_t debut) {
    int n = 0;
    for (std::int32_t i = debut + 1; i < son.NbEchantillons(); ++i)
        if ((son.Valeur(i - 1) < 0) != (son.Valeur(i) < 0)) ++n;
    return n * double(son.Frequence()) / (son.NbEchantillons() - debut);
}

TEST_F(PulseAudioTest, LEntreeRendDesBuffersDuSinus) {
    auto entree = CreerEntreeSon();
    const auto capacites = entree->Capacites();
    ASSERT_TRUE(capacites.has_value());
    EXPECT_NE(capacites->masque & Cap22050_16, 0u);
    ASSERT_TRUE(entree->Ouvrir({22050, 16, 1}));
    QSignalSpy rendus(entree.get(), &EntreeSon::BufferRendu);
    ASSERT_TRUE(entree->AjouterBuffer());
    ASSERT_TRUE(entree->Demarrer());
    ASSERT_TRUE(rendus.wait(5000));
    const QByteArray b = rendus.at(0).at(0).toByteArray();
    EXPECT_EQ(b.size(), EntreeSon::kTailleBuffer);
    EXPECT_GT(
        NiveauBuffer(reinterpret_cast<const std::uint8_t*>(b.constData()), int(b.size()), false),
        10);
    // One buffer at a time: nothing more comes until another is queued.
    EXPECT_FALSE(rendus.wait(300));
    ASSERT_TRUE(entree->AjouterBuffer());
    entree->Reinitialiser(); // hands the pending buffer back
    EXPECT_TRUE(rendus.wait(2000));
    entree->Fermer();
}

TEST_F(PulseAudioTest, LaFormeEnregistreEtRelitLeSinus) {
    QTemporaryDir dossier;
    TWaveForm forme;
    forme.CheminEnregistrement = dossier.filePath(QStringLiteral("kinepo.wav"));
    forme.Reglages().freq = 22050;
    forme.Reglages().bits = 16;
    forme.RecordBtnClick();
    QTest::qWait(1000);
    forme.StopBtnClick();
    QElapsedTimer attente;
    attente.start();
    while (!forme.SonCharge() && attente.elapsed() < 10000)
        QTest::qWait(50);
    ASSERT_TRUE(forme.SonCharge()) << "the recording was not loaded";
    // Loaded after a wait about as long as the recording lasted.
    EXPECT_GE(attente.elapsed(), 900);
    const TamponSon& son = forme.Son();
    EXPECT_EQ(son.Format(), Mono16);
    EXPECT_EQ(son.Frequence(), 22050u);
    EXPECT_GT(son.NbEchantillons(), 22050 * 8 / 10);
    EXPECT_NEAR(Passages(son, son.NbEchantillons() / 4), 880.0, 60.0);
    EXPECT_FALSE(forme.SaveFileBtn->isHidden());
}

// Once stopped, the recorder keeps what it captured and takes nothing more: saving later
// writes the same file.
TEST_F(PulseAudioTest, LEnregistreurArreteNeCaptePlusRien) {
    QTemporaryDir dossier;
    auto enregistreur = CreerEnregistreurSon();
    ASSERT_TRUE(enregistreur->Ouvrir());
    ASSERT_TRUE(enregistreur->DefinirFormat({22050, 16, 1}));
    ASSERT_TRUE(enregistreur->Enregistrer());
    QTest::qWait(500);
    enregistreur->Arreter();
    const QString avant = dossier.filePath(QStringLiteral("avant.wav"));
    const QString apres = dossier.filePath(QStringLiteral("apres.wav"));
    ASSERT_TRUE(enregistreur->Sauver(avant));
    QTest::qWait(500);
    ASSERT_TRUE(enregistreur->Sauver(apres));
    enregistreur->Fermer();
    EXPECT_GT(QFileInfo(avant).size(), 44 + 2 * 22050 / 4);
    EXPECT_EQ(QFileInfo(apres).size(), QFileInfo(avant).size());
}

TEST_F(PulseAudioTest, LectureDUnTronconJusquAuSignalDeFin) {
    TamponSon son;
    for (int i = 0; i < 11025; ++i)
        son.Octets()[1 + i] = std::uint8_t(128 + 100 * std::sin(i * 0.25));
    son.Definir(Mono8, 11025, 11025, QStringLiteral("son"));
    auto lecteur = CreerLecteurSon();
    ASSERT_TRUE(lecteur->Ouvrir(QStringLiteral("son"), {11025, 8, 1}, son.Octets() + 1, 11025));
    lecteur->SetDebut(2000);
    lecteur->SetFin(5307); // 0.3 s
    QSignalSpy fin(lecteur.get(), &LecteurSon::Termine);
    QElapsedTimer t;
    t.start();
    lecteur->Jouer(true);
    EXPECT_TRUE(lecteur->EnLecture());
    ASSERT_TRUE(fin.wait(5000));
    EXPECT_GE(t.elapsed(), 200);
    EXPECT_FALSE(lecteur->EnLecture());
    EXPECT_EQ(lecteur->Longueur(), 11025);
}

} // namespace
