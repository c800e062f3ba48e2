// Films from phones in both video forms: a film shot in portrait is measured upright (its
// size, the picture, manual points, tracking and the chronophotograph), every row keeps its
// frame's own time, and a slow-motion film is timed in real time, with the clock shown.
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/video/LecteurFilm.h"
#include "platform/video/LecteurMci.h"
#include "shell/base/Dictionnaire.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "support/Evenements.h"
#include "support/FakePlateforme.h"
#include "support/FilmsTelephone.h"
#include "video/ui/AviForm.h"
#include "video/ui/BarreTempsReel.h"
#include "video/ui/MovieForm.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kinepo;
using kinepo::test::FilmTelephone;

namespace {

void Calmer() {
    for (int i = 0; i < 3; ++i)
        test::TraiterEvenements();
}

using test::BalleDroite;
constexpr auto Balle = BalleDroite;

class FilmsTelephone : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    void SetUp() override {
        ASSERT_TRUE(dossier.isValid());
        FixerSeparateurDecimal(QLatin1Char('.'));
        QFile::remove(NomFichierIni());
    }
    void TearDown() override { SeparateurDecimalDuSysteme(); }
    QString Film(const QString& nom, FilmTelephone f) {
        if (!f.image) f.image = test::ImageBalleDroite;
        const QString chemin = dossier.filePath(nom);
        QString erreur;
        EXPECT_TRUE(test::EcrireFilmTelephone(chemin, f, &erreur)) << erreur.toStdString();
        return chemin;
    }
};

// ---- Rotation ---------------------------------------------------------------------------------

class FilmsTournes : public FilmsTelephone, public ::testing::WithParamInterface<int> {
protected:
    // The film of this rotation, opened in the form: the frame has the upright size.
    template <typename Forme> void Ouvrir(Forme& forme, const FilmTelephone& f) {
        const QString chemin = Film(QStringLiteral("tourne-%1.mov").arg(f.rotation), f);
        forme.resize(1000, 700);
        forme.show();
        ASSERT_TRUE(forme.OuvrirFilm(chemin));
        Calmer();
        EXPECT_EQ(forme.Calibration().FrameWidth, 120);
        EXPECT_EQ(forme.Calibration().FrameHeight, 160);
    }
};

TEST_P(FilmsTournes, AviFormMesureEtSuitDansLImageDroite) {
    FilmTelephone f;
    f.rotation = GetParam();
    TAviForm forme;
    Ouvrir(forme, f);
    EXPECT_EQ(forme.Calibration().Origin, QPoint(60, 80));
    EXPECT_EQ(forme.Image->size(), QSize(122, 162));
    // The picture on screen is upright: the ball where the upright frame has it.
    const QImage affichee = forme.Lecteur().ImageAffichee();
    ASSERT_EQ(affichee.size(), QSize(120, 160));
    EXPECT_EQ(affichee.pixel(Balle(0)), qRgb(0, 0, 0));
    EXPECT_EQ(affichee.pixel(Balle(0) + QPoint(8, 0)), qRgb(255, 255, 255));

    // Manual points, clicked on the upright picture, below the stored frame's height too.
    forme.MesureBtn->click();
    Calmer();
    for (int n = 0; n < 3; ++n) {
        ASSERT_EQ(forme.Lecteur().ImageCourante(), n);
        QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Balle(n));
        Calmer();
    }
    QTest::mouseClick(forme.Image, Qt::LeftButton, {}, QPoint(100, 150));
    Calmer();
    ASSERT_EQ(forme.Tables().Rows, 4);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(forme.Tables().Point(1, n), Balle(n)) << n;
        EXPECT_DOUBLE_EQ(forme.Tables().Temps(n), n / 30.0);
    }
    EXPECT_EQ(forme.Tables().Point(1, 3), QPoint(100, 150));
    forme.MesureBtn->click();
    Calmer();

    // Tracking and the chronophotograph, in the same upright picture.
    forme.DebutBtn->click();
    Calmer();
    const QString bmp = dossier.filePath(QStringLiteral("chrono-%1.bmp").arg(f.rotation));
    test::Dialogues().fichiers.push_back(bmp);
    forme.MesureAutoCB->setChecked(true);
    forme.ChronoPhotoBtn->click();
    Calmer();
    QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Balle(0));
    for (int i = 0; i < 20 && forme.Machine().Etat != PointingState::psIdle; ++i)
        Calmer();
    ASSERT_EQ(forme.Tables().Rows, f.images);
    for (int n = 0; n < f.images; ++n)
        EXPECT_LE((forme.Tables().Point(1, n) - Balle(n)).manhattanLength(), 1) << n;
    const QImage chrono(bmp);
    ASSERT_EQ(chrono.size(), QSize(120, 160));
    // The first frame is the background: where its ball was, the next frame's white differs.
    for (int n = 1; n < f.images; ++n)
        EXPECT_EQ(chrono.pixel(Balle(n)), qRgb(0, 0, 0)) << n;
    EXPECT_EQ(chrono.pixel(Balle(0)), qRgb(255, 255, 255));
    EXPECT_EQ(chrono.pixel(Balle(3) + QPoint(0, 6)), qRgb(255, 255, 255));
}

