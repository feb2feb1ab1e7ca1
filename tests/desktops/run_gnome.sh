#!/usr/bin/env bash
# The program in a GNOME Shell session: gnome-shell headless on a virtual monitor, in a session bus of its own and
# with a private system bus, as an ordinary user. Keys and the mouse come through mutter's remote desktop
# service; the shell's state (focus, overview, dialogs) is read through org.gnome.Shell.Eval, which a small
# extension of the test's own opens. Every scenario asks how the program ended.
#   run_gnome.sh PATH/TO/zuvela OUTPUT_DIR
# Exits 77 (skipped) when GNOME Shell is not installed.
set -uo pipefail

program=$(readlink -f "$1")
out=$2
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../assets"
name=gnome

command -v gnome-shell >/dev/null ||
    { echo "gnome: gnome-shell is not installed; skipped (ZUVELA_DESKTOP_TESTS=1 scripts/install-deps.sh)"; exit 77; }
for tool in dbus-daemon dbus-run-session gdbus gsettings setpriv convert; do
    command -v "$tool" >/dev/null || { echo "gnome: $tool is missing"; exit 1; }
done
/usr/bin/python3 -c 'from gi.repository import Gio' 2>/dev/null || { echo "gnome: python3-gi is missing"; exit 1; }

source "$here/../e2e/lib.sh"
source "$here/session_lib.sh"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log
session_setup "$program" || exit 1
e2e_out=$session
set_screen 1280 1024

extension=zuvela-test@zuvela.org
mkdir -p "$session/home/.local/share/gnome-shell/extensions"
cp -r "$here/$extension" "$session/home/.local/share/gnome-shell/extensions/"
# The system bus a login has, with nothing on it: the shell asks it for logind, accounts and the network, and
# gets on without them.
cat >"$session/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$session/run/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
session_own

