// The AVI form driven as a user drives it: generated films, mouse clicks on the picture, keys,
// menu items, offscreen, with the scripted dialogs.
#include "common/IniFile.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/video/LecteurMci.h"
#include "platform/video/MoteurVideo.h"
#include "shell/base/PanneauxEtat.h"
#include "support/Evenements.h"
#include "support/EcritureLimitee.h"
#include "support/FakePlateforme.h"
#include "support/FilmSynthetique.h"
#include "video/logic/ExportVideo.h"
#include "video/suivi/SuiviAutomatique.h"
#include "video/ui/AviForm.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/IconesAvi.h"
#include "shell/base/PanneauImage.h"
#include "video/ui/Vignettes.h"

#include "support/FakeConstante.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

// The ball of the generated films: frame n shows a black disc of radius 4 here (image pixels).
QPoint Balle(int n) {
    return {20 + 8 * n, 20 + n};
}

QImage ImageBalle(int n, int largeur, int hauteur) {
    QImage im(largeur, hauteur, QImage::Format_RGB888);
    im.fill(Qt::white);
    QPainter p(&im);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(Balle(n), 4, 4);
    return im;
}

// Lets the player's notifications and the posted refresh messages run until nothing is left.
void Calmer() {
    test::TraiterEvenements();
}

class AviForm : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    std::unique_ptr<TAviForm> forme;

    void SetUp() override {
        ASSERT_TRUE(dossier.isValid());
        FixerSeparateurDecimal(QLatin1Char('.'));
        QFile::remove(NomFichierIni());
        forme = std::make_unique<TAviForm>();
        forme->resize(900, 600);
        forme->show();
        Calmer();
    }
    void TearDown() override {
        forme.reset();
        SeparateurDecimalDuSysteme();
    }

    QString Film(const QString& nom, int images = 10, test::ParametresFilm p = {}) {
        p.images = images;
        const QString chemin = dossier.filePath(nom);
        QString erreur;
        EXPECT_TRUE(test::EcrireFilm(
            chemin, p, [&](int n) { return ImageBalle(n, p.largeur, p.hauteur); }, &erreur))
            << erreur.toStdString();
        return chemin;
    }
    void Ouvrir(const QString& chemin) {
        ASSERT_TRUE(forme->OuvrirFilm(chemin));
        Calmer();
    }
    std::int64_t Image() const { return forme->Lecteur().ImageCourante(); }
    void Cliquer(QPoint posImage) {
        const QPoint ecran = posImage * forme->Calibration().Zoom;
        QTest::mouseClick(forme->Image, Qt::LeftButton, {}, ecran);
        Calmer();
    }
    QString Cellule(int r, int c) const {
        const QTableWidgetItem* item = forme->Grid->item(r, c);
        return item ? item->text() : QString();
    }
    void Mesurer(int lignes) {
        for (int i = 0; i < lignes; ++i)
            Cliquer(Balle(static_cast<int>(Image())));
    }
};

TEST_F(AviForm, OuvertureEtPremiereImage) {
    Ouvrir(Film("balle.avi"));
    EXPECT_TRUE(forme->FilmOuvert());
    EXPECT_EQ(forme->windowTitle(), "Lecture de fichier video pour Tabulane [balle.avi]");
    EXPECT_EQ(forme->CodecLabel->text(), "MJPG");
    EXPECT_EQ(forme->PageControl->currentWidget(), forme->GridTS);
    EXPECT_EQ(Image(), 0);
    EXPECT_EQ(forme->TempsLabel->text(), "t=0.000 s /0.400 s");
    EXPECT_EQ(forme->Calibration().FileFrameRate, 25);
    EXPECT_DOUBLE_EQ(forme->Calibration().FramePeriod, 0.04);
    EXPECT_EQ(forme->NbreImagesSE->value(), 25);
    EXPECT_EQ(forme->Calibration().Origin, QPoint(80, 60));
    EXPECT_EQ(forme->Image->size(), QSize(162, 122));
    EXPECT_TRUE(forme->MesureBtn->isEnabled());
    EXPECT_FALSE(forme->TabulaneBtn->isEnabled());
    EXPECT_TRUE(forme->HelpBtn->isEnabled());
    forme->SuivantBtn->click();
    Calmer();
    EXPECT_EQ(Image(), 1);
    EXPECT_EQ(forme->TempsLabel->text(), "t=0.040 s /0.400 s");
    forme->FinBtn->click();
    Calmer();
    EXPECT_EQ(Image(), 9);
    forme->SuivantBtn->click(); // cannot move, still notifies
    Calmer();
    EXPECT_EQ(Image(), 9);
    forme->DebutBtn->click();
    Calmer();
    EXPECT_EQ(Image(), 0);
}

// Dragging the trackbar over a film with a keyframe every 5 frames: the picture shown at once
// is the keyframe before the position, with its own time; releasing it shows the exact frame.
TEST_F(AviForm, GlisserLaBarreMontreLImageCleAvantPuisLImageExacte) {
    test::ParametresFilm p;
    p.codec = test::CodecFilm::H264Mp4;
    p.gop = 5;
    Ouvrir(Film("balle.mp4", 10, p));
    forme->Lecteur().Moteur()->ViderCache();
    auto balleVisible = [&](int n) {
        const QImage vue = forme->Image->grab().toImage();
        return qGray(vue.pixel(Balle(n) + QPoint(1, 1))) < 80;
    };
    forme->TrackBar->setSliderDown(true);
    forme->TrackBar->setValue(320); // frame 8 at 25 fps
    EXPECT_EQ(Image(), 5);
    EXPECT_EQ(forme->TempsLabel->text(), "t=0.200 s /0.400 s");
    EXPECT_TRUE(balleVisible(5));
    EXPECT_FALSE(balleVisible(8));
    forme->TrackBar->setSliderDown(false);
    Calmer();
    EXPECT_EQ(Image(), 8);
    EXPECT_EQ(forme->TempsLabel->text(), "t=0.320 s /0.400 s");
    EXPECT_TRUE(balleVisible(8));
    EXPECT_FALSE(balleVisible(5));
}

