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

# Inside the virtual display.
suffixe=(x "" -es -en)
suffixe=${suffixe[$LANGUE]}
"$exe" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
lanceur=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1)
sleep 1
capture() { # window, name
    import -window "$1" "$sortie/$2$suffixe.png"
    # Fewer colours keep the pictures small; the forms are flat grey.
    convert "$sortie/$2$suffixe.png" -colors 64 "$sortie/$2$suffixe.png"
}
capture "$lanceur" lanceur
# The form buttons take the keyboard focus in their order: light, image, AVI, MPG, sound.
formes=(optique image avi mpg son)
for i in "${!formes[@]}"; do
    avant=$(xdotool search --onlyvisible --pid "$pid" | sort)
    xdotool windowactivate --sync "$lanceur" 2>/dev/null || xdotool windowfocus --sync "$lanceur"
    for ((k = 0; k < i; k++)); do xdotool key Tab; done
    xdotool key space
    sleep 2
    apres=$(xdotool search --onlyvisible --pid "$pid" | sort)
    nouvelle=$(comm -13 <(echo "$avant") <(echo "$apres") | head -1)
    if [[ -n "$nouvelle" ]]; then
        capture "$nouvelle" "${formes[$i]}"
        xdotool windowunmap "$nouvelle" || true
    else
        echo "captures-aide: le formulaire ${formes[$i]} ne s'est pas ouvert" >&2
    fi
    # Back to the first button for the next round.
    xdotool windowfocus --sync "$lanceur"
    for ((k = 0; k < i; k++)); do xdotool key shift+Tab; done
done
