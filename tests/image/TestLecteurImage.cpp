// The picture reader: each accepted extension read back, and the bogus files of each.
#include "ImagesDeTest.h"
#include "image/logic/LecteurImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace kinepo;

class LecteurImage : public ::testing::TestWithParam<const char*> {
protected:
    QTemporaryDir dossier;
    QString chemin(const char* nom) const { return dossier.filePath(QString::fromLatin1(nom)); }
};

TEST_P(LecteurImage, RelitUneImageEcrite) {
    const QString ext = QString::fromLatin1(GetParam());
    QString nom = chemin("image.") + ext;
    QImage i = test::ImageUnie(40, 30, qRgb(0, 0, 0));
    i.setPixel(5, 6, qRgb(255, 255, 255));
    if (ext == "gif")
        ASSERT_TRUE(test::EcrireGifNoirEtBlanc(nom, i));
    else
        ASSERT_TRUE(i.save(nom, ext.toLatin1().toUpper().constData()));
    const QImage lue = LireImageFichier(nom);
    EXPECT_EQ(lue.size(), QSize(40, 30));
    EXPECT_GT(qGray(lue.pixel(5, 6)), 200);
    if (ext == "gif")
        EXPECT_TRUE(nom.endsWith(QLatin1String(".bmp")));
    else
        EXPECT_TRUE(nom.endsWith(ext));
}

TEST_P(LecteurImage, FichierVideOuAbsurde) {
    const QString ext = QString::fromLatin1(GetParam());
    for (const QByteArray& contenu :
         {QByteArray(), QByteArray("pas une image du tout, juste du texte\n")}) {
        QString nom = chemin("mauvais.") + ext;
        QFile f(nom);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenu);
        f.close();
        try {
            LireImageFichier(nom);
            ADD_FAILURE() << "no error for " << contenu.size() << " bytes";
        } catch (const ErreurLectureImage& e) {
            EXPECT_TRUE(
                e.message().startsWith(QStringLiteral("Impossible de lire l'image « mauvais.")))
                << e.message().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Extensions, LecteurImage, ::testing::Values("bmp", "jpg", "png", "gif"),
                         [](const auto& info) { return std::string(info.param); });

TEST(LecteurImageAbsente, FichierIntrouvable) {
    QString nom = QStringLiteral("/nulle/part/image.bmp");
    EXPECT_THROW(LireImageFichier(nom), ErreurLectureImage);
}

// PNG files whose chunks do not fit in the file: refused before the PNG library allocates
// what they announce (a fuzzed file of 200 bytes announced a 1.2 GB text chunk).
struct CasPngAbime {
    const char* nom;
    std::function<QByteArray(const QByteArray& png)> abimer;
};
void PrintTo(const CasPngAbime& c, std::ostream* os) { *os << c.nom; }

class PngAbime : public ::testing::TestWithParam<CasPngAbime> {};

TEST_P(PngAbime, RefuseSansToutAllouer) {
    QTemporaryDir dossier;
    QString nom = dossier.filePath(QStringLiteral("abime.png"));
    const QImage i = test::ImageUnie(40, 30, qRgb(10, 200, 30));
    QByteArray png;
    {
        QFile f(nom);
        ASSERT_TRUE(i.save(nom, "PNG"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        png = f.readAll();
    }
    ASSERT_TRUE(png.endsWith(QByteArray("IEND\xae\x42\x60\x82", 8)));
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(GetParam().abimer(png));
    f.close();
    try {
        LireImageFichier(nom);
        ADD_FAILURE() << "no error";
    } catch (const ErreurLectureImage& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Impossible de lire l'image « abime.png » : fichier endommagé ou incomplet"));
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
