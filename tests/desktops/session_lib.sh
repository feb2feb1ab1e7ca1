# What the GNOME Shell and kwin session tests share: an ordinary user, a copy of the build folder the user may
# write to, a keyboard and mouse fed through a pipe that stays open for the whole session (a seat without a
# keyboard is no real seat: mutter forgets the keyboard focus when the last one goes), and the program started
# and ended as the sway test does it. Sourced after tests/e2e/lib.sh; the caller sets $name (for messages) and
# calls session_setup PROGRAM.

session_setup() {
    local program=$1
    # The desktops refuse to run as root, or do so badly: the session belongs to an ordinary user, made here when
    # the test runs as root.
    if [ "$(id -u)" -eq 0 ]; then
        user=zuvela-desktop
        id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" || return 1
        as_user_prefix=(setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups)
    else
        user=$(id -un)
        as_user_prefix=()
    fi
    session=$(mktemp -d "/tmp/zuvela-$name.XXXXXX")
    chmod 755 "$session"
    mkdir -p "$session/run" "$session/home" "$session/shots" "$session/bin"
    chmod 700 "$session/run"
    base_env=(HOME="$session/home" XDG_RUNTIME_DIR="$session/run" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8)
    session_env=()

    app="$session/app"
    mkdir -p "$app/MY_PICTURE"
    cp "$program" "$app/"
    cp -r "$(dirname "$program")"/{PICTURE,SOUND,MUSIC} "$app/"
    # The desktop entry under the name the window gives, as a package installs it: the desktop finds the
    # program's name, icon and permissions through it.
    mkdir -p "$session/home/.local/share/applications"
    sed -e "s/@ZUVELA_APP_ID@/$app_id/g" -e "s|^Exec=.*|Exec=$app/zuvela|" "$here/../../packaging/app.desktop.in" \
        >"$session/home/.local/share/applications/$app_id.desktop"
}

# Gives the session's files to its user, once everything is in place.
session_own() { [ "$(id -u)" -eq 0 ] && chown -R "$user" "$session/run" "$session/home" "$session/shots" "$app"; return 0; }

as_user() { env -i "${base_env[@]}" "${session_env[@]}" "${as_user_prefix[@]}" "$@"; }

app_id=org.zuvela.Zuvela

# The seat's keyboard and mouse: DRIVER... reads one command a line from the pipe held open by this shell.
connect_input() {
    mkfifo "$session/input"
    [ "$(id -u)" -eq 0 ] && chown "$user" "$session/input"
    as_user "$@" <"$session/input" >>"$session/input.out" 2>>"$session/input.log" &
    input_pid=$!
    exec 7>"$session/input"
    input sync
}
synced=0
input() {
    echo "$*" >&7
    [ "$1" = sync ] || return 0
    synced=$((synced + 1))
    acknowledged() { [ "$(grep -c '^ok$' "$session/input.out" 2>/dev/null)" -ge "$synced" ]; }
    wait_until 5000 acknowledged || echo "   note: the input driver did not answer ($(tail -n1 "$session/input.log"))"
}
# chord CODE...: evdev key codes pressed in order and released in reverse, as fingers do.
chord() {
    local code
    for code in "$@"; do input down "$code"; done
    for ((i = $#; i >= 1; i--)); do input up "${!i}"; done
    input sync
}
key_esc=1 key_ctrl=29 key_alt=56 key_super=125 key_return=28 key_a=30 key_d=32 key_x=45
key_f2=60 key_print=99 key_volume_up=115

# Starts the program as the session starts an application: no video driver named, the session's variables.
start_program() {
    log_mark=$(wc -l <"$compositor_log")
    starts=$((${starts:-0} + 1))
    [ -e "$session/zuvela.log" ] && mv "$session/zuvela.log" "$session/zuvela-$((starts - 1)).log"
    (cd "$app" && exec env -i "${base_env[@]}" "${session_env[@]}" SDL_AUDIODRIVER=dummy WAYLAND_DEBUG=client \
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
# A scenario that failed may leave the program running; the next one starts without it.
end_leftover() {
    [ -n "${program_pid:-}" ] || return 0
    kill -KILL "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=
}

# The program's shortcuts inhibitor, as the compositor's protocol log ($compositor_log, written with
# WAYLAND_DEBUG=server) tells: whether the program asked for one since it started last, and whether the
# compositor made the last one it asked for active. (The program's own log shows no event for an object it
# gave no listener.) Object ids come back in every run, so only the log since the start counts.
since_start() { tail -n +"$((log_mark + 1))" "$compositor_log"; }
inhibitor_asked() { since_start | grep -q 'inhibit_shortcuts(new id zwp_keyboard_shortcuts_inhibitor_v1@'; }
inhibitor_active() {
    since_start | awk '
        /inhibit_shortcuts\(new id zwp_keyboard_shortcuts_inhibitor_v1@/ {
            id = $0; sub(/.*inhibitor_v1@/, "", id); sub(/[^0-9].*/, "", id); active = 0 }
        id != "" && index($0, "-> zwp_keyboard_shortcuts_inhibitor_v1@" id ".active()") { active = 1 }
        id != "" && index($0, "-> zwp_keyboard_shortcuts_inhibitor_v1@" id ".inactive()") { active = 0 }
        END { exit !active }'
}

panel_pixel() { scene_pixel "$1" 317 264; }  # a corner of either panel
# expect_panel WHAT SHOT ASSET X Y TOLERANCE: waits until the panel corner shows that asset pixel; the caller
# defines shot NAME, which prints the file it wrote.
expect_panel() {
    local name=$2 tolerance=$6 want seen=
    want=$(asset_pixel "$3" "$4" "$5")
    panel_shows() { seen=$(panel_pixel "$(shot "$name")") && near "$seen" "$want" "$tolerance"; }
    wait_until 8000 panel_shows
    expect_near "$1" "$seen" "$want" "$tolerance"
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
