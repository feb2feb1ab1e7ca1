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

# The recording runs in its own time, which may lag the clock on a busy machine: the checks use the sounds'
# distances from the first one, not their distance from the start. Stretches of 50 ms louder than -40 dBFS RMS
# count as sound; gaps under 200 ms do not split a sound.
sounds=$(sox -t raw -r 48000 -e signed -b 16 -c 2 "$SDL_DISKAUDIOFILE" -r 8000 -c 1 -t dat - 2>/dev/null |
    awk '!/^;/ { s += $2 * $2; n++; if (n == 400) { print (sqrt(s / n) > 0.01); s = 0; n = 0 } }' |
    awk '{ t = (NR - 1) * 0.05
           if ($1) { if (!on) { if (on_end && t - on_end < 0.2) { } else { if (on_end) print start, on_end; start = t } } on = 1; on_end = t + 0.05 }
           else on = 0 }
         END { if (on_end) print start, on_end }')
echo "   heard (start end, seconds into the recording):" $sounds
first=$(echo "$sounds" | head -n1 | cut -d' ' -f1)
[ -n "$first" ] || { echo "   FAILED: nothing was heard"; return 1; }
# when WHAT: where an action falls in the recording, counted from the first sound.
when() { awk -v a="$1" -v b="$t_swatch" -v f="$first" 'BEGIN { printf "%.2f", f + a - b }'; }
starts_near() {  # a sound starts within 0.4 s of the time and lasts at least the length
    echo "$sounds" | awk -v t="$1" -v len="$2" '{ if ($1 >= t - 0.4 && $1 <= t + 0.4 && $2 - $1 >= len) found = 1 } END { exit !found }'
}
silent_between() {
    echo "$sounds" | awk -v a="$1" -v b="$2" '{ if ($2 > a && $1 < b) heard = 1 } END { exit heard }'
}
expect_sound() { if starts_near "$2" "$3"; then echo "   ok: $1"; else echo "   FAILED: $1 (no sound of ${3}s near ${2}s)"; return 1; fi; }
expect_silence() { if silent_between "$2" "$3"; then echo "   ok: $1"; else echo "   FAILED: $1 (sound between ${2}s and ${3}s)"; return 1; fi; }

expect_sound "the red swatch: its chime and its name, longer than a chime alone" "$first" 0.7 || return 1
expect_silence "nothing before it" 0 "$(awk -v f="$first" 'BEGIN { print f - 0.2 }')" || return 1
expect_sound "the bucket's chime" "$(when "$t_fill")" 0.3 || return 1
expect_silence "no sound with the sound button off" "$(when "$t_muted")" "$(awk -v t="$(when "$t_muted")" 'BEGIN { print t + 1.2 }')" || return 1
expect_sound "the tune" "$(when "$t_music")" 3 || return 1
# The switch-off is measured from the tune's own start, the nearest sound to it.
tune=($(echo "$sounds" | awk -v t="$(when "$t_music")" '$1 >= t - 0.4 && $1 <= t + 0.4 { print $1, $2; exit }'))
off=$(awk -v s="${tune[0]}" -v a="$t_off" -v b="$t_music" 'BEGIN { printf "%.2f", s + a - b }')
echo "   measured: the tune ends $(awk -v e="${tune[1]}" -v o="$off" 'BEGIN { printf "%.0f", (e - o) * 1000 }') ms after the switch-off (50 ms steps, click delivery included)"
expect_silence "silence once the music is off" "$(awk -v o="$off" 'BEGIN { print o + 0.5 }')" "$(when "$t_end")" || return 1