TEST_F(AviForm, LeFiltreDOuvertureSuitLesReglages) {
    const QString film = Film("balle.avi");
    forme.reset();
    {
        IniFile ini(NomFichierIni());
        ini.ecrireEntier("AVI", "FilterIndex", 2);
        ASSERT_TRUE(ini.enregistrer());
    }
    forme = std::make_unique<TAviForm>();
    test::Dialogues().fichiers = {film};
    test::Dialogues().filtresChoisis = {1};
    forme->OpenBtn->click();
    Calmer();
    ASSERT_NE(test::Dialogues().dernier(), nullptr);
    EXPECT_EQ(test::Dialogues().dernier()->indexFiltre, 2);
    EXPECT_TRUE(forme->FilmOuvert());
    forme.reset(); // the form writes its settings when destroyed
    EXPECT_EQ(IniFile(NomFichierIni()).lireEntier("AVI", "FilterIndex", 0), 1);
}

TEST_F(AviForm, MauvaisFichiersLaissentLaFormeSansFilm) {
    const QString film = Film("bon.avi");
    QFile source(film);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray octets = source.readAll();
    struct Cas {
        const char* nom;
        QByteArray contenu;
    };
    const Cas cas[] = {
        {"vide.avi", {}},
        {"cinquante.avi", QByteArray(50, 'x')},
        {"texte.avi", QByteArray("ceci n'est pas un film\n").repeated(20)},
        {"tronque.avi", octets.left(300)},
        {"vide.mpg", {}},
        {"rien.mp4", QByteArray(1000, '\0')},
    };
    for (const Cas& c : cas) {
        const QString chemin = dossier.filePath(QString::fromUtf8(c.nom));
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.contenu);
        f.close();
        EXPECT_FALSE(forme->OuvrirFilm(chemin)) << c.nom;
        Calmer();
        EXPECT_FALSE(forme->FilmOuvert()) << c.nom;
        EXPECT_FALSE(forme->MesureBtn->isEnabled());
    }
    // A film without a video stream: sound only.
    const QString son = dossier.filePath("son.avi");
    ASSERT_EQ(QProcess::execute("ffmpeg", {"-y", "-loglevel", "error", "-f", "lavfi", "-i",
                                           "sine=frequency=440:duration=0.3", son}),
              0);
    EXPECT_FALSE(forme->OuvrirFilm(son));
    Calmer();
    EXPECT_FALSE(forme->FilmOuvert());
    EXPECT_FALSE(forme->OuvrirFilm(dossier.filePath("absent.avi")));
    EXPECT_TRUE(test::Dialogues().affiches.empty()); // silently
    // The 50-byte file was still named from its header.
    forme->OuvrirFilm(dossier.filePath("cinquante.avi"));
    EXPECT_EQ(forme->CodecLabel->text(), "Codec inconnu");
    // And a good film opens after all that.
    Ouvrir(film);
    EXPECT_TRUE(forme->FilmOuvert());
}

TEST_F(AviForm, ExtensionsMpegEtSansExtension) {
    const QString film = Film("balle.avi");
    ASSERT_TRUE(QFile::copy(film, dossier.filePath("balle.mpg")));
    Ouvrir(dossier.filePath("balle.mpg"));
    EXPECT_EQ(forme->CodecLabel->text(), ".MPG");
    EXPECT_EQ(forme->PageControl->currentWidget(), forme->DessinTS);
    ASSERT_TRUE(QFile::copy(film, dossier.filePath("chute.AVI")));
    Ouvrir(dossier.filePath("chute"));
    EXPECT_EQ(forme->FileName(), dossier.filePath("chute.AVI"));
    EXPECT_EQ(forme->CodecLabel->text(), "");
    EXPECT_EQ(forme->PageControl->currentWidget(), forme->DessinTS);
}

TEST_F(AviForm, CadenceRapideEtFilmLent) {
    // Phone films: the box shows the film's rate (up to 1000) and times stay the film's own.
    const int cadences[] = {120, 150, 240};
    for (const int cadence : cadences) {
        SCOPED_TRACE(cadence);
        test::ParametresFilm rapide;
        rapide.cadenceNum = cadence;
        Ouvrir(Film(QStringLiteral("rapide-%1.avi").arg(cadence), 20, rapide));
        EXPECT_EQ(forme->Calibration().FileFrameRate, cadence);
        EXPECT_EQ(forme->NbreImagesSE->value(), cadence);
        EXPECT_EQ(forme->NbreImagesSE->maximum(), 1000);
        EXPECT_EQ(forme->Lecteur().Format(), LecteurMci::FormatTemps::Millisecondes);
        EXPECT_NEAR(forme->Calibration().FramePeriod, 1.0 / cadence, 1e-12);
        forme->SuivantBtn->click();
        Calmer();
        forme->SuivantBtn->click();
        Calmer();
        EXPECT_EQ(Image(), 2);
        EXPECT_NEAR(forme->Calibration().CurrentTime, 2.0 / cadence, 1e-6);
    }

    test::ParametresFilm lent;
    lent.cadenceNum = 3;
    lent.cadenceDen = 10;
    Ouvrir(Film("lent.avi", 30, lent));
    EXPECT_EQ(forme->Calibration().FileFrameRate, 0);
    EXPECT_NEAR(forme->Calibration().FramePeriod, 10.0 / 3.0, 1e-9);
    EXPECT_TRUE(forme->NbreImagesSE->isHidden());
    EXPECT_FALSE(forme->DureeEdit->isHidden());
    EXPECT_TRUE(forme->DureeEdit->text().startsWith("3.33"))
        << forme->DureeEdit->text().toStdString();
    // A typed period re-times on frames.
    forme->DureeEdit->setText("2");
    forme->DureeEditValider();
    EXPECT_EQ(forme->Lecteur().Format(), LecteurMci::FormatTemps::Images);
    forme->DureeEdit->setText("n'importe");
    forme->DureeEditValider();
    EXPECT_TRUE(forme->DureeEdit->text().startsWith("2")) << forme->DureeEdit->text().toStdString();
}

TEST_F(AviForm, SensDuRafraichissementEtMessageIgnorePendantLeRetour) {
    Ouvrir(Film("balle.avi"));
    std::vector<std::int64_t> vues;
    QObject::connect(&forme->Lecteur(), &LecteurMci::ImageChangee, forme.get(),
                     [&] { vues.push_back(forme->Lecteur().ImageCourante()); });
    struct Cas {
        int image;
        std::vector<std::int64_t> attendu;
    };
    const Cas cas[] = {{0, {1, 0}}, {2, {3, 2}}, {5, {6, 5}}, {6, {5, 6}}, {9, {8, 9}}};
    for (const Cas& c : cas) {
        forme->Lecteur().AllerA(c.image * 40.0, true);
        Calmer();
        vues.clear();
        forme->PosterRafraichissement();
        forme->PosterRafraichissement(); // arrives during the return trip: ignored
        Calmer();
        EXPECT_EQ(vues, c.attendu) << "frame " << c.image;
        EXPECT_FALSE(forme->Busy);
    }
}

