// The AVI form and kinepo-cli on the same sample film: the same target gives the same table and
// the same chronophotograph, byte for byte.
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/video/LecteurMci.h"
#include "samples/ScenesEchantillons.h"
#include "support/Evenements.h"
#include "support/FakePlateforme.h"
#include "video/logic/ExportVideo.h"
#include "video/ui/AviForm.h"
#include "shell/base/PanneauImage.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

using namespace kinepo;

namespace {

void Calmer() {
    test::TraiterEvenements();
}

QByteArray Contenu(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FormeEtLigneDeCommande : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString film;
    std::unique_ptr<TAviForm> forme;

    void SetUp() override {
        ASSERT_TRUE(dossier.isValid());
        FixerSeparateurDecimal(QLatin1Char('.'));
        QFile::remove(NomFichierIni());
        film = dossier.filePath("chute-balle.avi");
        QString erreur;
        ASSERT_TRUE(echantillons::EcrireFilm(echantillons::ChuteBalle(), film, &erreur))
            << erreur.toStdString();
        forme = std::make_unique<TAviForm>();
        forme->resize(900, 600);
        forme->show();
        Calmer();
        ASSERT_TRUE(forme->OuvrirFilm(film));
        Calmer();
    }
    void TearDown() override {
        forme.reset();
        SeparateurDecimalDuSysteme();
    }

    // Lets the analysis run to the end of the film.
    void JusquAuRepos() {
        for (int i = 0; i < 400 && forme->Machine().Etat != PointingState::psIdle; ++i)
            Calmer();
        ASSERT_EQ(forme->Machine().Etat, PointingState::psIdle);
    }

    QString Cli(const QStringList& arguments) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8");
        p.setProcessEnvironment(env);
        p.start(KINEPO_CLI, arguments);
        p.waitForFinished(120000);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }
};

TEST_F(FormeEtLigneDeCommande, MemeTableEtMemeChronoSurLaChuteDeBalle) {
    const QPoint cible = echantillons::Position(echantillons::ChuteBalle(), 1, 0).toPoint();
    const QString chronoForme = dossier.filePath("forme.bmp");
    test::Dialogues().fichiers.push_back(chronoForme);
    forme->MesureAutoCB->setChecked(true);
    forme->ChronoPhotoBtn->click();
    Calmer();
    ASSERT_EQ(forme->Machine().Etat, PointingState::psTarget);
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, cible * forme->Calibration().Zoom);
    Calmer();
    JusquAuRepos();
    EXPECT_GT(forme->Tables().Rows, 60);
    forme->MiseAJourEchelle();
    const QString tableForme = TextePressePapiers(forme->Calibration(), forme->Tables(), 1);

    const QString chronoCli = dossier.filePath("cli.bmp");
    const QString tableCli =
        Cli({"track", film, "--target", QStringLiteral("%1,%2").arg(cible.x()).arg(cible.y()),
             "--chrono", chronoCli});
    EXPECT_EQ(tableCli, tableForme);
    const QByteArray a = Contenu(chronoForme), b = Contenu(chronoCli);
    EXPECT_GT(a.size(), 640 * 480 * 3);
    EXPECT_TRUE(a == b) << "the two chronophotographs differ";
}

TEST_F(FormeEtLigneDeCommande, ChronoSeuleCommeLaCommandeChrono) {
    const QString chronoForme = dossier.filePath("forme-seule.bmp");
    test::Dialogues().fichiers.push_back(chronoForme);
    forme->ChronoPhotoBtn->click();
    Calmer();
    JusquAuRepos();
    const QString chronoCli = dossier.filePath("cli-seule.bmp");
    Cli({"chrono", film, chronoCli});
    const QByteArray a = Contenu(chronoForme), b = Contenu(chronoCli);
    EXPECT_GT(a.size(), 640 * 480 * 3);
    EXPECT_TRUE(a == b) << "the two chronophotographs differ";
}

} // namespace

namespace {

TEST_F(FormeEtLigneDeCommande, AnnulerLeDialogueLaisseLaFormeAuRepos) {
    test::Dialogues().fichiers.push_back(std::nullopt);
    forme->MesureAutoCB->setChecked(true);
    forme->ChronoPhotoBtn->click();
    Calmer();
    EXPECT_FALSE(forme->ChronoPhotoBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_TRUE(test::Dialogues().messages().empty());
    EXPECT_TRUE(forme->MesureBtn->isEnabled());
    EXPECT_EQ(forme->Tables().Rows, 0);
}

} // namespace

namespace {

TEST_F(FormeEtLigneDeCommande, RelacherEnCoursEnregistreLaChronoPartielle) {
    const QString partielle = dossier.filePath("partielle.bmp");
    test::Dialogues().fichiers.push_back(partielle);
    forme->ChronoPhotoBtn->click();
    // A few frames of the analysis, not the whole film.
    for (int i = 0; i < 3 && forme->Lecteur().ImageCourante() < 30; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    ASSERT_EQ(forme->Machine().Etat, PointingState::psAnalysis);
    const auto image = forme->Lecteur().ImageCourante();
    ASSERT_LT(image, 80);
    forme->ChronoPhotoBtn->click();
    Calmer();
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_FALSE(forme->ChronoPhotoBtn->isChecked());
    ASSERT_TRUE(QFile::exists(partielle));

    const QString complete = dossier.filePath("complete.bmp");
    Cli({"chrono", film, complete});
    EXPECT_GT(Contenu(partielle).size(), 640 * 480 * 3);
    EXPECT_NE(Contenu(partielle), Contenu(complete)) << "released at frame " << image;
}

} // namespace
