# The shortcuts in a layout that is not Latin: with the Russian layout active the keys where X and R sit type
# Cyrillic letters, and Ctrl with them still opens the leave panel and the info panel; Ctrl+X then Yes ends
# the program cleanly. xdotool is asked for the Cyrillic letters themselves: asked for ctrl+x it would map a
# spare key to a Latin x and hide what a real keyboard sends.

export BROWSER="$e2e_out/browser.sh"
printf '#!/bin/sh\necho "$@" >>"%s/browser.txt"\n' "$e2e_out" >"$BROWSER"
chmod +x "$BROWSER"

setxkbmap -layout ru || { echo "   FAILED: setxkbmap cannot switch to the Russian layout"; return 1; }
trap 'setxkbmap -layout us' RETURN
ctrl_x=ctrl+Cyrillic_che  # the X key
ctrl_r=ctrl+Cyrillic_ka   # the R key

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5  # the shortcuts work once start-up has finished waiting

panel_pixel() { scene_pixel "$1" 317 264; }  # a corner of either panel
leave_panel=$(asset_pixel PICTURE/CTRLX.JPG 5 5)
canvas=$(asset_pixel PICTURE/01.GIF 287 235)
panel_is() { near "$(panel_pixel "$(shot "$1")")" "$2" 50; }

xdotool key "$ctrl_x"
wait_until 10000 panel_is leave_panel "$leave_panel" || { echo "   FAILED: Ctrl+X in the Russian layout shows no leave panel"; return 1; }
echo "   ok: Ctrl+X (the key typing Cyrillic che) opened the leave panel"
click_scene 610 434  # No
wait_until 10000 panel_is after_no "$canvas" || { echo "   FAILED: No did not return to the canvas"; return 1; }
expect_alive "after No" || return 1
echo "   ok: No returned to the canvas"

xdotool key "$ctrl_r"
wait_until 10000 panel_is info_panel "$(asset_pixel PICTURE/CTRL-R-2.JPG 5 5)" || { echo "   FAILED: Ctrl+R in the Russian layout shows no info panel"; return 1; }
echo "   ok: Ctrl+R (the key typing Cyrillic ka) opened the info panel"
click_scene 668 282  # close
wait_until 10000 panel_is info_closed "$canvas" || { echo "   FAILED: the info panel did not close"; return 1; }

xdotool key "$ctrl_x"
wait_until 10000 panel_is leave_again "$leave_panel" || { echo "   FAILED: no leave panel the second time"; return 1; }
click_scene 421 434  # Yes
expect_end "exit 0" "Ctrl+X then Yes in the Russian layout" || return 1
