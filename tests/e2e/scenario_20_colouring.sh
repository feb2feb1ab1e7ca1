# The pencil draws a stroke in the colour in use; the paper button sweeps the canvas white; the eraser brings the
# outline back.

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5  # start-up's second wait

click_scene 835 611  # the pencil
sleep 0.3
drag_canvas 300 30 450 30
sleep 0.3
s=$(shot pencil)
expect_near "pencil stroke in red" "$(canvas_pixel "$s" 375 30)" "255 0 0" 40 || return 1
expect_near "three pixels wide, no wider" "$(canvas_pixel "$s" 375 36)" "255 255 255" 30 || return 1
expect_near "pencil button active" "$(scene_pixel "$s" 835 640)" "$(asset_pixel PICTURE/OLOVKA1.JPG 31 69)" 60 || return 1

click_scene 967 442  # the paper: the sweep takes one or two passes of about a second each
sleep 0.6
mid=$(shot wiping)
blank() {
    local s; s=$(shot blank)
    near "$(canvas_pixel "$s" 248 438)" "255 255 255" 20 && near "$(canvas_pixel "$s" 375 30)" "255 255 255" 20 &&
        near "$(canvas_pixel "$s" 700 560)" "255 255 255" 20
}
wait_until 20000 blank || { echo "   FAILED: the canvas did not turn blank"; return 1; }
echo "   ok: the paper button left a blank sheet"

click_scene 880 442  # the eraser: another sweep, then picture 1 again
sleep 1
outline_back() {
    local s; s=$(shot erased)
    near "$(canvas_pixel "$s" 248 438)" "0 0 0" 60 && near "$(canvas_pixel "$s" 375 30)" "255 255 255" 20
}
wait_until 20000 outline_back || { echo "   FAILED: the eraser did not bring the outline back"; return 1; }
echo "   ok: the eraser brought back a clean picture 1"
