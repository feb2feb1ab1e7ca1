# The gallery: a tile lights up under the pointer, a click puts its picture on the canvas, Back keeps the
# colouring; every main-screen button lights up under the pointer and the bare window rests them all.

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5  # start-up's second wait

click_scene 912 325  # MoreImages
sleep 0.8
move_scene 263 246   # over tile 7
eventually look_now "tile 7" gallery 198 185 PICTURE/GALERIJA1BELE_21.JPG PICTURE/GALERIJA1ZUTE_21.JPG lit || return 1
s=$(shot gallery)
expect_look "tile 1" "$s" 54 48 PICTURE/GALERIJA1BELE_01.JPG PICTURE/GALERIJA1ZUTE_01.JPG rest || return 1
expect_near "gallery background" "$(scene_pixel "$s" 1000 740)" "$(asset_pixel PICTURE/GALERIJA-2.JPG 1000 740)" 40 || return 1

xdotool click 1      # tile 7: picture 7 on the canvas
outline_now() { expect_near "picture 7's outline" "$(canvas_pixel "$(shot picture7)" 618 34)" "0 0 0" 60; }
eventually outline_now || return 1
s=$(shot picture7)
expect_near "back on the main screen" "$(scene_pixel "$s" 50 717)" "$(asset_pixel PICTURE/BOJE1_01.JPG 42 42)" 50 || return 1

# Colour a white area of picture 7 red, then visit the gallery and come back.
spot=$(asset_pixel PICTURE/07.GIF 375 300)
[ "$spot" = "255 255 255" ] || echo "   note: canvas centre of picture 7 is not white: $spot"
click_canvas 375 300
red_now() { expect_near "the fill" "$(canvas_pixel "$(shot coloured)" 375 300)" "255 0 0" 40; }
eventually red_now || return 1
before=$(canvas_pixel "$(shot coloured)" 375 300)
click_scene 912 325
gallery_now() { expect_near "the gallery" "$(scene_pixel "$(shot gallery_again)" 1000 740)" "$(asset_pixel PICTURE/GALERIJA-2.JPG 1000 740)" 40; }
eventually gallery_now || return 1
click_scene 126 20   # Back
back_now() { expect_near "the colouring survives the visit" "$(canvas_pixel "$(shot back)" 375 300)" "$before" 20; }
eventually back_now || return 1
s=$(shot back)
expect_near "and it is red" "$before" "255 0 0" 40 || return 1

# Each button lights up under the pointer; the bare window rests them all.
check_button() {  # NAME LEFT TOP W H REST HOVER
    move_scene $(( $2 + $4 / 2 )) $(( $3 + $5 / 2 ))
    eventually look_now "$1" "hover_$1" "$2" "$3" "$6" "$7" lit
}
check_button MoreImages 832 241 160 169 PICTURE/MOREIMAGES1.JPG PICTURE/MOREIMAGES2.JPG || return 1
check_button Rubber 825 412 112 61 PICTURE/GUMICA1.JPG PICTURE/GUMICA2.JPG || return 1
check_button Papir 936 412 63 61 PICTURE/PAPIR1.JPG PICTURE/PAPIR2.JPG || return 1
check_button MuteWave 835 485 78 79 PICTURE/ZVUCNIK1.JPG PICTURE/ZVUCNIK2.JPG || return 1
check_button MusicOn 919 485 78 78 PICTURE/MUSICOFF2.JPG PICTURE/MUSICOFF1.JPG || return 1
move_scene 1010 200  # the bare window
eventually look_now MoreImages rested 832 241 PICTURE/MOREIMAGES1.JPG PICTURE/MOREIMAGES2.JPG rest || return 1
eventually look_now MusicOn rested 919 485 PICTURE/MUSICOFF2.JPG PICTURE/MUSICOFF1.JPG rest || return 1
eventually look_now Papir rested 936 412 PICTURE/PAPIR1.JPG PICTURE/PAPIR2.JPG rest || return 1
