// The picture reader: each accepted extension read back, and the bogus files of each.
#include "ImagesDeTest.h"
#include "image/logic/LecteurImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
