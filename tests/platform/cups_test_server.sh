#!/usr/bin/env bash
# A private CUPS scheduler for tests: its own configuration, spool, logs and queues inside one folder, reachable
# only through a unix socket in that folder. The machine's own CUPS (if any) is neither used nor touched.
#
#   cups_test_server.sh start DIR        Starts cupsd for DIR (created if missing; queues, jobs, logs and
#                                        PDFs of an earlier run there are removed first) with one queue,
#                                        `zuvela-test`, the server's default destination, on the Generic PDF
#                                        Printer driver (US Letter by default). Every job's output is written to
#                                        DIR/out.pdf (each job replaces the file). On success prints exactly one
#                                        line on stdout:  CUPS_SERVER=DIR/run/cups.sock
#                                        Point libcups (and lp, lpstat, lpadmin ...) at the server with
#                                        `export CUPS_SERVER=DIR/run/cups.sock`; the folder run/ is reachable by
#                                        the current user only.
#   cups_test_server.sh queue DIR NAME [PPD]
#                                        Adds another queue NAME (not the default) writing to DIR/NAME.pdf, on
#                                        the given driver file (default: the Generic PDF Printer).
#   cups_test_server.sh stop DIR         Stops the server (waits at most 10 s, then kills it). DIR stays, with
#                                        the logs in DIR/log/, for looking at afterwards. Stopping a server that
#                                        is not running is not an error.
#
# What arrives in DIR/out.pdf is the sheet as the printer would get it: the driver's PDF, after a PJL header
# (poppler's pdfinfo and pdftoppm read past it), with the page in the paper's own orientation. A landscape page
# therefore comes out as a portrait sheet with the content turned a quarter counter-clockwise (IPP landscape).
# A job is finished when `lpstat -o` (with CUPS_SERVER set) no longer lists it; `lpstat -W completed -o` lists
# the finished ones. Poll for that rather than for the file, which grows while the job runs.
#
# Exit status 0 on success; otherwise a reason on stderr (see DIR/log/error_log). Runs as the current user;
# as root, the filters run as the `lp` user, so DIR is made world-readable and must be reachable by `lp` (a
# folder under /tmp is). DIR/run/cups.sock must stay shorter than 100 characters (a unix socket path limit).
# The scheduler allows everything to whoever reaches the socket, so the socket's folder is private. Needs the
# Debian packages cups-daemon, cups-client, cups-filters (scripts/install-deps.sh installs them).
set -uo pipefail

