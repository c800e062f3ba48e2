// The second video form and the codec help, driven as a user drives them: generated films,
// clicks on the picture, the scripted dialogs and the recorded program starts.
#include "common/IniFile.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/video/LecteurFilm.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "support/Evenements.h"
#include "support/FakePlateforme.h"
#include "support/FilmSynthetique.h"
#include "video/ui/AideCodecDlg.h"
#include "video/ui/ChronoU.h"
#include "video/ui/MovieForm.h"
#include "video/ui/Vignettes.h"

#include <QCheckBox>
#include <QFile>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

QImage ImageGrise(int, int largeur, int hauteur) {
    QImage im(largeur, hauteur, QImage::Format_RGB888);
    im.fill(QColor(128, 128, 128));
    return im;
}

// A red disc of radius 5 crossing a grey frame from left to right, 12 pixels a frame.
QPoint CentreDisque(int n) {
    return {20 + 12 * n, 60};
}
QImage ImageDisque(int n, int largeur, int hauteur) {
    QImage im = ImageGrise(n, largeur, hauteur);
    QPainter p(&im);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 20, 20));
    p.drawEllipse(CentreDisque(n), 5, 5);
    return im;
}

bool Rouge(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100;
}

class MovieForm : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    std::unique_ptr<TMovieForm> forme;

    void SetUp() override {
        ASSERT_TRUE(dossier.isValid());
        FixerSeparateurDecimal(QLatin1Char('.'));
        QFile::remove(NomFichierIni());
        forme = std::make_unique<TMovieForm>();
        forme->resize(900, 600);
        forme->show();
        test::TraiterEvenements();
    }
    void TearDown() override {
        forme.reset();
        SeparateurDecimalDuSysteme();
    }
    QString Film(const QString& nom, int images = 10) {
        test::ParametresFilm p;
        p.images = images;
        const QString chemin = dossier.filePath(nom);
        QString erreur;
        EXPECT_TRUE(test::EcrireFilm(
            chemin, p, [&](int n) { return ImageGrise(n, p.largeur, p.hauteur); }, &erreur))
            << erreur.toStdString();
        return chemin;
    }
    void Ouvrir(const QString& chemin) {
        ASSERT_TRUE(forme->OuvrirFilm(chemin));
        test::TraiterEvenements();
    }
    void Relacher(QPoint posImage) {
        forme->ImageMouseDown(Qt::LeftButton, posImage * forme->Calibration().Zoom);
        forme->ImageMouseUp(Qt::LeftButton, posImage * forme->Calibration().Zoom);
        test::TraiterEvenements();
    }
    QString Cellule(int r, int c) const {
        const QTableWidgetItem* item = forme->Grid->item(r, c);
        return item ? item->text() : QString();
    }
};

struct CasExtension {
    const char* nom;
    bool accepte;
};

TEST_F(MovieForm, ExtensionsAccepteesOuRefusees) {
    const CasExtension cas[] = {
        {"a.avi", true},  {"a.MPG", true}, {"a.mpeg", true},    {"a.divx", true}, {"a.mov", true},
        {"a.MP4", true},  {"a.m4v", true}, {"a.3gp", true},     {"a.mkv", true},  {"a.webm", true},
        {"a.xyz", false}, {"a", false},    {"a.avi.txt", false}};
    for (const auto& c : cas)
        EXPECT_EQ(ExtensionFilmAcceptee(QString::fromUtf8(c.nom)), c.accepte) << c.nom;
    EXPECT_FALSE(forme->OuvrirFilm(dossier.filePath("film.xyz")));
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Extension non reconnue"});
    EXPECT_FALSE(forme->FilmOuvert());
}

