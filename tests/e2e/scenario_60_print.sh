# Ctrl+P prints the coloured picture on the default printer: one page, the picture at its own size (750 pixels
# at 96 dpi, 7.8 in) at the top-left of the printable area. With the printer's scheduler stopped, Ctrl+P still
# shows the notice and the program keeps answering.

cups_dir=$(mktemp -d /tmp/zuvela-e2e-cups.XXXXXX)
chmod 755 "$cups_dir"
line=$("$here/../platform/cups_test_server.sh" start "$cups_dir") || { echo "   FAILED: no test printer"; return 1; }
export "$line"
export HOME="$cups_dir/home"  # no lpoptions of the developer's own
mkdir -p "$HOME"
trap '"$here/../platform/cups_test_server.sh" stop "$cups_dir" >/dev/null 2>&1' RETURN

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5

click_scene 218 717   # yellow
click_canvas 5 5      # the background around the cat reaches every edge of the picture
sleep 0.4
xdotool key ctrl+p
sleep 1
s=$(shot printing)
expect_near "the printing notice" "$(scene_pixel "$s" 330 270)" "$(asset_pixel PICTURE/PRINTING.JPG 18 11)" 60 || return 1

printed() { [ -s "$cups_dir/out.pdf" ] && [ -z "$(lpstat -o 2>/dev/null)" ] && lpstat -W completed -o 2>/dev/null | grep -q .; }
wait_until 60000 printed || { echo "   FAILED: no page arrived"; return 1; }
pages=$(pdfinfo "$cups_dir/out.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || { echo "   FAILED: $pages pages arrived"; return 1; }
# The sheet comes in the paper's own orientation with a landscape page turned a quarter counter-clockwise.
pdftoppm -r 96 -singlefile "$cups_dir/out.pdf" "$e2e_out/page"
convert "$e2e_out/page.ppm" -rotate 90 -depth 8 "ppm:$e2e_out/page_upright.ppm"
geometry=$(convert "$e2e_out/page_upright.ppm" -fuzz 8% -trim -format '%w %h %X %Y' info:)
set -- $geometry
width_in=$(awk -v w="$1" 'BEGIN { printf "%.3f", w / 96 }')
echo "   measured: the picture is $1 x $2 px at 96 dpi (${width_in} in wide), at $3$4 on the page"
awk -v w="$1" 'BEGIN { exit !(w >= 750 * 0.98 && w <= 750 * 1.02) }' || { echo "   FAILED: not 7.8 in wide"; return 1; }
[ "${3#+}" -lt 96 ] && [ "${4#+}" -lt 96 ] || { echo "   FAILED: not at the top-left"; return 1; }
expect_near "the yellow background on paper" "$(pixel "$e2e_out/page_upright.ppm" $(( ${3#+} + 20 )) $(( ${4#+} + 20 )))" "255 255 0" 60 || return 1

# The scheduler gone: the notice still shows, nothing hangs, the mouse is answered.
"$here/../platform/cups_test_server.sh" stop "$cups_dir" >/dev/null 2>&1
xdotool key ctrl+p
sleep 1
s=$(shot printing_nowhere)
expect_near "the notice without a printer" "$(scene_pixel "$s" 330 270)" "$(asset_pixel PICTURE/PRINTING.JPG 18 11)" 60 || return 1
sleep 2.5
click_scene 806 717   # blue
sent=$(now_ms)
click_canvas 5 5
answered() { near "$(canvas_pixel "$(shot answering)" 5 5)" "0 0 255" 40; }
wait_until 15000 answered || { echo "   FAILED: the program stopped answering after printing to nowhere"; return 1; }
echo "   ok: a fill after printing to a stopped scheduler showed; measured: $(( $(now_ms) - sent )) ms"