TEST_P(FilmsTournes, MovieFormMesureDansLImageDroite) {
    FilmTelephone f;
    f.rotation = GetParam();
    TMovieForm forme;
    Ouvrir(forme, f);
    EXPECT_EQ(forme.Image->size(), QSize(120, 160));
    ASSERT_EQ(forme.Cadre().size(), QSize(120, 160));
    EXPECT_EQ(forme.Cadre().pixel(Balle(0)), qRgb(0, 0, 0));
    forme.TraceEchCB->setChecked(false);
    forme.RedessinerTout();
    EXPECT_EQ(forme.ImageAffichee().pixel(Balle(0)), qRgb(0, 0, 0));

    forme.MesureBtn->click();
    Calmer();
    for (int n = 0; n < 3; ++n) {
        forme.ImageMouseDown(Qt::LeftButton, Balle(n));
        forme.ImageMouseUp(Qt::LeftButton, Balle(n));
        Calmer();
        EXPECT_EQ(forme.Cadre().pixel(Balle(n + 1)), qRgb(0, 0, 0)) << n;
    }
    // Below the stored frame's height but inside the upright one: recorded; below that: not.
    forme.ImageMouseUp(Qt::LeftButton, QPoint(100, 150));
    forme.ImageMouseUp(Qt::LeftButton, QPoint(100, 165));
    Calmer();
    ASSERT_EQ(forme.Tables().Rows, 4);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(forme.Tables().Point(1, n), Balle(n)) << n;
        EXPECT_DOUBLE_EQ(forme.Tables().Temps(n), n / 30.0);
    }
    EXPECT_EQ(forme.Tables().Point(1, 3), QPoint(100, 150));
}

INSTANTIATE_TEST_SUITE_P(Rotations, FilmsTournes, ::testing::Values(0, 90, 180, 270),
                         [](const auto& info) { return std::to_string(info.param); });

// ---- Variable frame rate ------------------------------------------------------------------------

const std::vector<std::int64_t> kTempsVariables = {0, 33, 70, 100, 180, 190, 260, 400};

