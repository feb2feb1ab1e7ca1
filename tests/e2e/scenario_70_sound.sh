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
stop_program || return 1

# The recording runs in its own time, which lags the clock on a busy machine (the mixer is starved, and a
# second of the clock becomes less in the recording): the checks go by the order and length of the sounds, not by
# when they fall. Stretches of 50 ms louder than -40 dBFS RMS count as sound; gaps under half a second do not
# split a sound (the tune has rests of a quarter second between its phrases; the actions lie 1.8 s apart).
sounds=$(sox -t raw -r 48000 -e signed -b 16 -c 2 "$SDL_DISKAUDIOFILE" -r 8000 -c 1 -t dat - 2>/dev/null |
    awk '!/^;/ { s += $2 * $2; n++; if (n == 400) { print (sqrt(s / n) > 0.01); s = 0; n = 0 } }' |
    awk '{ t = (NR - 1) * 0.05
           if ($1) { if (!on) { if (on_end && t - on_end < 0.5) { } else { if (on_end) print start, on_end; start = t } } on = 1; on_end = t + 0.05 }
           else on = 0 }
         END { if (on_end) print start, on_end }')
echo "   heard (start end, seconds into the recording):" $sounds
recorded=$(awk -v n="$(stat -c %s "$SDL_DISKAUDIOFILE")" 'BEGIN { printf "%.2f", n / (48000 * 4) }')
nth() { echo "$sounds" | sed -n "${1}p"; }
# expect_sound WHAT N MIN_LENGTH: the Nth sound heard lasts at least that long.
expect_sound() {
    local heard; heard=($(nth "$2"))
    if [ -n "${heard[*]}" ] && awk -v a="${heard[0]}" -v b="${heard[1]}" -v len="$3" 'BEGIN { exit !(b - a >= len) }'; then
        echo "   ok: $1 (${heard[0]} to ${heard[1]})"
    else
        echo "   FAILED: $1 (sound $2 is '${heard[*]}', wanted at least ${3}s)"
        return 1
    fi
}
expect_sound "the red swatch: its chime and its name, longer than a chime alone" 1 0.7 || return 1
expect_sound "the bucket's chime" 2 0.3 || return 1
# The swatch and the fill with the sound button off would come before the tune, as two short sounds.
expect_sound "no sound with the sound button off; the tune comes next" 3 3 || return 1
tune=($(nth 3))
off=$(awk -v s="${tune[0]}" -v a="$t_off" -v b="$t_music" 'BEGIN { printf "%.2f", s + a - b }')
echo "   measured: the tune ends $(awk -v e="${tune[1]}" -v o="$off" 'BEGIN { printf "%.0f", (e - o) * 1000 }') ms after" \
     "the switch-off as the clock saw it; the recording is ${recorded}s for $(awk -v e="$t_end" 'BEGIN { printf "%.2f", e }')s of the clock"
# Switched off, the tune does not run on to the end: the recording ends in silence.
last=($(echo "$sounds" | tail -n1))
awk -v e="${last[1]}" -v r="$recorded" 'BEGIN { exit !(r - e >= 0.5) }' ||
    { echo "   FAILED: sound until the end of the recording (${last[*]} of ${recorded}s): the music was not switched off"; return 1; }
echo "   ok: silence once the music is off"