TEST_F(MovieForm, FilmMovOuvertSesPanneauxEtSonTitre) {
    test::ParametresFilm p;
    p.codec = test::CodecFilm::Mpeg4Mov;
    p.images = 10;
    const QString chemin = dossier.filePath("telephone.mov");
    ASSERT_TRUE(test::EcrireFilm(chemin, p, [&](int n) { return ImageGrise(n, 160, 120); }));
    Ouvrir(chemin);
    EXPECT_EQ(forme->windowTitle(), "Lecture de fichier video pour Tabulane [telephone.mov]");
    EXPECT_EQ(forme->Status->texte(3), "mpeg4");
    EXPECT_EQ(forme->Status->texte(0), "0 ms");
    EXPECT_EQ(forme->Status->texte(1), "n°=0");
    EXPECT_EQ(forme->Cadre().size(), QSize(160, 120));
    EXPECT_EQ(forme->Image->size(), QSize(160, 120));
    EXPECT_TRUE(forme->HelpBtn->isEnabled());
}

TEST_F(MovieForm, DeuxCentCinquanteImagesEtUneTrameSurDeux) {
    Ouvrir(Film("long.avi", 250));
    EXPECT_TRUE(forme->FrameMode);
    EXPECT_NEAR(forme->FramePeriod(), 0.04, 1e-12);
    forme->MpegCB->click();
    EXPECT_NEAR(forme->FramePeriod(), 0.08, 1e-12);
    forme->SuivantBtn->click();
    test::TraiterEvenements();
    EXPECT_EQ(forme->Lecteur().FrameIndex(), 1);
    EXPECT_EQ(forme->Status->texte(0), "40 ms");
    EXPECT_EQ(forme->Status->texte(1), "n°=1");
    forme->MpegCB->click();
    EXPECT_NEAR(forme->FramePeriod(), 0.04, 1e-12);
}

TEST_F(MovieForm, SansNombreImagesPasDeQuatreCentiemes) {
    forme->Lecteur().ForcerSansNombreImages(true);
    Ouvrir(Film("sans.avi", 10));
    EXPECT_FALSE(forme->FrameMode);
    EXPECT_DOUBLE_EQ(forme->FramePeriod(), 0.04);
    forme->SuivantBtn->click();
    forme->SuivantBtn->click();
    test::TraiterEvenements();
    EXPECT_NEAR(forme->Lecteur().Position(), 0.08, 1e-9);
    EXPECT_EQ(forme->Status->texte(0), "80 ms");
    EXPECT_EQ(forme->Status->texte(1), "");
}

TEST_F(MovieForm, MesureDepuisImageCinquanteEtClicSousImageIgnore) {
    Ouvrir(Film("long.avi", 80));
    forme->Lecteur().AllerImage(50);
    test::TraiterEvenements();
    forme->MesureBtn->click();
    test::TraiterEvenements();
    // Below the frame: nothing recorded.
    forme->ImageMouseUp(Qt::LeftButton, QPoint(30, 120 + 3));
    EXPECT_EQ(forme->Tables().Rows, 0);
    Relacher({30, 40});
    EXPECT_EQ(forme->Tables().Rows, 1);
    EXPECT_EQ(forme->Lecteur().FrameIndex(), 51);
    Relacher({32, 41});
    EXPECT_EQ(forme->Tables().Rows, 2);
    EXPECT_EQ(Cellule(0, 0), "0");
    EXPECT_EQ(Cellule(1, 0), "0.04");
}

struct CasClicBord {
    QPoint posImage;
    bool enregistre;
};

TEST_F(MovieForm, ClicsAuBordDuCadre) {
    // A 160 x 120 frame: its last pixel counts, the first one beyond it on either side does not.
    const CasClicBord cas[] = {{{159, 119}, true}, {{0, 0}, true},     {{160, 50}, false},
                               {{50, 120}, false}, {{30, 123}, false}, {{400, 400}, false}};
    Ouvrir(Film("long.avi", 20));
    forme->MesureBtn->click();
    for (const auto& c : cas) {
        const int avant = forme->Tables().Rows;
        forme->ImageMouseDown(Qt::LeftButton, c.posImage);
        forme->ImageMouseUp(Qt::LeftButton, c.posImage);
        test::TraiterEvenements();
        EXPECT_EQ(forme->Tables().Rows, avant + (c.enregistre ? 1 : 0))
            << c.posImage.x() << "," << c.posImage.y();
    }
}

