# Helpers shared by the end-to-end scenarios.

passed=0
failed=0
screen_w=1280
screen_h=1024

start_desktop() {
    local out=$1
    exec 5>"$out/display.txt"
    Xvfb -displayfd 5 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        [ -s "$out/display.txt" ] && break
        sleep 0.1
    done
    [ -s "$out/display.txt" ] || { echo "e2e: Xvfb did not start"; return 1; }
    export DISPLAY=":$(head -n1 "$out/display.txt")"
    openbox >"$out/openbox.log" 2>&1 &
    wm_pid=$!
    sleep 1
    export SDL_AUDIODRIVER=dummy
    e2e_out=$out
}

stop_desktop() {
    stop_program
    kill "$wm_pid" "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}

# The program runs under a small keeper that records how it ended, so that a clean exit with 128 + 15 after
# SIGTERM is told apart from death by the signal itself (a shell sees 143 both ways). The keeper restores the
# default dispositions a background job inherits ignored, so SIGINT reaches the program as it does from a
# terminal. Its id and its end go through files: scenarios run in subshells, which cannot set the harness's
# variables.
keeper='
    my ($pid_file, $end_file, @command) = @ARGV;
    $SIG{$_} = "DEFAULT" for qw(INT QUIT TERM HUP);
    my $pid = fork() // die "fork: $!";
    if ($pid == 0) { exec { $command[0] } @command; exit 127 }
    open(my $f, ">", "$pid_file.new") or die; print $f "$pid\n"; close $f; rename "$pid_file.new", $pid_file;
    waitpid($pid, 0);
    my $s = $?;
    my $end = ($s & 127) ? "signal " . ($s & 127) . (($s & 128) ? " (core dumped)" : "") : "exit " . ($s >> 8);
    open($f, ">", "$end_file.new") or die; print $f "$end\n"; close $f; rename "$end_file.new", $end_file;
'

# A failure noted outside the scenario's own checks (a program that crashed or would not end); the harness
# fails the scenario for it whatever the scenario saw.
note_failure() {
    echo "   FAILED: $1"
    echo "$1" >>"$e2e_out/failures.txt"
}

# start_program [COMMAND...]: the program in $app, or the command given, which must exec it.
start_program() {
    [ -e "$e2e_out/program.pid" ] && { stop_program || note_failure "the previous program did not end cleanly"; }
    rm -f "$e2e_out/program.end"
    [ $# -gt 0 ] || set -- ./zuvela
    (cd "$app" && exec perl -e "$keeper" "$e2e_out/program.pid" "$e2e_out/program.end" "$@" \
        >"$e2e_out/zuvela.log" 2>&1) &
    keeper_pid=$!
    wait_until 30000 test -s "$e2e_out/program.pid" || { note_failure "the program did not start"; return 1; }
    program_pid=$(cat "$e2e_out/program.pid")
    started_at=$(now_ms)
}

# "exit N" or "signal N" once the program started last has ended; nothing while it runs.
program_end() { cat "$e2e_out/program.end" 2>/dev/null; }
program_alive() { [ -e "$e2e_out/program.pid" ] && [ ! -e "$e2e_out/program.end" ]; }

# expect_alive WHAT: the program started last still runs.
expect_alive() {
    program_alive && return 0
    note_failure "the program ended ${1:+($1) }with $(program_end)"
    return 1
}

# expect_end "exit N" [WHAT]: waits (generously) for the program started last to end, and checks how it ended.
expect_end() {
    local want=$1 what=${2:-}
    [ -e "$e2e_out/program.pid" ] || { note_failure "no program to end"; return 1; }
    if ! wait_until 30000 test -e "$e2e_out/program.end"; then
        note_failure "the program did not end${what:+ ($what)}"
        return 1
    fi
    local got; got=$(program_end)
    rm -f "$e2e_out/program.pid"
    if [ "$got" = "$want" ]; then
        echo "   ok: ended${what:+ ($what)} with $got"
    else
        note_failure "the program ended${what:+ ($what)} with $got, expected $want"
        return 1
    fi
}

# end_by_signal SIGNAL: the program must still run, and must leave cleanly with 128 + the signal's number.
end_by_signal() {
    local sig=$1 number
    number=$(kill -l "$sig")
    expect_alive "before SIG$sig" || { rm -f "$e2e_out/program.pid"; return 1; }
    local pid; pid=$(cat "$e2e_out/program.pid")
    local sent; sent=$(now_ms)
    kill -s "$sig" "$pid"
    if ! wait_until 30000 test -e "$e2e_out/program.end"; then
        note_failure "the program ignored SIG$sig; killed"
        kill -KILL "$pid" 2>/dev/null
        wait_until 10000 test -e "$e2e_out/program.end"
        rm -f "$e2e_out/program.pid"
        return 1
    fi
    echo "   measured: SIG$sig ended the program after $(( $(now_ms) - sent )) ms"
    expect_end "exit $(( 128 + number ))" "SIG$sig"
}

# Ends the program started last with SIGTERM and checks that it was running and left cleanly with 128 + 15.
# Nothing to do when the scenario has already seen it end.
stop_program() {
    [ -e "$e2e_out/program.pid" ] || return 0
    end_by_signal TERM
}

# The clock without a process: the digits of EPOCHREALTIME are microseconds whatever the locale's decimal point.
now_ms() { echo $(( ${EPOCHREALTIME//[!0-9]/} / 1000 )); }
ms_since_start() { echo $(( $(now_ms) - started_at )); }

# Screenshots are binary PPM, cheap to write and to read a pixel from; they open in any image viewer, and the
# harness adds a PNG of each when a scenario fails.
shot() { import -window root -depth 8 "ppm:$e2e_out/$1.ppm"; echo "$e2e_out/$1.ppm"; }

# "R G B" of a pixel of a screenshot or of a picture file; nothing, and a failure, outside the picture.
pixel() {
    local file=$1 x=$2 y=$3
    if [[ "$file" != *.ppm ]]; then
        convert "$file" -crop "1x1+$x+$y" -depth 8 txt:- | tail -n1 | sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/'
        return
    fi
    # P6 as ImageMagick and grim write it: three header lines, then three bytes a pixel, row by row.
    local magic size maxval rgb
    { read -r magic && read -r size && read -r maxval; } <"$file" 2>/dev/null || return 1
    [ "$magic" = P6 ] && [ "$maxval" = 255 ] || { echo "e2e: $file is not an 8-bit P6 picture" >&2; return 1; }
    local w=${size% *} h=${size#* }
    (( x >= 0 && x < w && y >= 0 && y < h )) || return 1
    rgb=($(od -An -tu1 -j $(( ${#magic} + ${#size} + ${#maxval} + 3 + (y * w + x) * 3 )) -N3 "$file"))
    [ "${#rgb[@]}" -eq 3 ] || return 1
    echo "${rgb[*]}"
}

# The scene is 1024 × 768, scaled to the screen with its aspect kept and centred between black bars.
set_screen() {
    screen_w=$1
    screen_h=$2
    view_w=$(( screen_w * 768 < screen_h * 1024 ? screen_w : (screen_h * 1024 + 384) / 768 ))
    view_h=$(( (view_w * 768 + 512) / 1024 ))
    view_x=$(( (screen_w - view_w) / 2 ))
    view_y=$(( (screen_h - view_h) / 2 ))
}
set_screen "$screen_w" "$screen_h"
# The middle of a scene pixel on the screen.
scene_x() { echo $(( view_x + (2 * $1 + 1) * view_w / 2048 )); }
scene_y() { echo $(( view_y + (2 * $1 + 1) * view_h / 1536 )); }
scene_pixel() { pixel "$1" $(( view_x + (2 * $2 + 1) * view_w / 2048 )) $(( view_y + (2 * $3 + 1) * view_h / 1536 )); }
# Canvas pixels: the canvas lies at (30, 29) in the scene.
canvas_pixel() { scene_pixel "$1" $(( $2 + 30 )) $(( $3 + 29 )); }

near() {  # near "R G B" "R G B" [tolerance]
    local a=($1) b=($2) tol=${3:-40}
    for i in 0 1 2; do
        local d=$(( a[i] - b[i] ))
        [ ${d#-} -le "$tol" ] || return 1
    done
}

expect_near() {  # expect_near WHAT "actual" "expected" [tolerance]
    if near "$2" "$3" "${4:-40}"; then
        echo "   ok: $1 ($2)"
    else
        echo "   FAILED: $1: got ($2), expected about ($3)"
        return 1
    fi
}

move_scene() { xdotool mousemove "$(scene_x "$1")" "$(scene_y "$2")"; }
click_scene() { move_scene "$1" "$2"; sleep 0.1; xdotool click 1; }
click_canvas() { click_scene $(( $1 + 30 )) $(( $2 + 29 )); }

# wait_until TIMEOUT_MS COMMAND...: polls until the command succeeds.
wait_until() {
    local deadline=$(( ${EPOCHREALTIME//[!0-9]/} / 1000 + $1 ))
    shift
    while true; do
        "$@" && return 0
        [ $(( ${EPOCHREALTIME//[!0-9]/} / 1000 )) -gt "$deadline" ] && return 1
        sleep 0.1
    done
}

# Results that depend only on the committed pictures, worked out once per output folder: decoding a picture or
# comparing two is costly, and checks ask the same again on every retry.
cached() {  # cached KEY COMMAND...: the command's output, from the cache when it has been worked out before
    local file="$e2e_out/cache/${1//\//_}" value
    shift
    if [ -s "$file" ]; then
        read -r value <"$file"
    else
        value=$("$@")  # under pipefail a pipeline cut short by head fails; what it printed is the answer
        [ -n "$value" ] || return 1
        [ -d "$e2e_out/cache" ] || mkdir -p "$e2e_out/cache"
        echo "$value" >"$file.$BASHPID" && mv -f "$file.$BASHPID" "$file"
    fi
    echo "$value"
}

# The colour of a picture file's pixel, for comparing what the screen shows with the asset itself.
asset_pixel() { cached "pixel_$1_$2_$3" pixel "$assets/$1" "$2" "$3"; }

pass() { passed=$((passed + 1)); echo "   passed"; }
fail() { failed=$((failed + 1)); echo "   FAILED: $1"; }
summary() {
    echo "e2e: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

wait_for_main_screen() {
    # The splash stays about three seconds (the start-up scenario checks that it does not go sooner): screenshots
    # in its first two seconds would only show the splash again.
    if [ -n "${started_at:-}" ]; then
        local early=$(( started_at + 2000 - ${EPOCHREALTIME//[!0-9]/} / 1000 ))
        if [ "$early" -gt 0 ]; then
            printf -v early '%d.%03d' $(( early / 1000 )) $(( early % 1000 ))
            sleep "$early"
        fi
    fi
    main_shown() {
        local s; s=$(shot main)
        near "$(canvas_pixel "$s" 300 438)" "255 255 255" 20 &&
            near "$(scene_pixel "$s" 50 717)" "$(asset_pixel PICTURE/BOJE1_01.JPG 42 42)" 50
    }
    wait_until 30000 main_shown
}

# Presses the left button at one canvas point, drags to another in small steps and lets go.
drag_canvas() {
    local x0=$1 y0=$2 x1=$3 y1=$4 steps=12
    move_scene $(( x0 + 30 )) $(( y0 + 29 ))
    xdotool mousedown 1
    for i in $(seq 1 $steps); do
        move_scene $(( x0 + 30 + (x1 - x0) * i / steps )) $(( y0 + 29 + (y1 - y0) * i / steps ))
        sleep 0.02
    done
    xdotool mouseup 1
}

# "x y" of a point where two pictures of the same size differ most (blurred, so not a lone JPEG speck).
differing_point() { cached "differ_$1_$2" find_differing_point "$1" "$2"; }
find_differing_point() {
    convert "$assets/$1" "$assets/$2" -compose difference -composite -blur 0x2 -colorspace gray -depth 8 txt:- |
        tail -n +2 | sed -E 's/^([0-9]+),([0-9]+): \(([0-9.]+).*/\3 \1 \2/' | sort -n -r | head -1 | cut -d' ' -f2-
}

distance2() {  # distance2 "R G B" "R G B": squared distance
    local a=($1) b=($2)
    echo $(( (a[0]-b[0])**2 + (a[1]-b[1])**2 + (a[2]-b[2])**2 ))
}

# expect_look WHAT SHOT LEFT TOP REST HOVER lit|rest: the control at LEFT, TOP (scene) shows the one look.
# eventually CHECK...: retries a check quietly for up to ten seconds while a busy machine lets the program catch
# up; the try that passed speaks for it, or else one more try after the last gives the verdict. A check that
# takes its own screenshot sees a fresh one each try.
eventually() {
    local deadline=$(( ${EPOCHREALTIME//[!0-9]/} / 1000 + 10000 )) said="$e2e_out/eventually.txt"
    until "$@" >"$said" 2>&1; do
        if [ $(( ${EPOCHREALTIME//[!0-9]/} / 1000 )) -gt "$deadline" ]; then
            "$@"
            return
        fi
        sleep 0.2
    done
    cat "$said"
}

# look_now WHAT SHOT_NAME LEFT TOP REST HOVER lit|rest: expect_look on a screenshot taken now.
look_now() { expect_look "$1" "$(shot "$2")" "${@:3}"; }

expect_look() {
    local what=$1 s=$2 left=$3 top=$4 rest=$5 hover=$6 want=$7
    local p; p=($(differing_point "$rest" "$hover"))
    local seen; seen=$(scene_pixel "$s" $(( left + p[0] )) $(( top + p[1] )))
    local d_rest d_hover
    d_rest=$(distance2 "$seen" "$(asset_pixel "$rest" "${p[0]}" "${p[1]}")")
    d_hover=$(distance2 "$seen" "$(asset_pixel "$hover" "${p[0]}" "${p[1]}")")
    if { [ "$want" = lit ] && [ "$d_hover" -lt "$d_rest" ]; } || { [ "$want" = rest ] && [ "$d_rest" -lt "$d_hover" ]; }; then
        echo "   ok: $what $want"
    else
        echo "   FAILED: $what should be $want (screen $seen at ${p[*]})"
        return 1
    fi
}
