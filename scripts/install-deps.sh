#!/usr/bin/env bash
# Installs the Debian 12 packages Kinepo needs to build, run and test.
# Runs as root (or through sudo); does nothing when everything is there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libqt6opengl6-dev qt6-qpa-plugins qt6-translations-l10n
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg
  libgif-dev libjpeg-dev libv4l-dev libexif-dev libjpeg-turbo-progs
  libsane-dev libsane1 sane-utils
  googletest libgtest-dev libgmock-dev libbenchmark-dev time
  xvfb xauth
  pulseaudio pulseaudio-utils
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
