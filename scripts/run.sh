#!/usr/bin/env bash
# Installs what is missing, builds Kinepo and starts it.
# Without a desktop, the program is started on a virtual display (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
# The sample films and sounds (see samples/README.md), made once.
[ -d samples/films ] || ./build/release/video/kinepo-echantillons samples/films
[ -d samples/sons ] || ./build/release/sound/kinepo-sons-exemples samples/sons
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/release/shell/kinepo
else
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/release/shell/kinepo
fi
