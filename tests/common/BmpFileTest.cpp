// The 24-bit BMP writer: pixels come back through the reader, rows padded to 4 bytes.
#include "common/BmpFile.h"
#include "tests/common/ImpressionQt.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {
// A picture whose every pixel differs from its neighbours, so a swapped row, column or channel
// shows.
QImage Motif(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(
                x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * y + 3) & 0xFF));
    return img;
}
} // namespace

// Widths 1 to 5 cover every row padding (3, 2, 1, 0 bytes).
TEST(BmpFile, RelectureAuxMemesPixels) {
    QTemporaryDir dossier;
    for (int w : {1, 2, 3, 4, 5, 17}) {
        for (int h : {1, 3, 8}) {
            SCOPED_TRACE(QString("%1x%2").arg(w).arg(h).toStdString());
            const QImage img = Motif(w, h);
            const QString chemin = dossier.filePath(QString("%1x%2.bmp").arg(w).arg(h));
            ASSERT_TRUE(EcrireBmp24(img, chemin));
            QFile f(chemin);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray octets = f.readAll();
            const int ligne = (w * 3 + 3) / 4 * 4;
            ASSERT_EQ(octets.size(), 54 + ligne * h);
            EXPECT_EQ(octets.left(2), QByteArray("BM"));
            EXPECT_EQ(qFromLittleEndian<quint32>(octets.constData() + 2), quint32(octets.size()));
            EXPECT_EQ(qFromLittleEndian<quint16>(octets.constData() + 28), 24);
            EXPECT_EQ(qFromLittleEndian<qint32>(octets.constData() + 18), w);
            EXPECT_EQ(qFromLittleEndian<qint32>(octets.constData() + 22), h); // bottom-up
            // Bottom-up, blue first: the first stored pixel is the bottom-left one.
            const QRgb basGauche = img.pixel(0, h - 1);
            EXPECT_EQ(static_cast<unsigned char>(octets[54]), qBlue(basGauche));
            EXPECT_EQ(static_cast<unsigned char>(octets[56]), qRed(basGauche));
            // Padding bytes are zero.
            for (int y = 0; y < h; ++y)
                for (int p = w * 3; p < ligne; ++p)
                    EXPECT_EQ(octets[54 + y * ligne + p], 0);

            const QImage relue = LireBmp(chemin);
            ASSERT_FALSE(relue.isNull());
            ASSERT_EQ(relue.size(), img.size());
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(relue.pixel(x, y), img.pixel(x, y)) << x << "," << y;
        }
    }
}

TEST(BmpFile, TransparenceEtFormatsIndexesEcritsEnVingtQuatreBits) {
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 255));
    QImage gris(3, 2, QImage::Format_Grayscale8);
    gris.fill(200);
    EXPECT_EQ(QImage::fromData(EncoderBmp24(argb), "BMP").pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(QImage::fromData(EncoderBmp24(gris), "BMP").pixel(2, 1), qRgb(200, 200, 200));
}

TEST(BmpFile, EchecsPropres) {
    QTemporaryDir dossier;
    EXPECT_FALSE(EcrireBmp24(QImage(), dossier.filePath("nul.bmp")));
    EXPECT_FALSE(QFile::exists(dossier.filePath("nul.bmp")));
    EXPECT_FALSE(EcrireBmp24(Motif(2, 2), dossier.filePath("absent/x.bmp")));
    EXPECT_TRUE(LireBmp(dossier.filePath("absent.bmp")).isNull());
    // An empty file, a nonsense file, a truncated file, and a header whose width, height and
    // depth multiply past 64 bits (found by fuzzing: the size check overflowed).
    const QByteArray bonne = EncoderBmp24(Motif(7, 5));
    const QByteArray demesuree = QByteArray::fromBase64(
        "Qk2iAAAAAAAAAIpCTaIAAP8AAAAAawAA/0JHUnMAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
        "AAAAIoAAAB8AAAAAwAAAAIAAP//AAAAfAAAAP///wM=");
    for (const QByteArray& contenu : {QByteArray(), QByteArray("ceci n'est pas une image"),
                                      bonne.left(30), demesuree}) {
        const QString chemin = dossier.filePath("mauvais.bmp");
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenu);
        f.close();
        EXPECT_TRUE(LireBmp(chemin).isNull()) << contenu.size();
    }
}

TEST(BmpFile, UneEcritureRemplaceEntierementLAncienFichier) {
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath("x.bmp");
    ASSERT_TRUE(EcrireBmp24(Motif(40, 40), chemin));
    ASSERT_TRUE(EcrireBmp24(Motif(3, 3), chemin));
    EXPECT_EQ(QFileInfo(chemin).size(), 54 + 12 * 3);
    EXPECT_EQ(LireBmp(chemin).size(), QSize(3, 3));
}
