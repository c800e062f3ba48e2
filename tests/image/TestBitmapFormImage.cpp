// The image form's pictures and view tools driven as a user drives them: the zoom menu and
// buttons, the overview drag, the contrast tool and its reference line, files opened, scanned
// and saved, and the settings section "BMP". Drawn results are checked on the view's pixels.
#include "FakeEchelle.h"
#include "ImagesDeTest.h"
#include "image/logic/Contraste.h"
#include "image/logic/VueZoom.h"
#include "image/ui/AcquisitionDlg.h"
#include "image/ui/BitmapForm.h"
#include "platform/Chemins.h"
#include "platform/LectureImage.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "support/Evenements.h"
#include "support/FakeNumeriseur.h"
#include "support/FakePlateforme.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <gtest/gtest.h>
#include <memory>

using namespace kinepo;

namespace {

class FormeImage : public ::testing::Test {
protected:
    void SetUp() override {
        forme = std::make_unique<TBitmapForm>();
        forme->resize(1100, 700);
        forme->show();
        test::TraiterEvenements(5);
    }
    void TearDown() override { forme.reset(); }

    // Opens a picture file through the menu; the scale dialog answered OK.
    void ouvrir(const QString& chemin) {
        test::Dialogues().fichiers.push_back(chemin);
        dlg.ok();
        forme->OpenFileItem->trigger();
        test::TraiterEvenements(3);
    }
    QString enregistrer(const QImage& i, const QString& nom) {
        const QString c = dossier.filePath(nom);
        EXPECT_TRUE(i.save(c));
        return c;
    }
    QAction* actionZoom(const QString& titre) const {
        for (QAction* a : forme->ZoomMenu->actions())
            if (a->text() == titre) return a;
        return nullptr;
    }
    QImage vue() const { return forme->ImagePaintBox->Composition(); }

    QTemporaryDir dossier;
    test::FakeEchelle dlg;
    std::unique_ptr<TBitmapForm> forme;
};

} // namespace

// Zoom x2 from the menu with the mouse over image pixel (100, 80): the same pixel is under it.
TEST_F(FormeImage, LeZoomDuMenuGardeLePixelSousLaSouris) {
    const QImage image = test::Coordonnees(1600, 1200);
    ouvrir(enregistrer(image, "grande.png"));
    const QPoint souris(100, 80);
    ASSERT_EQ(forme->Vue().VersImage(souris), QPoint(100, 80));
    forme->ZoomAnchor = forme->ImagePaintBox->mapToGlobal(souris);
    QAction* x2 = actionZoom(QStringLiteral("Zoom x&2"));
    ASSERT_NE(x2, nullptr);
    x2->trigger();
    EXPECT_DOUBLE_EQ(forme->Vue().zoom, 2);
    EXPECT_EQ(forme->Vue().VersImage(souris), QPoint(100, 80));
    EXPECT_EQ(forme->ZoomEdit->text(), QStringLiteral("Zoom X 2"));
    // What the view shows there is that pixel, and the zoomed pixel is 2 x 2.
    const QImage v = vue();
    EXPECT_EQ(v.pixel(souris), image.pixel(100, 80));
    const QPoint coin = forme->Vue().VersVue({100, 80}) - QPoint(1, 1); // the square's corner
    EXPECT_EQ(v.pixel(coin), image.pixel(100, 80));
    EXPECT_EQ(v.pixel(coin + QPoint(1, 1)), image.pixel(100, 80));
    EXPECT_EQ(v.pixel(coin + QPoint(2, 0)), image.pixel(101, 80));

    actionZoom(QStringLiteral("Zoom /4"))->trigger();
    EXPECT_EQ(forme->ZoomEdit->text(), QStringLiteral("Zoom / 4"));
    actionZoom(QStringLiteral("Taille réelle"))->trigger();
    EXPECT_EQ(forme->ZoomEdit->text(), QStringLiteral("Taille réelle"));
}

