# The keyboard lock and the ways out: no escape chord switches away while the program runs; Ctrl+X then No
# returns, Ctrl+X then Yes ends it and opens the studio's site; Ctrl+R's invitation steps aside and opens the
# product's site; SIGINT and SIGHUP each end it cleanly with 128 + the signal's number; once it has died, the
# window manager has the keys again.

# A browser stand-in that notes the address it was asked for.
export BROWSER="$e2e_out/browser.sh"
printf '#!/bin/sh\necho "$@" >>"%s/browser.txt"\n' "$e2e_out" >"$BROWSER"
chmod +x "$BROWSER"
rm -f "$e2e_out/browser.txt"

# Two other windows, so that Alt+Tab has somewhere to go.
xmessage -geometry 200x80+10+10 one >/dev/null 2>&1 &
other_a=$!
xmessage -geometry 200x80+300+10 two >/dev/null 2>&1 &
other_b=$!
trap 'kill $other_a $other_b 2>/dev/null' RETURN

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
pid=$(cat "$e2e_out/program.pid")
ours=$(xdotool getactivewindow)

for chord in alt+F4 alt+Tab alt+Escape super Super_R Menu alt+shift+Tab; do
    xdotool key "$chord"
    sleep 0.4
    expect_alive "$chord" || return 1
    [ "$(xdotool getactivewindow)" = "$ours" ] || { echo "   FAILED: $chord switched away"; return 1; }
done
s=$(shot after_chords)
expect_near "still the main screen" "$(scene_pixel "$s" 50 717)" "$(asset_pixel PICTURE/BOJE1_01.JPG 42 42)" 50 || return 1
echo "   ok: no escape chord switched away"

panel_pixel() { scene_pixel "$1" 317 264; }  # a corner of either panel
xdotool key ctrl+x
sleep 0.5
s=$(shot leave_panel)
expect_near "the leave panel" "$(panel_pixel "$s")" "$(asset_pixel PICTURE/CTRLX.JPG 5 5)" 50 || return 1
click_scene 610 434  # No
sleep 0.5
s=$(shot after_no)
expect_near "No returns to the canvas" "$(panel_pixel "$s")" "$(asset_pixel PICTURE/01.GIF 287 235)" 60 || return 1

xdotool key ctrl+r
sleep 0.5
click_scene 511 426  # the invitation
sleep 1
product_opened() { grep -q "zuvela.example" "$e2e_out/browser.txt" 2>/dev/null; }
wait_until 10000 product_opened || { echo "   FAILED: the product's site was not opened"; return 1; }
echo "   ok: the invitation opened $(tail -n1 "$e2e_out/browser.txt")"
xdotool windowactivate --sync "$ours" 2>/dev/null || xdotool windowmap "$ours"
sleep 0.5
s=$(shot info_again)
expect_near "back in the window, the info panel still open" "$(panel_pixel "$s")" "$(asset_pixel PICTURE/CTRL-R-2.JPG 5 5)" 50 || return 1
click_scene 668 282  # close
sleep 0.3

xdotool key ctrl+x
sleep 0.5
click_scene 421 434  # Yes
expect_end "exit 0" "Yes" || return 1
studio_opened() { tail -n1 "$e2e_out/browser.txt" 2>/dev/null | grep -q "quillmar.example"; }
wait_until 10000 studio_opened || { echo "   FAILED: the studio's site was not opened"; return 1; }
echo "   ok: Yes ended the program and opened $(tail -n1 "$e2e_out/browser.txt")"

# The session's end signals: an exit with 128 + the signal's number, never death by the signal. SIGINT comes
# during the splash, SIGHUP on the main screen; every scenario ends its program with SIGTERM.
start_program
has_window() { xdotool search --onlyvisible --pid "$program_pid" >/dev/null 2>&1; }
wait_until 20000 has_window || { echo "   FAILED: no splash window"; return 1; }
end_by_signal INT || return 1
start_program
wait_for_main_screen || { echo "   FAILED: no main screen before SIGHUP"; return 1; }
end_by_signal HUP || return 1

# SIGKILL: the X server drops a dead client's grabs; Alt+Tab reaches the window manager again.
start_program
wait_for_main_screen || { echo "   FAILED: no main screen the third time"; return 1; }
kill -KILL "$program_pid"
expect_end "signal 9" "SIGKILL" || return 1
xdotool windowactivate --sync "$(xdotool search --pid $other_a | head -n1)" 2>/dev/null
before=$(xdotool getactivewindow)
xdotool keydown alt key Tab sleep 0.2 keyup alt
sleep 0.5
[ "$(xdotool getactivewindow)" != "$before" ] || { echo "   FAILED: Alt+Tab does not reach the window manager after the program died"; return 1; }
echo "   ok: after the program died Alt+Tab switches windows again"