usage() {
    sed -n '2,/^set -uo/{/^#/p}' "$0" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
dir=$2

fail() {
    echo "cups_test_server: $*" >&2
    exit 1
}

absolute() {
    mkdir -p "$1" || fail "cannot create $1"
    (cd "$1" && pwd -P)
}

# The driver: the generic PDF printer of cups-filters. Given by file so that no driver listing is needed.
find_ppd() {
    local candidate
    for candidate in /usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd \
                     /usr/share/cups/model/Generic-PDF_Printer-PDF.ppd \
                     /usr/share/ppd/cups-filters/Generic-PDF_Printer-PDF.ppd; do
        [ -r "$candidate" ] && { echo "$candidate"; return 0; }
    done
    return 1
}

server_pid() {
    local pid
    [ -f "$dir/cupsd.pid" ] || return 1
    pid=$(cat "$dir/cupsd.pid" 2>/dev/null) || return 1
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
    # Only our own cupsd: its command line names our configuration file.
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$dir/cupsd.conf" || return 1
    echo "$pid"
}

add_queue() {  # NAME OUTPUT_FILE [default] [PPD]
    local name=$1 output=$2 ppd=${4:-}
    [ -n "$ppd" ] || ppd=$(find_ppd) || fail "the Generic PDF Printer driver is missing (install cups-filters)"
    [ -r "$ppd" ] || fail "cannot read the driver $ppd"
    rm -f "$output"
    CUPS_SERVER="$dir/run/cups.sock" lpadmin -h "$dir/run/cups.sock" -p "$name" -E -v "file://$output" -P "$ppd" \
        >>"$dir/log/lpadmin.log" 2>&1 || fail "lpadmin could not create $name (see $dir/log/lpadmin.log)"
    if [ "${3:-}" = default ]; then
        CUPS_SERVER="$dir/run/cups.sock" lpadmin -h "$dir/run/cups.sock" -d "$name" >>"$dir/log/lpadmin.log" 2>&1 ||
            fail "lpadmin could not make $name the default"
    fi
}

stop_server() {
    local pid
    pid=$(server_pid) || return 0
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    return 0
}

case "$command" in
start)
    for tool in cupsd lpadmin lpstat; do
        command -v "$tool" >/dev/null || [ -x "/usr/sbin/$tool" ] ||
            fail "$tool is missing (scripts/install-deps.sh installs cups, cups-client, cups-bsd)"
    done
    export PATH="$PATH:/usr/sbin:/sbin"
    dir=$(absolute "$dir")
    socket="$dir/run/cups.sock"
    [ ${#socket} -lt 100 ] || fail "$socket is too long for a unix socket"
    find_ppd >/dev/null || fail "the Generic PDF Printer driver is missing (install cups-filters)"

    stop_server
    rm -rf "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/ppd" "$dir/ssl" "$dir"/*.pdf \
           "$dir/printers.conf"* "$dir/classes.conf"* "$dir/subscriptions.conf"* "$dir/cupsd.pid" "$dir/run"
    mkdir -p "$dir/spool/temp" "$dir/cache" "$dir/state" "$dir/log" "$dir/ppd" "$dir/ssl" || fail "cannot fill $dir"
    mkdir -m 0700 "$dir/run" || fail "cannot create $dir/run"

    user=$(id -un)
    group=$(id -gn)
    if [ "$(id -u)" -eq 0 ]; then
        # The scheduler runs its filters as lp: they read the driver and the spooled files in DIR.
        chmod 0755 "$dir" "$dir/spool" "$dir/cache" "$dir/state" "$dir/ppd"
        if command -v runuser >/dev/null && id lp >/dev/null 2>&1; then
            runuser -u lp -- test -x "$dir" || fail "$dir is not reachable by the lp user; choose a folder under /tmp"
        fi
        run_as="User lp
Group lp"
        system_group="SystemGroup root"
    else
        run_as="User $user
Group $group"
        system_group="SystemGroup $group"
    fi

    cat >"$dir/cups-files.conf" <<EOF
# Written by cups_test_server.sh
$run_as
$system_group
FileDevice Yes
Printcap $dir/printcap
ServerRoot $dir
StateDir $dir/state
CacheDir $dir/cache
RequestRoot $dir/spool
TempDir $dir/spool/temp
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
ServerKeychain $dir/ssl
CreateSelfSignedCerts No
EOF

    cat >"$dir/cupsd.conf" <<EOF
# Written by cups_test_server.sh: a unix socket only, no browsing, no authentication.
Listen $socket
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultEncryption Never
LogLevel info
MaxLogSize 0
PreserveJobHistory Yes
PreserveJobFiles No
JobRetryLimit 0
ErrorPolicy abort-job
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

    # Foreground mode keeps the process ours (its pid in the pid file); the subshell lets it outlive us.
    (
        cd "$dir" || exit 1
        exec setsid cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
            </dev/null >>"$dir/log/cupsd.out" 2>&1
    ) &
    launcher=$!
    echo "$launcher" >"$dir/cupsd.pid"

    for _ in $(seq 1 100); do
        [ -S "$socket" ] && CUPS_SERVER="$socket" lpstat -h "$socket" -r >/dev/null 2>&1 && break
        kill -0 "$launcher" 2>/dev/null || fail "cupsd ended at once (see $dir/log/cupsd.out and $dir/log/error_log)"
        sleep 0.1
    done
    CUPS_SERVER="$socket" lpstat -h "$socket" -r >/dev/null 2>&1 ||
        { stop_server; fail "cupsd did not answer within 10 s (see $dir/log/error_log)"; }

    add_queue zuvela-test "$dir/out.pdf" default
    echo "CUPS_SERVER=$socket"
    ;;
queue)
    [ $# -ge 3 ] || usage
    export PATH="$PATH:/usr/sbin:/sbin"
    dir=$(absolute "$dir")
    server_pid >/dev/null || fail "no server is running for $dir"
    add_queue "$3" "$dir/$3.pdf" "" "${4:-}"
    ;;
stop)
    [ -d "$dir" ] || exit 0
    dir=$(cd "$dir" && pwd -P)
    stop_server
    ;;
*)
    usage
    ;;
esac