TEST_F(FilmsTelephone, CadenceVariableChaqueLigneAuTempsDeSonImage) {
    FilmTelephone f;
    f.tempsMs = kTempsVariables;
    const QString chemin = Film("variable.mov", f);
    const int n = int(kTempsVariables.size());
    {
        TAviForm forme;
        forme.resize(1000, 700);
        forme.show();
        ASSERT_TRUE(forme.OuvrirFilm(chemin));
        Calmer();
        forme.MesureBtn->click();
        Calmer();
        for (int i = 0; i < n; ++i) {
            QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Balle(i));
            Calmer();
        }
        ASSERT_EQ(forme.Tables().Rows, n);
        for (int i = 0; i < n; ++i)
            EXPECT_DOUBLE_EQ(forme.Tables().Temps(i), kTempsVariables[std::size_t(i)] / 1000.0);
        EXPECT_EQ(forme.Grid->item(4, 0)->text(), "0.18");
    }
    TMovieForm forme;
    forme.resize(1000, 700);
    forme.show();
    ASSERT_TRUE(forme.OuvrirFilm(chemin));
    Calmer();
    // One number where the form needs one: the mean period.
    EXPECT_TRUE(forme.FrameMode);
    EXPECT_DOUBLE_EQ(forme.FramePeriod(), forme.Lecteur().Duration() / n);
    forme.MesureBtn->click();
    Calmer();
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(forme.Status->texte(0),
                  QStringLiteral("%1 ms").arg(kTempsVariables[std::size_t(i)]));
        forme.ImageMouseUp(Qt::LeftButton, Balle(i));
        Calmer();
    }
    ASSERT_EQ(forme.Tables().Rows, n);
    for (int i = 0; i < n; ++i)
        EXPECT_DOUBLE_EQ(forme.Tables().Temps(i), kTempsVariables[std::size_t(i)] / 1000.0);
    EXPECT_FALSE(forme.MesureBtn->isChecked()); // the last frame ended the measurement
}

// ---- Slow motion ------------------------------------------------------------------------------

// Both forms alike: the strip, the times of three rows, and the clock changed afterwards.
template <typename Forme>
void VerifierRalenti(Forme& forme, const QString& chemin, std::function<void(int)> pointer) {
    ASSERT_TRUE(forme.OuvrirFilm(chemin));
    Calmer();
    BarreTempsReel& barre = *forme.TempsReelBar;
    EXPECT_TRUE(barre.TempsReelCB->isChecked());
    EXPECT_EQ(barre.CaptureEdit->text(), "240");
    EXPECT_EQ(barre.HorlogeLabel->text(), QString::fromUtf8("temps réel (240 i/s)"));
    forme.MesureBtn->click();
    Calmer();
    for (int i = 0; i < 3; ++i)
        pointer(i);
    ASSERT_EQ(forme.Tables().Rows, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(forme.Tables().Temps(i), i / 240.0, 1e-12) << i;
    EXPECT_NEAR(forme.Grid->item(2, 0)->text().toDouble(), 2 / 240.0, 1e-6);

    // Back to the film's clock: the recorded rows follow.
    barre.TempsReelCB->click();
    Calmer();
    EXPECT_EQ(barre.HorlogeLabel->text(), "temps du film (30 i/s)");
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(forme.Tables().Temps(i), i / 30.0, 1e-12) << i;
    EXPECT_NEAR(forme.Grid->item(2, 0)->text().toDouble(), 2 / 30.0, 1e-6);
    EXPECT_NEAR(forme.Calibration().CurrentTime, 3 / 30.0, 1e-12);

    // A typed capture rate is in use at once; a wrong one changes nothing.
    barre.CaptureEdit->setText("120");
    barre.CaptureEditValider();
    Calmer();
    EXPECT_TRUE(barre.TempsReelCB->isChecked());
    EXPECT_EQ(barre.HorlogeLabel->text(), QString::fromUtf8("temps réel (120 i/s)"));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(forme.Tables().Temps(i), i / 120.0, 1e-12) << i;
    pointer(3);
    ASSERT_EQ(forme.Tables().Rows, 4);
    EXPECT_NEAR(forme.Tables().Temps(3), 3 / 120.0, 1e-12);
    barre.CaptureEdit->setText("vite");
    barre.CaptureEditValider();
    EXPECT_EQ(test::Dialogues().messages().back(), "Cadence de prise de vue incorrecte");
    EXPECT_EQ(barre.CaptureEdit->text(), "120");
    EXPECT_NEAR(forme.Tables().Temps(3), 3 / 120.0, 1e-12);
}

TEST_F(FilmsTelephone, RalentiAviFormEnTempsReel) {
    FilmTelephone f;
    f.captureFps = "240.000000";
    const QString chemin = Film("ralenti.mp4", f);
    TAviForm forme;
    forme.resize(1200, 700);
    forme.show();
    VerifierRalenti(forme, chemin, [&](int i) {
        QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Balle(i));
        Calmer();
    });
    // The player's label follows the clock too: 4 frames in, 8 frames of 1/120 s long.
    EXPECT_EQ(forme.TempsLabel->text(), "t=0.033 s /0.067 s");

    // Counted in frames (a rate typed in the box), real time is one frame of the capture...
    forme.NbreImagesSE->setValue(25);
    Calmer();
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(forme.Tables().Temps(i), i / 120.0, 1e-12) << i;
    // ...and the film's clock the typed rate.
    forme.TempsReelBar->TempsReelCB->click();
    Calmer();
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(forme.Tables().Temps(i), i / 25.0, 1e-12) << i;
    EXPECT_NEAR(forme.Calibration().CurrentTime, 4 / 25.0, 1e-12);
}

