#!/usr/bin/env bash
# End-to-end scenarios: the real program on the real assets under Xvfb and openbox, driven with xdotool and
# checked by sampling pixels of screenshots.
#   run_e2e.sh PATH/TO/zuvela OUTPUT_DIR [SCENARIO...]
# With no scenario named, every tests/e2e/scenario_*.sh runs (E2E_ONLY=PATTERN narrows them), one after another
# on one desktop. Each output folder gets its own Xvfb display, so runs in different folders may go in parallel.
set -uo pipefail

program=$(readlink -f "$1")
out=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../assets"
mkdir -p "$out"
rm -rf "$out"/*.png "$out"/*.ppm "$out"/cache "$out"/program.pid "$out"/program.end

for tool in Xvfb openbox xdotool import convert perl; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

scenarios=()
if [ $# -gt 0 ]; then
    for name in "$@"; do scenarios+=("$here/${name%.sh}.sh"); done
else
    for scenario in "$here"/scenario_*.sh; do
        name=$(basename "$scenario" .sh)
        # E2E_ONLY=PATTERN runs only the scenarios whose name matches.
        [[ "$name" == *${E2E_ONLY:-}* ]] && scenarios+=("$scenario")
    done
fi

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

# What a failed scenario saw, as PNG beside the screenshots it took, for reports and for attaching to an issue.
screenshots_as_png() {
    find "$e2e_out" -name '*.ppm' -newer "$e2e_out/scenario.started" -print0 |
        while IFS= read -r -d '' screenshot; do convert "$screenshot" "${screenshot%.ppm}.png"; done
    echo "   screenshots: $e2e_out"
}

for scenario in "${scenarios[@]}"; do
    name=$(basename "$scenario" .sh)
    [ -f "$scenario" ] || { fail "$name: no such scenario"; continue; }
    echo "== ${name#scenario_}"
    rm -f "$e2e_out/failures.txt"
    touch "$e2e_out/scenario.started"
    # shellcheck source=/dev/null
    ( source "$scenario" )
    status=$?
    # However the scenario went, the program it left running must still run and leave cleanly on SIGTERM.
    stop_program
    if [ -s "$e2e_out/failures.txt" ]; then
        fail "$name: $(paste -sd ';' "$e2e_out/failures.txt")"
        screenshots_as_png
    elif [ "$status" -ne 0 ]; then
        fail "$name"
        screenshots_as_png
    else
        pass "$name"
    fi
done
[ "${#scenarios[@]}" -gt 0 ] || fail "no scenario matched"
summary
