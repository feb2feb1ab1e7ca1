# No display to open (none named, or one no server answers, and no Wayland compositor): the program says so in
# one line of its own and ends with status 1, rather than running on unseen with no lock. A driver the user names in
# SDL_VIDEODRIVER is still the one used.

no_display() {
    local what=$1 status lines
    shift
    (cd "$app" && exec env -u WAYLAND_DISPLAY "$@" timeout 20 ./zuvela >"$e2e_out/no_display.log" 2>&1)
    status=$?
    lines=$(grep -c '^zuvela: ' "$e2e_out/no_display.log")
    [ "$status" -eq 1 ] || { echo "   FAILED: $what: status $status (124: still running)"; return 1; }
    [ "$lines" -eq 1 ] && grep -q '^zuvela: cannot open the display' "$e2e_out/no_display.log" ||
        { echo "   FAILED: $what: said"; cat "$e2e_out/no_display.log"; return 1; }
    echo "   ok: $what: status 1, $(grep '^zuvela: ' "$e2e_out/no_display.log")"
}
no_display "DISPLAY unset" -u DISPLAY || return 1
no_display "DISPLAY empty" DISPLAY= || return 1
no_display "no server on :199" DISPLAY=:199 || return 1

# Asked for by name, SDL's offscreen driver opens; SIGTERM ends the program as always.
(cd "$app" && exec env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen timeout -s TERM 5 ./zuvela \
    >"$e2e_out/offscreen.log" 2>&1)
status=$?
[ "$status" -eq 124 ] || { echo "   FAILED: with SDL_VIDEODRIVER=offscreen the program ended with $status"; cat "$e2e_out/offscreen.log"; return 1; }
echo "   ok: SDL_VIDEODRIVER=offscreen is honoured (ran until stopped)"
