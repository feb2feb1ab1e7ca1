#!/usr/bin/env bash
# Start-up and memory of the colouring book beside a bare SDL2 program (bare_sdl.cpp), on one private Xvfb
# desktop with openbox, run after run in turn (the bare program first in odd runs, the book first in even
# ones), and the medians and their ratios printed. Measures, asserts nothing:
#   exec -> first frame   the wall clock from just before the exec to the first SDL_RenderPresent
#                         (first_frame_shim.cpp, preloaded)
#   peak RSS at 8 s       VmHWM 8 s after the exec
#   RSS after the walk    the book: VmRSS after each of the 25 pictures was chosen in the gallery and filled
#                         once; the bare program's yardstick is its own peak at 8 s
#   lock after frame      the book: from the first frame until the server has the key lock's grabs
#   click -> frame        the book: the longest wait from a mouse button event to the next present
# and how each run ended.
#
#   bench/startup_bench.sh [BUILD_DIR] [RUNS]      (BUILD_DIR: build/default; RUNS: 5)
#   BENCH_DISPLAY=73 picks the X display number (otherwise Xvfb picks a free one); BENCH_KEEP=DIR keeps each
#   run's shim record there.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(readlink -f "${1:-$here/../build/default}")
runs=${2:-5}
program="$build/zuvela"
bare="$build/bench/zuvela_bench_bare_sdl"
shim="$build/bench/libzuvela_bench_first_frame.so"
for f in "$program" "$bare" "$shim"; do
    [ -e "$f" ] || { echo "startup_bench: $f is missing (cmake --build $build)"; exit 1; }
done
for tool in Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || { echo "startup_bench: $tool is missing"; exit 1; }
done
# scene_x, scene_y, click_scene, click_canvas for the 1280 × 1024 screen.
source "$here/../tests/e2e/lib.sh"

out=$(mktemp -d /tmp/zuvela-startup-bench.XXXXXX)
if [ -n "${BENCH_DISPLAY:-}" ]; then
    Xvfb ":$BENCH_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$BENCH_DISPLAY"
else
    exec 5>"$out/display.txt"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$out/display.txt" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$out/display.txt")"
fi
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$out/openbox.log" 2>&1 &
wm_pid=$!
sleep 1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
cleanup() {
    kill "$wm_pid" "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$out"
}
trap cleanup EXIT

# The book runs from a copy of its build folder, as installed, under a name of its own: tools that look for a
# program by its name (a test's clean-up on the same machine) leave the measured one alone.
app="$out/app"
mkdir -p "$app/MY_PICTURE"
cp "$program" "$app/zuvela-measured"
cp -r "$build"/{PICTURE,SOUND,MUSIC} "$app/"

now_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }
kib_of() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
shim_value() { awk -v k="$2" '$1 == k { v = $2 } END { if (v != "") print v }' "$1"; }

# The 25 pictures, each chosen in the gallery and filled once where it is white.
walk() {
    for k in $(seq 1 25); do
        click_scene 912 325  # MoreImages
        sleep 0.8
        local left=(54 198 341 485 629) top=(48 185 322 459 596)
        click_scene $(( left[(k - 1) % 5] + 60 )) $(( top[(k - 1) / 5] + 50 ))
        sleep 0.6
        click_canvas 375 300
        sleep 0.3
    done
    sleep 1
}

# run_one NAME COMMAND: one start, its figures appended to $out/NAME.txt as "first_ms hwm_kib after_kib
# lock_ms click_ms end".
run_one() {
    local name=$1 cmd=$2
    local log="$out/$name.shim"
    rm -f "$log"
    local t0; t0=$(now_us)
    (cd "$app" && export LD_PRELOAD="$shim" BENCH_SHIM_OUT="$log" BENCH_EXEC_US="$t0" && exec "$cmd") \
        >>"$out/$name.log" 2>&1 &
    local pid=$!
    local wait_us=$(( t0 + 8000000 - $(now_us) ))
    (( wait_us > 0 )) && sleep "$(( wait_us / 1000000 )).$(printf '%06d' $(( wait_us % 1000000 )))"
    local hwm; hwm=$(kib_of "$pid" VmHWM 2>/dev/null)
    local after=$hwm
    if [ "$name" = book ]; then
        walk
        after=$(kib_of "$pid" VmRSS 2>/dev/null)
    fi
    kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    local status=$?
    local first; first=$(shim_value "$log" first_frame)
    local lock; lock=$(shim_value "$log" lock)
    local click; click=$(awk '$1 == "click_to_frame" && $2 > m { m = $2 } END { if (m != "") print m }' "$log")
    echo "$(( ${first:--1000} / 1000 )) ${hwm:-0} ${after:-0}" \
        "$([ -n "$lock" ] && echo $(( (lock - first) / 1000 )) || echo -)" \
        "$([ -n "$click" ] && echo $(( click / 1000 )) || echo -) exit$status" >>"$out/$name.txt"
    echo "  run $run $name: $(tail -n1 "$out/$name.txt")"
    [ -n "${BENCH_KEEP:-}" ] && cp "$log" "$BENCH_KEEP/$name.$run.shim"
}

echo "startup_bench: $runs runs on $DISPLAY; per run: first_ms peak_kib_at_8s kib_after_walk lock_ms_after_frame longest_click_to_frame_ms end"
for run in $(seq 1 "$runs"); do
    if (( run % 2 )); then
        run_one bare "$bare"
        run_one book "$app/zuvela-measured"
    else
        run_one book "$app/zuvela-measured"
        run_one bare "$bare"
    fi
done

# Only runs that ended as asked (exit 0 for the bare program, 128 + 15 for the book) count.
median() {  # median FILE COLUMN
    awk -v c="$2" '$6 == "exit0" || $6 == "exit143" { print $c }' "$1" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
bf=$(median "$out/bare.txt" 1) bh=$(median "$out/bare.txt" 2)
pf=$(median "$out/book.txt" 1) ph=$(median "$out/book.txt" 2) pa=$(median "$out/book.txt" 3)
pl=$(median "$out/book.txt" 4) pc=$(median "$out/book.txt" 5)
echo
echo "medians of $runs runs             bare SDL2   colouring book   ratio"
awk -v bf="$bf" -v bh="$bh" -v pf="$pf" -v ph="$ph" -v pa="$pa" 'BEGIN {
    printf "exec -> first frame          %7d ms   %9d ms      %.2fx\n", bf, pf, pf / bf
    printf "peak RSS 8 s after start     %7.1f MB   %9.1f MB      %.2fx\n", bh / 1024, ph / 1024, ph / bh
    printf "RSS after all 25 pictures            -   %9.1f MB      %.2fx\n", pa / 1024, pa / bh
}'
echo "the key lock in force          ${pl} ms after the first frame"
echo "longest click -> frame         ${pc} ms"
echo "ends: bare $(awk '{ print $6 }' "$out/bare.txt" | sort | uniq -c | xargs), book $(awk '{ print $6 }' "$out/book.txt" | sort | uniq -c | xargs)"
