#!/usr/bin/env bash
# Builds Kinepo's Debian package and checks it:
#   - its file list (programs, desktop entry, icons, metainfo, dictionary, help, samples, man page);
#   - desktop-file-validate and appstreamcli validate;
#   - that apt can resolve its dependencies on this Debian (a dry run);
#   - installed into a scratch root, the program starts under a virtual display up to its
#     launcher window, finds its dictionary there (an English locale gives the English
#     caption) and kinepo-cli --version gives the project's version.
#   bash scripts/paquet.sh          the package is left in build/release/kinepo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

manque=()
for p in desktop-file-utils:desktop-file-validate appstream:appstreamcli dpkg-dev:dpkg-shlibdeps \
         xvfb:xvfb-run xdotool:xdotool; do
    command -v "${p#*:}" >/dev/null || manque+=("${p%%:*}")
done
if ((${#manque[@]})); then
    if [[ $(id -u) == 0 ]]; then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${manque[@]}"
    else
        sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${manque[@]}"
    fi
fi

cmake --preset release >/dev/null
cmake --build --preset release --target kinepo kinepo-cli kinepo_icones kinepo_man kinepo_samples \
    kinepo_donnees
rm -f build/release/kinepo_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/kinepo_*.deb)
echo "paquet: $deb"

echec() { echo "paquet: ÉCHEC: $*" >&2; exit 1; }

liste=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/kinepo ./usr/bin/kinepo-cli \
         ./usr/share/applications/org.kinepo.Kinepo.desktop \
         ./usr/share/metainfo/org.kinepo.Kinepo.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/org.kinepo.Kinepo.svg \
         ./usr/share/icons/hicolor/48x48/apps/org.kinepo.Kinepo.png \
         ./usr/share/icons/hicolor/256x256/apps/org.kinepo.Kinepo.png \
         ./usr/share/kinepo/langues/translat.txt ./usr/share/kinepo/langues/language.txt \
         ./usr/share/kinepo/aide/kinepo.html ./usr/share/kinepo/aide/kinepoEng.html \
         ./usr/share/kinepo/aide/kinepoSpan.html ./usr/share/kinepo/samples/films/chute-balle.avi \
         ./usr/share/man/man1/kinepo-cli.1.gz; do
    grep -qxF "$f" <<<"$liste" || echec "$f manque dans le paquet"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libavcodec59 libjpeg62-turbo libgif7 libv4l-0; do
    grep -q "$d" <<<"$depends" || echec "la dépendance $d manque ($depends)"
done
echo "paquet: Depends: $depends"

racine=$(mktemp -d)
trap 'rm -rf "$racine"' EXIT
dpkg -x "$deb" "$racine/root"
desktop-file-validate "$racine/root/usr/share/applications/org.kinepo.Kinepo.desktop"
appstreamcli validate --no-net --pedantic --explain \
    "$racine/root/usr/share/metainfo/org.kinepo.Kinepo.metainfo.xml" ||
    appstreamcli validate --no-net "$racine/root/usr/share/metainfo/org.kinepo.Kinepo.metainfo.xml"
apt-get install --simulate -qq "./$deb" >/dev/null || echec "apt ne peut pas installer $deb"

version=$("$racine/root/usr/bin/kinepo-cli" --version)
attendue="kinepo-cli $(sed -n 's/^project(Kinepo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[[ "$version" == "$attendue" ]] || echec "version « $version », attendue « $attendue »"

# The installed program, with the user's folders of a fresh account, in English.
export HOME="$racine/home" XDG_CONFIG_HOME="$racine/home/.config" XDG_DATA_HOME="$racine/home/.local/share"
mkdir -p "$HOME"
env -u LC_ALL LANG=en_US.UTF-8 LC_MESSAGES=en_US.UTF-8 KINEPO_INI= \
    xvfb-run -a -s '-screen 0 1000x700x24' bash -c '
        "$1" & pid=$!
        for _ in $(seq 1 40); do
            fenetre=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1)
            [[ -n "$fenetre" ]] && titre=$(xdotool getwindowname "$fenetre") && break
            sleep 0.5
        done
        import -window root "$3" 2>/dev/null || true
        kill $pid 2>/dev/null
        echo "$titre" > "$2/titre"' _ "$racine/root/usr/bin/kinepo" "$racine" "$PWD/build/release/paquet-lanceur.png"
titre=$(cat "$racine/titre")
[[ -n "$titre" ]] || echec "la fenêtre de départ ne s'est pas ouverte"
echo "paquet: fenêtre de départ « $titre »"
[[ "$titre" == "Reading pictures for Tabulane" ]] ||
    echec "le dictionnaire installé n'a pas été trouvé (titre « $titre »)"
echo "paquet: OK"
