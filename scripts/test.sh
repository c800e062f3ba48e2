#!/usr/bin/env bash
# Installs what is missing, builds Kinepo with its tests and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
ctest --preset release -j "$(nproc)" --timeout 600
