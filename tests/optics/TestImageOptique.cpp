// Picture files of the profile form: the JPEG reader (full, DCT-reduced, straight into BMP
// bytes), the bogus files of every accepted extension, and the copy file that never destroys
// another file.
#include "ImagesOptique.h"
#include "common/BmpFile.h"
#include "optics/ImageOptique.h"
#include "platform/LectureJpeg.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

QString EcrireJpeg(const QTemporaryDir& dir, const QString& nom, const QImage& image) {
    const QString chemin = dir.filePath(nom);
    EXPECT_TRUE(image.save(chemin, "JPG", 95));
    return chemin;
}

QByteArray Octets(const QString& chemin) {
    QFile f(chemin);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(LectureJpeg, PleineTailleEtReduite) {
    QTemporaryDir dir;
    const QImage source = kinepo::test::ImageFranges(803, 601, 60, 250);
    const QString jpeg = EcrireJpeg(dir, QStringLiteral("f.jpg"), source);
    EXPECT_EQ(DimensionsJpeg(jpeg), QSize(803, 601));
    const QImage pleine = LireJpeg(jpeg);
    ASSERT_EQ(pleine.size(), QSize(803, 601));
    EXPECT_EQ(pleine.format(), QImage::Format_RGB32);
    EXPECT_NEAR(qGreen(pleine.pixel(401, 300)), qGreen(source.pixel(401, 300)), 6);
    for (const QSize t : {QSize(161, 120), QSize(402, 301), QSize(100, 75)}) {
        const QImage r = LireJpegReduit(jpeg, t);
        ASSERT_EQ(r.size(), t);
        // The middle fringe is bright in both.
        EXPECT_GT(qGreen(r.pixel(t.width() / 2, t.height() / 2)), 180) << t.width();
    }
    // The BMP bytes carry the same pixels as the full decoding.
    const QImage bmp = QImage::fromData(JpegVersBmp24(jpeg), "BMP");
    ASSERT_EQ(bmp.size(), pleine.size());
    for (const QPoint p : {QPoint(0, 0), QPoint(802, 600), QPoint(400, 17), QPoint(13, 580)})
        EXPECT_EQ(bmp.pixel(p), pleine.pixel(p));
}

// A progressive JPEG whose header claims 65000 x 65000 (found by fuzzing, in 193 bytes): the
// decoder would keep the coefficients of the whole picture, some 12 GB. Every reading refuses it
// with the JPEG error instead of allocating that.
TEST(LectureJpeg, EnTeteGeantRefuseSansTout) {
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("geant.jpg"));
    {
        QImageWriter w(chemin, "jpeg");
        w.setProgressiveScanWrite(true);
        ASSERT_TRUE(w.write(kinepo::test::ImageFranges(64, 48, 10, 250)));
    }
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray octets = f.readAll();
    f.close();
    // The frame header of a progressive picture: FF C2, length, precision, height, width.
    const qsizetype sof = octets.indexOf(QByteArray("\xff\xc2", 2));
    ASSERT_GT(sof, 0);
    octets[sof + 5] = char(0xfd);
    octets[sof + 6] = char(0xe8);
    octets[sof + 7] = char(0xfd);
    octets[sof + 8] = char(0xe8);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
    f.close();
    EXPECT_EQ(DimensionsJpeg(chemin), QSize(65000, 65000));
    EXPECT_THROW(LireJpeg(chemin), ErreurJpeg);
    EXPECT_THROW(LireJpegReduit(chemin, QSize(800, 800)), ErreurJpeg);
    EXPECT_THROW(JpegVersBmp24(chemin), ErreurJpeg);
}

TEST(LectureImage, FichiersInvalides) {
    QTemporaryDir dir;
    for (const char* ext : {"jpg", "jpeg", "JPG", "bmp", "gif", "png"}) {
        const QString vide = dir.filePath(QStringLiteral("vide.%1").arg(ext));
        QFile(vide).open(QIODevice::WriteOnly);
        EXPECT_THROW(LireImageProfil(vide), ErreurImage) << ext;
        const QString faux = dir.filePath(QStringLiteral("faux.%1").arg(ext));
        {
            QFile f(faux);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray(300, 'x'));
        }
        try {
            LireImageProfil(faux);
            ADD_FAILURE() << ext;
        } catch (const ErreurImage& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("faux"))) << e.what();
        }
    }
    // A JPEG cut in the middle of its data.
    const QString jpeg =
        EcrireJpeg(dir, QStringLiteral("coupe.jpg"), kinepo::test::ImageGrise(200, 200));
    QByteArray o = Octets(jpeg);
    o.truncate(o.size() / 3);
    QFile f(jpeg);
    f.open(QIODevice::WriteOnly);
    f.write(o);
    f.close();
    // libjpeg would fill a truncated stream with grey and only warn: the reader refuses it,
    // naming the fault.
    try {
        LireImageProfil(jpeg);
        ADD_FAILURE() << "a cut JPEG was read";
    } catch (const ErreurImage& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("tronqué"))) << e.what();
    }
    EXPECT_THROW(LireImageProfil(dir.filePath(QStringLiteral("absent.jpg"))), ErreurImage);
    EXPECT_THROW(EcrireCopieJpeg(dir.filePath(QStringLiteral("vide.jpg"))), ErreurImage);
}

TEST(CopieJpeg, NeDetruitJamaisUnAutreFichier) {
    QTemporaryDir dir;
    const QString jpeg =
        EcrireJpeg(dir, QStringLiteral("photo.jpeg"), kinepo::test::ImageFranges(300, 200));
    EXPECT_EQ(NomCopieVoulu(jpeg), dir.filePath(QStringLiteral("photo.BMP")));
    // A different picture already lies under the wanted name.
    const QString autre = dir.filePath(QStringLiteral("photo.BMP"));
    ASSERT_TRUE(EcrireBmp24(kinepo::test::ImageGrise(10, 10), autre));
    const QByteArray avant = Octets(autre);
    const QString copie = EcrireCopieJpeg(jpeg);
    EXPECT_EQ(copie, dir.filePath(QStringLiteral("photo-1.BMP")));
    EXPECT_EQ(Octets(autre), avant);
    EXPECT_EQ(QImage(copie, "BMP").size(), QSize(300, 200));
    // Opening the same JPEG again reuses its own copy.
    EXPECT_EQ(EcrireCopieJpeg(jpeg), copie);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("photo-2.BMP"))));
    // Without a file in the way the copy takes the wanted name.
    const QString j2 =
        EcrireJpeg(dir, QStringLiteral("seule.jpg"), kinepo::test::ImageGrise(50, 40));
    EXPECT_EQ(EcrireCopieJpeg(j2), dir.filePath(QStringLiteral("seule.BMP")));
}
