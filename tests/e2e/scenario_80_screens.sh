# Any screen: on 1024 × 768, 1280 × 1024, 1920 × 1080 and 3840 × 2160 the program starts full screen with the
# scene scaled into it, and a click on a swatch and one on the canvas land where they should.

for size in 1024x768 1920x1080 3840x2160 1280x1024; do
    echo "   -- $size"
    set_screen "${size%x*}" "${size#*x}"
    screen_dir="$e2e_out/screen-$size"
    mkdir -p "$screen_dir"
    exec 6>"$screen_dir/display.txt"
    Xvfb -displayfd 6 -screen 0 "${size}x24" -nolisten tcp >"$screen_dir/xvfb.log" 2>&1 &
    own_xvfb=$!
    wait_until 20000 test -s "$screen_dir/display.txt" || { echo "   FAILED: no Xvfb for $size"; return 1; }
    export DISPLAY=":$(head -n1 "$screen_dir/display.txt")"
    openbox >"$screen_dir/openbox.log" 2>&1 &
    own_wm=$!
    sleep 1  # openbox settles

    start_program
    if wait_for_main_screen; then
        sleep 3.5
        click_scene 218 717  # yellow
        click_canvas 300 438 # the cat's belly
        sleep 0.5
        s=$(shot "screen-$size")
        near "$(canvas_pixel "$s" 300 438)" "255 255 0" 30 && near "$(canvas_pixel "$s" 248 438)" "0 0 0" 60
        landed=$?
        # Both bars are black, whichever way the screen is wider than the scene.
        barred=0
        bars=none
        if [ "$view_x" -gt 0 ]; then
            bars="left and right"
            near "$(pixel "$s" 0 "$(( screen_h / 2 ))")" "0 0 0" 10 &&
                near "$(pixel "$s" "$(( screen_w - 1 ))" "$(( screen_h / 2 ))")" "0 0 0" 10 || barred=1
        fi
        if [ "$view_y" -gt 0 ]; then
            bars="top and bottom"
            near "$(pixel "$s" "$(( screen_w / 2 ))" 0)" "0 0 0" 10 &&
                near "$(pixel "$s" "$(( screen_w / 2 ))" "$(( screen_h - 1 ))")" "0 0 0" 10 || barred=1
        fi
    else
        landed=1
    fi
    stop_program
    ended=$?
    kill "$own_wm" "$own_xvfb" 2>/dev/null
    wait "$own_wm" "$own_xvfb" 2>/dev/null
    [ "$ended" -eq 0 ] || return 1
    [ "$landed" -eq 0 ] || { echo "   FAILED: on $size the clicks did not land"; return 1; }
    [ "$barred" -eq 0 ] || { echo "   FAILED: on $size the scene is not centred between bars"; return 1; }
    echo "   ok: $size: full screen, scene at +$view_x+$view_y, ${view_w}x${view_h}, bars: $bars; the fill landed in the belly"
done
