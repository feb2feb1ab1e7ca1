# The colour names in the desktop's language, recorded through SDL's disk audio driver: under a German locale
# the red swatch says "rot", the English word is never heard, and a German word that is missing stays silent.
# The two swatches' chimes are swapped for silence here, so that the recording holds the words alone.

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$e2e_out/heard_voices.raw"
rm -f "$SDL_DISKAUDIOFILE"
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=de_DE.UTF-8

voice="$app/SOUND/VOICE"
for chime in CRVENA ZELENA; do mv "$app/SOUND/$chime.WAV" "$e2e_out/$chime.WAV.away"; done
restore() {
    for chime in CRVENA ZELENA; do
        [ -f "$e2e_out/$chime.WAV.away" ] && mv "$e2e_out/$chime.WAV.away" "$app/SOUND/$chime.WAV"
    done
    [ -f "$e2e_out/DE_CRVENA.WAV.away" ] && mv "$e2e_out/DE_CRVENA.WAV.away" "$voice/DE/CRVENA.WAV"
    true
}
trap restore EXIT
for chime in CRVENA ZELENA; do sox -n -r 22050 -c 1 -b 16 "$app/SOUND/$chime.WAV" trim 0 0.3; done

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5

# Two seconds apart, so that every word stands apart in the recording however late it runs.
click_scene 50 717; sleep 2
mv "$voice/DE/CRVENA.WAV" "$e2e_out/DE_CRVENA.WAV.away"
click_scene 50 717; sleep 2
click_scene 135 717; sleep 2

# How it ended: still running, then out cleanly with 143 on SIGTERM.
stop_program || return 1

# Mono at 8 kHz, one sample a line.
samples() { sox "$@" -r 8000 -c 1 -t dat - 2>/dev/null | awk '!/^;/ { print $2 }'; }
samples -t raw -r 48000 -e signed -b 16 -c 2 "$SDL_DISKAUDIOFILE" >"$e2e_out/heard_voices.txt"
# "start end" in seconds of every stretch louder than -40 dBFS RMS in 50 ms blocks, gaps under 200 ms joined.
sounds_in() {
    awk '{ s += $1 * $1; n++; if (n == 400) { print (sqrt(s / n) > 0.01); s = 0; n = 0 } }' "$1" |
    awk '{ t = (NR - 1) * 0.05
           if ($1) { if (!on) { if (on_end && t - on_end < 0.2) { } else { if (on_end) print start, on_end; start = t } } on = 1; on_end = t + 0.05 }
           else on = 0 }
         END { if (on_end) print start, on_end }'
}
sounds=$(sounds_in "$e2e_out/heard_voices.txt")
echo "   heard (start end, seconds into the recording):" $sounds
# Two words for three clicks: the one whose German word was missing said nothing, in English or otherwise.
[ "$(echo "$sounds" | grep -c .)" -eq 2 ] || { echo "   FAILED: expected two words"; return 1; }
echo "   ok: two words for three clicks"

# How closely the recording around the sound starting at START matches a word file: the largest normalised
# cross-correlation over shifts of up to 0.1 s either side of where the two sounds' onsets line up.
likeness() {
    samples "$1" >"$e2e_out/word.txt"
    local onset; onset=$(sounds_in "$e2e_out/word.txt" | head -n1 | cut -d' ' -f1)
    awk -v start="$2" -v onset="$onset" '
        NR == FNR { w[n++] = $1; ww += $1 * $1; next }
        { r[m++] = $1 }
        END {
            base = int((start - onset) * 8000); best = 0
            for (lag = base - 800; lag <= base + 800; lag++) {
                if (lag < 0 || lag + n > m) continue
                xy = 0; rr = 0
                for (i = 0; i < n; i++) { x = r[lag + i]; xy += x * w[i]; rr += x * x }
                if (rr > 0 && xy / sqrt(rr * ww) > best) best = xy / sqrt(rr * ww)
            }
            printf "%.2f", best
        }' "$e2e_out/word.txt" "$e2e_out/heard_voices.txt"
}
# "grün" and "green" come out close in one voice; the bar for the English word leaves room for that.
expect_word() {  # expect_word WHAT START GERMAN ENGLISH
    local german english
    german=$(likeness "$3" "$2")
    english=$(likeness "$4" "$2")
    echo "   measured: $1 matches the German word at $german, the English one at $english"
    if awk -v g="$german" -v e="$english" 'BEGIN { exit !(g >= 0.9 && e < 0.8) }'; then
        echo "   ok: $1 is the German word"
    else
        echo "   FAILED: $1 is not the German word"
        return 1
    fi
}
starts=($(echo "$sounds" | cut -d' ' -f1))
expect_word "the red swatch" "${starts[0]}" "$e2e_out/DE_CRVENA.WAV.away" "$voice/CRVENA.WAV" || return 1
expect_word "the green swatch" "${starts[1]}" "$voice/DE/ZELENA.WAV" "$voice/ZELENA.WAV" || return 1
