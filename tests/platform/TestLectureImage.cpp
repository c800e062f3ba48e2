// The shared picture reader and writers: each format read back, the bogus files of each (empty,
// nonsense, cut short), photographs turned by their EXIF orientation, and the writers.
#include "image/ImagesDeTest.h"
#include "platform/LectureImage.h"
#include "platform/LectureJpeg.h"
#include "support/JpegExif.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace kinepo;

namespace {

QByteArray Lire(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Ecrire(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(octets);
}

// A black picture with one white pixel, saved in the format of `ext`.
void EcrireImageTest(const QString& nom, const QString& ext) {
    QImage i = test::ImageUnie(40, 30, qRgb(0, 0, 0));
    for (int y = 4; y < 9; ++y)
        for (int x = 4; x < 9; ++x)
            i.setPixel(x, y, qRgb(255, 255, 255));
    if (ext == "gif")
        ASSERT_TRUE(test::EcrireGifNoirEtBlanc(nom, i));
    else
        ASSERT_TRUE(i.save(nom, ext.toLatin1().toUpper().constData()));
}

// Four blocks of distinct colours, wider than high, so each turn and mirror gives another
// picture.
QImage Quadrants() {
    QImage i(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            i.setPixel(x, y,
                       y < 16 ? (x < 32 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                              : (x < 32 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
    return i;
}

bool Proche(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

class LectureImage : public ::testing::TestWithParam<const char*> {
protected:
    QTemporaryDir dossier;
    QString chemin(const QString& nom) const { return dossier.filePath(nom); }
};

} // namespace

TEST_P(LectureImage, RelitUneImageEcrite) {
    const QString ext = QString::fromLatin1(GetParam());
    QString nom = chemin("image." + ext);
    EcrireImageTest(nom, ext);
    std::vector<int> pourcents;
    const QImage lue =
        LireImageFichier(nom, true, [&](const QString&, int p) { pourcents.push_back(p); });
    EXPECT_EQ(lue.format(), QImage::Format_RGB32);
    EXPECT_EQ(lue.size(), QSize(40, 30));
    EXPECT_GT(qGray(lue.pixel(6, 6)), 200);
    EXPECT_LT(qGray(lue.pixel(20, 20)), 50);
    if (ext == "gif") {
        EXPECT_TRUE(nom.endsWith(QLatin1String(".bmp")));
        EXPECT_FALSE(pourcents.empty());
    } else {
        EXPECT_TRUE(nom.endsWith(ext));
    }
}

// Empty, nonsense and cut-short files of every format: a French message naming the file and
// the reason, never a picture.
TEST_P(LectureImage, FichiersMauvais) {
    const QString ext = QString::fromLatin1(GetParam());
    const QString bon = chemin("bon." + ext);
    EcrireImageTest(bon, ext);
    const QByteArray entier = Lire(bon);
    ASSERT_GT(entier.size(), 60);
    struct Cas {
        const char* quoi;
        QByteArray contenu;
    };
    const Cas cas[] = {
        {"vide", QByteArray()},
        {"absurde", QByteArray("pas une image du tout, juste du texte\n")},
        {"moitie", entier.left(entier.size() / 2)},
        {"en-tete seul", entier.left(30)},
    };
    for (const Cas& c : cas) {
        QString nom = chemin("mauvais." + ext);
        Ecrire(nom, c.contenu);
        try {
            const QImage i = LireImageFichier(nom, false);
            ADD_FAILURE() << c.quoi << ": no error, picture " << i.width() << "x" << i.height();
        } catch (const ErreurLectureImage& e) {
            EXPECT_TRUE(
                e.message().startsWith(QStringLiteral("Impossible de lire l'image « mauvais.")))
                << c.quoi << ": " << e.message().toStdString();
            EXPECT_FALSE(e.message().endsWith(QStringLiteral(": "))) << c.quoi;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LectureImage, ::testing::Values("bmp", "jpg", "png", "gif"),
                         [](const auto& info) { return std::string(info.param); });

TEST(LectureImageAbsente, FichierIntrouvable) {
    QString nom = QStringLiteral("/nulle/part/image.bmp");
    try {
        LireImageFichier(nom);
        ADD_FAILURE();
    } catch (const ErreurLectureImage& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossible de lire l'image « image.bmp » : "
                                              "fichier introuvable"));
    }
}

// The file's content decides, not its extension: a PNG named .jpg opens.
TEST(LectureImageContenu, ExtensionTrompeuse) {
    QTemporaryDir d;
    QString nom = d.filePath("photo.jpg");
    ASSERT_TRUE(Quadrants().save(nom, "PNG"));
    EXPECT_EQ(LireImageFichier(nom).size(), QSize(64, 32));
}

// Every EXIF orientation gives the upright picture: the same as Qt's own reading with its
// automatic transform, and for a phone held upright (6) the bottom-left block comes first.
TEST(LectureImageExif, OrientationAppliquee) {
    QTemporaryDir d;
    for (int o = 1; o <= 8; ++o) {
        QString nom = d.filePath(QStringLiteral("photo%1.jpg").arg(o));
        Ecrire(nom, test::JpegOriente(Quadrants(), o));
        QImageReader qt(nom);
        qt.setAutoTransform(true);
        const QImage attendue = qt.read().convertToFormat(QImage::Format_RGB32);
        const QImage lue = LireImageFichier(nom);
        const QSize taille = o >= 5 ? QSize(32, 64) : QSize(64, 32);
        ASSERT_EQ(lue.size(), taille) << o;
        ASSERT_EQ(attendue.size(), taille) << o;
        EXPECT_EQ(DimensionsJpeg(nom), taille) << o;
        for (int y = 4; y < taille.height(); y += 8)
            for (int x = 4; x < taille.width(); x += 8)
                ASSERT_TRUE(Proche(lue.pixel(x, y), attendue.pixel(x, y)))
                    << "orientation " << o << " at " << x << "," << y;
        if (o == 6) {
            EXPECT_TRUE(Proche(lue.pixel(4, 4), qRgb(0, 0, 255)));   // was bottom-left
            EXPECT_TRUE(Proche(lue.pixel(28, 60), qRgb(0, 255, 0))); // was top-right
        }
        // The reduced reading and the BMP copy are upright too.
        EXPECT_EQ(LireJpegReduit(nom, taille / 2).size(), taille / 2) << o;
        EXPECT_EQ(QImage::fromData(JpegVersBmp24(nom), "BMP").size(), taille) << o;
    }
}

// The writers: BMP and PNG give back the same pixels, JPEG nearly; a folder that cannot be
// written gives a French message and leaves nothing.
TEST(EcritureImage, TroisFormats) {
    QTemporaryDir d;
    const QImage q = Quadrants();
    const struct {
        FormatImage format;
        const char* nom;
        bool exact;
    } cas[] = {{FormatImage::Bmp, "a.bmp", true},
               {FormatImage::Jpeg, "a.jpg", false},
               {FormatImage::Png, "a.png", true}};
    for (const auto& c : cas) {
        QString nom = d.filePath(c.nom);
        EcrireImageFichier(q, nom, c.format);
        const QImage relue = LireImageFichier(nom);
        ASSERT_EQ(relue.size(), q.size()) << c.nom;
        for (int y = 4; y < 32; y += 8) // block centres and inner parts, away from the edges
            for (int x = 4; x < 64; x += 8) {
                if (c.exact)
                    ASSERT_EQ(relue.pixel(x, y), q.pixel(x, y)) << c.nom;
                else
                    ASSERT_TRUE(Proche(relue.pixel(x, y), q.pixel(x, y))) << c.nom;
            }
    }
    EXPECT_TRUE(Lire(d.filePath("a.jpg")).startsWith("\xFF\xD8\xFF"));
    EXPECT_THROW(EcrireImageFichier(q, "/nulle/part/a.jpg", FormatImage::Jpeg), ErreurLectureImage);
    EXPECT_THROW(EcrireImageFichier(q, "/nulle/part/a.png", FormatImage::Png), ErreurLectureImage);
}

// PNG files whose chunks do not fit in the file: refused before the PNG library allocates
// what they announce (a fuzzed file of 200 bytes announced a 1.2 GB text chunk).
struct CasPngAbime {
    const char* nom;
    std::function<QByteArray(const QByteArray& png)> abimer;
};
void PrintTo(const CasPngAbime& c, std::ostream* os) {
    *os << c.nom;
}

class PngAbime : public ::testing::TestWithParam<CasPngAbime> {};

TEST_P(PngAbime, RefuseSansToutAllouer) {
    QTemporaryDir dossier;
    QString nom = dossier.filePath(QStringLiteral("abime.png"));
    const QImage i = test::ImageUnie(40, 30, qRgb(10, 200, 30));
    ASSERT_TRUE(i.save(nom, "PNG"));
    QByteArray png;
    {
        QFile f(nom);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        png = f.readAll();
    }
    ASSERT_TRUE(png.endsWith(QByteArray("IEND\xae\x42\x60\x82", 8)));
    {
        QFile f(nom);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(GetParam().abimer(png));
    }
    try {
        LireImageFichier(nom);
        ADD_FAILURE() << "no error";
    } catch (const ErreurLectureImage& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossible de lire l'image « abime.png » : "
                                              "fichier tronqué ou endommagé"));
    }
}

// The end chunk is the last 12 bytes.
QByteArray AvantFin(const QByteArray& png, const QByteArray& morceau) {
    return png.left(png.size() - 12) + morceau + png.right(12);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, PngAbime,
    ::testing::Values(
        CasPngAbime{"texte_annonce_1_2_go",
                    [](const QByteArray& png) {
                        return AvantFin(png, QByteArray("\x4d\x00\x00\x26tEXtComment", 15));
                    }},
        CasPngAbime{"longueur_hors_norme",
                    [](const QByteArray& png) {
                        return AvantFin(png, QByteArray("\xff\xff\xff\xf0zTXt", 8));
                    }},
        CasPngAbime{"coupe_dans_les_donnees",
                    [](const QByteArray& png) { return png.left(png.size() - 20); }},
        CasPngAbime{"sans_fin", [](const QByteArray& png) { return png.left(png.size() - 12); }}),
    [](const auto& info) { return std::string(info.param.nom); });