cleanup() {
    exec 7>&- 2>/dev/null
    [ -n "${program_pid:-}" ] && kill -KILL "$program_pid" 2>/dev/null
    # The shell and everything its session bus started run in a process group of their own.
    [ -n "${shell_pid:-}" ] && kill -TERM -- "-$shell_pid" 2>/dev/null
    [ -n "${system_bus_pid:-}" ] && kill "$system_bus_pid" 2>/dev/null
    wait 2>/dev/null
    cp "$session"/*.log "$session"/shots/*.png "$out/" 2>/dev/null
    rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

setsid env -i "${base_env[@]}" "${as_user_prefix[@]}" dbus-daemon --config-file="$session/system-bus.conf" --nofork \
    >"$session/system-bus.log" 2>&1 &
system_bus_pid=$!
base_env+=(DBUS_SYSTEM_BUS_ADDRESS="unix:path=$session/run/system_bus_socket")
# The server side of the protocol is logged, so that the shell's answers to the program can be read.
compositor_log=$session/gnome-shell.log
setsid env -i "${base_env[@]}" WAYLAND_DEBUG=server "${as_user_prefix[@]}" dbus-run-session -- sh -c '
    echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/session-bus"
    gsettings set org.gnome.shell enabled-extensions "[\"'$extension'\"]"
    exec gnome-shell --headless --wayland --virtual-monitor 1280x1024' >"$compositor_log" 2>&1 &
shell_pid=$!

# shell_eval CODE: the value of a JavaScript expression in the shell, as JSON.
shell_eval() {
    local reply
    reply=$(as_user gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$1" 2>/dev/null) || return 1
    [[ "$reply" == "(true, '"* ]] || return 1
    reply=${reply#"(true, '"}
    echo "${reply%"')"}"
}
bus_ready() { [ -s "$session/run/session-bus" ]; }
wait_until 15000 bus_ready || { echo "gnome: no session bus"; tail -n 20 "$session/gnome-shell.log"; exit 1; }
session_env=(DBUS_SESSION_BUS_ADDRESS="$(cat "$session/run/session-bus")")
shell_ready() { [ -S "$session/run/wayland-0" ] && [ "$(shell_eval 'Main.layoutManager._startingUp')" = false ]; }
wait_until 60000 shell_ready ||
    { echo "gnome: the shell did not start (or Eval is closed)"; tail -n 20 "$session/gnome-shell.log"; exit 1; }
session_env+=(WAYLAND_DISPLAY=wayland-0 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME)
x_display=$(shell_eval 'GLib.getenv("DISPLAY")' | tr -d '"')
[ -n "$x_display" ] && [ "$x_display" != null ] && session_env+=(DISPLAY="$x_display")
echo "gnome: $(gnome-shell --version), session ${session_env[*]:1}"

connect_input /usr/bin/python3 "$here/remote_input.py"

shot() {
    local file="$session/shots/$1.png"
    as_user gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
        --method org.gnome.Shell.Screenshot.Screenshot false false "$file" >/dev/null 2>&1
    echo "$file"
}
# The pointer from the top left corner to a scene point, and a click: mutter moves a remote desktop pointer by
# exactly what it is told.
click_scene() {
    input home
    input move "$(scene_x "$1")" "$(scene_y "$2")"
    input click
    input sync
}

focused_app() { shell_eval 'global.display.focus_window?.get_wm_class() ?? ""' | tr -d '"'; }
# Whether the shell shows something of its own over the windows: the overview, a modal dialog or popup, the
# screenshot tool.
shell_state() {
    shell_eval '[Main.overview.visible ? "overview" : "", Main.modalCount ? "modal" : "",
        Main.screenshotUI.visible ? "screenshot" : ""].join(" ").trim()' | tr -d '"'
}
# The question the shell asks before it lets a window inhibit its shortcuts.
asking() {
    shell_eval 'const texts = a => [a.text ?? "", ...a.get_children().map(texts)].join(" ");
        Main.layoutManager.modalDialogGroup.get_children().filter(d => d.visible).map(texts).join(" ")
            .includes("wants to inhibit shortcuts")' | grep -q true
}
# Closes what a binding opened: the overview through the shell, a dialog with Escape.
dismiss() {
    settled() { [ -z "$(shell_state)" ]; }
    shell_eval 'Main.overview.hide()' >/dev/null
    wait_until 2000 settled && return 0
    chord $key_esc
    wait_until 3000 settled || { echo "   note: the shell still shows: $(shell_state)"; return 1; }
}
# The escapes a child finds: Super (the overview), Super+A (the applications), Alt+F2 (the command dialog).
press_escapes() {
    escape_effects=
    local keys
    for keys in "$key_super" "$key_super $key_a" "$key_alt $key_f2"; do
        chord $keys
        sleep 0.5  # the overview and the dialog open at once; this is long enough for either to have begun
        local seen
        seen=$(shell_state)
        [ -n "$seen" ] && { escape_effects+="[$keys: $seen] "; dismiss; }
    done
}
expect_bindings_run() {
    press_escapes
    [ "$(grep -o '\[' <<<"$escape_effects" | wc -l)" -eq 3 ] ||
        { echo "   FAILED: not every shell binding ran: $escape_effects"; return 1; }
    echo "   ok: the shell's bindings run: $escape_effects"
}
expect_bindings_held_back() {
    press_escapes
    [ -z "$escape_effects" ] || { echo "   FAILED: bindings ran while the lock holds: $escape_effects"; return 1; }
    alive || return 1
    [ "$(focused_app)" = "$app_id" ] || { echo "   FAILED: the focus went to $(focused_app)"; return 1; }
    echo "   ok: no binding ran; the program keeps the focus"
}
permission() {
    as_user gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.Lookup gnome shortcuts-inhibitor 2>&1
}

# The shell starts in its overview, as after a login.
dismiss
echo "== the shell's bindings run before the program starts"
expect_bindings_run && pass bindings_before || fail bindings_before

echo "== the first start asks; Allow, and the lock holds; Ctrl+X then Yes ends it"
first_start() {
    start_program
    wait_until 20000 asking || { echo "   FAILED: the shell asked nothing (state: $(shell_state))"; return 1; }
    echo "   ok: the shell asks whether the program may inhibit its shortcuts"
    chord $key_return  # Allow is the dialog's default answer
    wait_until 5000 inhibitor_active || { echo "   FAILED: Allow did not make the inhibitor active"; return 1; }
    echo "   ok: Allow made the program's shortcuts inhibitor active"
    permission | grep -q "'$app_id.desktop': \['GRANTED'\]" ||
        { echo "   FAILED: the grant is not in the permission store: $(permission)"; return 1; }
    echo "   ok: the permission store holds the grant for $app_id.desktop"
    expect_main_screen || return 1
    expect_bindings_held_back || return 1
    chord $key_ctrl $key_x
    expect_panel "the leave panel" leave_panel PICTURE/CTRLX.JPG 5 5 50 || return 1
    click_scene 421 434  # Yes
    ended_with 0 || return 1
    expect_bindings_run
}
first_start && pass first_start || fail first_start
end_leftover

echo "== the second start asks nothing; the lock holds; SIGTERM ends it"
second_start() {
    start_program
    wait_until 20000 inhibitor_asked || { echo "   FAILED: the program asked for no inhibitor"; return 1; }
    # No key is pressed: only a grant the shell remembers makes the inhibitor active.
    wait_until 5000 inhibitor_active ||
        { echo "   FAILED: the inhibitor is not active$(asking && echo '; the shell asks again')"; return 1; }
    ! asking || { echo "   FAILED: the shell asks again"; return 1; }
    echo "   ok: active at once, nothing asked"
    expect_main_screen || return 1
    expect_bindings_held_back || return 1
    # What the desktop's screenshot key and a volume key (a grab of the settings daemon's kind) do meanwhile.
    shell_eval 'globalThis.zuvelaVolume = 0; const a = global.display.grab_accelerator("XF86AudioRaiseVolume", 0);
        Main.wm.allowKeybinding(Meta.external_binding_name_for_action(a), Shell.ActionMode.ALL);
        global.display.connect("accelerator-activated", (d, action) => { if (action === a) zuvelaVolume++; }); a' \
        >/dev/null
    chord $key_print
    chord $key_volume_up
    sleep 0.5
    echo "   seen: with the lock, Print: [$(shell_state)], volume up: $(shell_eval zuvelaVolume) activation(s)"
    [ -n "$(shell_state)" ] && dismiss
    local sent
    sent=$(now_ms)
    kill -TERM "$program_pid"
    ended_with 143 || return 1
    echo "   (ended $(($(now_ms) - sent)) ms after SIGTERM)"
    chord $key_print
    chord $key_volume_up
    sleep 0.5
    echo "   seen: without the program, Print: [$(shell_state)], volume up: $(shell_eval zuvelaVolume) activation(s)"
    [ -n "$(shell_state)" ] && dismiss
    expect_bindings_run
}
second_start && pass second_start || fail second_start
end_leftover

echo "gnome: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
