// Time of one profile computation on a 4000 x 3000 picture with averaging 128 (257 parallel
// lines): the profile form recomputes it at every handle release. Direct reading walks the
// picture in memory; copy reading walks the full-resolution BMP copy of a reduced JPEG on disk,
// shown at 1/5 as the form shows such a picture.
#include "common/BmpFile.h"
#include "optics/ProfilOptique.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kW = 4000, kH = 3000;

const QImage& Image() {
    static const QImage image = [] {
        QImage i(kW, kH, QImage::Format_RGB32);
        for (int y = 0; y < kH; ++y) {
            auto* l = reinterpret_cast<QRgb*>(i.scanLine(y));
            for (int x = 0; x < kW; ++x) {
                const double c = std::cos(3.14159265 * (x - kW / 2) / 60.0);
                const int g = int(250 * c * c) ^ (y & 3);
                l[x] = qRgb(g / 3, g, g / 4);
            }
        }
        return i;
    }();
    return image;
}

std::unique_ptr<kinepo::ProfilOptique> Profil(double z, QPoint p2Ecran) {
    auto p = std::make_unique<kinepo::ProfilOptique>();
    p->Image = {kW, kH};
    p->Zoom = z;
    p->Affiche = p->Bornes = QSize(int(kW * z), int(kH * z));
    p->Poignee[1] = {int(kW * z) / 2, int(kH * z) / 2};
    p->Poignee[2] = p2Ecran;
    p->TypeEchelle = 1;
    p->Moyenne = 128;
    return p;
}

void BM_ProfilDirect(benchmark::State& state) {
    auto p = Profil(1, {3200, 1500});
    const QImage& image = Image();
    for (auto _ : state) {
        p->CalculerDirect(image);
        benchmark::DoNotOptimize(p->Intensite[0]);
    }
    state.counters["echantillons"] = p->NombreEchantillons();
}
BENCHMARK(BM_ProfilDirect)->Unit(benchmark::kMillisecond);

// range(0): 0 horizontal line, 1 line at 45 degrees (for comparison).
void BM_ProfilCopie(benchmark::State& state) {
    QTemporaryDir dir;
    const QString chemin = dir.filePath(QStringLiteral("copie.BMP"));
    if (!kinepo::EcrireBmp24(Image(), chemin)) {
        state.SkipWithError("copy file not written");
        return;
    }
    auto p = Profil(0.2, state.range(0) == 0 ? QPoint(640, 300) : QPoint(600, 500));
    p->Lecture = kinepo::LecturePixels::Copie;
    for (auto _ : state) {
        p->CalculerCopie(chemin);
        benchmark::DoNotOptimize(p->Intensite[0]);
    }
    state.counters["echantillons"] = p->NombreEchantillons();
}
BENCHMARK(BM_ProfilCopie)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
