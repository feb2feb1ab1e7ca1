# A fast hand: 2 000 pointer moves at about 1 000 a second across the palette and the bare window. The program
# must come through it alive and settle: idle again after the last move. How long it takes is printed, not
# judged (whether a backlog is taken as one frame is the event loop's unit test).

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
pid=$program_pid

# "STATE TICKS" of the process: its main thread's scheduler state and the CPU time of all its threads. A
# missing entry is a dead program, never an idle one.
cpu_sample() {
    local stat
    read -r stat <"/proc/$pid/stat" 2>/dev/null || return 1
    set -- ${stat##*) }  # the fields after the command's name, which may hold spaces and parentheses
    echo "$1 $(( ${12} + ${13} ))"
}

# Screen points worked out here rather than through scene_x and scene_y: 4 000 subshells take minutes on a
# busy machine.
moves=()
for (( i = 0; i < 2000; i++ )); do
    x=$(( 10 + (i * 7) % 1000 ))
    y=$(( i % 2 ? 717 : 664 ))  # a swatch, then the bare window below the tools
    moves+=(mousemove $(( view_x + (2 * x + 1) * view_w / 2048 )) $(( view_y + (2 * y + 1) * view_h / 1536 )) sleep 0.001)
done
first=($(cpu_sample)) || { note_failure "the program died before the flood"; return 1; }
sent_from=$(now_ms)
xdotool "${moves[@]}"
xdotool getmouselocation >/dev/null  # a round trip: the server has taken every move before this returns
last_move=$(now_ms)

# Idle: the main thread asleep at every look and the CPU time unchanged for 300 ms. A process starved of the
# CPU is runnable (R), not asleep, so it never counts as idle; nor does one whose entry is gone.
idle_since=""
sample=""
settled=""
while t=$(( ${EPOCHREALTIME//[!0-9]/} / 1000 )); [ $(( t - last_move )) -lt 60000 ]; do
    now=($(cpu_sample)) || { note_failure "the program died during the flood ($(program_end))"; return 1; }
    if [ "${now[0]}" = S ] && [ "${now[1]}" = "$sample" ]; then
        [ -n "$idle_since" ] || idle_since=$t
        if [ $(( t - idle_since )) -ge 300 ]; then settled=$idle_since; break; fi
    else
        idle_since=""
    fi
    sample=${now[1]}
    sleep 0.02
done
[ -n "$settled" ] || { echo "   FAILED: the program was still busy a minute after the last move"; return 1; }
echo "   measured: 2000 moves sent in $(( last_move - sent_from )) ms, CPU $(( (sample - first[1]) * 10 )) ms;" \
     "idle again about $(( settled - last_move )) ms after the last move"
expect_alive "after the flood" || return 1
s=$(shot after_flood)
expect_near "still the main screen" "$(scene_pixel "$s" 50 717)" "$(asset_pixel PICTURE/BOJE1_01.JPG 42 42)" 50
