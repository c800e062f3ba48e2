#!/usr/bin/env bash
# ThreadSanitizer over the tests of the threaded code: the video engine and its prefetch worker
# (test_video_engine), the tracking pipeline (test_suivi) and kinepo-cli's read-ahead thread
# (test_analyse_film). Builds them in build/tsan (preset tsan) and runs each test case in its
# own process, so that one case's threads never mix with another's. Prints one line per case
# with a report and a summary; fails when a case fails or TSan reports a race in our code.
#   scripts/tsan.sh [GTEST_FILTER]
# Left out: the cases that start the ffmpeg command through QProcess. Qt 6.4's QProcess starts
# children with clone(CLONE_VM|CLONE_VFORK), which TSan does not intercept: after it TSan loses
# track of the main thread's locks and reports races that are not there.
set -euo pipefail
cd "$(dirname "$0")/.."
racine="$(pwd)"
filtre="${1:-*}"
# The raw MOV rotations make their film with ffmpeg after the engine's threads started: TSan
# does not let a forked child start threads ("multi-threaded fork is not supported").
exclus=(MoteurVideo.SoundTrackIsIgnored MoteurVideo.SoundOnlyAviIsNotAFilm
        Rotations/FilmsTournes.FramesComeUprightAtTheUprightSize/raw_{0,90,180,270})
cibles=(tests/platform/test_video_engine tests/video/suivi/test_suivi
        tests/video/suivi/test_analyse_film)
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "${KINEPO_JOBS:-$(nproc)}" --target "${cibles[@]##*/}"

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
# Qt and FFmpeg are not instrumented: what TSan cannot see inside them is in scripts/tsan.supp.
export TSAN_OPTIONS="halt_on_error=0 second_deadlock_stack=1 history_size=4 suppressions=$racine/scripts/tsan.supp"
journaux="build/tsan/journaux"
rm -rf "$journaux" && mkdir -p "$journaux"
cas=0 echecs=0 rapports=0
debut=$(date +%s)
for cible in "${cibles[@]}"; do
  binaire="build/tsan/$cible"
  # "Suite." lines, then "  Case" lines (a "# GetParam() = ..." comment may follow).
  while read -r nom; do
    for e in "${exclus[@]}"; do [ "$nom" = "$e" ] && continue 2; done
    cas=$((cas + 1))
    journal="$journaux/${nom//\//_}.log"
    statut=0
    "$binaire" --gtest_filter="$nom" >"$journal" 2>&1 || statut=$?
    n=$(grep -c '^WARNING: ThreadSanitizer' "$journal" || true)
    if [ "$statut" -ne 0 ] || [ "$n" -gt 0 ]; then
      echo "$nom: status $statut, $n report(s) ($journal)"
      [ "$statut" -ne 0 ] && echecs=$((echecs + 1))
      rapports=$((rapports + n))
    fi
  done < <("$binaire" --gtest_list_tests --gtest_filter="$filtre" |
             awk '/^[^ ]/ { suite = $1; next } { print suite $1 }')
done
echo "tsan: $cas cases in $(( $(date +%s) - debut )) s, $echecs failed, $rapports report(s)"
[ "$echecs" -eq 0 ] && [ "$rapports" -eq 0 ]
