// The profile form driven offscreen: opening BMP, JPEG (direct and copy reading) and GIF files,
// the overlay on the displayed picture, dragging handles, the double click into the
// point-placement dialog, the transfer, the text table, the picture save and the settings.
#include "ImagesOptique.h"
#include "common/BmpFile.h"
#include "common/IniFile.h"
#include "image/ui/JpegEchelleDlg.h"
#include "optics/ui/OptiqueForm.h"
#include "platform/Chemins.h"
#include "support/Evenements.h"
#include "support/FakeConstante.h"
#include "support/EcritureLimitee.h"
#include "support/FakePlateforme.h"

#include <QApplication>
#include <functional>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;
namespace kt = kinepo::test;

using kinepo::test::Souris;

namespace {

// A 4-level grey GIF whose pixel (x, y) has palette index (x / 10) % 4.
void EcrireGif(const QString& chemin, int w, int h) {
    int err = 0;
    GifFileType* g = EGifOpenFileName(QFile::encodeName(chemin).constData(), false, &err);
    ASSERT_NE(g, nullptr);
    GifColorType couleurs[4] = {{0, 0, 0}, {80, 80, 80}, {160, 160, 160}, {240, 240, 240}};
    ColorMapObject* palette = GifMakeMapObject(4, couleurs);
    ASSERT_EQ(EGifPutScreenDesc(g, w, h, 2, 0, palette), GIF_OK);
    ASSERT_EQ(EGifPutImageDesc(g, 0, 0, w, h, false, nullptr), GIF_OK);
    std::vector<GifPixelType> ligne(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            ligne[std::size_t(x)] = GifPixelType((x / 10) % 4);
        ASSERT_EQ(EGifPutLine(g, ligne.data(), w), GIF_OK);
    }
    GifFreeMapObject(palette);
    ASSERT_EQ(EGifCloseFile(g, &err), GIF_OK);
}

class FormeOptique : public ::testing::Test {
protected:
    void SetUp() override {
        // Every test starts from the default settings, whatever an earlier one saved.
        QFile::remove(NomFichierIni());
        forme = std::make_unique<TOptiqueForm>();
        forme->setWindowState(Qt::WindowNoState);
        forme->resize(1270, 960);
        forme->show();
        QApplication::processEvents();
    }
    void TearDown() override { forme.reset(); }
    QString Bmp(const QString& nom, const QImage& image) {
        const QString chemin = dir.filePath(nom);
        EXPECT_TRUE(EcrireBmp24(image, chemin));
        return chemin;
    }
    QTemporaryDir dir;
    std::unique_ptr<TOptiqueForm> forme;
};

} // namespace