TEST_F(AviForm, CodecMsvcFaitUnPasDePlus) {
    const QString film = Film("msvc.avi");
    QFile f(film);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(112));
    f.write("MSVC");
    f.close();
    Ouvrir(film);
    EXPECT_EQ(forme->CodecLabel->text(), "Microsoft Virtual Camera");
    EXPECT_EQ(Image(), 1); // the first frame shown after the seek to the start
    forme->DebutBtn->click();
    Calmer();
    EXPECT_EQ(Image(), 1);
}

TEST_F(AviForm, EchelleEnDeuxClicsOuGlissee) {
    Ouvrir(Film("balle.avi"));
    // Press, drag 3 pixels, release: a two-click scale.
    forme->EchelleBtn->click();
    QTest::mousePress(forme->Image, Qt::LeftButton, {}, {30, 30});
    QTest::mouseMove(forme->Image, {33, 30});
    QTest::mouseRelease(forme->Image, Qt::LeftButton, {}, {33, 30});
    EXPECT_EQ(forme->Machine().Etat, PointingState::psScaleEnd);
    EXPECT_EQ(forme->Hint(), "Fin de l'échelle|Cliquer sur la fin de l'échelle");
    test::Dialogues().saisies.push_back(QString("0.5"));
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, {133, 30});
    Calmer();
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_EQ(forme->Calibration().ScaleStart, QPoint(33, 30));
    EXPECT_EQ(forme->Calibration().ScaleEnd, QPoint(133, 30));
    EXPECT_EQ(forme->EchelleEdit->text(), "0.5");
    EXPECT_DOUBLE_EQ(forme->Calibration().KX, 0.005);

    // A longer drag ends on release; an unreadable answer keeps the length of the field.
    forme->EchelleBtn->click();
    QTest::mousePress(forme->Image, Qt::LeftButton, {}, {20, 50});
    QTest::mouseMove(forme->Image, {25, 50});
    EXPECT_EQ(forme->Machine().Etat, PointingState::psScaleEnd);
    EXPECT_EQ(forme->Hint(), "Glisser jusqu'à la fin de l'échelle");
    EXPECT_FALSE(forme->Image->Elastique().isNull());
    QTest::mouseMove(forme->Image, {70, 50});
    test::Dialogues().saisies.push_back(QString("abc"));
    QTest::mouseRelease(forme->Image, Qt::LeftButton, {}, {70, 50});
    Calmer();
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_TRUE(forme->Image->Elastique().isNull());
    EXPECT_EQ(forme->Calibration().ScaleEnd, QPoint(70, 50));
    EXPECT_DOUBLE_EQ(forme->Calibration().ScaleLength, 0.5);
    EXPECT_DOUBLE_EQ(forme->Calibration().KX, 0.01);

    // Ends closer than 8 pixels are refused and a new end is awaited.
    forme->EchelleBtn->click();
    QTest::mousePress(forme->Image, Qt::LeftButton, {}, {40, 40});
    QTest::mouseMove(forme->Image, {45, 40});
    QTest::mouseRelease(forme->Image, Qt::LeftButton, {}, {45, 40});
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Points trop proches"});
    EXPECT_EQ(forme->Machine().Etat, PointingState::psScaleEnd);
    EXPECT_DOUBLE_EQ(forme->Calibration().KX, 0.01); // the factors did not move
}

TEST_F(AviForm, EchelleIncorrecteEtOrigine) {
    Ouvrir(Film("balle.avi"));
    forme->EchelleEdit->setText("2");
    forme->EchelleEditValider();
    EXPECT_DOUBLE_EQ(forme->Calibration().ScaleLength, 2);
    forme->EchelleEdit->setText("deux");
    forme->EchelleEditValider();
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Echelle incorrecte"});
    EXPECT_DOUBLE_EQ(forme->Calibration().ScaleLength, 2);
    EXPECT_EQ(forme->EchelleEdit->text(), FormatIngenieur("m", 2));
    // Keys other than those of a length never reach the field.
    forme->EchelleEdit->clear();
    forme->EchelleEdit->setFocus();
    QTest::keyClicks(forme->EchelleEdit, "1x,5zm");
    EXPECT_EQ(forme->EchelleEdit->text(), "1,5m");

    forme->OrigineBtnClick();
    EXPECT_EQ(forme->Machine().Etat, PointingState::psOrigin);
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, {30, 90});
    Calmer();
    EXPECT_EQ(forme->Calibration().Origin, QPoint(30, 90));
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_EQ(forme->Tables().Point(0, 500), QPoint(30, 90));
}

TEST_F(AviForm, MesureUnPointJusquALaDerniereImage) {
    Ouvrir(Film("balle.avi"));
    forme->MesureBtn->click();
    Calmer();
    EXPECT_EQ(forme->Machine().Etat, PointingState::psMeasure);
    EXPECT_EQ(forme->Hint(), "|Cliquer sur le point à repérer (image n° 1)");
    EXPECT_FALSE(forme->EchelleBtn->isEnabled());
    for (int i = 0; i < 9; ++i) {
        Cliquer(Balle(i));
        EXPECT_EQ(forme->Tables().Rows, i + 1);
        EXPECT_EQ(Image(), i + 1);
        EXPECT_EQ(forme->Hint(),
                  QString("|Cliquer sur le point à repérer (image n° %1)").arg(i + 2));
        EXPECT_EQ(forme->TabulaneBtn->isEnabled(), i + 1 > 3) << i;
    }
    EXPECT_TRUE(forme->UndoBtn->isEnabled());
    Cliquer(Balle(9)); // on the last frame: the row completes and the measurement ends
    EXPECT_EQ(forme->Tables().Rows, 10);
    EXPECT_EQ(Image(), 9);
    EXPECT_FALSE(forme->MesureBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_EQ(forme->Hint(), "Clic droit pour choix du curseur");
    EXPECT_TRUE(forme->RazBtn->isEnabled());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(forme->Tables().Point(1, i), Balle(i));
        EXPECT_NEAR(forme->Tables().Temps(i), 0.04 * i, 1e-12);
    }
    // Default scale: 40 pixels for 1 m, y upward, origin at the centre.
    EXPECT_EQ(Cellule(0, 0), "0");
    EXPECT_EQ(Cellule(3, 0), "0.12");
    EXPECT_EQ(Cellule(3, 1), ReelVersTexte(forme->Calibration().ArrondiGrille((44 - 80) * 0.025)));
    EXPECT_EQ(Cellule(3, 2), ReelVersTexte(forme->Calibration().ArrondiGrille(-(23 - 60) * 0.025)));
    EXPECT_EQ(forme->Grid->horizontalHeaderItem(0)->text(), "t(s)");
    EXPECT_EQ(forme->Grid->horizontalHeaderItem(1)->text(), "x(m)");
    // Changing the orientation changes every value at the next redraw.
    forme->Axeverslebasgauche->trigger();
    Calmer();
    EXPECT_EQ(Cellule(3, 1), ReelVersTexte(forme->Calibration().ArrondiGrille(-(44 - 80) * 0.025)));
    // Starting again empties the table; reset asks first.
    test::Dialogues().confirmations.push_back(false);
    forme->RazBtn->click();
    EXPECT_EQ(forme->Tables().Rows, 10);
    test::Dialogues().confirmations.push_back(true);
    forme->RazBtn->click();
    EXPECT_EQ(forme->Tables().Rows, 0);
    EXPECT_EQ(test::Dialogues().affiches.back().texte, "Suppression des données");
}

