# Any screen: on 1024 × 768, 1280 × 1024, 1920 × 1080 and 3840 × 2160 the program starts full screen with the
# scene scaled into it, a click on a swatch and one on the canvas land where they should, and the bars beside
# or above and below the scene are black. The sizes run side by side, each on an Xvfb of its own.

check_screen() {  # SIZE, in a subshell: its own display, output folder and program
    local size=$1
    set_screen "${size%x*}" "${size#*x}"
    e2e_out="$e2e_out/screen-$size"
    mkdir -p "$e2e_out"
    exec 6>"$e2e_out/display.txt"
    Xvfb -displayfd 6 -screen 0 "${size}x24" -nolisten tcp >"$e2e_out/xvfb.log" 2>&1 &
    local own_xvfb=$!
    wait_until 20000 test -s "$e2e_out/display.txt" || { echo "   FAILED: no Xvfb for $size"; return 1; }
    export DISPLAY=":$(head -n1 "$e2e_out/display.txt")"
    openbox >"$e2e_out/openbox.log" 2>&1 &
    local own_wm=$!
    sleep 1  # openbox settles

    local landed=1 barred=1 bars=none s
    start_program
    if wait_for_main_screen; then
        sleep 3.5
        click_scene 218 717  # yellow
        click_canvas 300 438 # the cat's belly
        # The fill shows when the program gets round to it: on a busy machine, seconds later.
        filled() {
            s=$(shot "screen-$size")
            near "$(canvas_pixel "$s" 300 438)" "255 255 0" 30 && near "$(canvas_pixel "$s" 248 438)" "0 0 0" 60
        }
        wait_until 15000 filled
        landed=$?
        barred=0
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
    fi
    stop_program
    local ended=$?
    kill "$own_wm" "$own_xvfb" 2>/dev/null
    wait "$own_wm" "$own_xvfb" 2>/dev/null
    [ "$ended" -eq 0 ] || return 1
    [ "$landed" -eq 0 ] || { echo "   FAILED: on $size the clicks did not land"; return 1; }
    [ "$barred" -eq 0 ] || { echo "   FAILED: on $size the scene is not centred between black bars"; return 1; }
    echo "   ok: $size: full screen, scene at +$view_x+$view_y, ${view_w}x${view_h}, bars: $bars; the fill landed in the belly"
}

sizes=(1024x768 1920x1080 3840x2160 1280x1024)
checks=()
for size in "${sizes[@]}"; do
    mkdir -p "$e2e_out/screen-$size"
    ( check_screen "$size" ) >"$e2e_out/screen-$size.log" 2>&1 &
    checks+=($!)
done
all_passed=0
for i in "${!sizes[@]}"; do
    wait "${checks[$i]}" || all_passed=1
    echo "   -- ${sizes[$i]}"
    cat "$e2e_out/screen-${sizes[$i]}.log"
done
[ "$all_passed" -eq 0 ]
