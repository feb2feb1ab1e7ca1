#!/usr/bin/env bash
# The Debian package as a parent meets it: build it, install it, start the program from the menu's command
# as an ordinary user, then purge it and look for anything it left behind.
# package_test.sh BUILD_DIR OUT_DIR. Needs root (it installs into the system); exits 77 (skipped) without.
set -uo pipefail

build=$(realpath "$1")
out=$2
here=$(cd "$(dirname "$0")" && pwd)
user=zuvela-tester
app=/usr/lib/zuvela

[ "$(id -u)" -eq 0 ] || { echo "package test: needs root, skipped"; exit 77; }
for tool in cpack apt-get dpkg Xvfb openbox import setpriv; do
    command -v "$tool" >/dev/null || { echo "package test: no $tool, skipped"; exit 77; }
done

rm -rf "$out"
mkdir -p "$out"
# Two test runs on one machine would install and purge under each other.
exec 9>/var/lock/zuvela-package-test.lock
flock 9

failures=0
check() {  # check WHAT COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "   ok: $what"
    else
        echo "   FAILED: $what"
        failures=$((failures + 1))
    fi
}
purge() { DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq zuvela >"$out/purge.log" 2>&1; }

echo "== package"
cmake --build "$build" --target zuvela >"$out/build.log" 2>&1 || { echo "cannot build the program"; exit 1; }
(cd "$build" && cpack -G DEB --config CPackConfig.cmake -B "$out/cpack") >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/cpack/zuvela_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { echo "cpack wrote no package"; exit 1; }
check "package name is zuvela" test "$(dpkg-deb -f "$deb" Package)" = zuvela
check "depends on the SDL libraries it links" grep -q libsdl2 <<<"$(dpkg-deb -f "$deb" Depends)"
depends=$(dpkg-deb -f "$deb" Depends)
# The music plays through SDL_mixer's own Timidity with the freepats instruments, not FluidSynth's soundfont.
check "depends on xdg-utils and freepats, nothing else for the music" \
    bash -c '[[ "$1" == *xdg-utils* && "$1" == *freepats* && "$1" != *fluid* ]]' - "$depends"
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$out/lintian.log" 2>&1
    check "lintian finds no errors" test $? -eq 0
fi

echo "== install"
dpkg -s zuvela >/dev/null 2>&1 && purge
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$(realpath "$deb")" \
    >"$out/install.log" 2>&1 || { cat "$out/install.log"; exit 1; }
trap purge EXIT
dpkg -L zuvela >"$out/files.txt"

check "the program sits in its own folder" test -x $app/zuvela -a -f $app/PICTURE/00.GIF
check "the colour chimes and voices are beside it" test -f $app/SOUND/CRVENA.WAV -a -f $app/SOUND/VOICE/CRVENA.WAV
check "the music is beside it" test -f $app/MUSIC/001.MID
check "the colour names in every language" test "$(find $app/SOUND/VOICE -mindepth 1 -type d | wc -l)" -ge 15 \
    -a -f $app/SOUND/VOICE/DE/CRVENA.WAV
check "the installed pictures are the shipped ones" diff -rq "$here/../../assets/PICTURE" $app/PICTURE
check "zuvela on the PATH leads to the program" test "$(readlink -f /usr/bin/zuvela)" = $app/zuvela
check "desktop entry" grep -qx 'Exec=zuvela' /usr/share/applications/org.zuvela.Zuvela.desktop
check "metainfo" test -f /usr/share/metainfo/org.zuvela.Zuvela.metainfo.xml
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net /usr/share/metainfo/org.zuvela.Zuvela.metainfo.xml >"$out/appstream.log" 2>&1
    check "appstream accepts the metainfo" test $? -eq 0
fi
for size in 16 24 32 48 64 128 256; do
    icon=/usr/share/icons/hicolor/${size}x$size/apps/org.zuvela.Zuvela.png
    check "icon ${size}px" grep -q "${size} x ${size}" <<<"$(file "$icon")"
done
check "copyright and changelog" test -f /usr/share/doc/zuvela/copyright -a -f /usr/share/doc/zuvela/changelog.gz

echo "== start as an ordinary user"
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
# shellcheck source=../e2e/lib.sh
source "$here/../e2e/lib.sh"
assets=$app
start_desktop "$out" || exit 1
# setpriv and env exec the command, so the keeper watches the program itself.
start_program setpriv --reuid="$user" --regid="$user" --init-groups --reset-env \
    env DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy zuvela
check "the main screen appears" wait_until 30000 wait_for_main_screen
check "the program is still running" program_alive
check "SIGTERM ends it with 128 + 15, as an exit of its own" stop_program
stop_desktop
# What it saw, as PNG as well when something failed.
if [ "$failures" -ne 0 ]; then
    for screenshot in "$out"/*.ppm; do [ -e "$screenshot" ] && convert "$screenshot" "${screenshot%.ppm}.png"; done
fi
user_data=$(find "$home" -mindepth 1 | sort)

echo "== purge"
trap - EXIT
purge
check "apt removed the package" bash -c '! dpkg -s zuvela >/dev/null 2>&1'
check "the program folder is gone" test ! -e $app
check "the command is gone" test ! -e /usr/bin/zuvela -a ! -L /usr/bin/zuvela
left=()
while read -r path; do
    [ -e "$path" ] && [ ! -d "$path" ] && left+=("$path")
done <"$out/files.txt"
check "no file of the package is left (${left[*]:-none})" test ${#left[@]} -eq 0
# The user's own folder is theirs: purging a system package must not reach into it.
strays=$(find /usr /etc /var/lib /opt -xdev -iname '*zuvela*' 2>/dev/null)
check "nothing named after it outside the user's home (${strays:-none})" test -z "$strays"
check "the user's own files are kept" test "$(find "$home" -mindepth 1 | sort)" = "$user_data"

echo "package test: $failures failed"
[ "$failures" -eq 0 ]