TEST_F(AviForm, DefaireApresCinqLignesRevientAUneImage) {
    Ouvrir(Film("balle.avi"));
    forme->MesureBtn->click();
    Calmer();
    Mesurer(5);
    EXPECT_EQ(Image(), 5);
    forme->UndoBtn->click();
    Calmer();
    EXPECT_EQ(forme->Tables().Rows, 4);
    EXPECT_EQ(Image(), 4);
    EXPECT_EQ(forme->Hint(), "|Cliquer sur le point à repérer (image n° 5)");
    EXPECT_EQ(Cellule(4, 0), ""); // the grid row of the dropped row is emptied
}

TEST_F(AviForm, DeuxPointsEtiquettesPuisOrigineMobileVersUnique) {
    Ouvrir(Film("balle.avi", 14));
    forme->NbreSE->setValue(2);
    forme->MesureBtn->click();
    Calmer();
    for (int i = 0; i < 11; ++i) {
        Cliquer(Balle(i));
        EXPECT_EQ(forme->Hint(),
                  QString("|Cliquer sur le 2ième point de l'image n° %1").arg(i + 1));
        Cliquer(Balle(i) + QPoint(0, 40));
    }
    Cliquer(Balle(11)); // point 1 of the 12th image
    forme->RefreshBtn->click();
    Calmer();
    const auto& e = forme->EtiquettesDessinees;
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e.back().second, "12-1");
    EXPECT_EQ(e.back().first, Balle(11));
    Cliquer(Balle(11) + QPoint(0, 40));
    EXPECT_EQ(Image(), 12);
    const auto etiquettes = forme->EtiquettesDessinees;
    ASSERT_EQ(etiquettes.size(), 24u);
    EXPECT_EQ(etiquettes[22].second, "12");
    EXPECT_EQ(etiquettes[23].second, "12");
    EXPECT_EQ(forme->Grid->horizontalHeaderItem(3)->text(), "x2(m)");

    // Unique -> mobile with data: point 1 becomes the row origin.
    forme->MesureBtn->click();
    Calmer();
    forme->OrigineMobileItem->trigger();
    Calmer();
    EXPECT_EQ(forme->NbreSE->value(), 1);
    EXPECT_EQ(forme->Tables().Point(0, 3), Balle(3));
    EXPECT_EQ(forme->Tables().Point(1, 3), Balle(3) + QPoint(0, 40));
    EXPECT_EQ(Cellule(3, 2), ReelVersTexte(forme->Calibration().ArrondiGrille(-40 * 0.025)));
    // And back: the origins become point 1 again, the unique origin serves every row.
    forme->OrigineItem->trigger();
    Calmer();
    EXPECT_EQ(forme->NbreSE->value(), 2);
    EXPECT_EQ(forme->Tables().Point(1, 3), Balle(3));
    EXPECT_EQ(forme->Tables().Point(0, 3), forme->Calibration().Origin);
}

TEST_F(AviForm, OrigineMobileQuatreClicsParImage) {
    Ouvrir(Film("balle.avi"));
    forme->OrigineMobileItem->trigger();
    forme->NbreSE->setValue(3);
    forme->MesureBtn->click();
    Calmer();
    EXPECT_EQ(forme->Hint(), "Origine du point n°1");
    EXPECT_FALSE(forme->OrigineBtn->isEnabled());
    const QString attendues[] = {"|Cliquer sur le premier point de l'image n° 1",
                                 "|Cliquer sur le 2ième point de l'image n° 1",
                                 "|Cliquer sur le 3ième point de l'image n° 1",
                                 "Cliquer sur l'origine du point n°2"};
    for (int clic = 0; clic < 4; ++clic) {
        Cliquer(QPoint(10 + 20 * clic, 100));
        EXPECT_EQ(forme->Hint(), attendues[clic]);
    }
    EXPECT_EQ(forme->Tables().Rows, 1);
    EXPECT_EQ(Image(), 1);
    EXPECT_EQ(Cellule(0, 5), ReelVersTexte(forme->Calibration().ArrondiGrille(60 * 0.025)));
}

TEST_F(AviForm, OrigineDesTemps) {
    Ouvrir(Film("balle.avi"));
    EXPECT_TRUE(forme->OrigineTempsBtn->isCheckable()); // a toggle when the form is created
    forme->NbreSE->setValue(2);
    forme->Lecteur().AllerA(120, true);
    Calmer();
    forme->MesureBtn->click(); // a measurement starts at time origin 0
    Calmer();
    EXPECT_EQ(forme->Calibration().TimeOrigin, 0);
    Cliquer(Balle(3));
    // A point but no complete row: a plain button, the frame on screen becomes the origin.
    EXPECT_FALSE(forme->OrigineTempsBtn->isCheckable());
    forme->OrigineTempsBtn->click();
    EXPECT_NEAR(forme->Calibration().TimeOrigin, 0.12, 1e-12);
    for (int i = 3; i < 8; ++i) {
        if (i > 3) Cliquer(Balle(i));
        Cliquer(Balle(i) + QPoint(0, 40));
    }
    EXPECT_EQ(forme->Tables().Rows, 5);
    EXPECT_EQ(Cellule(0, 0), "0");
    EXPECT_TRUE(forme->OrigineTempsBtn->isCheckable());
    forme->OrigineTempsBtn->click();
    EXPECT_TRUE(forme->OrigineTempsBtn->isChecked());
    EXPECT_EQ(forme->Status->texte(2), "cliquer sur le point origine des temps");
    // More than 64 pixels from every point: nothing changes, the toggle comes up.
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, {150, 110});
    EXPECT_NEAR(forme->Calibration().TimeOrigin, 0.12, 1e-12);
    EXPECT_FALSE(forme->OrigineTempsBtn->isChecked());
    EXPECT_EQ(forme->Status->texte(2), "cliquer sur le point à enregistrer");
    EXPECT_EQ(forme->Tables().Rows, 5); // the click did not record a point
    // Near the ball of the 3rd row.
    forme->OrigineTempsBtn->click();
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, Balle(5) + QPoint(1, 1));
    EXPECT_NEAR(forme->Calibration().TimeOrigin, 0.2, 1e-12);
    EXPECT_EQ(Cellule(4, 0), "0.08");
    // A grid cell selects its row without a distance test.
    forme->OrigineTempsBtn->click();
    forme->GridSelectCell(1);
    EXPECT_NEAR(forme->Calibration().TimeOrigin, 0.16, 1e-12);
    EXPECT_FALSE(forme->OrigineTempsBtn->isChecked());
    EXPECT_EQ(Cellule(0, 0), "-0.04");
}

