#!/usr/bin/env bash
# End-to-end scenarios: the real program on the real assets under Xvfb and openbox, driven with xdotool and
# checked by sampling pixels of screenshots.
#   run_e2e.sh PATH/TO/zuvela OUTPUT_DIR
set -uo pipefail

program=$(readlink -f "$1")
out=$2
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../assets"
mkdir -p "$out"
rm -f "$out"/*.png

for tool in Xvfb openbox xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

source "$here/lib.sh"
start_desktop "$out" || exit 1
trap stop_desktop EXIT

# The program runs from a copy of its build folder, so scenarios may change its files freely.
app="$out/app"
rm -rf "$app"
mkdir -p "$app"
cp "$program" "$app/"
cp -r "$(dirname "$program")"/{PICTURE,SOUND,MUSIC} "$app/"
mkdir -p "$app/MY_PICTURE"

# E2E_ONLY=PATTERN runs only the scenarios whose name matches.
for scenario in "$here"/scenario_*.sh; do
    name=$(basename "$scenario" .sh)
    [[ "$name" == *${E2E_ONLY:-}* ]] || continue
    echo "== ${name#scenario_}"
    # shellcheck source=/dev/null
    ( source "$scenario" ) && pass "$name" || fail "$name"
    stop_program
done
summary