TEST_F(FormeImage, BoutonsDeZoom) {
    ouvrir(enregistrer(test::Coordonnees(900, 700), "image.png"));
    const struct {
        double depart;
        bool avant;
        double attendu;
        const char* texte;
    } cas[] = {
        {8, true, 8, "Zoom X 8"},  {6, true, 12, "Zoom X 12"}, {1.0 / 8, false, 0.125, "Zoom / 8"},
        {5, false, 2, "Zoom X 2"}, {7, false, 4, "Zoom X 4"},  {1.0 / 3, true, 0.5, "Zoom / 2"},
        {3, true, 6, "Zoom X 6"}};
    for (const auto& c : cas) {
        forme->SetZoom(c.depart);
        QTest::mouseClick(c.avant ? forme->ZoomAvantBtn : forme->ZoomArriereBtn, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(forme->Vue().zoom, c.attendu) << c.depart;
        EXPECT_EQ(forme->ZoomEdit->text(), QString::fromLatin1(c.texte)) << c.depart;
    }
}

// Without a picture the zoom is not even stored.
TEST_F(FormeImage, SansImageLeZoomNeFaitRien) {
    forme->SetZoom(4);
    EXPECT_DOUBLE_EQ(forme->Vue().zoom, 1);
    EXPECT_TRUE(vue().isNull() ||
                vue().pixel(10, 10) == forme->palette().color(QPalette::Window).rgb());
}

// A picture narrower than the view: after a zoom, L = 0, R = W, and the band beyond stays
// empty.
TEST_F(FormeImage, ImageEtroite) {
    ouvrir(enregistrer(test::Coordonnees(120, 90), "petite.png"));
    forme->SetZoom(1);
    EXPECT_EQ(forme->Vue().gauche, 0);
    EXPECT_EQ(forme->Vue().droite, 120);
    const QImage v = vue();
    EXPECT_EQ(v.pixel(119, 50), test::Coordonnees(120, 90).pixel(119, 50));
    EXPECT_EQ(v.pixel(200, 50), forme->palette().color(QPalette::Window).rgb());
}

// The overview: the whole picture fitted, the view outlined; a drag beyond the right edge
// leaves R = W and L = W - round(Wp / z); the moving outline is drawn by XOR.
TEST_F(FormeImage, GlisserLApercuAuDelaDuBordDroit) {
    const QImage image = test::Coordonnees(3000, 1000);
    ouvrir(enregistrer(image, "large.png"));
    forme->SetZoom(1);
    const double s = forme->FacteurApercu;
    const QRect r = forme->RectangleApercu;
    ASSERT_GT(r.width(), 4);
    const QImage apercu = forme->PaintBox->Composition();
    EXPECT_EQ(apercu.pixel(r.left(), r.top() + r.height() / 2), qRgb(255, 0, 0)); // the outline
    const QPoint appui = r.center();
    QTest::mousePress(forme->PaintBox, Qt::LeftButton, {}, appui);
    EXPECT_EQ(forme->PaintBox->cursor().shape(), Qt::OpenHandCursor);
    // Drag by hand: a move with the button held.
    const QPoint dehors = appui + QPoint(2000, 0);
    QMouseEvent deplacement(QEvent::MouseMove, QPointF(appui + QPoint(5, 0)),
                            forme->PaintBox->mapToGlobal(QPointF(appui + QPoint(5, 0))),
                            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(forme->PaintBox, &deplacement);
    const QImage pendant = forme->PaintBox->Composition();
    const QPoint surContour(r.left() + 5, r.top() + r.height() / 2 + 1);
    const QRgb dessous = apercu.pixel(surContour);
    EXPECT_EQ(pendant.pixel(surContour) & 0xFFFFFF, (dessous ^ qRgb(255, 0, 0)) & 0xFFFFFF);
    QTest::mouseRelease(forme->PaintBox, Qt::LeftButton, {}, dehors);
    const int wp = forme->ImagePaintBox->width();
    EXPECT_EQ(forme->Vue().droite, 3000);
    EXPECT_EQ(forme->Vue().gauche, 3000 - wp);
    EXPECT_EQ(forme->PaintBox->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(vue().pixel(10, 10), image.pixel(3000 - wp + 10, 10));
    EXPECT_EQ(forme->RectangleApercu.right(), int(std::nearbyint(3000 * s)) - 1);
}

// The contrast tool: the box and the up-down appear with the check box; position 0 and
// reference 100 turn (100, 150, 0) into (128, 178, 28); black stays black; the source stays.
TEST_F(FormeImage, ContrasteEtLigneDeReference) {
    QImage image = test::ImageUnie(300, 200, qRgb(100, 150, 0));
    image.setPixel(10, 10, qRgb(0, 0, 0));
    ouvrir(enregistrer(image, "contraste.png"));
    EXPECT_FALSE(forme->ScrollBarGamma->isVisible());
    QTest::mouseClick(forme->ContrasteCB, Qt::LeftButton);
    EXPECT_TRUE(forme->ScrollBarGamma->isVisible());
    EXPECT_TRUE(forme->GammaPaintBox->isVisible());
    EXPECT_EQ(forme->ScrollBarGamma->value(), 8);
    forme->ContrastRef = 100;
    forme->ScrollBarGamma->setValue(0);
    EXPECT_EQ(forme->ContrastPos, 0);
    EXPECT_EQ(forme->Image().pixel(50, 50), qRgb(128, 178, 28));
    EXPECT_EQ(forme->Image().pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(forme->Source().pixel(50, 50), qRgb(100, 150, 0));
    EXPECT_EQ(vue().pixel(50, 50), qRgb(128, 178, 28));
    // Unticking hides the tools and changes nothing else.
    QTest::mouseClick(forme->ContrasteCB, Qt::LeftButton);
    EXPECT_FALSE(forme->GammaPaintBox->isVisible());
    EXPECT_EQ(forme->Image().pixel(50, 50), qRgb(128, 178, 28));

    // The reference line: red at ContrastRef x width / 255; dragged, it sets the reference.
    QTest::mouseClick(forme->ContrasteCB, Qt::LeftButton);
    test::TraiterEvenements(3);
    const int w = forme->GammaPaintBox->width();
    forme->ContrastRef = 128;
    forme->GammaPaintBox->update();
    const int ligne = 128 * w / 255;
    EXPECT_EQ(forme->GammaPaintBox->Composition().pixel(ligne, 5), qRgb(255, 0, 0));
    EXPECT_NE(forme->GammaPaintBox->Composition().pixel(ligne + 3, 5), qRgb(255, 0, 0));
    QTest::mousePress(forme->GammaPaintBox, Qt::LeftButton, {}, {ligne + 5, 5});
    QTest::mouseRelease(forme->GammaPaintBox, Qt::LeftButton, {}, {w / 4, 5});
    EXPECT_EQ(forme->ContrastRef, (w / 4) * 255 / w);
    const int g = ComposanteContrastee(100, forme->ContrastRef, forme->ContrastPos);
    EXPECT_EQ(qRed(forme->Image().pixel(50, 50)), g);
    // A press far from the line does nothing.
    const int avant = forme->ContrastRef;
    QTest::mousePress(forme->GammaPaintBox, Qt::LeftButton, {}, {w - 2, 5});
    QTest::mouseRelease(forme->GammaPaintBox, Qt::LeftButton, {}, {w - 20, 5});
    EXPECT_EQ(forme->ContrastRef, avant);
}

// ---- Pictures ------------------------------------------------------------------------------

TEST_F(FormeImage, CheminEtTitreEnCapitales) {
    ASSERT_TRUE(QDir(dossier.path()).mkdir("images"));
    const QString chemin = dossier.filePath("images/courbe.jpg");
    EcrireImageFichier(test::Coordonnees(200, 150), chemin, FormatImage::Jpeg);
    ouvrir(chemin);
    EXPECT_EQ(dlg.montres, 1);
    EXPECT_EQ(forme->NomImage(), chemin.toUpper());
    EXPECT_TRUE(forme->NomImage().endsWith("IMAGES/COURBE.JPG"));
    EXPECT_TRUE(forme->windowTitle().endsWith("[" + chemin.toUpper() + "]"));
    EXPECT_TRUE(forme->windowTitle().endsWith("COURBE.JPG]"));
    EXPECT_FALSE(forme->SaveBmpItem->isEnabled());
    EXPECT_EQ(forme->StatusBar->texte(0),
              QStringLiteral("Cliquer sur le bouton Paramètres pour configurer"));
}

TEST_F(FormeImage, UnGifMontreSaProgressionEtPrendLeNomBmp) {
    const QString gif = dossier.filePath("trace.gif");
    QImage i = test::ImageUnie(300, 200);
    i.setPixel(30, 40, qRgb(0, 0, 0));
    ASSERT_TRUE(test::EcrireGifNoirEtBlanc(gif, i));
    std::vector<std::pair<int, bool>> etapes; // value, bar shown
    QObject::connect(forme->ProgressBar, &QProgressBar::valueChanged, [&](int v) {
        etapes.push_back({v, forme->ProgressBar->isVisible()});
    });
    ouvrir(gif);
    ASSERT_FALSE(etapes.empty());
    for (const auto& e : etapes)
        EXPECT_TRUE(e.second) << e.first;
    EXPECT_TRUE(std::any_of(etapes.begin(), etapes.end(), [](auto e) { return e.first > 0; }));
    EXPECT_FALSE(forme->ProgressBar->isVisible());
    EXPECT_EQ(forme->NomImage(), dossier.filePath("trace.bmp").toUpper());
    EXPECT_EQ(forme->Image().pixel(30, 40), qRgb(0, 0, 0));
}

// Every bad file: the reader's French message, the previous picture and its points intact.
TEST_F(FormeImage, UnMauvaisFichierLaisseLImagePrecedente) {
    const QImage bonne = test::Coordonnees(320, 240);
    ouvrir(enregistrer(bonne, "bonne.png"));
    forme->Series.Ajouter(1, {10, 10});
    QByteArray png;
    {
        QFile f(dossier.filePath("bonne.png"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        png = f.readAll();
    }
    const struct {
        const char* nom;
        QByteArray contenu;
    } cas[] = {{"vide.jpg", {}},
               {"absurde.bmp", "ceci n'est pas une image"},
               {"coupee.png", png.left(png.size() / 2)},
               {"coupe.gif", "GIF89a\x10\x00\x10\x00"}};
    for (const auto& c : cas) {
        const QString chemin = dossier.filePath(c.nom);
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.contenu);
        f.close();
        test::Dialogues().fichiers.push_back(chemin);
        test::Dialogues().affiches.clear();
        forme->OpenFileItem->trigger();
        const auto m = test::Dialogues().messages();
        ASSERT_EQ(m.size(), 1u) << c.nom;
        EXPECT_TRUE(m[0].startsWith(QStringLiteral("Impossible de lire l'image « %1 »").arg(c.nom)))
            << m[0].toStdString();
        EXPECT_EQ(forme->Image(), bonne) << c.nom;
        EXPECT_EQ(forme->Series.Longueur(1), 1) << c.nom;
        EXPECT_EQ(dlg.montres, 1) << c.nom;             // no scale dialog for a file not read
        EXPECT_EQ(forme->NomImage(), chemin.toUpper()); // the name already follows the file
    }
}

// A scanned picture: "Twain", no scale dialog, "Enregistrer" enabled; saving writes BMP, JPEG
// or PNG by the dialog's filter, under the name as typed.
TEST_F(FormeImage, AcquisitionPuisEnregistrement) {
    const QImage scan = test::Coordonnees(240, 180);
    forme->TakeAcquiredPicture(scan, QString());
    EXPECT_EQ(forme->NomImage(), QStringLiteral("Twain"));
    EXPECT_TRUE(forme->windowTitle().endsWith(QStringLiteral("[Twain]")));
    EXPECT_TRUE(forme->SaveBmpItem->isEnabled());
    EXPECT_EQ(dlg.montres, 0);
    EXPECT_FALSE(forme->MesureBtn->isVisible());
    const struct {
        int filtre;
        const char* nom;
        const char* debut;
    } cas[] = {{1, "scan-bmp", "BM"}, {2, "scan-jpeg", "\xFF\xD8\xFF"}, {3, "scan-png", "\x89PNG"}};
    for (const auto& c : cas) {
        const QString chemin = dossier.filePath(c.nom);
        test::Dialogues().fichiers.push_back(chemin);
        test::Dialogues().filtresChoisis.push_back(c.filtre);
        forme->SaveBmpItem->trigger();
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.nom;
        EXPECT_TRUE(f.readAll().startsWith(c.debut)) << c.nom;
        QString relu = chemin;
        EXPECT_EQ(LireImageFichier(relu).size(), scan.size());
        EXPECT_EQ(forme->FilterSave, c.filtre);
    }
    // Opening a file afterwards disables it again.
    ouvrir(enregistrer(scan, "fichier.png"));
    EXPECT_FALSE(forme->SaveBmpItem->isEnabled());
}

// A source that writes a file: treated exactly as an opened file.
TEST_F(FormeImage, SourceQuiLivreUnFichier) {
    const QString chemin = enregistrer(test::Coordonnees(200, 100), "depuis-la-source.png");
    dlg.ok();
    forme->TakeAcquiredPicture(QImage(), chemin);
    EXPECT_EQ(dlg.montres, 1);
    EXPECT_EQ(forme->NomImage(), chemin.toUpper());
    EXPECT_FALSE(forme->SaveBmpItem->isEnabled());
}

// First run without a settings file: filter 2 proposed, every colour red; closing writes the
// section "BMP".
TEST(FormeImageReglages, PremierLancement) {
    QFile::remove(NomFichierIni());
    {
        TBitmapForm forme;
        EXPECT_EQ(forme.FilterSave, 2);
        for (QRgb c : forme.TraceColours)
            EXPECT_EQ(c, qRgb(255, 0, 0));
        forme.TakeAcquiredPicture(test::ImageUnie(50, 40), QString());
        test::Dialogues().fichiers.push_back(std::nullopt);
        forme.SaveBmpItem->trigger();
        ASSERT_NE(test::Dialogues().dernier(), nullptr);
        EXPECT_EQ(test::Dialogues().dernier()->indexFiltre, 2);
        forme.TraceColours[2] = qRgb(0, 0, 255);
        forme.FilterSave = 1;
        forme.close();
    }
    QFile f(NomFichierIni());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString ini = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(ini.contains("[BMP]")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("FilterSave=1"));
    EXPECT_TRUE(ini.contains("Couleur0=255"));
    EXPECT_TRUE(ini.contains("Couleur2=16711680")); // blue, in the platform's colour integer
    TBitmapForm relue;
    EXPECT_EQ(relue.FilterSave, 1);
    EXPECT_EQ(relue.TraceColours[2], qRgb(0, 0, 255));
    EXPECT_EQ(relue.TraceColours[1], qRgb(255, 0, 0));
}

// ---- Scanner items ---------------------------------------------------------------------------

TEST_F(FormeImage, SansScannerLesDeuxArticlesSontInactifs) {
    test::FakeNumeriseur aucun;
    emit forme->FilePopup->aboutToShow();
    forme->AttendreSources();
    EXPECT_FALSE(forme->SourceItem->isEnabled());
    EXPECT_FALSE(forme->AcquireItem->isEnabled());
    EXPECT_TRUE(forme->OpenFileItem->isEnabled());
}

TEST_F(FormeImage, SourceChoisiePuisAcquisition) {
    test::FakeNumeriseur scanner;
    scanner.sources = {{"a:0", "Marque A (a:0)"}, {"b:1", "Marque B (b:1)"}};
    scanner.options.modes = {"Color", "Gray"};
    scanner.options.mode = "Color";
    scanner.options.resolutionMin = 50;
    scanner.options.resolutionMax = 600;
    scanner.options.resolution = 150;
    scanner.images.push_back(test::Coordonnees(210, 297));
    emit forme->FilePopup->aboutToShow();
    forme->AttendreSources();
    EXPECT_TRUE(forme->SourceItem->isEnabled());
    EXPECT_TRUE(forme->AcquireItem->isEnabled());
    test::Dialogues().choix.push_back(1);
    forme->SourceItem->trigger();
    EXPECT_EQ(forme->SourceChoisie, QStringLiteral("b:1"));
    auto ancien = TAcquisitionDlg::DefinirReponseScriptee([](TAcquisitionDlg& d) {
        EXPECT_NE(d.ModeCB, nullptr);
        d.ModeCB->setCurrentText("Gray");
        d.ResolutionSE->setValue(300);
        return true;
    });
    forme->AcquireItem->trigger();
    TAcquisitionDlg::DefinirReponseScriptee(ancien);
    ASSERT_EQ(scanner.demandes.size(), 1u);
    EXPECT_EQ(scanner.demandes[0].mode, QStringLiteral("Gray"));
    EXPECT_EQ(scanner.demandes[0].resolution, 300);
    EXPECT_EQ(forme->NomImage(), QStringLiteral("Twain"));
    EXPECT_EQ(forme->Image().size(), QSize(210, 297));
    EXPECT_TRUE(forme->SaveBmpItem->isEnabled());
    // A failing scan: its message, the picture kept.
    ancien = TAcquisitionDlg::DefinirReponseScriptee([](TAcquisitionDlg&) { return true; });
    test::Dialogues().affiches.clear();
    forme->AcquireItem->trigger();
    TAcquisitionDlg::DefinirReponseScriptee(ancien);
    ASSERT_EQ(test::Dialogues().messages().size(), 1u);
    EXPECT_EQ(test::Dialogues().messages()[0], QStringLiteral("Le scanner ne démarre pas (faux)"));
    EXPECT_EQ(forme->Image().size(), QSize(210, 297));
}

// A slow search (network scanners are probed for seconds) never holds the menu: the items wait
// disabled, and come on when the search ends.
TEST_F(FormeImage, LaRechercheDesScannersNeBloquePasLeMenu) {
    test::FakeNumeriseur scanner;
    scanner.sources = {{"lent:0", "Scanner lent (lent:0)"}};
    std::promise<void> liberer;
    std::shared_future<void> porte = liberer.get_future().share();
    scanner.avantSources = [porte] { porte.wait(); };
    emit forme->FilePopup->aboutToShow(); // returns while the search is held
    EXPECT_FALSE(forme->SourceItem->isEnabled());
    EXPECT_FALSE(forme->AcquireItem->isEnabled());
    EXPECT_TRUE(forme->OpenFileItem->isEnabled());
    liberer.set_value();
    forme->AttendreSources();
    EXPECT_TRUE(forme->SourceItem->isEnabled());
    EXPECT_TRUE(forme->AcquireItem->isEnabled());
}
