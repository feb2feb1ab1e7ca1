# Starting and ending as a desktop expects: --help and --version answer without a window and other arguments
# are refused; of two starts in the same moment one runs and the other ends at once; a signal during the wipe
# or during a print the server never answers ends the program within half a second; losing the X server ends
# it once with status 3. How each copy ended is checked by its exit status.

# Start-up on a busy machine may take longer than one wait.
main_screen_soon() { wait_for_main_screen || wait_for_main_screen; }

out=$("$app/zuvela" --help 2>&1); status=$?
[ "$status" -eq 0 ] && [[ "$out" == usage:* ]] || { echo "   FAILED: --help gave $status: $out"; return 1; }
out=$("$app/zuvela" --version 2>&1); status=$?
[ "$status" -eq 0 ] && [[ "$out" == "zuvela "[0-9]* ]] || { echo "   FAILED: --version gave $status: $out"; return 1; }
err=$("$app/zuvela" --fullscreen 2>&1 >/dev/null); status=$?
[ "$status" -eq 2 ] && [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "   FAILED: a wrong argument gave $status: $err"; return 1; }
echo "   ok: --help and --version answer with status 0, a wrong argument is refused with 2"

# Two starts within a few milliseconds: exactly one copy stays.
(cd "$app" && exec ./zuvela >"$e2e_out/first.log" 2>&1) &
first=$!
(cd "$app" && exec ./zuvela >"$e2e_out/second.log" 2>&1) &
second=$!
one_ended() { ! kill -0 "$first" 2>/dev/null || ! kill -0 "$second" 2>/dev/null; }
wait_until 10000 one_ended || { echo "   FAILED: both copies still run"; kill "$first" "$second"; return 1; }
if kill -0 "$first" 2>/dev/null; then running=$first; later=$second; else running=$second; later=$first; fi
wait "$later"; status=$?
[ "$status" -eq 0 ] || { echo "   FAILED: the later copy ended with $status"; return 1; }
main_screen_soon || { echo "   FAILED: no main screen"; return 1; }
kill -0 "$running" 2>/dev/null || { echo "   FAILED: the running copy ended"; return 1; }
echo "   ok: of two starts one runs and the other ended with 0"

# A start while the running copy is minimised brings it back.
sleep 3.5
window=$(xdotool search --pid "$running" | tail -n1)
window_state() { xprop -id "$window" WM_STATE 2>/dev/null | grep -o 'window state: [A-Za-z]*'; }
xdotool windowminimize "$window"
minimised() { [ "$(window_state)" = "window state: Iconic" ]; }
wait_until 5000 minimised || { echo "   FAILED: the window could not be minimised"; return 1; }
(cd "$app" && exec ./zuvela >"$e2e_out/third.log" 2>&1); status=$?
[ "$status" -eq 0 ] || { echo "   FAILED: a start beside the running copy ended with $status"; return 1; }
restored() { [ "$(window_state)" = "window state: Normal" ]; }
wait_until 5000 restored || { echo "   FAILED: the running copy stayed minimised"; return 1; }
main_screen_soon || { echo "   FAILED: the main screen did not come back"; return 1; }
echo "   ok: a third start restored the minimised copy and ended with 0"

# SIGTERM during the paper's sweep, then no copy is left.
click_scene 967 442
sleep 0.3
sent=$(now_ms)
kill -TERM "$running"
wait "$running"; status=$?
took=$(( $(now_ms) - sent ))
[ "$status" -eq 143 ] || { echo "   FAILED: SIGTERM during the wipe ended it with $status"; return 1; }
! kill -0 "$first" 2>/dev/null && ! kill -0 "$second" 2>/dev/null || { echo "   FAILED: a copy is left"; return 1; }
echo "   ok: SIGTERM during the wipe ended it after $took ms with 143; no copy left"

# SIGTERM while a print server holds the page and never answers.
silent="$e2e_out/silent.sock"
rm -f "$silent"
/usr/bin/python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(16); time.sleep(120)' "$silent" &
listener=$!
trap 'kill $listener 2>/dev/null' RETURN
(cd "$app" && CUPS_SERVER="$silent" exec ./zuvela >"$e2e_out/zuvela.log" 2>&1) &
running=$!
main_screen_soon || { echo "   FAILED: no main screen for the print"; return 1; }
sleep 3.5
xdotool key ctrl+p
sleep 4  # the notice's wait; the page is with the server by then
sent=$(now_ms)
kill -TERM "$running"
wait "$running"; status=$?
took=$(( $(now_ms) - sent ))
[ "$status" -eq 143 ] || { echo "   FAILED: SIGTERM during a stuck print ended it with $status"; return 1; }
echo "   ok: SIGTERM during a stuck print ended it after $took ms with 143"

# The X server goes away under the program: one exit with status 3 and one line, never a crash.
for run in 1 2 3; do
    exec 6>"$e2e_out/lost_display.txt"
    Xvfb -displayfd 6 -screen 0 1024x768x24 -nolisten tcp >"$e2e_out/lost_xvfb.log" 2>&1 &
    lost_x=$!
    exec 6>&-
    has_display() { [ -s "$e2e_out/lost_display.txt" ]; }
    wait_until 30000 has_display || { echo "   FAILED: no private X server"; kill "$lost_x"; return 1; }
    lost=":$(head -n1 "$e2e_out/lost_display.txt")"
    (cd "$app" && DISPLAY=$lost exec ./zuvela >"$e2e_out/lost.log" 2>&1) &
    running=$!
    has_window() { [ -n "$(DISPLAY=$lost xdotool search --pid "$running" 2>/dev/null)" ]; }
    wait_until 30000 has_window || { echo "   FAILED: no window on the private X server"; kill "$running" "$lost_x"; return 1; }
    sleep 1.5
    kill -KILL "$lost_x"
    wait "$lost_x" 2>/dev/null
    wait "$running"; status=$?
    lines=$(grep -c . "$e2e_out/lost.log")
    [ "$status" -eq 3 ] || { echo "   FAILED: run $run: losing the display ended it with $status"; cat "$e2e_out/lost.log"; return 1; }
    [ "$lines" -eq 1 ] || { echo "   FAILED: run $run: $lines lines on losing the display"; cat "$e2e_out/lost.log"; return 1; }
done
echo "   ok: losing the X server ended it with status 3 and one line, three times of three"
