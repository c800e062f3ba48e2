#!/usr/bin/env bash
# Fuzzes the WAV reader with libFuzzer for a bounded time.
#   scripts/fuzz-wav.sh [SECONDS]        (default 600)
# Builds the target with clang in build/fuzz (or $KINEPO_FUZZ_BUILD), starts from the seeds in
# sound/fuzz/corpus, keeps what it finds in that build folder, and fails when the fuzzer finds a
# crash (the input is left as crash-* in the build folder).
set -euo pipefail
cd "$(dirname "$0")/.."
racine="$(pwd)"
duree="${1:-600}"
build="${KINEPO_FUZZ_BUILD:-build/fuzz}"
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKINEPO_FUZZ=ON -DKINEPO_BUILD_TESTS=OFF -DKINEPO_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$build" --target fuzz_wav -j "${KINEPO_JOBS:-2}"
mkdir -p "$build/corpus-wav"
cd "$build"
./sound/fuzz_wav -max_total_time="$duree" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 corpus-wav "$racine/sound/fuzz/corpus"
