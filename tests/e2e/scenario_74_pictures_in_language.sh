# The words on the screen in the desktop's language: under a German locale the leave panel and the gallery show
# the German pictures, under C the English ones, and with the German leave panel removed the English one shows,
# said once on stderr.

unset LANGUAGE LC_ALL LC_MESSAGES
picture="$app/PICTURE"
restore() {
    [ -f "$e2e_out/DE_CTRLX.JPG.away" ] && mv "$e2e_out/DE_CTRLX.JPG.away" "$picture/DE/CTRLX.JPG"
    true
}
trap restore EXIT

# How far a part of a picture on the screen lies from the same part of a picture file: ImageMagick's normalised
# RMSE, after scaling the screen back to scene pixels.
distance_to() {  # distance_to SHOT LEFT TOP X Y W H FILE: the picture at LEFT, TOP of the scene; its part X Y W H
    local x=$(( view_x + ($2 + $4) * view_w / 1024 )) y=$(( view_y + ($3 + $5) * view_h / 768 ))
    local w=$(( $6 * view_w / 1024 )) h=$(( $7 * view_h / 768 ))
    convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -resize "${6}x${7}!" "$e2e_out/seen.png"
    convert "$8" -crop "${6}x${7}+${4}+${5}" +repage "$e2e_out/asset.png"
    compare -metric RMSE "$e2e_out/seen.png" "$e2e_out/asset.png" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/'
}

# expect_picture WHAT SHOT FILE LEFT TOP X Y W H WANTED OTHER: the screen shows FILE from the folder WANTED (empty
# for English) more nearly than from OTHER, judged on the part X Y W H of the picture.
expect_picture() {
    local what=$1 s=$2 file=$3 wanted=${10} other=${11}
    local want_d other_d
    want_d=$(distance_to "$s" "${@:4:6}" "$assets/PICTURE/${wanted:+$wanted/}$file")
    other_d=$(distance_to "$s" "${@:4:6}" "$assets/PICTURE/${other:+$other/}$file")
    echo "   measured: $what is $want_d from the ${wanted:-English} picture, $other_d from the ${other:-English} one"
    awk -v a="$want_d" -v b="$other_d" 'BEGIN { exit !(a < b / 2) }' && return 0
    echo "   FAILED: $what is not the ${wanted:-English} picture"
    return 1
}

# Judged where the words lie and no button covers them: the leave panel's question, the gallery's "click a
# picture!".
leave_panel_now() { expect_picture "the leave panel" "$(shot "leave_$1")" CTRLX.JPG 312 259 0 80 400 60 "$2" "$3"; }
gallery_now() { expect_picture "the gallery" "$(shot "gallery_$1")" GALERIJA-2.JPG 0 0 780 360 244 80 "$2" "$3"; }

# see_in LOCALE WANTED OTHER: a program started under LANG=LOCALE shows the leave panel and the gallery from
# WANTED, then leaves through Ctrl+X and No: still running, and out cleanly with 143 on SIGTERM.
see_in() {
    LANG=$1 start_program
    wait_for_main_screen || { echo "   FAILED: no main screen under $1"; return 1; }
    sleep 3.5
    xdotool key ctrl+x
    eventually leave_panel_now "$1" "$2" "$3" || return 1
    click_scene 610 434  # No
    sleep 0.5
    click_scene 912 325  # More pictures
    eventually gallery_now "$1" "$2" "$3" || return 1
    stop_program
}

see_in de_DE.UTF-8 DE "" || return 1
see_in C "" DE || return 1

mv "$picture/DE/CTRLX.JPG" "$e2e_out/DE_CTRLX.JPG.away"
LANG=de_DE.UTF-8 start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
xdotool key ctrl+x
eventually leave_panel_now missing "" DE || return 1
click_scene 610 434  # No
sleep 0.5
click_scene 912 325  # More pictures: the rest of the German pictures still show
eventually gallery_now missing DE "" || return 1
stop_program || return 1
said=$(grep -c "CTRLX.JPG" "$e2e_out/zuvela.log")
[ "$said" -eq 1 ] || { echo "   FAILED: $said lines about the missing picture on stderr:"; cat "$e2e_out/zuvela.log"; return 1; }
echo "   ok: one line on stderr: $(grep "CTRLX.JPG" "$e2e_out/zuvela.log")"
