// The per-frame analysis pass (chronophotograph painting, the target search and its
// refinement) on frames of the two sizes that matter: 640x480 and 1920x1080. The frames are a
// textured table with sensor noise and a ball crossing it; a few frames are made up front and
// the pass cycles through them, so only the pass is timed.
#include "video/suivi/PasseAnalyse.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace kinepo;

namespace {

constexpr int kImages = 16;

struct Scene {
    std::vector<QImage> images;
    std::vector<QPoint> centres;
};

// bruit: +- sensor noise per channel; camera: the whole picture shifts each frame (every pixel
// then differs from the background: the slowest case).
Scene Fabriquer(int w, int h, int bruit, bool camera) {
    Scene s;
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> b(-bruit, bruit);
    const int rayon = std::max(4, h / 60);
    for (int i = 0; i < kImages; ++i) {
        QImage img(w, h, QImage::Format_RGB888);
        const int decalage = camera ? i * 37 : 0;
        for (int y = 0; y < h; ++y) {
            uchar* l = img.scanLine(y);
            for (int x = 0; x < w; ++x) {
                const int xx = x + decalage;
                l[3 * x] = uchar(std::clamp(30 + (xx * 7 + y * 3) % 60 +
                                                (camera ? (xx / 16 % 2) * 150 : 0) + b(gen),
                                            0, 255));
                l[3 * x + 1] = uchar(std::clamp(60 + (xx * 3 + y * 11) % 50 + b(gen), 0, 255));
                l[3 * x + 2] = uchar(std::clamp(50 + ((xx / 8 + y / 8) % 2) * 30 + b(gen), 0, 255));
            }
        }
        const QPoint c(w / 8 + i * (w / 24), h / 4 + i * (h / 40));
        for (int y = c.y() - rayon; y <= c.y() + rayon; ++y)
            for (int x = c.x() - rayon; x <= c.x() + rayon; ++x)
                if ((x - c.x()) * (x - c.x()) + (y - c.y()) * (y - c.y()) <= rayon * rayon) {
                    uchar* p = img.scanLine(y) + 3 * x;
                    p[0] = 240;
                    p[1] = 20;
                    p[2] = 20;
                }
        s.images.push_back(img);
        s.centres.push_back(c);
    }
    return s;
}

void BM_Passe(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const bool camera = state.range(2) != 0;
    if (!ChoisirCheminPasse(static_cast<CheminPasse>(state.range(3)))) {
        state.SkipWithError("this processor cannot run that path");
        return;
    }
    const Scene s = Fabriquer(w, h, 10, camera);
    PasseAnalyse passe;
    passe.Demarrer(s.images[0], 1);
    passe.FixerCible(s.centres[0]);
    int i = 1, trouves = 0;
    QPoint derniere = s.centres[0];
    for (auto _ : state) {
        const ResultatPasse r = passe.Passer(s.images[std::size_t(i)], derniere, true);
        if (r.trouve) {
            derniere = r.positionImage;
            ++trouves;
        }
        benchmark::DoNotOptimize(r);
        if (++i == kImages) { // start again from the first frame
            i = 1;
            derniere = s.centres[0];
        }
    }
    ChoisirCheminPasse(CheminPasse::Automatique);
    state.counters["found"] = benchmark::Counter(trouves, benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

// Still table (the usual film) and a panning camera (every pixel moving), on each path.
BENCHMARK(BM_Passe)
    ->ArgNames({"w", "h", "camera", "path"}) // path: 1 portable, 2 SSSE3, 3 AVX2
    ->ArgsProduct({{640}, {480}, {0, 1}, {1, 2, 3}})
    ->ArgsProduct({{1920}, {1080}, {0, 1}, {1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
