#!/usr/bin/env bash
# Fuzzes the readers of outside data with libFuzzer, one target after the other, each for a
# bounded time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (default 600 s each, every target)
# Targets: film wav son bmp gif jpeg png ini lirereel lien dictionnaire (fuzz/CMakeLists.txt).
# Builds them with clang in build/fuzz (or $KINEPO_FUZZ_BUILD), starts each from its seeds in
# fuzz/corpus/<target>, keeps what it finds in build/fuzz/corpus-<target>, prints one summary
# line per target, and fails when a target finds a crash (the input is left as
# build/fuzz/<target>/crash-*).
set -euo pipefail
cd "$(dirname "$0")/.."
racine="$(pwd)"
duree="${1:-600}"
shift || true
cibles=("$@")
[ ${#cibles[@]} -gt 0 ] || cibles=(film wav son bmp gif jpeg png ini lirereel lien dictionnaire)
build="${KINEPO_FUZZ_BUILD:-build/fuzz}"
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DKINEPO_FUZZ=ON -DKINEPO_BUILD_TESTS=OFF -DKINEPO_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$build" -j "${KINEPO_JOBS:-2}" --target "${cibles[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
echec=0
for cible in "${cibles[@]}"; do
  mkdir -p "$build/corpus-$cible" "$build/$cible"
  journal="$build/$cible/fuzz.log"
  debut=$(date +%s)
  statut=0
  ( cd "$build/$cible" &&
    "$racine/$build/fuzz/fuzz_$cible" -max_total_time="$duree" -max_len=65536 -timeout=20 \
      -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 \
      "$racine/$build/corpus-$cible" "$racine/fuzz/corpus/$cible" ) >"$journal" 2>&1 || statut=$?
  fin=$(date +%s)
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$journal" | grep -o '[0-9]*$' || echo "?")
  entrees=$(ls "$build/corpus-$cible" | wc -l)
  plantages=$(ls "$build/$cible" | grep -c '^\(crash\|leak\|timeout\|oom\)-' || true)
  echo "$cible: $((fin - debut)) s, $executions inputs run, corpus $entrees, status $statut, $plantages crash file(s) ($journal)"
  [ "$statut" -eq 0 ] || echec=1
done
exit "$echec"
