#!/usr/bin/env bash
# The program in a KDE session: kwin_wayland on a virtual framebuffer with Xwayland, in a session bus of its own,
# as an ordinary user. Keys and the mouse come through kwin's fake-input protocol; kwin's state (the current
# desktop, the active window, whether the desktop is shown) is read through its D-Bus interface and a one-line
# kwin script. Every scenario asks how the program ended.
#   run_kwin.sh PATH/TO/zuvela PATH/TO/zuvela-fake-input OUTPUT_DIR
# Exits 77 (skipped) when kwin_wayland is not installed.
set -uo pipefail

program=$(readlink -f "$1")
fake_input=$(readlink -f "$2")
out=$3
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../assets"
name=kwin

command -v kwin_wayland >/dev/null ||
    { echo "kwin: kwin_wayland is not installed; skipped (ZUVELA_DESKTOP_TESTS=1 scripts/install-deps.sh)"; exit 77; }
for tool in dbus-run-session gdbus setpriv convert Xwayland; do
    command -v "$tool" >/dev/null || { echo "kwin: $tool is missing"; exit 1; }
done
/usr/bin/python3 -c 'from gi.repository import Gio' 2>/dev/null || { echo "kwin: python3-gi is missing"; exit 1; }

source "$here/../e2e/lib.sh"
source "$here/session_lib.sh"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.ppm "$out"/*.log
session_setup "$program" || exit 1
e2e_out=$session
set_screen 1280 1024

# Debian's kwin_wayland carries a file capability (to raise its own limits) that a container without it may not
# grant, and then it does not start at all: a plain copy has none.
cp "$(command -v kwin_wayland)" "$session/bin/kwin_wayland"
# Two virtual desktops, so that switching between them (Ctrl+F1, Ctrl+F2) is seen.
mkdir -p "$session/home/.config"
printf '[Desktops]\nNumber=2\nRows=1\n' >"$session/home/.config/kwinrc"
cp "$fake_input" "$session/bin/fake-input"
session_own

cleanup() {
    exec 7>&- 2>/dev/null
    [ -n "${program_pid:-}" ] && kill -KILL "$program_pid" 2>/dev/null
    [ -n "${monitor_pid:-}" ] && kill "$monitor_pid" 2>/dev/null
    # kwin, Xwayland and whatever the session bus started run in a process group of their own.
    [ -n "${kwin_pid:-}" ] && kill -TERM -- "-$kwin_pid" 2>/dev/null
    wait 2>/dev/null
    cp "$session"/*.log "$out/" 2>/dev/null
    if [ "$failed" -ne 0 ]; then
        for screenshot in "$session"/shots/*.ppm; do [ -e "$screenshot" ] && convert "$screenshot" "$out/$(basename "${screenshot%.ppm}").png"; done
    fi
    rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The server side of the protocol is logged, so that kwin's answers to the program can be read. The test's own
# clients may use the interfaces kwin keeps for its own tools (fake input, screenshots) without a desktop entry
# that names them.
compositor_log=$session/kwin.log
setsid env -i "${base_env[@]}" WAYLAND_DEBUG=server KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
    KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 QT_LOGGING_RULES='kwin_scripting=true' "${as_user_prefix[@]}" \
    dbus-run-session -- sh -c '
    echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/session-bus"
    exec "$0" --virtual --width 1280 --height 1024 --no-lockscreen --xwayland --socket wayland-0' \
    "$session/bin/kwin_wayland" >"$compositor_log" 2>&1 &
kwin_pid=$!

bus_ready() { [ -s "$session/run/session-bus" ]; }
wait_until 15000 bus_ready || { echo "kwin: no session bus"; tail -n 20 "$compositor_log"; exit 1; }
session_env=(DBUS_SESSION_BUS_ADDRESS="$(cat "$session/run/session-bus")")
kwin_call() { as_user gdbus call --session --dest org.kde.KWin "$@" 2>/dev/null; }
kwin_ready() {
    [ -S "$session/run/wayland-0" ] && kwin_call --object-path /KWin --method org.kde.KWin.currentDesktop >/dev/null
}
wait_until 30000 kwin_ready || { echo "kwin: kwin did not start"; grep -v '^\[' "$compositor_log" | tail -n 20; exit 1; }
session_env+=(WAYLAND_DISPLAY=wayland-0 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE)
echo "kwin: $(as_user "$session/bin/kwin_wayland" --version 2>/dev/null), session ${session_env[*]:1}"

connect_input "$session/bin/fake-input"

shot() {
    as_user /usr/bin/python3 "$here/kwin_shot.py" "$session/shots/$1.ppm" 2>>"$session/shots.log"
    echo "$session/shots/$1.ppm"
}
click_scene() {
    input to "$(scene_x "$1")" "$(scene_y "$2")"
    input click
    input sync
}

current_desktop() { kwin_call --object-path /KWin --method org.kde.KWin.currentDesktop | tr -dc 0-9; }
showing_desktop() {
    kwin_call --object-path /KWin --method org.freedesktop.DBus.Properties.Get org.kde.KWin showingDesktop |
        grep -q true
}
# The active window's class, through a kwin script that prints it into kwin's log.
queries=0
active_window() {
    queries=$((queries + 1))
    local script="$session/shots/active-$queries.js" tag="zuvela-active-$queries"
    echo "print('$tag=' + (workspace.activeClient ? workspace.activeClient.resourceClass : ''));" >"$script"
    chmod 644 "$script"
    kwin_call --object-path /Scripting --method org.kde.kwin.Scripting.loadScript "$script" "$tag" >/dev/null
    kwin_call --object-path /Scripting --method org.kde.kwin.Scripting.start >/dev/null
    printed() { grep -a -q "$tag=" "$compositor_log"; }
    wait_until 3000 printed
    kwin_call --object-path /Scripting --method org.kde.kwin.Scripting.unloadScript "$tag" >/dev/null
    grep -a -o "$tag=.*" "$compositor_log" | head -n1 | sed "s/^$tag=//"
}

# kwin's own bindings a child finds: Ctrl+F2 (the second desktop) and Meta+D (show the desktop).
escape_effects=
press_escapes() {
    escape_effects=
    chord $key_ctrl $key_f2
    sleep 0.5  # kwin switches at once; this is long enough for it to have done so
    if [ "$(current_desktop)" != 1 ]; then
        escape_effects+="[Ctrl+F2: desktop $(current_desktop)] "
        kwin_call --object-path /KWin --method org.kde.KWin.setCurrentDesktop 1 >/dev/null
    fi
    chord $key_super $key_d
    sleep 0.5
    if showing_desktop; then
        escape_effects+="[Meta+D: the desktop shown] "
        kwin_call --object-path /KWin --method org.kde.KWin.showDesktop false >/dev/null
    fi
}
expect_bindings_run() {
    press_escapes
    [ "$(grep -o '\[' <<<"$escape_effects" | wc -l)" -eq 2 ] ||
        { echo "   FAILED: not every kwin binding ran: $escape_effects"; return 1; }
    echo "   ok: kwin's bindings run: $escape_effects"
}
expect_bindings_held_back() {
    press_escapes
    [ -z "$escape_effects" ] || { echo "   FAILED: bindings ran while the lock holds: $escape_effects"; return 1; }
    alive || return 1
    local active
    active=$(active_window)
    [ "$active" = "$app_id" ] || { echo "   FAILED: the active window is '$active'"; return 1; }
    echo "   ok: no binding ran; the program's window stays active"
}
# The volume and screenshot keys as Plasma's volume applet and screenshot tool take them: global shortcuts
# registered with kglobalaccel (inside kwin), which signals each press on the session bus.
desktop_keys() {
    local action key
    for action in volume-up:16777330 print:16777225; do  # Qt::Key_VolumeUp, Qt::Key_Print
        key=${action#*:}
        action="['zuvela-test', '${action%:*}', 'Zuvela test', '${action%:*}']"
        as_user gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
            --method org.kde.KGlobalAccel.doRegister "$action" >/dev/null || return 1
        as_user gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
            --method org.kde.KGlobalAccel.setShortcut "$action" "[$key]" 6 >/dev/null || return 1
    done
    as_user gdbus monitor --session --dest org.kde.kglobalaccel >"$session/kglobalaccel.log" 2>&1 &
    monitor_pid=$!
}
desktop_keys_seen() {
    chord $key_volume_up
    chord $key_print
    sleep 0.5  # kglobalaccel signals at once; this is long enough for the monitor to have printed it
    echo "volume up pressed $(grep -c "globalShortcutPressed ('zuvela-test', 'volume-up'" "$session/kglobalaccel.log")" \
        "time(s), Print $(grep -c "globalShortcutPressed ('zuvela-test', 'print'" "$session/kglobalaccel.log") time(s)"
}

# kwin grants a shortcuts inhibitor at once, asking nothing: no key is pressed before it is active.
expect_inhibitor_active() {
    wait_until 20000 inhibitor_asked || { echo "   FAILED: the program asked for no inhibitor"; return 1; }
    wait_until 5000 inhibitor_active || { echo "   FAILED: kwin did not make the inhibitor active"; return 1; }
    echo "   ok: the inhibitor is active, nothing asked"
}

echo "== kwin's bindings run before the program starts"
expect_bindings_run && pass bindings_before || fail bindings_before

echo "== no question; the lock holds; Ctrl+X then Yes ends it"
leave_with_yes() {
    start_program
    expect_inhibitor_active || return 1
    expect_main_screen || return 1
    expect_bindings_held_back || return 1
    chord $key_ctrl $key_x
    expect_panel "the leave panel" leave_panel PICTURE/CTRLX.JPG 5 5 50 || return 1
    click_scene 421 434  # Yes
    ended_with 0 || return 1
    expect_bindings_run
}
leave_with_yes && pass leave_with_yes || fail leave_with_yes
end_leftover

echo "== the lock holds again; SIGTERM ends it"
end_with_sigterm() {
    start_program
    expect_inhibitor_active || return 1
    expect_main_screen || return 1
    expect_bindings_held_back || return 1
    desktop_keys || echo "   note: no global shortcuts of our own"
    echo "   seen: with the lock, $(desktop_keys_seen)"
    local sent
    sent=$(now_ms)
    kill -TERM "$program_pid"
    ended_with 143 || return 1
    echo "   (ended $(($(now_ms) - sent)) ms after SIGTERM)"
    echo "   seen: without the program, in all $(desktop_keys_seen)"
    expect_bindings_run
}
end_with_sigterm && pass end_with_sigterm || fail end_with_sigterm
end_leftover

echo "kwin: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
