#!/usr/bin/env bash
# A private PulseAudio server for the sound tests: a null sink to play into and a 440 Hz sine
# source as the default input, reachable on its own socket (works as root or as a user, with no
# desktop session, D-Bus or sound card).
#
#   eval "$(scripts/pulse-test-server.sh start)"   # starts it and exports PULSE_SERVER
#   scripts/pulse-test-server.sh stop
#
# An optional second argument names the server's folder (default: /tmp/kinepo-pulse-<uid>).
# Exit status 3: pulseaudio is not installed; 1: it could not be started (see <folder>/log).
set -euo pipefail
action="${1:-start}"
dossier="${2:-${TMPDIR:-/tmp}/kinepo-pulse-$(id -u)}"
socket="$dossier/native"
export XDG_RUNTIME_DIR="$dossier/run" PULSE_RUNTIME_PATH="$dossier/run" PULSE_STATE_PATH="$dossier/state"

repond() { PULSE_SERVER="unix:$socket" pactl info >/dev/null 2>&1; }

case "$action" in
start)
  command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed" >&2; exit 3; }
  if ! repond; then
    mkdir -p "$dossier/run" "$dossier/state"
    chmod 700 "$dossier/run"
    rm -f "$socket"
    pulseaudio --daemonize=yes -n --exit-idle-time=-1 --disable-shm=yes --use-pid-file=yes \
      --log-target="file:$dossier/log" \
      --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
      --load="module-null-sink sink_name=kinepo_nul" \
      --load="module-sine-source source_name=kinepo_sinus rate=44100 frequency=440" \
      >/dev/null 2>&1 || true
    for _ in $(seq 50); do
      repond && break
      sleep 0.1
    done
    repond || { echo "pulseaudio did not start (see $dossier/log)" >&2; exit 1; }
    PULSE_SERVER="unix:$socket" pactl set-default-source kinepo_sinus
    PULSE_SERVER="unix:$socket" pactl set-default-sink kinepo_nul
  fi
  echo "export PULSE_SERVER=unix:$socket"
  ;;
stop)
  pulseaudio --kill >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: $0 start|stop [FOLDER]" >&2
  exit 2
  ;;
esac
