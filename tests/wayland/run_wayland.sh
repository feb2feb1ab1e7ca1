#!/usr/bin/env bash
# The program in a Wayland session: sway, headless, with Xwayland, run as an ordinary user the way a login starts
# it (WAYLAND_DISPLAY and an Xwayland DISPLAY both set). One virtual keyboard and one virtual pointer stay
# connected throughout, as a real seat's do. The compositor's bindings leave a file behind when they run; every
# scenario asks how the program ended.
#   run_wayland.sh PATH/TO/zuvela PATH/TO/zuvela-vinput OUTPUT_DIR
# Exits 77 (skipped) when sway is not installed.
set -uo pipefail

program=$(readlink -f "$1")
vinput=$(readlink -f "$2")
out=$3
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../assets"

command -v sway >/dev/null || { echo "wayland: sway is not installed; skipped (scripts/install-deps.sh installs it)"; exit 77; }
for tool in swaymsg grim Xwayland Xvfb xauth jq convert setpriv; do
    command -v "$tool" >/dev/null || { echo "wayland: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

source "$here/../e2e/lib.sh"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.ppm "$out"/*.log

# sway refuses to run as root: the session belongs to an ordinary user, made here when the test runs as root.
if [ "$(id -u)" -eq 0 ]; then
    user=zuvela-wayland
    id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" || exit 1
else
    user=$(id -un)
fi
as_user_prefix=()
[ "$(id -u)" -eq 0 ] && as_user_prefix=(setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups)

session=$(mktemp -d /tmp/zuvela-wayland.XXXXXX)
chmod 755 "$session"
mkdir -p "$session/run" "$session/home" "$session/trace" "$session/shots"
chmod 700 "$session/run"
[ "$(id -u)" -eq 0 ] && chown "$user" "$session/run" "$session/home" "$session/trace" "$session/shots"
base_env=(HOME="$session/home" XDG_RUNTIME_DIR="$session/run" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8)
as_user() { env -i "${base_env[@]}" "${session_env[@]}" "$@"; }
session_env=()

# The program runs from a copy of its build folder that the session's user may read and write.
app="$session/app"
mkdir -p "$app/MY_PICTURE"
cp "$program" "$app/"
cp -r "$(dirname "$program")"/{PICTURE,SOUND,MUSIC} "$app/"
[ "$(id -u)" -eq 0 ] && chown -R "$user" "$app"

# sway 1.7 honours a pointer confinement only with a seat line in its configuration; its default one has none.
cat >"$session/sway.conf" <<EOF
xwayland force
output HEADLESS-1 mode 1280x1024 position 0 0
seat * pointer_constraint enable
bindsym Mod4+e exec touch $session/trace/super_e
bindsym Mod1+Tab exec touch $session/trace/alt_tab
bindsym Mod4+Return exec touch $session/trace/super_return
exec env >$session/trace/session.env
EOF

cleanup() {
    exec 7>&- 2>/dev/null
    [ -n "${program_pid:-}" ] && kill -KILL "$program_pid" 2>/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "${sway_pid:-}" ] && kill "$sway_pid" 2>/dev/null
    wait 2>/dev/null
    cp "$session"/*.log "$session"/shots/*.ppm "$out/" 2>/dev/null
    # What a failed run saw, as PNG as well.
    if [ "$failed" -ne 0 ]; then
        for screenshot in "$out"/*.ppm; do [ -e "$screenshot" ] && convert "$screenshot" "${screenshot%.ppm}.png"; done
    fi
    rm -rf "$session"
}
trap cleanup EXIT

# The server side of the protocol is logged, so that the compositor's answers to the program can be read.
env -i "${base_env[@]}" WAYLAND_DEBUG=server WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user_prefix[@]}" sway -c "$session/sway.conf" >"$session/sway.log" 2>&1 &
sway_pid=$!
session_ready() { grep -q '^SWAYSOCK=' "$session/trace/session.env" 2>/dev/null && grep -q '^DISPLAY=' "$session/trace/session.env"; }
wait_until 15000 session_ready || { echo "wayland: sway did not start"; tail -n 20 "$session/sway.log"; exit 1; }
mapfile -t session_env < <(grep -E '^(WAYLAND_DISPLAY|DISPLAY|SWAYSOCK)=' "$session/trace/session.env")
echo "wayland: session ${session_env[*]}"

swaymsg_() { as_user "${as_user_prefix[@]}" swaymsg "$@"; }

# The seat's keyboard and mouse, fed one command a line through a pipe held open by this shell.
mkfifo "$session/input"
[ "$(id -u)" -eq 0 ] && chown "$user" "$session/input"
connect_input() {
    as_user "${as_user_prefix[@]}" "$vinput" <"$session/input" >>"$session/vinput.out" 2>>"$session/vinput.log" &
    vinput_pid=$!
    exec 7>"$session/input"
    input sync
}
disconnect_input() {
    exec 7>&-
    wait "$vinput_pid" 2>/dev/null
}
synced=0
input() {
    echo "$*" >&7
    [ "$1" = sync ] || return 0
    synced=$((synced + 1))
    acknowledged() { [ "$(grep -c '^ok$' "$session/vinput.out" 2>/dev/null)" -ge "$synced" ]; }
    wait_until 5000 acknowledged || echo "   note: the virtual keyboard did not answer"
}
# chord CODE...: evdev key codes pressed in order and released in reverse, as fingers do.
chord() {
    local code
    for code in "$@"; do input down "$code"; done
    for ((i = $#; i >= 1; i--)); do input up "${!i}"; done
    input sync
}
key_ctrl=29 key_alt=56 key_super=125 key_tab=15 key_return=28 key_e=18 key_x=45 key_r=19

shot() { as_user "${as_user_prefix[@]}" grim -t ppm "$session/shots/$1.ppm"; echo "$session/shots/$1.ppm"; }
e2e_out=$session
set_screen 1280 1024
click_scene() {
    swaymsg_ seat - cursor set "$(scene_x "$1")" "$(scene_y "$2")" >/dev/null
    input click
    input sync
}
panel_pixel() { scene_pixel "$1" 317 264; }  # a corner of either panel
# expect_panel WHAT SHOT ASSET X Y TOLERANCE: waits until the panel corner shows that asset pixel.
expect_panel() {
    local name=$2 tolerance=$6 want seen=
    want=$(asset_pixel "$3" "$4" "$5")
    panel_shows() { seen=$(panel_pixel "$(shot "$name")") && near "$seen" "$want" "$tolerance"; }
    wait_until 5000 panel_shows
    expect_near "$1" "$seen" "$want" "$tolerance"
}

# Starts the program as the session starts an application: no video driver named.
start_program() {
    rm -f "$session/inhibit.sent"
    (cd "$app" && exec env -i "${base_env[@]}" "${session_env[@]}" SDL_AUDIODRIVER=dummy WAYLAND_DEBUG=client "$@" \
        "${as_user_prefix[@]}" ./zuvela >"$session/zuvela.log" 2>&1 7>&-) &
    program_pid=$!
}
# ended_with STATUS: the program ends within a few seconds, with that exit status.
ended_with() {
    ended() { ! kill -0 "$program_pid" 2>/dev/null; }
    wait_until 5000 ended || { echo "   FAILED: the program is still running"; return 1; }
    wait "$program_pid"
    local status=$?
    program_pid=
    [ "$status" -eq "$1" ] || { echo "   FAILED: the program ended with status $status, expected $1"; return 1; }
    echo "   ok: the program ended with status $status"
}
alive() { kill -0 "$program_pid" 2>/dev/null || { echo "   FAILED: the program died"; return 1; }; }
# The desktop entry's name, so that the desktop matches the window with it (and remembers what a grown-up allowed).
app_id=org.zuvela.Zuvela
focused_app() { swaymsg_ -t get_tree | jq -r '.. | objects | select(.focused == true) | .app_id // .name'; }

traces() { ls "$session/trace" | grep -v session.env | tr '\n' ' '; }
# The three escape bindings, pressed with the keys held as a child would; none may leave a trace while the lock
# holds.
press_escapes() {
    rm -f "$session/trace"/super_e "$session/trace"/alt_tab "$session/trace"/super_return
    chord $key_super $key_e
    chord $key_alt $key_tab
    chord $key_super $key_return
}
escapes_ran() { [ -e "$session/trace/super_e" ] && [ -e "$session/trace/alt_tab" ] && [ -e "$session/trace/super_return" ]; }
expect_bindings_run() {
    press_escapes
    wait_until 5000 escapes_ran || { echo "   FAILED: the compositor's bindings do not run ($(traces))"; return 1; }
    echo "   ok: the compositor's bindings run"
}
expect_bindings_held_back() {
    press_escapes
    sleep 1  # long enough for sway to have started a binding's command
    [ -z "$(traces)" ] || { echo "   FAILED: bindings ran while the lock holds: $(traces)"; return 1; }
    alive || return 1
    [ "$(focused_app)" = "$app_id" ] || { echo "   FAILED: the focus went to $(focused_app)"; return 1; }
    echo "   ok: no binding ran; the program keeps the focus"
}
# The program asks for the compositor's shortcuts to be inhibited and the compositor grants it.
expect_inhibitor_active() {
    inhibitor_active() {
        local id
        id=$(grep -o 'inhibit_shortcuts(new id zwp_keyboard_shortcuts_inhibitor_v1@[0-9]*' "$session/zuvela.log" |
            tail -n1 | sed 's/.*@//')
        [ -n "$id" ] && grep -q " -> zwp_keyboard_shortcuts_inhibitor_v1@$id\.active()" "$session/sway.log"
    }
    wait_until 5000 inhibitor_active ||
        { echo "   FAILED: no shortcuts inhibitor made active for the program"; return 1; }
    echo "   ok: the program sent inhibit_shortcuts and the compositor answered active"
}
expect_main_screen() {
    main_shown() {
        local s
        s=$(shot main)
        near "$(canvas_pixel "$s" 300 438)" "255 255 255" 20 &&
            near "$(scene_pixel "$s" 50 717)" "$(asset_pixel PICTURE/BOJE1_01.JPG 42 42)" 50
    }
    wait_until 20000 main_shown || { echo "   FAILED: no main screen"; return 1; }
    alive
}
# A scenario that failed may leave the program running; the next one starts without it.
end_leftover() {
    [ -n "${program_pid:-}" ] || return 0
    kill -KILL "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=
}

connect_input
echo "== the compositor's bindings run before the program starts"
( expect_bindings_run ) && pass bindings_before || fail bindings_before

echo "== the lock holds; Ctrl+X then No returns, Ctrl+X then Yes ends it"
leave_with_yes() {
    start_program
    expect_main_screen || return 1
    expect_inhibitor_active || return 1
    expect_bindings_held_back || return 1
    chord $key_ctrl $key_x
    expect_panel "the leave panel" leave_panel PICTURE/CTRLX.JPG 5 5 50 || return 1
    click_scene 610 434  # No
    expect_panel "No returns to the canvas" after_no PICTURE/01.GIF 287 235 60 || return 1
    alive || return 1
    chord $key_ctrl $key_x
    expect_panel "the leave panel again" leave_panel_again PICTURE/CTRLX.JPG 5 5 50 || return 1
    click_scene 421 434  # Yes
    ended_with 0 || return 1
    expect_bindings_run
}
leave_with_yes && pass leave_with_yes || fail leave_with_yes
end_leftover

echo "== SIGTERM ends it and gives the keys back"
end_with_sigterm() {
    start_program
    expect_main_screen || return 1
    expect_bindings_held_back || return 1
    local sent
    sent=$(now_ms)
    kill -TERM "$program_pid"
    ended_with 143 || return 1
    echo "   (ended $(( $(now_ms) - sent )) ms after SIGTERM)"
    expect_bindings_run
}
end_with_sigterm && pass end_with_sigterm || fail end_with_sigterm
end_leftover

echo "== with a Cyrillic layout: the lock holds, Ctrl+R and Ctrl+X work, Yes ends it"
cyrillic_layout() {
    input layout ru
    input sync
    swaymsg_ -t get_inputs | jq -e '.[] | select(.type == "keyboard") | select(.xkb_active_layout_name == "Russian")' \
        >/dev/null || { echo "   FAILED: the Russian layout is not active"; return 1; }
    start_program
    expect_main_screen || return 1
    expect_bindings_held_back || return 1
    chord $key_ctrl $key_r
    expect_panel "Ctrl+R shows the info panel" info_panel_ru PICTURE/CTRL-R-2.JPG 5 5 50 || return 1
    click_scene 668 282  # close
    expect_panel "the info panel closes" info_closed_ru PICTURE/01.GIF 287 235 60 || return 1
    chord $key_ctrl $key_x
    expect_panel "Ctrl+X shows the leave panel" leave_panel_ru PICTURE/CTRLX.JPG 5 5 50 || return 1
    click_scene 421 434  # Yes
    ended_with 0
}
cyrillic_layout && pass cyrillic_layout || fail cyrillic_layout
end_leftover
input layout us
input sync

echo "== the lock holds with an X server the user may not open, and the first keyboard arriving after the window"
unopenable_display() {
    xauth -q -f "$session/server.auth" add :0 . "$(mcookie)" 2>/dev/null
    exec 6>"$session/xvfb.display"
    Xvfb -displayfd 6 -auth "$session/server.auth" -nolisten tcp >"$session/xvfb.log" 2>&1 7>&- &
    xvfb_pid=$!
    exec 6>&-
    xvfb_ready() { [ -s "$session/xvfb.display" ]; }
    wait_until 5000 xvfb_ready || { echo "   FAILED: Xvfb did not start"; return 1; }
    disconnect_input
    start_program DISPLAY=":$(head -n1 "$session/xvfb.display")"
    sleep 2
    connect_input
    expect_main_screen || return 1
    expect_inhibitor_active || return 1
    expect_bindings_held_back || return 1
    kill -TERM "$program_pid"
    ended_with 143
}
unopenable_display && pass unopenable_display || fail unopenable_display
end_leftover

# Relative motion from the middle of the program's screen, as a mouse moves, far past its right edge.
reach_second_output() {
    swaymsg_ seat - cursor set 640 512 >/dev/null
    for _ in $(seq 10); do input move 300 0; done
    input click
    input sync
    sleep 0.3
}
echo "== a second monitor: the pointer cannot reach it while the lock holds, and can after Yes"
second_output() {
    swaymsg_ create_output >/dev/null || { echo "   FAILED: no second output"; return 1; }
    swaymsg_ output HEADLESS-2 mode 1280x1024 position 1280 0 >/dev/null
    start_program
    expect_main_screen || return 1
    reach_second_output
    alive || return 1
    [ "$(focused_app)" = "$app_id" ] || { echo "   FAILED: a click on the second monitor focused $(focused_app)"; return 1; }
    echo "   ok: the click stayed on the program"
    chord $key_ctrl $key_x
    expect_panel "the leave panel" leave_panel_two_outputs PICTURE/CTRLX.JPG 5 5 50 || return 1
    click_scene 421 434  # Yes
    ended_with 0 || return 1
    reach_second_output
    local on_second
    on_second=$(swaymsg_ -t get_workspaces | jq -r '.[] | select(.focused) | .output')
    [ "$on_second" = HEADLESS-2 ] || { echo "   FAILED: after Yes the pointer still cannot reach the second monitor ($on_second)"; return 1; }
    echo "   ok: after Yes a click reaches the second monitor"
}
second_output && pass second_output || fail second_output
end_leftover

echo "== a mouse plugged in after the program took the screen cannot reach the second monitor either"
late_mouse() {
    input unplug mouse
    input sync
    start_program
    expect_main_screen || return 1
    local confinements
    confinements=$(grep -c 'zwp_confined_pointer_v1@[0-9]*\.confined()' "$session/sway.log")
    input plug mouse
    input sync
    # The new mouse's first motion brings it into the window; the compositor says when it is confined.
    input move 1 0
    input sync
    confined_again() { [ "$(grep -c 'zwp_confined_pointer_v1@[0-9]*\.confined()' "$session/sway.log")" -gt "$confinements" ]; }
    wait_until 5000 confined_again || echo "   note: no new confinement for the new mouse"
    reach_second_output
    alive || return 1
    [ "$(focused_app)" = "$app_id" ] || { echo "   FAILED: the new mouse reached the second monitor"; return 1; }
    echo "   ok: the new mouse stayed on the program"
    kill -TERM "$program_pid"
    ended_with 143
}
late_mouse && pass late_mouse || fail late_mouse
end_leftover

echo "== keyboards that come and go with keymaps of their own, keys held as they arrive"
keyboards_come_and_go() {
    # Typing tools and on-screen keyboards join the seat for a moment with a keymap of their own, often one
    # that names no layout; the program starts before any keyboard is there.
    input unplug keyboard
    input sync
    start_program
    expect_main_screen || return 1
    local round key
    for round in 1 2 3; do
        input plug keyboard nameless
        input down 30
        input sync
        input up 30
        input unplug keyboard
        input sync
    done
    for key in a Escape Return space x Tab; do
        as_user "${as_user_prefix[@]}" wtype -k "$key" 2>/dev/null
        sleep 0.4
    done
    alive || return 1
    echo "   ok: the program lives through keyboards arriving and leaving"
    # A keyboard with another layout, and a switch back: the lock still holds.
    input plug keyboard de
    input sync
    input layout us
    input sync
    # The seat was without a keyboard, so the window lost the keyboard's focus and let the inhibitor go; it asks
    # again as the keyboard brings the focus back.
    expect_inhibitor_active || return 1
    expect_bindings_held_back || return 1
    kill -TERM "$program_pid"
    ended_with 143
}
keyboards_come_and_go && pass keyboards_come_and_go || fail keyboards_come_and_go
end_leftover

echo "== the compositor going away ends the program with status 3 and one line"
compositor_lost() {
    start_program
    expect_main_screen || return 1
    kill -KILL "$sway_pid"
    wait "$sway_pid" 2>/dev/null
    sway_pid=
    ended_with 3 || return 1
    local lines
    lines=$(grep -c '^zuvela: ' "$session/zuvela.log")
    [ "$lines" -eq 1 ] || { echo "   FAILED: $lines lines of its own, expected one"; grep '^zuvela: ' "$session/zuvela.log"; return 1; }
    echo "   ok: $(grep '^zuvela: ' "$session/zuvela.log")"
}
compositor_lost && pass compositor_lost || fail compositor_lost
end_leftover

echo "wayland: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
