# What a child hears, recorded through SDL's disk audio driver: a swatch chimes and says its name, the bucket
# chimes, nothing sounds with the sound button off, and the tune plays while the music button is on.

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$e2e_out/heard.raw"
rm -f "$SDL_DISKAUDIOFILE"
start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5

# Seconds since the program started, when each thing was done; the recording starts with the program.
at() { awk -v ms="$(ms_since_start)" 'BEGIN { printf "%.2f", ms / 1000 }'; }
t_swatch=$(at); click_scene 50 717; sleep 2
t_fill=$(at); click_canvas 5 5; sleep 1.5
click_scene 874 524; sleep 0.3                 # sounds off
t_muted=$(at); click_scene 218 717; click_canvas 300 438; sleep 1.5
click_scene 874 524; sleep 0.3                 # sounds on again
t_music=$(at); click_scene 958 524; sleep 4    # music on
t_off=$(at); click_scene 958 524; sleep 1.5    # music off
t_end=$(at)
stop_program

# Loudness (RMS) of a stretch of the recording: 48 kHz, 16-bit, two channels.
rms() {
    sox -t raw -r 48000 -e signed -b 16 -c 2 "$SDL_DISKAUDIOFILE" -n trim "$1" "$2" stat 2>&1 |
        awk '/RMS +amplitude/ { print $3 }'
}
loud() { awk -v a="$(rms "$1" "$2")" 'BEGIN { exit !(a > 0.01) }'; }
quiet() { awk -v a="$(rms "$1" "$2")" 'BEGIN { exit !(a < 0.001) }'; }
plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a + b }'; }

check() {  # check WHAT loud|quiet START LENGTH
    if "$2" "$3" "$4"; then
        echo "   ok: $1 (RMS $(rms "$3" "$4") from ${3}s for ${4}s)"
    else
        echo "   FAILED: $1 should be $2 (RMS $(rms "$3" "$4") from ${3}s for ${4}s)"
        return 1
    fi
}
check "silence before the first click" quiet "$(plus "$t_swatch" -1.5)" 1.2 || return 1
check "the red swatch's chime" loud "$t_swatch" 0.5 || return 1
check "and its name" loud "$(plus "$t_swatch" 0.5)" 0.5 || return 1
check "the bucket's chime" loud "$t_fill" 0.5 || return 1
check "no sound with the sound button off" quiet "$(plus "$t_muted" 0.1)" 1.2 || return 1
check "the tune" loud "$(plus "$t_music" 0.5)" 3 || return 1
check "silence once the music is off" quiet "$(plus "$t_off" 0.4)" 1 || return 1
