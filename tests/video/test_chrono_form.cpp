// The chronophotography window: caption, always on top, picture stretched proportionally,
// created again after being destroyed.
#include "common/BmpFile.h"
#include "video/ui/ChronoU.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;

TEST(ChronoForm, ShowsTheSavedPictureProportionallyOnTop) {
    QTemporaryDir tmp;
    QImage img(320, 240, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString fichier = tmp.filePath("chrono.bmp");
    ASSERT_TRUE(EcrireBmp24(img, fichier));

    TChronoForm* f = ChronoForm();
    EXPECT_EQ(f->windowTitle(), "Chronophotographie à partir de AVI");
    EXPECT_TRUE(f->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f->size(), QSize(650, 514));
    ASSERT_TRUE(f->Afficher(fichier));
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Image1().size(), QSize(320, 240));
    // 4:3 in 650 x 514: full width, centred vertically.
    const QRect r = f->RectangleImage();
    EXPECT_EQ(r.width(), 650);
    EXPECT_EQ(r.top(), (514 - r.height()) / 2);
    EXPECT_NEAR(static_cast<double>(r.width()) / r.height(), 4.0 / 3.0, 0.01);

    EXPECT_FALSE(f->Afficher(tmp.filePath("absent.bmp")));
    EXPECT_EQ(f->Image1().size(), QSize(320, 240));

    delete f;
    TChronoForm* g = ChronoForm();
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(g->Image1().isNull());
    delete g;
}
