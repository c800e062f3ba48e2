#!/usr/bin/env bash
# Makes the pictures of the help pages again, from the real program under a virtual display:
# the launcher and each translatable form, in French, Spanish and English.
#   bash scripts/captures-aide.sh [build/release/shell/kinepo]
# Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/release/shell/kinepo}")
sortie=$(realpath docs/aide/img)
mkdir -p "$sortie"

if [[ "${KINEPO_CAPTURES_SESSION:-}" != 1 ]]; then
    for langue in 1 2 3; do
        ini=$(mktemp --suffix=.INI)
        printf '[Langue]\r\nIndex=%d\r\n' "$langue" > "$ini"
        KINEPO_CAPTURES_SESSION=1 KINEPO_INI="$ini" LANGUE="$langue" \
            xvfb-run -a -s '-screen 0 1280x960x24' bash "$0" "$exe"
        rm -f "$ini"
    done
    exit 0
fi

# Inside the virtual display: one run of the program per picture, so the keyboard focus always
# starts from the same place.
suffixe=(x "" -es -en)
suffixe=${suffixe[$LANGUE]}
capture() { # window, name
    import -window "$1" "$sortie/$2$suffixe.png"
    # Fewer colours keep the pictures small; the forms are flat grey.
    convert "$sortie/$2$suffixe.png" -colors 64 "$sortie/$2$suffixe.png"
}
# The form buttons come first in the launcher's keyboard order: light, image, AVI, MPG, sound,
# fringes. The fringe form shows the generated pattern camera.
export KINEPO_CAMERA=motif
formes=(lanceur optique image avi mpg son michelson)
for i in "${!formes[@]}"; do
    "$exe" &
    pid=$!
    lanceur=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
    sleep 1
    if ((i == 0)); then
        capture "$lanceur" lanceur
    else
        avant=$(xdotool search --onlyvisible --pid "$pid" | sort)
        for ((k = 0; k < i; k++)); do xdotool key Tab; done
        xdotool key space
        sleep 2
        apres=$(xdotool search --onlyvisible --pid "$pid" | sort)
        nouvelle=$(comm -13 <(echo "$avant") <(echo "$apres") | head -1)
        if [[ -n "$nouvelle" ]]; then
            capture "$nouvelle" "${formes[$i]}"
        else
            echo "captures-aide: le formulaire ${formes[$i]} ne s'est pas ouvert" >&2
        fi
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
