# The desktop's own keys while the program runs: the window manager's bindings on the volume, brightness and
# Print keys still run (a parent turns the sound down or takes a screenshot), its bindings on the escape chords do
# not; the window names itself after the desktop entry, so the desktop shows it with the book's own icon.

export BROWSER="$e2e_out/browser.sh"
printf '#!/bin/sh\nexit 0\n' >"$BROWSER"
chmod +x "$BROWSER"
trace="$e2e_out/trace"
mkdir -p "$trace"
rm -f "$trace"/*
binding() {
    printf '<keybind key="%s"><action name="Execute"><command>touch %s/%s</command></action></keybind>\n' \
        "$1" "$trace" "$2"
}
cat >"$e2e_out/rc.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
<keyboard>
$(binding XF86AudioRaiseVolume volume)
$(binding XF86MonBrightnessUp brightness)
$(binding Print print)
$(binding W-e super_e)
$(binding A-F2 alt_f2)
</keyboard>
</openbox_config>
EOF
openbox --replace --config-file "$e2e_out/rc.xml" >>"$e2e_out/openbox.log" 2>&1 &
trap 'openbox --replace >>"$e2e_out/openbox.log" 2>&1 &' RETURN
sleep 1

desktop_keys=(XF86AudioRaiseVolume:volume XF86MonBrightnessUp:brightness Print:print)
escape_chords=(super+e:super_e alt+F2:alt_f2)
# press KEY:TRACE...: presses each key and says which left their trace.
press() {
    local pair ran=()
    rm -f "$trace"/*
    for pair in "$@"; do xdotool key "${pair%%:*}"; done
    sleep 1
    for pair in "$@"; do [ -e "$trace/${pair##*:}" ] && ran+=("${pair%%:*}"); done
    echo "${ran[*]}"
}

ran=$(press "${desktop_keys[@]}" "${escape_chords[@]}")
[ "$ran" = "XF86AudioRaiseVolume XF86MonBrightnessUp Print super+e alt+F2" ] ||
    { echo "   FAILED: before the program started only these bindings ran: $ran"; return 1; }
echo "   ok: before the program, every binding runs"

start_program
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
ran=$(press "${desktop_keys[@]}")
expect_alive "the desktop's keys" || return 1
[ "$ran" = "XF86AudioRaiseVolume XF86MonBrightnessUp Print" ] ||
    { echo "   FAILED: while the program runs only these desktop keys reach the desktop: ${ran:-none}"; return 1; }
echo "   ok: the volume, brightness and Print keys reach the desktop while the program runs"
ran=$(press "${escape_chords[@]}")
expect_alive "the escape chords" || return 1
[ -z "$ran" ] || { echo "   FAILED: escape chords reached the desktop: $ran"; return 1; }
echo "   ok: the escape chords are held"

class=$(xprop -id "$(xdotool getactivewindow)" WM_CLASS)
[[ "$class" == *'"org.zuvela.Zuvela"'* ]] || { echo "   FAILED: the window's class is $class"; return 1; }
echo "   ok: $class"

xdotool key ctrl+x
sleep 0.5
click_scene 421 434  # Yes
expect_end "exit 0" "Yes" || return 1
ran=$(press "${escape_chords[@]}")
[ "$ran" = "super+e alt+F2" ] || { echo "   FAILED: after Yes only these escape chords run: ${ran:-none}"; return 1; }
echo "   ok: after Yes the escape chords run again"
