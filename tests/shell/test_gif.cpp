// GIF to BMP conversion: pixels, an existing different BMP kept, corrupt and truncated GIFs.
#include "common/BmpFile.h"
#include "platform/ConvertirGifEnBmp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <vector>

using namespace kinepo;

namespace {

// A 4-colour GIF whose pixel (x, y) has index (x + 2y) % 4; interlaced or not.
constexpr GifColorType kCouleurs[4] = {{0, 0, 0}, {255, 0, 0}, {0, 200, 0}, {10, 20, 250}};

int indexDe(int x, int y) {
    return (x + 2 * y) % 4;
}

void ecrireGif(const QString& chemin, int w, int h, bool entrelace) {
    int err = 0;
    GifFileType* g = EGifOpenFileName(QFile::encodeName(chemin).constData(), false, &err);
    ASSERT_NE(g, nullptr);
    ColorMapObject* palette = GifMakeMapObject(4, kCouleurs);
    EGifSetGifVersion(g, true);
    ASSERT_EQ(EGifPutScreenDesc(g, w, h, 2, 0, palette), GIF_OK);
    ASSERT_EQ(EGifPutImageDesc(g, 0, 0, w, h, entrelace, nullptr), GIF_OK);
    std::vector<GifPixelType> ligne(static_cast<std::size_t>(w));
    std::vector<int> ordre;
    if (entrelace) {
        const int depart[] = {0, 4, 2, 1}, pas[] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int y = depart[p]; y < h; y += pas[p])
                ordre.push_back(y);
    } else {
        for (int y = 0; y < h; ++y)
            ordre.push_back(y);
    }
    for (int y : ordre) {
        for (int x = 0; x < w; ++x)
            ligne[static_cast<std::size_t>(x)] = indexDe(x, y);
        ASSERT_EQ(EGifPutLine(g, ligne.data(), w), GIF_OK);
    }
    GifFreeMapObject(palette);
    ASSERT_EQ(EGifCloseFile(g, &err), GIF_OK);
}

void verifierPixels(const QImage& img, int w, int h) {
    ASSERT_EQ(img.size(), QSize(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const GifColorType& c = kCouleurs[indexDe(x, y)];
            ASSERT_EQ(img.pixel(x, y), qRgb(c.Red, c.Green, c.Blue)) << x << "," << y;
        }
}

class Gif : public ::testing::Test {
protected:
    QTemporaryDir tmp;
};

TEST_F(Gif, ConvertsBesideTheGifWithTheSamePixels) {
    for (bool entrelace : {false, true}) {
        SCOPED_TRACE(entrelace);
        const QString gif = tmp.filePath(entrelace ? "inter.GIF" : "courbe.gif");
        ecrireGif(gif, 13, 11, entrelace);
        QString nom = gif;
        std::vector<int> pourcents;
        ConvertirGifEnBmp(nom, [&](const QString&, int p) { pourcents.push_back(p); });
        EXPECT_EQ(QFileInfo(nom).fileName(), entrelace ? "inter.bmp" : "courbe.bmp");
        EXPECT_EQ(QFileInfo(nom).absolutePath(), QFileInfo(gif).absolutePath());
        verifierPixels(LireBmp(nom), 13, 11);
        ASSERT_FALSE(pourcents.empty());
        EXPECT_EQ(pourcents.back(), 100);
    }
}

TEST_F(Gif, ExistingDifferentBmpIsKeptAndAnotherNameReturned) {
    const QString gif = tmp.filePath("photo.gif");
    ecrireGif(gif, 8, 8, false);
    QImage autre(5, 5, QImage::Format_RGB32);
    autre.fill(Qt::yellow);
    ASSERT_TRUE(EcrireBmp24(autre, tmp.filePath("photo.bmp")));
    QFile f(tmp.filePath("photo.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray avant = f.readAll();
    f.close();

    QString nom = gif;
    ConvertirGifEnBmp(nom);
    EXPECT_EQ(QFileInfo(nom).fileName(), "photo-1.bmp");
    verifierPixels(LireBmp(nom), 8, 8);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), avant);
    f.close();

    // Converting again finds the identical picture and does not pile up copies.
    QString encore = gif;
    ConvertirGifEnBmp(encore);
    EXPECT_EQ(QFileInfo(encore).fileName(), "photo-1.bmp");
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath("photo-2.bmp")));
}

TEST_F(Gif, BadFilesGiveAClearErrorAndLeaveNoBmp) {
    const QString valide = tmp.filePath("valide.gif");
    ecrireGif(valide, 64, 64, false);
    QFile v(valide);
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    const QByteArray octets = v.readAll();

    struct Cas {
        const char* nom;
        QByteArray contenu;
    };
    const Cas cas[] = {{"vide", QByteArray()},
                       {"texte", QByteArray("ceci n'est pas une image")},
                       {"entete", octets.left(13)},
                       {"tronque", octets.left(octets.size() / 2)}};
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString chemin = tmp.filePath(QString(c.nom) + ".gif");
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.contenu);
        f.close();
        QString nom = chemin;
        try {
            ConvertirGifEnBmp(nom);
            FAIL() << "no error";
        } catch (const ErreurGif& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains("GIF")) << e.what();
        }
        EXPECT_EQ(nom, chemin);
        EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QString(c.nom) + ".bmp")));
    }
    QString absent = tmp.filePath("absent.gif");
    EXPECT_THROW(ConvertirGifEnBmp(absent), ErreurGif);
}

} // namespace