TEST_F(FilmsTelephone, RalentiMovieFormEnTempsReel) {
    FilmTelephone f;
    f.captureFps = "240.000000";
    const QString chemin = Film("ralenti.mp4", f);
    TMovieForm forme;
    forme.resize(1200, 700);
    forme.show();
    VerifierRalenti(forme, chemin, [&](int i) {
        forme.ImageMouseUp(Qt::LeftButton, Balle(i));
        Calmer();
    });
}

TEST_F(FilmsTelephone, LHorlogeDansLaLangueDeLaForme) {
    FilmTelephone f;
    f.captureFps = "240";
    const QString chemin = Film("ralenti-en.mp4", f);
    Dictionnaire d(QStringLiteral("DictionnaireDeTest"));
    d.ChargerTextes(QStringLiteral("temps réel\ttiempo real\treal time\n"
                                   "temps du film\ttiempo del vídeo\tfilm time\n"),
                    QStringLiteral("Français\tfr\nEspañol\tes\nEnglish\ten\n"));
    d.FixerLangue(3);
    TMovieForm forme;
    forme.Translator.FixerDictionary(&d);
    ASSERT_TRUE(forme.OuvrirFilm(chemin));
    Calmer();
    EXPECT_EQ(forme.TempsReelBar->HorlogeLabel->text(), "real time (240 i/s)");
    forme.TempsReelBar->TempsReelCB->click();
    EXPECT_EQ(forme.TempsReelBar->HorlogeLabel->text(), "film time (30 i/s)");
}

TEST_F(FilmsTelephone, SansCadenceDePriseDeVueLeTempsDuFilm) {
    const QString chemin = Film("normal.mov", FilmTelephone());
    TMovieForm forme;
    forme.show();
    ASSERT_TRUE(forme.OuvrirFilm(chemin));
    Calmer();
    EXPECT_FALSE(forme.TempsReelBar->TempsReelCB->isChecked());
    EXPECT_TRUE(forme.TempsReelBar->CaptureEdit->text().isEmpty());
    EXPECT_EQ(forme.TempsReelBar->HorlogeLabel->text(), "temps du film (30 i/s)");
    // Ticking the box without a capture rate keeps the film's clock.
    forme.TempsReelBar->TempsReelCB->click();
    EXPECT_EQ(forme.TempsReelBar->HorlogeLabel->text(), "temps du film (30 i/s)");
    forme.SuivantBtn->click();
    Calmer();
    EXPECT_NEAR(forme.Calibration().CurrentTime, 1 / 30.0, 1e-12);
    forme.TempsReelBar->CaptureEdit->setText("300");
    forme.TempsReelBar->CaptureEditValider();
    EXPECT_NEAR(forme.Calibration().CurrentTime, 1 / 300.0, 1e-12);
}

} // namespace
