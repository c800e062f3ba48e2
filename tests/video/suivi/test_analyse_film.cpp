// The whole-film analysis of kinepo-cli in-process: frames are decoded on the read-ahead thread
// and each row gets its own frame's time, also when the file is cut short while it is open, so
// that decoding finds the end missing and shortens the film while the pass runs (the engine is
// used by one thread at a time).
#include "support/FilmSynthetique.h"

#include "platform/video/MoteurVideo.h"
#include "video/cli/AnalyseFilm.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kinepo;
using kinepo::test::CodecFilm;
using kinepo::test::EcrireFilm;
using kinepo::test::ParametresFilm;

namespace {

constexpr int kImages = 20;
constexpr int kLargeur = 480;
constexpr int kHauteur = 360;

// A red ball moving 6 pixels a frame to the right on a grey background with a still grain
// (large frames that do not compress much, so the file is far bigger than a read buffer).
QImage ImageBalle(int n) {
    QImage i(kLargeur, kHauteur, QImage::Format_RGB888);
    quint32 graine = 12345;
    for (int y = 0; y < kHauteur; ++y) {
        uchar* ligne = i.scanLine(y);
        for (int x = 0; x < kLargeur; ++x) {
            graine = graine * 1103515245u + 12345u;
            const uchar v = uchar(100 + ((graine >> 16) & 31));
            ligne[3 * x] = ligne[3 * x + 1] = ligne[3 * x + 2] = v;
        }
    }
    QPainter p(&i);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 20, 20));
    p.drawEllipse(QPointF(20 + 6 * n, 60), 6, 6);
    return i;
}

struct CasAnalyse {
    const char* nom;
    double gardee; // the fraction of the file left once the film is open (1: untouched,
                   // negative: the file is deleted, which leaves the open film whole)
    bool prechargement; // the engine's own prefetch worker on as well
};
void PrintTo(const CasAnalyse& c, std::ostream* os) { *os << c.nom; }

class AnalyseFilm : public ::testing::TestWithParam<CasAnalyse> {};

TEST_P(AnalyseFilm, EveryRowHasItsFramesTime) {
    const CasAnalyse& cas = GetParam();
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString chemin = dossier.filePath("balle.avi");
    ParametresFilm p;
    p.codec = CodecFilm::MjpegAvi;
    p.images = kImages;
    p.largeur = kLargeur;
    p.hauteur = kHauteur;
    QString erreur;
    ASSERT_TRUE(EcrireFilm(chemin, p, ImageBalle, &erreur)) << erreur.toStdString();
    MoteurVideo::FixerPrechargementParDefaut(cas.prechargement);
    auto moteur = MoteurVideo::Ouvrir(chemin, &erreur);
    MoteurVideo::FixerPrechargementParDefaut(true);
    ASSERT_TRUE(moteur) << erreur.toStdString();
    ASSERT_EQ(moteur->Infos().nombreImages, kImages);
    if (cas.gardee < 0) {
        ASSERT_TRUE(QFile::remove(chemin));
    } else if (cas.gardee < 1) {
        QFile f(chemin);
        ASSERT_TRUE(f.resize(qint64(double(f.size()) * cas.gardee)));
    }

    const CalibrationOuverture ouverture = CalibrationApresOuverture(*moteur);
    VideoCalibration c = ouverture.calibration;
    auto tables = std::make_unique<TablesPointage>();
    MachinePointage machine(*tables);
    ParametresAnalyse pa;
    pa.suivre = true;
    pa.cibleImage = QPoint(20, 60);
    std::vector<std::int64_t> faites;
    AnalyserFilm(*moteur, ouverture, pa, c, *tables, machine,
                 [&](std::int64_t n, std::int64_t) { faites.push_back(n); });

    // The pass went to the frame count seen at its start; the film is now the frames that
    // were still there.
    EXPECT_EQ(faites.size(), std::size_t(kImages - 1));
    const int bonnes = int(moteur->Infos().nombreImages);
    if (cas.gardee >= 0 && cas.gardee < 1) {
        EXPECT_LT(bonnes, kImages);
        EXPECT_GT(bonnes, 3);
    } else {
        EXPECT_EQ(bonnes, kImages);
    }
    ASSERT_GE(tables->Rows, bonnes - 1);
    for (int i = 0; i < tables->Rows; ++i) {
        // Frame times of a 25 fps film; a frame past the lost end keeps the last good time.
        const double attendu = 0.04 * std::min(i, bonnes - 1);
        EXPECT_NEAR(tables->Temps(i), attendu, 1e-9) << "row " << i;
        if (i < bonnes) {
            EXPECT_NEAR(tables->Point(1, i).x(), 20 + 6 * i, 2) << "row " << i;
        }
    }
}

const CasAnalyse kCas[] = {
    {"whole_film", 1, true},
    {"deleted_while_open", -1, true},
    {"cut_short_while_open", 0.5, true},
    {"cut_short_while_open_without_prefetch", 0.5, false},
};
INSTANTIATE_TEST_SUITE_P(Films, AnalyseFilm, ::testing::ValuesIn(kCas),
                         [](const auto& info) { return std::string(info.param.nom); });

} // namespace
