# A fast hand: 2 000 pointer moves at about 1 000 a second across the palette and the bare window. The program
# must keep up: it is idle again soon after the last move, instead of working through a backlog.

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
pid=$(cat "$e2e_out/program.pid")

cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

moves=()
for i in $(seq 0 1999); do
    x=$(( 10 + (i * 7) % 1000 ))
    y=$(( i % 2 ? 717 : 664 ))  # a swatch, then the bare window below the tools
    moves+=(mousemove "$(scene_x $x)" "$(scene_y $y)" sleep 0.001)
done
ticks_before=$(cpu_ticks)
sent_from=$(now_ms)
xdotool "${moves[@]}"
last_move=$(now_ms)

# Idle: the CPU time stops growing for 200 ms. Ticks are 10 ms, so the figure is good to about 10 ms.
last_change=$last_move
ticks=$(cpu_ticks)
while [ $(( $(now_ms) - last_change )) -lt 200 ]; do
    sleep 0.005
    t=$(cpu_ticks)
    if [ "$t" != "$ticks" ]; then ticks=$t; last_change=$(now_ms); fi
    [ $(( $(now_ms) - last_move )) -gt 30000 ] && break
done
behind=$(( last_change - last_move ))
echo "   measured: 2000 moves sent in $(( last_move - sent_from )) ms, CPU $(( (ticks - ticks_before) * 10 )) ms;" \
     "idle again ${behind} ms after the last move"
[ "$behind" -lt 1000 ] || { echo "   FAILED: the program fell behind the mouse by ${behind} ms"; return 1; }
