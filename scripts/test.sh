#!/usr/bin/env bash
# Installs what is missing, builds Kinepo with its tests and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
# A private sound server (null sink, 440 Hz sine source) for the recording and playback tests.
eval "$(bash scripts/pulse-test-server.sh start)"
trap 'bash scripts/pulse-test-server.sh stop' EXIT
ctest --preset release -j "$(nproc)" --timeout 600
# The whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer (preset asan, its
# options in CMakePresets.json): a second build in build/asan, about 10 minutes on 2 cores.
bash scripts/build.sh asan
ctest --preset asan -j "$(nproc)" --timeout 900
# The Debian package: built, checked and started from a scratch root.
bash scripts/paquet.sh
