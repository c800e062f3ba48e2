// Drawing time of the sound wave. The sound form repaints the whole-sound view on every play
// cursor tick, so the min/max mode must stay well under a frame: 1 048 576 stereo 16-bit frames
// into 1000 pixel columns is the reference case.
#include "common/Grapheu.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<std::uint8_t> SonStereo16(int trames) {
    std::vector<std::uint8_t> b(2 + static_cast<std::size_t>(trames) * 4);
    b[0] = 2;
    for (int k = 0; k < trames; ++k) {
        const auto g = static_cast<std::int16_t>(20000 * std::sin(k * 0.01) + (k * 7919) % 2000);
        const auto d = static_cast<std::int16_t>(-g);
        std::uint8_t* p = b.data() + 2 + static_cast<std::size_t>(k) * 4;
        p[0] = static_cast<std::uint8_t>(g & 0xFF);
        p[1] = static_cast<std::uint8_t>((g >> 8) & 0xFF);
        p[2] = static_cast<std::uint8_t>(d & 0xFF);
        p[3] = static_cast<std::uint8_t>((d >> 8) & 0xFF);
    }
    return b;
}

void BM_SonMinMax(benchmark::State& state) {
    const int trames = static_cast<int>(state.range(0));
    const int largeur = static_cast<int>(state.range(1));
    const auto son = SonStereo16(trames);
    QImage image(largeur, 200, QImage::Format_RGB32);
    kinepo::TgrapheSon g;
    g.FixerDonnees(son.data(), son.size());
    g.rect = QRect(0, 0, largeur, 200);
    g.first = 0;
    g.last = trames - 1;
    for (auto _ : state) {
        QPainter p(&image);
        g.Dessine(p);
        benchmark::DoNotOptimize(image.constBits());
    }
    if (!g.compressed) state.SkipWithError("expected the min/max mode");
    state.SetItemsProcessed(state.iterations() * trames);
}
BENCHMARK(BM_SonMinMax)
    ->Args({1048576, 1000})
    ->Args({1048576, 1920})
    ->Unit(benchmark::kMillisecond);

// One segment per frame: at most 5 frames per column, here 2.
void BM_SonUneLigne(benchmark::State& state) {
    const int largeur = 1000, trames = 2000;
    const auto son = SonStereo16(trames);
    QImage image(largeur, 200, QImage::Format_RGB32);
    kinepo::TgrapheSon g;
    g.FixerDonnees(son.data(), son.size());
    g.rect = QRect(0, 0, largeur, 200);
    g.last = trames - 1;
    for (auto _ : state) {
        QPainter p(&image);
        g.Dessine(p);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_SonUneLigne)->Unit(benchmark::kMillisecond);

void BM_GrapheProfil(benchmark::State& state) {
    kinepo::Tgraphe g;
    const int n = static_cast<int>(state.range(0));
    for (int i = 0; i < n; ++i) {
        g.X[i] = i;
        g.Y[i] = 0.5 + 0.5 * std::sin(i * 0.05);
    }
    g.first = 0;
    g.last = n - 1;
    g.mondeX.maxi = n;
    g.mondeY.maxi = 1.1;
    QImage image(1000, 300, QImage::Format_RGB32);
    g.rect = image.rect();
    for (auto _ : state) {
        QPainter p(&image);
        g.Dessine(p);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_GrapheProfil)->Arg(1000)->Arg(32768)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
