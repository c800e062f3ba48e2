// Building an exchange text: a video table (t and five points, 11 columns) of n rows with its
// uncertainty block, then the CR LF text and its CP1252 bytes. The transfer shows the busy
// cursor meanwhile, so this is the time the user waits before the clipboard is filled.
#include "common/Nombres.h"
#include "transfer/TexteEchange.h"

#include <benchmark/benchmark.h>

#include <array>

using namespace kinepo;

static void BM_TableVideo(benchmark::State& state) {
    FixerSeparateurDecimal(u',');
    const int n = static_cast<int>(state.range(0));
    PageTransfert page;
    page.cheminExecutable = QStringLiteral("/opt/kinepo/kinepo");
    page.commentaire = QStringLiteral("chute libre");
    page.constante = {QStringLiteral("g"), QStringLiteral("m/s²"), QStringLiteral("9,81")};
    std::array<double, 11> ligne{};
    const std::array<double, 11> incertitudes{4e-4,    1.25e-3, 1.25e-3, 1.25e-3, 1.25e-3, 1.25e-3,
                                              1.25e-3, 1.25e-3, 1.25e-3, 1.25e-3, 1.25e-3};
    for (auto _ : state) {
        TexteEchange t;
        t.ajouterIdentification(page, QStringLiteral("Acquisition à partir de video"));
        t.ajouterChamps({"t", "x1", "y1", "x2", "y2", "x3", "y3", "x4", "y4", "x5", "y5"});
        t.ajouterChamps({"s", "m", "m", "m", "m", "m", "m", "m", "m", "m", "m"});
        for (int i = 0; i < n; ++i) {
            ligne[0] = i * 0.04;
            for (int k = 1; k < 11; ++k)
                ligne[k] = 0.0123456 * k * i - 0.5;
            t.ajouterValeurs(ligne);
        }
        page.AjouteConstante(t);
        t.ajouterIncertitudes(n, incertitudes);
        const QByteArray octets = t.octetsCp1252();
        benchmark::DoNotOptimize(octets.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_TableVideo)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
