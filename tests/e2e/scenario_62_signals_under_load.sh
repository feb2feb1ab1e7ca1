# The end signals whatever the program is busy with: started with its standard streams closed (as a menu or
# a script may start it) and with a diagnostic to write, SIGTERM still ends it with 143; a flood of clicks
# queued while it could not read them does not hold SIGTERM back behind them; a SIGTERM right after the
# start is an exit with 143, not death by the signal. Each time the window manager has the keys again after.

xmessage -geometry 200x80+10+10 one >/dev/null 2>&1 &
other_a=$!
xmessage -geometry 200x80+300+10 two >/dev/null 2>&1 &
other_b=$!
trap 'kill $other_a $other_b 2>/dev/null; [ -d "$app/MY_PICTURE.away" ] && mv "$app/MY_PICTURE.away" "$app/MY_PICTURE"' RETURN

# Alt+Tab reaches the window manager: nobody holds the keys.
keys_free() {
    xdotool windowactivate --sync "$(xdotool search --pid $other_a | head -n1)" 2>/dev/null
    local before; before=$(xdotool getactivewindow)
    xdotool keydown alt key Tab sleep 0.2 keyup alt
    sleep 0.5
    [ "$(xdotool getactivewindow)" != "$before" ] || { echo "   FAILED: Alt+Tab does not reach the window manager ($1)"; return 1; }
    echo "   ok: the keys are free again ($1)"
}

# Closed streams, and a print that has something to say: no picture folder, no home to keep the page in.
mv "$app/MY_PICTURE" "$app/MY_PICTURE.away"
start_program env HOME=/nonexistent/home XDG_DATA_HOME= CUPS_SERVER=/nonexistent/cups.sock \
    sh -c 'exec ./zuvela <&- >&- 2>&-'
wait_for_main_screen || { echo "   FAILED: no main screen with closed streams"; return 1; }
sleep 3.5
xdotool key ctrl+p
sleep 4
expect_alive "after printing with closed streams" || return 1
for fd in 0 1 2; do
    [ "$(readlink "/proc/$program_pid/fd/$fd")" = /dev/null ] ||
        { echo "   FAILED: descriptor $fd is $(readlink "/proc/$program_pid/fd/$fd"), not /dev/null"; return 1; }
done
echo "   ok: descriptors 0-2 stayed the standard streams, on /dev/null"
end_by_signal TERM || return 1
keys_free "closed streams" || return 1
mv "$app/MY_PICTURE.away" "$app/MY_PICTURE"

# Two thousand clicks on the paper, each a wipe of its own, queued while the program is stopped and taken in
# by it before the signal comes: SIGTERM goes before them.
start_program
wait_for_main_screen || { echo "   FAILED: no main screen for the flood"; return 1; }
sleep 3.5
kill -STOP "$program_pid"
xdotool mousemove "$(scene_x 967)" "$(scene_y 442)" click --repeat 2000 --delay 0 1
xdotool getmouselocation >/dev/null  # the server has taken every click before this returns
kill -CONT "$program_pid"
sleep 2
kill -TERM "$program_pid"
sent=$(now_ms)
wait_until 30000 test -e "$e2e_out/program.end"
echo "   measured: SIGTERM behind 2000 queued clicks on the paper ended the program after $(( $(now_ms) - sent )) ms"
expect_end "exit 143" "SIGTERM behind 2000 queued wipes" || return 1
keys_free "after the flood" || return 1

# SIGTERM as soon as the program takes the signals, long before its first window.
start_program
took_signals() { grep -q '^SigBlk:.*[4-7c-f][0-9a-f][0-9a-f][0-9a-f]$' "/proc/$program_pid/status" 2>/dev/null; }
wait_until 10000 took_signals || { echo "   FAILED: the program never blocked SIGTERM"; return 1; }
end_by_signal TERM || return 1