TEST_F(MovieForm, PointageAuClavier) {
    Ouvrir(Film("long.avi", 20));
    forme->MesureBtn->click();
    test::TraiterEvenements();
    const QPoint global = forme->Image->mapToGlobal(QPoint(40, 30));
    QCursor::setPos(global);
    if (QCursor::pos() != global) GTEST_SKIP() << "this platform cannot move the pointer";
    QTest::keyClick(forme->Image, Qt::Key_Right);
    QTest::keyClick(forme->Image, Qt::Key_8, Qt::KeypadModifier);
    EXPECT_EQ(QCursor::pos(), global + QPoint(1, -1));
    QTest::keyClick(forme->Image, Qt::Key_Return);
    test::TraiterEvenements();
    EXPECT_EQ(forme->Tables().Rows, 1);
    EXPECT_EQ(forme->Tables().Point(1, 0), QPoint(41, 29));
    EXPECT_EQ(forme->Lecteur().FrameIndex(), 1);
    // Beyond the frame the key records nothing.
    QCursor::setPos(forme->Image->mapToGlobal(QPoint(40, 130)));
    QTest::keyClick(forme->Image, Qt::Key_Space);
    EXPECT_EQ(forme->Tables().Rows, 1);
}

TEST_F(MovieForm, MesureFinitALaDerniereImage) {
    Ouvrir(Film("court.avi", 3));
    forme->MesureBtn->click();
    for (int i = 0; i < 3; ++i)
        Relacher({10 + i, 10});
    EXPECT_EQ(forme->Tables().Rows, 3);
    EXPECT_FALSE(forme->MesureBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
}

TEST_F(MovieForm, PointsTropProchesPuisEchelleDessineeDansLImage) {
    Ouvrir(Film("court.avi", 3));
    forme->EchelleBtn->click();
    Relacher({20, 20});
    EXPECT_EQ(forme->Machine().Etat, PointingState::psScaleEnd);
    Relacher({23, 24});
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Points trop proches"});
    EXPECT_EQ(forme->Calibration().ScaleEnd, QPoint(36, 36));
    EXPECT_EQ(forme->Machine().Etat, PointingState::psScaleEnd);
    test::Dialogues().saisies.push_back(QStringLiteral("0.5"));
    Relacher({120, 20});
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_DOUBLE_EQ(forme->Calibration().ScaleLength, 0.5);
    // The segment is drawn into the picture in image pixels, in the axis colour.
    const QRgb axe = forme->ImageAffichee().pixel(70, 20);
    EXPECT_NE(axe, qRgb(128, 128, 128));
    // The zoom stretches that picture: the same pixel at twice the coordinates.
    forme->ZoomSEChange(2);
    EXPECT_EQ(forme->Image->size(), QSize(320, 240));
    EXPECT_EQ(forme->Image->Composition().pixel(140, 40), axe);
}

TEST_F(MovieForm, ChronophotographieSansClicSurLaCible) {
    test::ParametresFilm p;
    p.images = 10;
    p.qualite = 2;
    const QString film = dossier.filePath("disque.avi");
    ASSERT_TRUE(test::EcrireFilm(film, p, [&](int n) { return ImageDisque(n, 160, 120); }));
    Ouvrir(film);
    forme->Lecteur().AllerImage(2);
    test::TraiterEvenements();
    const QString bmp = dossier.filePath("chrono.bmp");
    test::Dialogues().fichiers.push_back(bmp);
    forme->ChronoPhotoBtn->click();
    // No target to click: the pass starts at once and runs to the last frame.
    EXPECT_NEAR(forme->Calibration().TimeOrigin, 0.08, 1e-9);
    for (int i = 0; i < 50 && forme->ChronoPhotoBtn->isChecked(); ++i)
        test::TraiterEvenements();
    EXPECT_FALSE(forme->ChronoPhotoBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_EQ(forme->Lecteur().FrameIndex(), 9);
    EXPECT_TRUE(test::Dialogues().messages().empty());
    // The saved picture holds the disc of every frame after the start, over the background
    // (the start frame is the background itself: where its disc was, the next frame's grey
    // differs from it and is painted over it).
    const QImage chrono(bmp);
    ASSERT_FALSE(chrono.isNull());
    EXPECT_EQ(chrono.size(), QSize(160, 120));
    for (int n = 3; n < 10; ++n)
        EXPECT_TRUE(Rouge(chrono.pixel(CentreDisque(n)))) << "frame " << n;
    EXPECT_FALSE(Rouge(chrono.pixel(CentreDisque(0))));
    EXPECT_FALSE(Rouge(chrono.pixel(80, 20)));
    EXPECT_TRUE(ChronoForm()->isVisible());
    ChronoForm()->hide();
}

TEST_F(MovieForm, LaVignetteParaitSansDeplacerLImage) {
    Ouvrir(Film("court.avi", 5));
    const auto vignette = [&] {
        for (QAction* a : forme->ToolBar2->actions())
            if (forme->ToolBar2->widgetForAction(a) == forme->PaintBox) return a->isVisible();
        return false;
    };
    const QPoint avant = forme->Image->mapTo(forme.get(), QPoint(0, 0));
    EXPECT_FALSE(vignette());
    forme->MesureBtn->click();
    test::TraiterEvenements();
    // The difference thumbnail is offered while measuring; the picture stays under the pointer.
    EXPECT_TRUE(vignette());
    EXPECT_EQ(forme->Image->mapTo(forme.get(), QPoint(0, 0)), avant);
}

TEST_F(MovieForm, ChronophotographieAnnuleeAuChoixDuFichier) {
    Ouvrir(Film("court.avi", 5));
    test::Dialogues().fichiers.push_back(std::nullopt);
    forme->ChronoPhotoBtn->click();
    EXPECT_FALSE(forme->ChronoPhotoBtn->isChecked());
    EXPECT_EQ(forme->Machine().Etat, PointingState::psIdle);
    EXPECT_EQ(forme->Lecteur().FrameIndex(), 0);
    EXPECT_TRUE(forme->MesureBtn->isEnabled());
}

TEST_F(MovieForm, ReglagesAviSansSectionSave) {
    forme.reset();
    QFile::remove(NomFichierIni());
    forme = std::make_unique<TMovieForm>();
    forme->Axeverslebasgauche->trigger();
    forme->CurseurClick(6);
    forme->IncertitudeSE->setValue(3);
    forme->close();
    {
        const IniFile ini(NomFichierIni());
        EXPECT_FALSE(ini.lireBooleen(QStringLiteral("AVI"), QStringLiteral("Altitude"), true));
        EXPECT_FALSE(ini.lireBooleen(QStringLiteral("AVI"), QStringLiteral("Droite"), true));
        EXPECT_EQ(ini.lireEntier(QStringLiteral("AVI"), QStringLiteral("Cible"), 0), 6);
        EXPECT_EQ(ini.lireEntier(QStringLiteral("Save"), QStringLiteral("Tabulane"), -7), -7);
    }
    QFile f(NomFichierIni());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("[Save]"));
    f.close();
    forme = std::make_unique<TMovieForm>();
    EXPECT_TRUE(forme->Axeverslebasgauche->isChecked());
    EXPECT_TRUE(forme->CurseurNoir->isChecked());
    EXPECT_EQ(forme->IncertitudeSE->value(), 3);
    forme->CurseurClick(8);
}

TEST_F(MovieForm, OrigineDesTempsSurUnPointEnregistre) {
    Ouvrir(Film("long.avi", 20));
    forme->MesureBtn->click();
    for (int i = 0; i < 3; ++i)
        Relacher({10 + 10 * i, 40});
    EXPECT_EQ(Cellule(0, 0), "0");
    // Once rows exist the button picks one: the second row becomes time 0.
    ASSERT_TRUE(forme->OrigineTempsBtn->isCheckable());
    forme->OrigineTempsBtn->click();
    forme->ImageMouseDown(Qt::LeftButton, QPoint(21, 41));
    forme->ImageMouseUp(Qt::LeftButton, QPoint(21, 41));
    EXPECT_EQ(Cellule(0, 0), "-0.04");
    EXPECT_EQ(Cellule(1, 0), "0");
    EXPECT_EQ(Cellule(2, 0), "0.04");
    EXPECT_FALSE(forme->OrigineTempsBtn->isChecked());
    EXPECT_EQ(forme->Tables().Rows, 3);
}

// ---- Codec help ------------------------------------------------------------------------------

class AideCodec : public ::testing::Test {
protected:
    QTemporaryDir dossier;
};

TEST_F(AideCodec, TexteDimensionsEtLigneDuFilm) {
    TAideCodecDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Résolution des problèmes de lecture des fichiers AVI");
    EXPECT_EQ(dlg.size(), QSize(453, 211));
    const QStringList lignes = dlg.Memo1->toPlainText().split('\n');
    ASSERT_GE(lignes.size(), 13);
    EXPECT_EQ(lignes[0], "Si vous n'arrivez pas à lire un fichier AVI");
    EXPECT_EQ(lignes[1], "Vérifier si votre PC prend en charge un codec donné :");
    EXPECT_TRUE(lignes[2].contains("ffmpeg -hide_banner -decoders"));
    EXPECT_TRUE(lignes[7].startsWith("CODEC libavcodec-extra"));
    EXPECT_EQ(lignes[10], "Pour des renseignements complémentaires cliquer sur les boutons "
                          "ci-dessous");
    EXPECT_EQ(lignes.last(), "Aucun film ouvert.");
    EXPECT_TRUE(dlg.BitBtn1->text().startsWith("Site de "));
    EXPECT_TRUE(dlg.BitBtn2->text().startsWith("Site de "));
    EXPECT_EQ(dlg.BitBtn1->size(), QSize(193, 25));

    test::ParametresFilm p;
    p.images = 2;
    const QString film = dossier.filePath("balle.avi");
    ASSERT_TRUE(test::EcrireFilm(film, p, [&](int n) { return ImageGrise(n, 160, 120); }));
    dlg.SetFilm(film);
    EXPECT_EQ(dlg.Memo1->toPlainText().split('\n').last(),
              "Film balle.avi : conteneur avi, codec mjpeg, décodeur présent sur cette machine.");
    QFile faux(dossier.filePath("faux.avi"));
    ASSERT_TRUE(faux.open(QIODevice::WriteOnly));
    faux.write("ceci n'est pas un film");
    faux.close();
    EXPECT_TRUE(LigneFilm(faux.fileName()).startsWith("Film faux.avi : illisible, "));
}

TEST_F(AideCodec, BoutonsOuvrentLeNavigateurOuDisentLEchec) {
    TAideCodecDlg dlg;
    test::Processus().vraiment = false;
    test::Processus().reussir = true;
    dlg.BitBtn1->click();
    ASSERT_EQ(test::Processus().lances.size(), 1u);
    EXPECT_EQ(test::Processus().lances[0].programme, "xdg-open");
    EXPECT_EQ(test::Processus().lances[0].arguments,
              QStringList{QString::fromUtf8(TAideCodecDlg::kSite1)});
    EXPECT_TRUE(test::Dialogues().messages().empty());
    test::Processus().reussir = false;
    dlg.BitBtn2->click();
    EXPECT_EQ(test::Processus().lances.back().arguments,
              QStringList{QString::fromUtf8(TAideCodecDlg::kSite2)});
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Impossible d'accéder au site"});
}

} // namespace
