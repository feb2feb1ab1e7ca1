# Two monitors: the program covers the first, and while the lock holds the pointer cannot be moved onto the
# second, except while the program has stepped aside for the browser; after Ctrl+X then Yes it can. The pointer
# moves as a mouse moves it (relative motion): a warp would pass any confinement. Xvfb has a single output, so
# this runs on an Xorg of its own with the dummy driver, whose RandR is given a second monitor at the right of
# the first.

export BROWSER="$e2e_out/browser.sh"
printf '#!/bin/sh\necho "$@" >>"%s/browser.txt"\n' "$e2e_out" >"$BROWSER"
chmod +x "$BROWSER"
rm -f "$e2e_out/browser.txt"

for tool in Xorg xrandr; do
    command -v "$tool" >/dev/null || { echo "   FAILED: $tool is missing (scripts/install-deps.sh installs it)"; return 1; }
done
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
    { echo "   FAILED: Xorg's dummy driver is missing (scripts/install-deps.sh installs it)"; return 1; }

two="$e2e_out/two_monitors"
rm -rf "$two"
mkdir -p "$two/none"
cat >"$two/xorg.conf" <<'CONF'
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 64000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 768
        Modes "1024x768"
    EndSubSection
EndSection
CONF
exec 6>"$two/display.txt"
Xorg -displayfd 6 -config "$two/xorg.conf" -configdir "$two/none" -noreset -nolisten tcp \
    -logfile "$two/xorg.log" >"$two/xorg.out" 2>&1 &
xorg_pid=$!
exec 6>&-
outer_display=$DISPLAY
trap 'stop_program; kill $two_wm $xorg_pid 2>/dev/null; wait $two_wm $xorg_pid 2>/dev/null; export DISPLAY=$outer_display' RETURN
wait_until 30000 test -s "$two/display.txt" || { echo "   FAILED: Xorg did not start (see $two/xorg.log)"; return 1; }
export DISPLAY=":$(head -n1 "$two/display.txt")"
openbox >"$two/openbox.log" 2>&1 &
two_wm=$!

# The dummy driver reports one monitor connected; the second one gets a mode, which connects it.
xrandr --addmode DUMMY1 1024x768 && xrandr --output DUMMY0 --mode 1024x768 --pos 0x0 --output DUMMY1 --mode 1024x768 --right-of DUMMY0 ||
    { echo "   FAILED: xrandr cannot add the second monitor"; return 1; }
[ "$(xrandr --listmonitors | head -n1)" = "Monitors: 2" ] || { echo "   FAILED: $(xrandr --listmonitors | head -n1)"; return 1; }
echo "   ok: two monitors, $(xrandr --listmonitors | tail -n +2 | awk '{print $3}' | paste -sd ' ')"
set_screen 1024 768

# Moves the pointer far to the right in small steps and prints where it came to rest.
push_right() {
    xdotool mousemove 512 384  # a warp within the first monitor
    for _ in $(seq 15); do xdotool mousemove_relative 100 0; done
    sleep 0.2
    xdotool getmouselocation --shell | sed -n 's/^X=//p'
}

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5  # start-up finishes waiting
ours=$(xdotool search --onlyvisible --pid "$program_pid" | tail -n1)
geometry=$(xdotool getwindowgeometry "$ours" | tr -s ' \n' ' ')
[[ "$geometry" == *"Position: 0,0"*"Geometry: 1024x768"* ]] || { echo "   FAILED: the window does not cover the first monitor: $geometry"; return 1; }
echo "   ok: the window covers the first monitor"

x=$(push_right)
[ "$x" -lt 1024 ] || { echo "   FAILED: the pointer reached the second monitor (x $x) while the lock holds"; return 1; }
expect_alive "pushing against the edge" || return 1
echo "   ok: the pointer stays on the first monitor (x $x)"

xdotool key ctrl+r
sleep 0.5
click_scene 511 426  # the invitation: the program steps aside for the browser
product_opened() { grep -q "zuvela.example" "$e2e_out/browser.txt" 2>/dev/null; }
wait_until 10000 product_opened || { echo "   FAILED: the product's site was not opened"; return 1; }
sleep 0.5
x=$(push_right)
[ "$x" -ge 1024 ] || { echo "   FAILED: the pointer is held (x $x) while the program is minimised"; return 1; }
echo "   ok: minimised for the browser, the pointer is free (x $x)"
xdotool windowactivate --sync "$ours" 2>/dev/null || xdotool windowmap "$ours"
sleep 1
x=$(push_right)
[ "$x" -lt 1024 ] || { echo "   FAILED: back in front, the pointer still reaches the second monitor (x $x)"; return 1; }
echo "   ok: back in front, the pointer is held again (x $x)"
click_scene 668 282  # closes the info panel
sleep 0.5

xdotool key ctrl+x
sleep 0.5
click_scene 421 434  # Yes
expect_end "exit 0" "Ctrl+X then Yes" || return 1
x=$(push_right)
[ "$x" -ge 1024 ] || { echo "   FAILED: after leaving the pointer still cannot reach the second monitor (x $x)"; return 1; }
echo "   ok: after leaving, the pointer reaches the second monitor (x $x)"
