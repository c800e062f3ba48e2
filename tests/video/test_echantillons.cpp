// The falling-ball sample measured through the form as a user does it, and compared with the
// ball's true motion.
#include "support/Evenements.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/video/LecteurMci.h"
#include "samples/ScenesEchantillons.h"
#include "support/FakePlateforme.h"
#include "video/logic/ExportVideo.h"
#include "video/ui/AviForm.h"
#include "shell/base/PanneauImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>

using namespace kinepo;
namespace ech = kinepo::echantillons;

namespace {

void Calmer() { test::TraiterEvenements(); }

QPoint Pixel(QPointF p) {
    return {static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y()))};
}

// Least squares y = a + b t + c t^2; returns c.
double CoefficientQuadratique(const std::vector<double>& t, const std::vector<double>& y) {
    double s[5] = {0, 0, 0, 0, 0}, r[3] = {0, 0, 0};
    for (std::size_t i = 0; i < t.size(); ++i) {
        double p = 1;
        for (double& si : s) {
            si += p;
            p *= t[i];
        }
        r[0] += y[i];
        r[1] += y[i] * t[i];
        r[2] += y[i] * t[i] * t[i];
    }
    // Normal equations solved by Cramer's rule.
    const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
    auto det = [](const double a[3][3]) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
               a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    double mc[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 2; ++j)
            mc[i][j] = m[i][j];
        mc[i][2] = r[i];
    }
    return det(mc) / det(m);
}

} // namespace

TEST(Echantillons, ChuteBalleMesureeALaMainDonneG) {
    QTemporaryDir dossier;
    FixerSeparateurDecimal(QLatin1Char('.'));
    // The form's default axes (up and to the right), whatever an earlier test saved.
    QFile::remove(NomFichierIni());
    const ech::Scene& s = ech::ChuteBalle();
    const QString film = dossier.filePath(QString::fromLatin1(s.fichier));
    QString erreur;
    ASSERT_TRUE(ech::EcrireFilm(s, film, &erreur)) << erreur.toStdString();

    TAviForm forme;
    forme.resize(1200, 800);
    forme.show();
    ASSERT_TRUE(forme.OuvrirFilm(film));
    Calmer();
    // The scale along the ruler, dragged from one end to the other, and its length typed.
    forme.EchelleBtn->click();
    QTest::mousePress(forme.Image, Qt::LeftButton, {}, Pixel(s.regleDebut));
    QTest::mouseMove(forme.Image, Pixel(s.regleDebut) + QPoint(0, -20));
    QTest::mouseMove(forme.Image, Pixel(s.regleFin));
    test::Dialogues().saisies.push_back(QString("2"));
    QTest::mouseRelease(forme.Image, Qt::LeftButton, {}, Pixel(s.regleFin));
    Calmer();
    EXPECT_NEAR(forme.Calibration().KX, ech::kMetresParPixel, 1e-12);
    // The origin on the ball at rest.
    forme.OrigineBtn->click();
    QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Pixel(ech::Position(s, 1, 0)));
    Calmer();
    // One click on the ball on every frame, up to the last one.
    forme.MesureBtn->click();
    Calmer();
    for (int n = 0; n < s.images; ++n) {
        ASSERT_EQ(forme.Lecteur().ImageCourante(), n);
        QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Pixel(ech::Position(s, 1, n)));
        Calmer();
    }
    ASSERT_EQ(forme.Tables().Rows, s.images);
    // KINEPO_CAPTURE=<file.png> keeps a picture of the form with the whole trajectory.
    if (const QString capture = qEnvironmentVariable("KINEPO_CAPTURE"); !capture.isEmpty())
        forme.grab().save(capture);
    EXPECT_FALSE(forme.MesureBtn->isChecked());

    // The exported table against the true motion.
    const QString csv = dossier.filePath("chute.csv");
    test::Dialogues().fichiers.push_back(csv);
    forme.TabulaneMClick(CibleSauvegarde::Fichier);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lignes = QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), s.images + 2);
    std::vector<double> tv, yv;
    double ecartMax = 0;
    for (int n = 0; n < s.images; ++n) {
        const QStringList c = lignes[n + 2].split(',');
        ASSERT_EQ(c.size(), 3);
        const double t = c[0].toDouble(), x = c[1].toDouble(), y = c[2].toDouble();
        const QPointF vrai =
            (ech::Position(s, 1, n) - ech::Position(s, 1, 0)) * ech::kMetresParPixel;
        EXPECT_NEAR(t, n * 0.04, 1e-9);
        ecartMax = std::max({ecartMax, std::fabs(x - vrai.x()), std::fabs(y + vrai.y())});
        if (t > 0.45 && t < 1.6) { // the first flight
            tv.push_back(t);
            yv.push_back(y);
        }
    }
    EXPECT_LE(ecartMax, 0.0051); // half a pixel of the click, in metres
    const double gMesure = -2 * CoefficientQuadratique(tv, yv);
    EXPECT_NEAR(gMesure, 9.81, 0.15);
    std::cout << "sample chute-balle: " << tv.size() << " frames of flight, g measured " << gMesure
              << " m/s2, largest gap to the true motion " << ecartMax << " m\n";
    SeparateurDecimalDuSysteme();
}