TEST_F(FormeOptique, SansSourceRienNeSePasse) {
    EXPECT_FALSE(forme->TabulaneBtn->isEnabled());
    EXPECT_FALSE(forme->SaveFileBtn->isEnabled());
    EXPECT_FALSE(forme->TextFileBtn->isEnabled());
    EXPECT_TRUE(forme->ConnectBtn->isEnabled()); // the webcam is a source of its own
    EXPECT_FALSE(forme->ConfigWebCamBtn->isEnabled());
    forme->Calculer();
    Souris(forme->Image1, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    EXPECT_EQ(forme->Profil().Fin, 0);
    EXPECT_EQ(forme->windowTitle(), "Lecture d'intensité lumineuse pour Tabulane");
}

TEST_F(FormeOptique, BmpEnLectureDirecteAvecOverlay) {
    const QImage image = kt::ImageFranges(300, 200);
    const QString chemin = Bmp(QStringLiteral("franges.bmp"), image);
    forme->OuvrirFichier(chemin);
    const ProfilOptique& p = forme->Profil();
    EXPECT_EQ(forme->windowTitle(), "Lecture d'images pour Tabulane [franges.bmp]");
    EXPECT_EQ(forme->dimLabel->text(), "300x200");
    EXPECT_EQ(p.Lecture, LecturePixels::Directe);
    EXPECT_GE(p.Zoom, 1.0);
    EXPECT_TRUE(forme->TabulaneBtn->isEnabled());
    EXPECT_TRUE(forme->TextFileBtn->isEnabled());
    EXPECT_TRUE(forme->SaveFileBtn->isEnabled());
    EXPECT_EQ(p.Poignee[1], QPoint(150, 100));
    EXPECT_EQ(p.Debut, -150);
    EXPECT_GT(p.Fin, 100);
    EXPECT_NEAR(p.Intensite[0],
                (qRed(image.pixel(150, 100)) + qGreen(image.pixel(150, 100)) +
                 qBlue(image.pixel(150, 100))) /
                    765.0,
                1e-12);
    // The picture read holds no overlay; the displayed one is inverted under the marks.
    EXPECT_EQ(forme->ImageTenue().pixel(150, 100 - 3), image.pixel(150, 100 - 3));
    const QImage vue = forme->ImageAffichee();
    EXPECT_EQ(vue.size(), p.Affiche);
    const QPoint surTrait = p.VersEcran({150, 100 - p.TaillePoignee / 2});
    const QPoint loin = p.VersEcran({40, 20});
    const QRgb origine = image.pixel(150, 100 - p.TaillePoignee / 2);
    EXPECT_EQ(vue.pixel(surTrait) & 0xffffff, ~origine & 0xffffff);
    EXPECT_EQ(vue.pixel(loin), image.pixel(40, 20));
    // The saved picture carries the overlay too, at the picture's own size.
    kt::Dialogues().fichiers.push_back(dir.filePath(QStringLiteral("vue.bmp")));
    forme->SaveFileBtnClick();
    const QImage sauvee(dir.filePath(QStringLiteral("vue.bmp")));
    ASSERT_EQ(sauvee.size(), QSize(300, 200));
    EXPECT_EQ(sauvee.pixel(150, 100 - p.TaillePoignee / 2) & 0xffffff, ~origine & 0xffffff);
    EXPECT_EQ(sauvee.pixel(40, 20), image.pixel(40, 20));
}

TEST_F(FormeOptique, GrandJpegEnLectureCopie) {
    const QString jpeg = dir.filePath(QStringLiteral("grand.jpg"));
    ASSERT_TRUE(kt::ImageFranges(3000, 2000).save(jpeg, "JPG", 95));
    forme->OuvrirFichier(jpeg);
    const ProfilOptique& p = forme->Profil();
    ASSERT_EQ(p.Lecture, LecturePixels::Copie);
    EXPECT_LT(p.Zoom, 1.0);
    EXPECT_EQ(forme->NomCopie(), dir.filePath(QStringLiteral("grand.BMP")));
    EXPECT_TRUE(QFile::exists(forme->NomCopie()));
    EXPECT_EQ(forme->ImageTenue().size(), p.Affiche);
    EXPECT_EQ(p.TaillePoignee, 8);
    EXPECT_EQ(p.Poignee[1], QPoint(p.Affiche.width() / 2, p.Affiche.height() / 2));
    // The profile runs over the full-resolution picture: one sample per picture pixel.
    EXPECT_LE(p.Debut, -1400);
    EXPECT_GE(p.Fin, 1400);
    // The hint of a scale end offers the double click.
    Souris(forme->Image1, QEvent::MouseMove, p.Poignee[3], Qt::NoButton);
    EXPECT_EQ(forme->Image1->statusTip(), "Echelle ; double-clic pour agrandir");
}

TEST_F(FormeOptique, DoubleClicPlaceUneExtremiteEnPleineResolution) {
    const QString jpeg = dir.filePath(QStringLiteral("grand.jpg"));
    ASSERT_TRUE(kt::ImageFranges(3000, 2000).save(jpeg, "JPG", 90));
    forme->OuvrirFichier(jpeg);
    ProfilOptique& p = forme->Profil();
    const double z = p.Zoom;
    const QPoint fin = p.Poignee[4];
    // Grab scale end 4, release it, double-click.
    Souris(forme->Image1, QEvent::MouseButtonPress, fin, Qt::LeftButton);
    Souris(forme->Image1, QEvent::MouseButtonRelease, fin, Qt::NoButton);
    EXPECT_EQ(p.DernierePoigneeSaisie, 4);
    QString nomVu;
    QPoint marqueurVu;
    TJpegEchelleDlg::DefinirReponseScriptee([&](TJpegEchelleDlg& d) {
        nomVu = d.NomFichier;
        marqueurVu = d.Marqueur();
        d.DefinirMarqueur({2401, 1503});
    });
    forme->Image1DblClick();
    TJpegEchelleDlg::DefinirReponseScriptee({});
    EXPECT_EQ(nomVu, forme->NomCopie());
    EXPECT_EQ(marqueurVu, QPoint(qRound(fin.x() / z), qRound(fin.y() / z)));
    EXPECT_EQ(p.Poignee[4], QPoint(qRound(2401 * z), qRound(1503 * z)));
    // Not after grabbing the origin.
    Souris(forme->Image1, QEvent::MouseButtonPress, p.Poignee[1], Qt::LeftButton);
    Souris(forme->Image1, QEvent::MouseButtonRelease, p.Poignee[1], Qt::NoButton);
    bool montre = false;
    TJpegEchelleDlg::DefinirReponseScriptee([&](TJpegEchelleDlg&) { montre = true; });
    forme->Image1DblClick();
    TJpegEchelleDlg::DefinirReponseScriptee({});
    EXPECT_FALSE(montre);
}

TEST_F(FormeOptique, GlisserLaDirectionAvecMajuscule) {
    forme->OuvrirFichier(Bmp(QStringLiteral("f.bmp"), kt::ImageFranges(300, 200)));
    ProfilOptique& p = forme->Profil();
    const QPoint depart = p.VersEcran(p.Poignee[2]);
    const QPoint arrivee = p.VersEcran({200, 160});
    Souris(forme->Image1, QEvent::MouseButtonPress, depart, Qt::LeftButton);
    EXPECT_EQ(p.PoigneeSaisie, 2);
    Souris(forme->Image1, QEvent::MouseMove, arrivee, Qt::LeftButton);
    Souris(forme->Image1, QEvent::MouseButtonRelease, arrivee, Qt::NoButton);
    EXPECT_EQ(p.Poignee[2], QPoint(200, 160));
    EXPECT_EQ(p.PoigneeSaisie, 0);
    EXPECT_FALSE(p.Alignee); // recomputed on release: now oblique
    // With Shift the origin snaps onto the direction's column (|dy/dx| > 1).
    const QPoint bas = p.VersEcran({160, 190});
    Souris(forme->Image1, QEvent::MouseButtonPress, p.VersEcran(p.Poignee[2]), Qt::LeftButton);
    Souris(forme->Image1, QEvent::MouseMove, bas, Qt::LeftButton, Qt::ShiftModifier);
    Souris(forme->Image1, QEvent::MouseButtonRelease, bas, Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(p.Poignee[2], QPoint(160, 190));
    EXPECT_EQ(p.Poignee[1], QPoint(160, 100));
    EXPECT_FALSE(p.SelonX);
}

TEST_F(FormeOptique, GifConvertiPuisMesure) {
    const QString gif = dir.filePath(QStringLiteral("bandes.gif"));
    EcrireGif(gif, 120, 80);
    forme->OuvrirFichier(gif);
    EXPECT_EQ(forme->NomSource(), dir.filePath(QStringLiteral("bandes.bmp")));
    EXPECT_TRUE(QFile::exists(forme->NomSource()));
    EXPECT_TRUE(forme->NomCopie().isEmpty());
    const ProfilOptique& p = forme->Profil();
    EXPECT_EQ(p.Lecture, LecturePixels::Directe);
    // x = 60 lies in band (60 / 10) % 4 = 2: level 160.
    EXPECT_DOUBLE_EQ(p.Intensite[0], 160.0 * 3 / 765.0);
    EXPECT_FALSE(forme->ProgressBar->isVisible());
}

TEST_F(FormeOptique, AutreExtensionGardeLImage) {
    forme->OuvrirFichier(Bmp(QStringLiteral("f.bmp"), kt::ImageFranges(300, 200)));
    const QImage avant = forme->ImageTenue();
    forme->OuvrirFichier(dir.filePath(QStringLiteral("notes.tif")));
    EXPECT_EQ(forme->NomSource(), dir.filePath(QStringLiteral("notes.tif")));
    EXPECT_EQ(forme->ImageTenue(), avant);
    EXPECT_EQ(forme->Profil().Debut, -150);
    EXPECT_TRUE(kt::Dialogues().messages().empty());
}

TEST_F(FormeOptique, FichierIllisibleMessageEtRienNeChange) {
    forme->OuvrirFichier(Bmp(QStringLiteral("f.bmp"), kt::ImageFranges(300, 200)));
    const QString avant = forme->NomSource();
    const QString vide = dir.filePath(QStringLiteral("vide.jpg"));
    QFile(vide).open(QIODevice::WriteOnly);
    forme->OuvrirFichier(vide);
    ASSERT_EQ(kt::Dialogues().messages().size(), 1u);
    EXPECT_TRUE(kt::Dialogues().messages().front().contains(QStringLiteral("vide.jpg")));
    EXPECT_EQ(forme->NomSource(), avant);
    EXPECT_EQ(forme->Profil().Debut, -150);
}

TEST_F(FormeOptique, TransfertEtTableTexte) {
    const QString chemin = Bmp(QStringLiteral("f.bmp"), kt::ImageFranges(300, 200));
    forme->OuvrirFichier(chemin);
    kt::FakeConstante dlg;
    dlg.reponses.push_back({.commentaire = QStringLiteral("Young")});
    forme->TabulaneBtnClick();
    const QString texte = kt::PressePapiers().contenu;
    EXPECT_TRUE(texte.endsWith(QStringLiteral("&1 FICHIER\r\n") + chemin + QStringLiteral("\r\n")));
    EXPECT_TRUE(texte.contains(QStringLiteral("\r\nYoung\r\nx\tI\r\nm\t\r\n")));
    EXPECT_EQ(dlg.macros, std::vector<QString>{QStringLiteral("CLIP|LOAD")});
    // Cancelled: nothing more is sent.
    dlg.reponses.push_back({.ok = false});
    forme->TabulaneBtnClick();
    EXPECT_EQ(dlg.macros.size(), 1u);

    kt::Dialogues().fichiers.push_back(dir.filePath(QStringLiteral("profil")));
    forme->TextFileBtnClick();
    QFile f(dir.filePath(QStringLiteral("profil.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray octets = f.readAll();
    EXPECT_TRUE(octets.startsWith("x\tI\r\nm\t\r\nDistance\tIntensit\xe9 relative\r\n"));
    EXPECT_EQ(octets.count("\r\n"), 3 + forme->Profil().NombreEchantillons());
    // A cancelled dialog writes nothing.
    kt::Dialogues().fichiers.push_back(std::nullopt);
    forme->TextFileBtnClick();
}

TEST_F(FormeOptique, SaturationSousLaCourbe) {
    forme->OuvrirFichier(Bmp(QStringLiteral("sat.bmp"), kt::ImageFranges(300, 200, 40, 400)));
    const int n = forme->Profil().NombreSatures();
    EXPECT_GT(n, 0);
    EXPECT_EQ(forme->SaturationLabel->text(),
              QStringLiteral("%1 échantillons saturés (composante à 255)").arg(n));
    // The plot marks them in red along its top edge.
    const QImage plot = forme->IntensitePB->grab().toImage();
    int rouges = 0;
    for (int x = 0; x < plot.width(); ++x)
        if (plot.pixel(x, 1) == qRgb(220, 0, 0)) ++rouges;
    EXPECT_GT(rouges, 0);
    // A picture below saturation leaves the note empty.
    forme->OuvrirFichier(Bmp(QStringLiteral("pas.bmp"), kt::ImageFranges(300, 200, 40, 200)));
    EXPECT_EQ(forme->SaturationLabel->text(), "");
}

TEST_F(FormeOptique, ReglagesDeLaSectionOptique) {
    forme->Profil().TaillePixel = 2.5e-06;
    forme->PixelRB->click();
    forme->MoyenneSE->setValue(7);
    forme->close();
    const IniFile ini(NomFichierIni());
    EXPECT_EQ(ini.lireEntier("Optique", "TypeEchelle", -1), 1);
    EXPECT_EQ(ini.lireEntier("Optique", "Moyenne", -1), 7);
    EXPECT_EQ(ini.lireTexte("Optique", "Pixel"), "2.5e-06");
    TOptiqueForm autre;
    EXPECT_EQ(autre.Profil().TypeEchelle, 1);
    EXPECT_EQ(autre.MoyenneSE->value(), 7);
    EXPECT_DOUBLE_EQ(autre.Profil().TaillePixel, 2.5e-06);
    EXPECT_EQ(autre.EchelleLabel->text(), "Dimension du pixel");
}

TEST_F(FormeOptique, ClavierDeplaceLePointeurDUnPixel) {
    forme->OuvrirFichier(Bmp(QStringLiteral("f.bmp"), kt::ImageFranges(300, 200)));
    QCursor::setPos(400, 300);
    const QPoint depart = QCursor::pos();
    auto touche = [&](int cle, const QString& texte, Qt::KeyboardModifiers mod = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, cle, mod, texte);
        QApplication::sendEvent(forme->EditBidon, &e);
    };
    touche(Qt::Key_6, QStringLiteral("6"));
    touche(Qt::Key_2, QStringLiteral("2"), Qt::KeypadModifier);
    touche(Qt::Key_2, QStringLiteral("2"));
    EXPECT_EQ(QCursor::pos(), depart + QPoint(1, 2));
    // Without a mouse button held the arrows do nothing; every key is swallowed.
    touche(Qt::Key_Left, QString());
    touche(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(QCursor::pos(), depart + QPoint(1, 2));
    EXPECT_TRUE(forme->EditBidon->text().isEmpty());
}

TEST_F(FormeOptique, PetitJpegTenuASaTaille) {
    // Shown enlarged, a JPEG is held at its own size and read directly: no copy file.
    const QString jpeg = dir.filePath(QStringLiteral("petit.jpg"));
    ASSERT_TRUE(kt::ImageFranges(300, 200).save(jpeg, "JPG", 95));
    forme->OuvrirFichier(jpeg);
    const ProfilOptique& p = forme->Profil();
    EXPECT_GE(p.Zoom, 2.0);
    EXPECT_EQ(p.Lecture, LecturePixels::Directe);
    EXPECT_TRUE(forme->NomCopie().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("petit.BMP"))));
    EXPECT_EQ(forme->ImageTenue().size(), QSize(300, 200));
    EXPECT_EQ(p.Poignee[1], QPoint(150, 100));
    EXPECT_EQ(p.TaillePoignee, qRound(8 / p.Zoom));
    EXPECT_EQ(p.Debut, -150);
}

// The disk full halfway through a text table or a picture save: "Erreur d'écriture", and the
// file that was there before is still whole.
TEST_F(FormeOptique, DisquePleinPendantUneSauvegarde) {
    forme->OuvrirFichier(Bmp(QStringLiteral("fr.bmp"), kt::ImageFranges(300, 200)));
    struct Cas {
        const char* fichier;
        std::function<void()> cliquer;
    };
    const Cas cas[] = {
        {"profil.txt", [&] { forme->TextFileBtnClick(); }},
        {"image.bmp", [&] { forme->SaveFileBtnClick(); }},
        {"image.jpg", [&] { forme->SaveFileBtnClick(); }},
    };
    for (const Cas& c : cas) {
        const QString chemin = dir.filePath(QString::fromLatin1(c.fichier));
        {
            QFile f(chemin);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("avant");
        }
        kt::Dialogues().affiches.clear();
        kt::Dialogues().fichiers.push_back(chemin);
        {
            kt::LimiteEcriture limite(512);
            c.cliquer();
        }
        EXPECT_EQ(kt::Dialogues().messages(), std::vector<QString>{"Erreur d'écriture"}) << c.fichier;
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("avant")) << c.fichier;
    }
}
