// Every writer of a file the user keeps, with the disk full halfway through the new file: the
// writer says so and the previous file is still there, whole, with nothing left beside it.
#include "support/EcritureLimitee.h"

#include "common/BmpFile.h"
#include "common/IniFile.h"
#include "platform/audio/FichierWav.h"
#include "video/logic/ExportVideo.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace kinepo;

namespace {

constexpr rlim_t kPlace = 4096; // what the disk takes of the new file before it is full

struct CasEcriture {
    const char* nom;
    const char* fichier;
    // Writes a new file of well over kPlace bytes at that path; true on success.
    std::function<bool(const QString& chemin)> ecrire;
};
void PrintTo(const CasEcriture& c, std::ostream* os) { *os << c.nom; }

QImage GrandeImage() {
    QImage i(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < i.height(); ++y)
        for (int x = 0; x < i.width(); ++x)
            i.setPixel(x, y, qRgb(x, y, (x * y) & 255));
    return i;
}

class EcritureInterrompue : public ::testing::TestWithParam<CasEcriture> {};

TEST_P(EcritureInterrompue, LAncienFichierResteEntier) {
    const CasEcriture& c = GetParam();
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString chemin = dossier.filePath(QString::fromLatin1(c.fichier));
    const QByteArray ancien = "le fichier d'avant\r\n";
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ancien);
    }
    bool ecrit = true;
    {
        test::LimiteEcriture limite(kPlace);
        ecrit = c.ecrire(chemin);
    }
    EXPECT_FALSE(ecrit);
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), ancien);
    EXPECT_EQ(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QString::fromLatin1(c.fichier)});
    // With room again, the same write goes through.
    EXPECT_TRUE(c.ecrire(chemin));
}

INSTANTIATE_TEST_SUITE_P(
    Ecrivains, EcritureInterrompue,
    ::testing::Values(
        CasEcriture{"reglages", "KINEPO.INI",
                    [](const QString& chemin) {
                        IniFile ini(chemin);
                        for (int i = 0; i < 400; ++i)
                            ini.ecrireTexte(QStringLiteral("AVI"), QStringLiteral("Cle%1").arg(i),
                                            QStringLiteral("une valeur assez longue %1").arg(i));
                        return ini.enregistrer();
                    }},
        CasEcriture{"export_csv", "table.csv",
                    [](const QString& chemin) {
                        QString texte = QStringLiteral("t,x,y\r\ns,m,m\r\n");
                        for (int i = 0; i < 2000; ++i)
                            texte += QStringLiteral("%1,%2,%3\r\n").arg(i * 0.04).arg(i).arg(-i);
                        return EcrireExport(chemin, texte);
                    }},
        CasEcriture{"chronophotographie_bmp", "chrono.bmp",
                    [](const QString& chemin) { return EcrireBmp24(GrandeImage(), chemin); }},
        CasEcriture{"enregistrement_wav", "son.wav",
                    [](const QString& chemin) {
                        const std::vector<std::uint8_t> pcm(44100, 128);
                        return EcrireWav(chemin, FormatPcm{}, pcm.data(), std::int64_t(pcm.size()));
                    }}),
    [](const auto& info) { return std::string(info.param.nom); });

// The BMP beside a converted GIF is written under a free name: a full disk leaves no part of it.
TEST(EcritureInterrompue, CopieBmpDUnGifNeLaisseRien) {
    QTemporaryDir dossier;
    const QString voulu = dossier.filePath(QStringLiteral("image.bmp"));
    {
        test::LimiteEcriture limite(kPlace);
        EXPECT_TRUE(EcrireSansEcraser(EncoderBmp24(GrandeImage()), voulu).isEmpty());
    }
    EXPECT_TRUE(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