TEST_F(AviForm, ZoomEtChangementDeCadence) {
    Ouvrir(Film("balle.avi"));
    forme->ZoomSE->setValue(2);
    Calmer();
    EXPECT_EQ(forme->Image->size(), QSize(320, 240));
    EXPECT_EQ(forme->Lecteur().ImageAffichee().size(), QSize(320, 240));
    forme->MesureBtn->click();
    Calmer();
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, {41, 61});
    Calmer();
    EXPECT_EQ(forme->Tables().Point(1, 0), QPoint(20, 30));
    Mesurer(2);
    forme->NbreImagesSE->setValue(10);
    EXPECT_EQ(forme->Lecteur().Format(), LecteurMci::FormatTemps::Images);
    EXPECT_NEAR(forme->Tables().Temps(2), 0.2, 1e-12);
    EXPECT_EQ(Cellule(2, 0), "0.2");
    EXPECT_NEAR(forme->Calibration().CurrentTime, 0.3, 1e-12);
}

TEST_F(AviForm, PointageAuClavier) {
    Ouvrir(Film("balle.avi"));
    forme->MesureBtn->click();
    Calmer();
    const QPoint global = forme->Image->mapToGlobal(Balle(0));
    QCursor::setPos(global);
    if (QCursor::pos() != global) GTEST_SKIP() << "this platform cannot move the pointer";
    QTest::keyClick(forme->EditBidon, Qt::Key_Right);
    QTest::keyClick(forme->EditBidon, Qt::Key_Down);
    QTest::keyClick(forme->EditBidon, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(QCursor::pos(), global + QPoint(11, 1));
    QTest::keyClick(forme->EditBidon, Qt::Key_PageUp);
    QTest::keyClick(forme->EditBidon, Qt::Key_4, Qt::KeypadModifier);
    EXPECT_EQ(QCursor::pos(), global + QPoint(10, -9));
    QTest::keyClick(forme->EditBidon, Qt::Key_Return);
    Calmer();
    EXPECT_EQ(forme->Tables().Rows, 1);
    EXPECT_EQ(forme->Tables().Point(1, 0), Balle(0) + QPoint(10, -9));
    QTest::keyClick(forme->EditBidon, Qt::Key_Space);
    Calmer();
    EXPECT_EQ(forme->Tables().Rows, 2);
}

TEST_F(AviForm, TablesPleinesArretentLaMesure) {
    Ouvrir(Film("balle.avi"));
    forme->MesureBtn->click();
    Calmer();
    forme->Tables().Rows = kCapaciteLignes - 1;
    Cliquer(Balle(0));
    EXPECT_EQ(forme->Tables().Rows, kCapaciteLignes);
    EXPECT_FALSE(forme->MesureBtn->isChecked());
    EXPECT_EQ(test::Dialogues().messages().size(), 1u);
}

TEST_F(AviForm, ExportCsvTxtEtErreurDEcriture) {
    Ouvrir(Film("balle.avi"));
    forme->MesureBtn->click();
    Calmer();
    Mesurer(4);
    forme->MesureBtn->click();
    Calmer();
    const QString csv = dossier.filePath("table.CSV");
    test::Dialogues().fichiers.push_back(csv);
    forme->FileM->trigger();
    EXPECT_EQ(forme->TabulaneBtn->text(), "Sauver");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString texte = QString::fromLatin1(f.readAll());
    f.close();
    EXPECT_EQ(texte, TexteExport(forme->Calibration(), forme->Tables(), 1, QLatin1Char(',')));
    EXPECT_TRUE(texte.startsWith("t,x,y\r\ns,m,m\r\n0,"));
    // A name without extension gets ".TXT" and tabs.
    test::Dialogues().fichiers.push_back(dossier.filePath("table"));
    forme->TabulaneBtn->click();
    QFile t(dossier.filePath("table.TXT"));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_TRUE(t.readAll().startsWith("t\tx\ty\r\n"));
    // Cancelled: nothing; a place that cannot be written: the message.
    test::Dialogues().fichiers.push_back(std::nullopt);
    forme->TabulaneBtn->click();
    EXPECT_TRUE(test::Dialogues().messages().empty());
    test::Dialogues().fichiers.push_back(dossier.filePath("absent/table.csv"));
    forme->TabulaneBtn->click();
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Erreur d'écriture"});
    // The disk full halfway through the table: the message again, and the table saved before
    // is still whole.
    {
        test::LimiteEcriture limite(16);
        test::Dialogues().fichiers.push_back(csv);
        forme->TabulaneBtn->click();
    }
    EXPECT_EQ(test::Dialogues().messages(),
              (std::vector<QString>{"Erreur d'écriture", "Erreur d'écriture"}));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(f.readAll()), texte);
}

