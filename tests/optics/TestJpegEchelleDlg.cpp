// The point-placement dialog: centring on the marker when shown, dragging the marker.
#include "ImagesOptique.h"
#include "common/BmpFile.h"
#include "image/ui/JpegEchelleDlg.h"
#include "support/Evenements.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;

using kinepo::test::Souris;

namespace {

class Placement : public ::testing::Test {
protected:
    void SetUp() override {
        chemin = dir.filePath(QStringLiteral("copie.BMP"));
        ASSERT_TRUE(EcrireBmp24(kinepo::test::ImageGrise(1500, 1000), chemin));
        dlg = std::make_unique<TJpegEchelleDlg>();
        dlg->NomFichier = chemin;
    }
    QTemporaryDir dir;
    QString chemin;
    std::unique_ptr<TJpegEchelleDlg> dlg;
};

} // namespace

TEST_F(Placement, CentreSurLeMarqueur) {
    EXPECT_EQ(dlg->windowTitle(), "JpegEchelleDlg");
    EXPECT_EQ(dlg->size(), QSize(490, 307));
    dlg->DefinirMarqueur({700, 400});
    dlg->show();
    QApplication::processEvents();
    const QSize vue = dlg->Defilement->viewport()->size();
    EXPECT_EQ(dlg->Image1->size(), QSize(1500, 1000));
    EXPECT_EQ(dlg->Defilement->horizontalScrollBar()->value(), 700 - vue.width() / 2);
    EXPECT_EQ(dlg->Defilement->verticalScrollBar()->value(), 400 - vue.height() / 2);
    dlg->hide();
    // Near the end the window stops at the picture's edge; near the start at 0.
    dlg->DefinirMarqueur({1490, 5});
    dlg->show();
    QApplication::processEvents();
    EXPECT_EQ(dlg->Defilement->horizontalScrollBar()->value(), 1500 - vue.width());
    EXPECT_EQ(dlg->Defilement->verticalScrollBar()->value(), 0);
}

TEST_F(Placement, GlisserLeMarqueur) {
    dlg->DefinirMarqueur({100, 80});
    dlg->show();
    QApplication::processEvents();
    ImageMarqueur* im = dlg->Image1;
    // The cross inverts the picture under it.
    const QImage avant = im->grab(QRect(90, 70, 21, 21)).toImage();
    const QRgb fond = im->Image().pixel(105, 80);
    EXPECT_EQ(avant.pixel(15, 10) & 0xffffff, ~fond & 0xffffff);
    EXPECT_EQ(avant.pixel(15, 15), im->Image().pixel(105, 85));

    // A press farther than 8 (Manhattan) starts nothing.
    Souris(im, QEvent::MouseButtonPress, {106, 83}, Qt::LeftButton);
    Souris(im, QEvent::MouseMove, {200, 200}, Qt::LeftButton);
    Souris(im, QEvent::MouseButtonRelease, {200, 200}, Qt::NoButton);
    EXPECT_EQ(dlg->Marqueur(), QPoint(100, 80));
    // Within it, the marker follows, stays inside the picture and lands on release.
    Souris(im, QEvent::MouseButtonPress, {104, 84}, Qt::LeftButton);
    Souris(im, QEvent::MouseMove, {150, 120}, Qt::LeftButton);
    EXPECT_EQ(dlg->Marqueur(), QPoint(150, 120));
    Souris(im, QEvent::MouseMove, {1600, 130}, Qt::LeftButton); // outside: ignored
    EXPECT_EQ(dlg->Marqueur(), QPoint(150, 120));
    Souris(im, QEvent::MouseButtonRelease, {152, 121}, Qt::NoButton);
    EXPECT_EQ(dlg->Marqueur(), QPoint(152, 121));
    Souris(im, QEvent::MouseMove, {300, 300}, Qt::NoButton); // the drag is over
    EXPECT_EQ(dlg->Marqueur(), QPoint(152, 121));
    const QImage apres = im->grab(QRect(142, 111, 21, 21)).toImage();
    EXPECT_EQ(apres.pixel(10, 3) & 0xffffff, ~im->Image().pixel(152, 114) & 0xffffff);
    // The old place shows the picture again.
    EXPECT_EQ(im->grab(QRect(90, 70, 21, 21)).toImage().pixel(15, 10), fond);
}

TEST(PlacementDemarrage, UnSeulDialoguePourLeProgramme) {
    QWidget proprietaire;
    TJpegEchelleDlg* d = CreerJpegEchelleDlg(&proprietaire);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(TJpegEchelleDlg::Existant(), d);
    EXPECT_EQ(&TJpegEchelleDlg::Instance(), d);
    EXPECT_EQ(CreerJpegEchelleDlg(&proprietaire), d);
}
