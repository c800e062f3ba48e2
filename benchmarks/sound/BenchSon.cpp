// Read of a WAV holding 4 194 304 bytes of 16-bit stereo (1 048 576 frames) against one
// sequential read of the same file into a buffer of the same size: the reader should cost at
// most twice the plain read. Both run on a file the page cache already holds.
#include "sound/TamponSon.h"
#include "sound/WavTest.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString& FichierBanc() {
    static QTemporaryDir dossier;
    static const QString chemin = [] {
        kinepo::test::OptionsWav o;
        o.voies = 2;
        o.bits = 16;
        o.frequence = 44100;
        o.trames = 1048576;
        o.echantillon = [](std::int64_t i, int v) {
            return int((i * 37 + v * 1000) % 65536) - 32768;
        };
        return kinepo::test::EcrireFichier(dossier.path(), QStringLiteral("banc.wav"),
                                           kinepo::test::FabriquerWav(o));
    }();
    return chemin;
}

void BM_Read(benchmark::State& state) {
    const QString chemin = FichierBanc();
    auto son = std::make_unique<kinepo::TamponSon>();
    for (auto _ : state) {
        son->Read(chemin);
        benchmark::DoNotOptimize(son->Octets()[100]);
    }
    state.SetBytesProcessed(state.iterations() * 4194348);
}
BENCHMARK(BM_Read)->Unit(benchmark::kMicrosecond);

void BM_LectureSequentielle(benchmark::State& state) {
    const QString chemin = FichierBanc();
    auto tampon = std::make_unique<char[]>(4194348);
    for (auto _ : state) {
        QFile f(chemin);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.read(tampon.get(), 4194348));
        benchmark::DoNotOptimize(tampon[100]);
    }
    state.SetBytesProcessed(state.iterations() * 4194348);
}
BENCHMARK(BM_LectureSequentielle)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