TEST_F(AviForm, VersTabulaneEtPressePapiers) {
    Ouvrir(Film("balle.avi"));
    forme->EchelleEdit->setText("4");
    forme->EchelleEditValider();
    forme->IncertitudeSE->setValue(2);
    forme->MesureBtn->click();
    Calmer();
    Mesurer(4);
    EXPECT_TRUE(forme->MesureBtn->isChecked());
    test::FakeConstante dlg;
    dlg.reponses.push_back({.commentaire = QString("chute libre")});
    dlg.reponses.push_back({});
    forme->TabulaneBtn->click();
    EnteteEchange e;
    e.cheminExecutable = CheminExecutable();
    e.commentaire = "chute libre";
    e.cheminFilm = forme->FileName();
    const QString premier =
        JoindreLignes(LignesEchange(e, forme->Calibration(), forme->Tables(), 1));
    EXPECT_EQ(test::PressePapiers().contenu, premier);
    EXPECT_TRUE(premier.contains("&4 INCERT\r\n0.0004\t0.2\t0.2\r\n"));
    // The measurement button came up, but clicks still add rows.
    EXPECT_FALSE(forme->MesureBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psMeasure);
    Calmer();
    Mesurer(1);
    EXPECT_EQ(forme->Tables().Rows, 5);
    forme->TabulaneBtn->click();
    e.nouveauFichier = false;
    EXPECT_EQ(test::PressePapiers().contenu,
              JoindreLignes(LignesEchange(e, forme->Calibration(), forme->Tables(), 1)));
    EXPECT_EQ(dlg.macros, (std::vector<QString>{"CLIP|LOAD", "CLIP|ADD"}));

    // Clipboard target: the bare table, no delivery.
    dlg.reponses.push_back({});
    forme->ClipM->trigger();
    EXPECT_EQ(forme->TabulaneBtn->text(), "Copier");
    EXPECT_EQ(test::PressePapiers().contenu,
              TextePressePapiers(forme->Calibration(), forme->Tables(), 1));
    EXPECT_EQ(dlg.macros.size(), 2u);
    // Cancel: nothing changes.
    test::PressePapiers().contenu.clear();
    dlg.reponses.push_back({.ok = false});
    forme->TabulaneBtn->click();
    EXPECT_TRUE(test::PressePapiers().contenu.isEmpty());
}

TEST_F(AviForm, ReglagesAllerRetourAvecCurseurCroix) {
    forme->CurseurClick(0);
    EXPECT_EQ(TAviForm::CibleApplication(), -3);
    forme->Axeverslebasdroite->trigger();
    forme->TracePointsCB->setChecked(false);
    forme->IncertitudeSE->setValue(4);
    forme->ClipM->setChecked(true);
    forme->close();
    forme = std::make_unique<TAviForm>();
    EXPECT_TRUE(forme->CurseurCroix->isChecked());
    EXPECT_TRUE(forme->Axeverslebasdroite->isChecked());
    EXPECT_FALSE(forme->TracePointsCB->isChecked());
    EXPECT_EQ(forme->IncertitudeSE->value(), 4);
    forme->CurseurClick(7);
    forme.reset(); // destroyed without closing: written too
    forme = std::make_unique<TAviForm>();
    EXPECT_TRUE(forme->CurseurBlanc->isChecked());
    EXPECT_FALSE(forme->VidcapBtn->isVisible());
}

TEST_F(AviForm, EditionSimplifiee) {
    forme->NbreSE->setValue(3);
    forme->IncertitudeSE->setValue(4);
    const QString marqueur = QFileInfo(CheminExecutable()).absolutePath() + "/tabulaneCollege";
    QFile m(marqueur);
    ASSERT_TRUE(m.open(QIODevice::WriteOnly));
    m.close();
    forme->hide();
    forme->show();
    Calmer();
    QFile::remove(marqueur);
    EXPECT_EQ(forme->NbreSE->value(), 1);
    EXPECT_EQ(forme->IncertitudeSE->value(), 1);
    EXPECT_FALSE(forme->NbreSE->isVisible());
    EXPECT_FALSE(forme->LabelIncert->isVisible());
}

TEST_F(AviForm, VignetteDifferenceEtInterrupteursDuTrace) {
    Ouvrir(Film("balle.avi"));
    forme->MesureBtn->click();
    Calmer();
    const QImage blanche = forme->PaintBox->Pixels().copy();
    // No stored row yet: moving the pointer leaves the thumbnail as it is.
    QTest::mouseMove(forme->Image, Balle(0));
    EXPECT_EQ(forme->PaintBox->Pixels(), blanche);
    Cliquer(Balle(0));
    // Frame 1: where the ball was, the neighbourhood now differs from the first one.
    QTest::mouseMove(forme->Image, Balle(0) + QPoint(5, 5));
    QTest::mouseMove(forme->Image, Balle(0));
    EXPECT_NE(forme->PaintBox->Pixels(), blanche);
    // On the ball itself the difference is small: the centre of the thumbnail is near white.
    QTest::mouseMove(forme->Image, Balle(1));
    EXPECT_GT(qRed(forme->PaintBox->Pixels().pixel(20, 20)), 200);
    forme->PaintBoxClick(); // black background
    EXPECT_LT(qRed(forme->PaintBox->Pixels().pixel(20, 20)), 55);

    // Both switches off: the grid is still written, nothing is drawn on the picture.
    forme->TraceEchCB->setChecked(false);
    forme->TracePointsCB->setChecked(false);
    forme->RedessinerTout();
    const QImage& o = forme->Image->Overlay();
    bool vide = true;
    for (int y = 0; y < o.height() && vide; ++y)
        for (int x = 0; x < o.width() && vide; ++x)
            vide = qAlpha(o.pixel(x, y)) == 0;
    EXPECT_TRUE(vide);
    EXPECT_EQ(Cellule(0, 0), "0");
    forme->TracePointsCB->setChecked(true);
    forme->RedessinerTout();
    EXPECT_NE(qAlpha(forme->Image->Overlay().pixel(Balle(0) + QPoint(3, 0))), 0);
}

TEST_F(AviForm, FilmMpegTraceSurLaPageDeDessin) {
    ASSERT_TRUE(QFile::copy(Film("balle.avi"), dossier.filePath("balle.mpg")));
    Ouvrir(dossier.filePath("balle.mpg"));
    forme->MesureBtn->click();
    Calmer();
    Mesurer(3);
    forme->RefreshBtn->click();
    Calmer();
    QImage& dessin = forme->DessinPB->Dessin();
    const QRgb fond = dessin.pixel(dessin.width() - 1, dessin.height() - 1);
    // The point of row 1, mirrored to the page's size.
    const QPoint m(qRound(Balle(0).x() * double(dessin.width()) / 160),
                   qRound(Balle(0).y() * double(dessin.height()) / 120));
    bool trace = false;
    for (int dx = -3; dx <= 3; ++dx)
        trace = trace || dessin.pixel(m + QPoint(dx, 0)) != fond;
    EXPECT_TRUE(trace);
}

TEST_F(AviForm, MesuresAutomatiquesSuiventLaBalle) {
    Ouvrir(Film("balle.avi", 8));
    forme->NbreSE->setValue(3);
    forme->MesureAutoCB->setChecked(true);
    forme->MesureBtn->click();
    Calmer();
    EXPECT_EQ(test::Dialogues().messages(),
              (std::vector<QString>{"Un seul mobile possible", "Cliquer sur la cible à suivre"}));
    EXPECT_EQ(forme->NbreSE->value(), 1);
    EXPECT_EQ(forme->Machine().Etat, PointingState::psTarget);
    Cliquer(Balle(0));
    for (int i = 0; i < 10; ++i)
        Calmer();
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_FALSE(forme->MesureBtn->isChecked());
    ASSERT_EQ(forme->Tables().Rows, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_LE((forme->Tables().Point(1, i) - Balle(i)).manhattanLength(), 2) << i;
        EXPECT_NEAR(forme->Tables().Temps(i), 0.04 * i, 1e-9);
    }
}

} // namespace

namespace {

// Closing the form ends what runs, as releasing its button does; opened again, it has no film
// and a click records nothing.
struct CasFermeture {
    const char* nom;
    bool automatique; // MesureAutoCB ticked: the target is clicked and tracking runs
    bool chrono;      // ChronoPhotoBtn pressed instead of MesureBtn
};
void PrintTo(const CasFermeture& c, std::ostream* os) {
    *os << c.nom;
}
class FermetureAvi : public AviForm, public ::testing::WithParamInterface<CasFermeture> {};

TEST_P(FermetureAvi, FermerArreteToutEtRienNeSEnregistreSansFilm) {
    const CasFermeture cas = GetParam();
    Ouvrir(Film("balle.avi", 30));
    forme->MesureAutoCB->setChecked(cas.automatique);
    if (cas.chrono) {
        test::Dialogues().fichiers.push_back(dossier.filePath("chrono.bmp"));
        forme->ChronoPhotoBtn->click();
    } else {
        forme->MesureBtn->click();
        Calmer();
        if (cas.automatique)
            QTest::mouseClick(forme->Image, Qt::LeftButton, {}, Balle(0)); // the target
        else
            Cliquer(Balle(0));
    }
    // Closing comes while the analysis runs, before it has reached the end of the film.
    for (int i = 0; i < 6 && forme->Machine().Etat != PointingState::psAnalysis &&
                    (cas.automatique || cas.chrono);
         ++i)
        QCoreApplication::processEvents();
    if (cas.automatique || cas.chrono) {
        EXPECT_EQ(forme->Machine().Etat, PointingState::psAnalysis);
    }
    forme->close();
    Calmer();
    EXPECT_FALSE(forme->MesureBtn->isChecked());
    EXPECT_FALSE(forme->ChronoPhotoBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_FALSE(forme->FilmOuvert());

    forme->show();
    Calmer();
    const int lignes = forme->Tables().Rows;
    QTest::mouseClick(forme->Image, Qt::LeftButton, {}, Balle(3));
    QTest::keyClick(forme->EditBidon, Qt::Key_Space);
    Calmer();
    EXPECT_EQ(forme->Tables().Rows, lignes);
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
}

const CasFermeture kCasFermeture[] = {
    {"MesureManuelle", false, false},
    {"SuiviAutomatique", true, false},
    {"Chronophotographie", false, true},
};
INSTANTIATE_TEST_SUITE_P(Forme, FermetureAvi, ::testing::ValuesIn(kCasFermeture),
                         [](const auto& info) { return std::string(info.param.nom); });

} // namespace

namespace {

// Tracking tells what it came to: the frames where the target was lost in the status bar, and a
// click on a colour that does not stand out from the background a warning before the pass.
TEST_F(AviForm, SuiviPerduOuCibleConfondue) {
    const QString chemin = dossier.filePath("disparait.avi");
    test::ParametresFilm p;
    p.images = 8;
    ASSERT_TRUE(test::EcrireFilm(chemin, p, [&](int n) {
        return ImageBalle(n < 5 ? n : 40, p.largeur, p.hauteur); // gone from frame 5 on
    }));
    Ouvrir(chemin);
    forme->MesureAutoCB->setChecked(true);
    forme->MesureBtn->click();
    Calmer();
    Cliquer(Balle(0));
    for (int i = 0; i < 10; ++i)
        Calmer();
    EXPECT_EQ(forme->Tables().Rows, 5);
    EXPECT_EQ(forme->Status->texte(2), "Cible perdue sur 3 images");
    EXPECT_EQ(test::Dialogues().messages(),
              (std::vector<QString>{"Cliquer sur la cible à suivre"}));

    // On the white background, far from the ball.
    test::Dialogues().affiches.clear();
    forme->DebutBtn->click();
    Calmer();
    forme->MesureBtn->click();
    Calmer();
    Cliquer({130, 100});
    for (int i = 0; i < 10; ++i)
        Calmer();
    EXPECT_EQ(test::Dialogues().messages(),
              (std::vector<QString>{"Cliquer sur la cible à suivre",
                                    QString::fromUtf8(kMessageCibleConfondue)}));
}

} // namespace

namespace {

bool Encre(const QImage& image, QPoint p) {
    return image.valid(p) && qAlpha(image.pixel(p)) > 128;
}

// Hints and captions as the user reads them.
TEST_F(AviForm, AidesEtLegendes) {
    EXPECT_EQ(forme->MesureBtn->statusTip(), QString::fromUtf8("Début des mesures"));
    EXPECT_EQ(forme->TabulaneBtn->text(), "&Tabulane");
    EXPECT_EQ(forme->Splitter1->handle(1)->statusTip(),
              QString::fromUtf8("Déplacer pour changer la taille du tableau"));
    EXPECT_TRUE(forme->Grid->statusTip().isEmpty());
    EXPECT_TRUE(forme->DureeEdit->isHidden()); // no film: the rate box, not the period
    EXPECT_FALSE(forme->NbreImagesSE->isHidden());
    Ouvrir(Film("balle.avi", 12));
    EXPECT_EQ(forme->MesureBtn->statusTip(), QString::fromUtf8("Début des mesures"));
    EXPECT_EQ(forme->ChronoPhotoBtn->statusTip(),
              QString::fromUtf8("Réaliser une chronophotographie"));
    forme->NbreSE->setValue(2);
    forme->MesureBtn->click();
    EXPECT_EQ(forme->MesureBtn->statusTip(), QString::fromUtf8("Arrêt des mesures"));
    Calmer();
    Cliquer(Balle(0));
    EXPECT_EQ(forme->OrigineTempsBtn->toolTip(), "L'image courante sera l'origine des temps");
    Cliquer(Balle(0) + QPoint(0, 30));
    EXPECT_EQ(forme->OrigineTempsBtn->toolTip(),
              QString::fromUtf8("Cliquer sur le point enregistré qui sera l'origine des temps"));
    forme->MesureBtn->click();
    Calmer();
    EXPECT_EQ(forme->MesureBtn->statusTip(), "Commencer les mesures");
    test::Dialogues().fichiers.push_back(dossier.filePath("c.bmp"));
    forme->ChronoPhotoBtn->click();
    EXPECT_EQ(forme->ChronoPhotoBtn->statusTip(),
              QString::fromUtf8("Arrêt de la Chronophotographie"));
    Calmer();
}

// The small axes of a mobile origin belong to the measurement: drawn with "Axes" off.
TEST_F(AviForm, PetitsAxesDeLOrigineMobileSansLesAxes) {
    Ouvrir(Film("balle.avi"));
    forme->TraceEchCB->setChecked(false);
    forme->TracePointsCB->setChecked(false);
    forme->OrigineItemClick(true);
    forme->MesureBtn->click();
    Calmer();
    const QPoint origine(60, 70);
    Cliquer(origine);
    EXPECT_TRUE(Encre(forme->Image->Overlay(), origine + QPoint(15, 0))); // just drawn
    Cliquer(Balle(0));
    forme->RefreshBtn->click();
    Calmer();
    const QImage& o = forme->Image->Overlay();
    EXPECT_TRUE(Encre(o, origine + QPoint(15, 0)));
    EXPECT_TRUE(Encre(o, origine + QPoint(0, -15)));
    EXPECT_FALSE(Encre(o, forme->Calibration().ScaleStart + QPoint(3, 0))); // no scale drawn
}

// Crosses and axes leave out the end pixel of each line, as the overlay's pens draw.
TEST(DessinOverlay, LesLignesLaissentLeurDernierPixel) {
    QImage i(120, 100, QImage::Format_ARGB32);
    i.fill(Qt::transparent);
    {
        QPainter p(&i);
        p.setPen(QPen(Qt::black, 1));
        PetiteCroix(p, {20, 20});
        PetitsAxes(p, {60, 50}, true, true);
        AxesComplets(p, {90, 30}, 120, 100, false, false);
        Ligne(p, {10, 90}, {40, 80});
    }
    const struct {
        QPoint p;
        bool encre;
    } cas[] = {
        {{15, 20}, true},  {{24, 20}, true},  {{25, 20}, false},  {{20, 15}, true},
        {{20, 24}, true},  {{20, 25}, false}, {{40, 50}, true},   {{79, 50}, true},
        {{80, 50}, false}, {{60, 69}, true},  {{60, 70}, false},  {{90, 97}, true},
        {{90, 98}, false}, {{117, 30}, true}, {{118, 30}, false}, {{10, 90}, true},
        {{40, 80}, false}, {{39, 80}, true},
    };
    for (const auto& c : cas)
        EXPECT_EQ(Encre(i, c.p), c.encre) << c.p.x() << "," << c.p.y();
}

// The tool buttons' pictures follow the orientation, the origin mode and the transfer target;
// checked on the drawn pixels.
TEST_F(AviForm, IconesDesBoutons) {
    const QImage hd = ImageIconeAvi("echelle-haut-droite");
    ASSERT_FALSE(hd.isNull());
    // Up and right: the vertical axis's arrow at the top, the horizontal one's at the right.
    EXPECT_TRUE(Encre(hd, {7, 6}));
    EXPECT_FALSE(Encre(hd, {7, 17}));
    EXPECT_TRUE(Encre(hd, {18, 21}));
    EXPECT_GT(qBlue(hd.pixel(5, 10)), qRed(hd.pixel(5, 10)) + 60); // a blue axis
    const auto proche = [](const QImage& a, const QImage& b) {
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))) > 16) return false;
        return true;
    };
    EXPECT_TRUE(proche(ImageIconeAvi("echelle-bas-droite"), hd.mirrored(false, true)));
    EXPECT_TRUE(proche(ImageIconeAvi("echelle-haut-gauche"), hd.mirrored(true, false)));
    EXPECT_TRUE(proche(ImageIconeAvi("echelle-bas-gauche"), hd.mirrored(true, true)));

    const QImage unique = ImageIconeAvi("origine-unique"), mobile = ImageIconeAvi("origine-mobile");
    EXPECT_TRUE(Encre(unique, {12, 3}));
    EXPECT_FALSE(Encre(mobile, {12, 3}));
    EXPECT_TRUE(Encre(mobile, {6, 18}));
    const QRgb fichier = ImageIconeAvi("vers-fichier").pixel(4, 11);
    EXPECT_GT(qBlue(fichier), qRed(fichier) + 60);
    const QRgb presse = ImageIconeAvi("vers-presse-papiers").pixel(4, 12);
    EXPECT_GT(qRed(presse), qBlue(presse) + 50);
    const QRgb tabulane = ImageIconeAvi("vers-tabulane").pixel(16, 9);
    EXPECT_GT(qGreen(tabulane), qRed(tabulane) + 60);

    // The buttons carry the picture of the current choice.
    const auto image = [](const QToolButton* b) {
        return b->icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const auto meme = [&](const QImage& a, const QString& nom) {
        return proche(a, ImageIconeAvi(nom).convertToFormat(QImage::Format_ARGB32));
    };
    EXPECT_TRUE(meme(image(forme->EchelleBtn), "echelle-haut-droite"));
    forme->Axeverslebasgauche->trigger();
    EXPECT_TRUE(meme(image(forme->EchelleBtn), "echelle-bas-gauche"));
    EXPECT_TRUE(meme(image(forme->OrigineBtn), "origine-unique"));
    forme->OrigineMobileItem->trigger();
    EXPECT_TRUE(meme(image(forme->OrigineBtn), "origine-mobile"));
    EXPECT_TRUE(meme(image(forme->TabulaneBtn), "vers-tabulane"));
    ReglagesAvi r = forme->Reglages();
    r.Sauvegarde = CibleSauvegarde::PressePapiers;
    forme->AppliquerReglages(r);
    EXPECT_TRUE(meme(image(forme->TabulaneBtn), "vers-presse-papiers"));
    EXPECT_EQ(forme->TabulaneBtn->text(), "Copier");
}

} // namespace
