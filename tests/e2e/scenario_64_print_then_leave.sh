# A page asked for just before leaving is not lost: Ctrl+P, then Ctrl+X and Yes as soon as the notice has gone,
# with a print server slow to answer every connection. The program ends with 0 and the page arrives; the window
# is out of sight while the page is still on its way.

cups_dir=$(mktemp -d /tmp/zuvela-e2e-cups.XXXXXX)
chmod 755 "$cups_dir"
line=$("$here/../platform/cups_test_server.sh" start "$cups_dir") || { echo "   FAILED: no test printer"; return 1; }
export "$line"
export HOME="$cups_dir/home"  # no lpoptions of the developer's own
mkdir -p "$HOME"
export BROWSER=/bin/true

# Between the program and the scheduler: each connection is answered only after two seconds.
slow="$cups_dir/slow.sock"
/usr/bin/python3 -c 'import socket, sys, threading, time
listen, target = sys.argv[1], sys.argv[2]
def pipe(a, b):
    try:
        while (data := a.recv(65536)):
            b.sendall(data)
    except OSError:
        pass
    try:
        b.shutdown(socket.SHUT_WR)
    except OSError:
        pass
def serve(client):
    time.sleep(2)
    server = socket.socket(socket.AF_UNIX)
    server.connect(target)
    threading.Thread(target=pipe, args=(client, server), daemon=True).start()
    pipe(server, client)
s = socket.socket(socket.AF_UNIX)
s.bind(listen)
s.listen(16)
while True:
    threading.Thread(target=serve, args=(s.accept()[0],), daemon=True).start()' "$slow" "$CUPS_SERVER" &
proxy=$!
trap 'kill $proxy 2>/dev/null; "$here/../platform/cups_test_server.sh" stop "$cups_dir" >/dev/null 2>&1' RETURN

start_program env CUPS_SERVER="$slow" ./zuvela
wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
window=$(xdotool search --pid "$program_pid" | tail -n1)

click_scene 218 717   # yellow
click_canvas 5 5
sleep 0.4
xdotool key ctrl+p
sleep 3.5
xdotool key ctrl+x
sleep 0.5
click_scene 421 434   # Yes
out_of_sight() { ! program_alive || xprop -id "$window" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
wait_until 5000 out_of_sight || { echo "   FAILED: the window stayed in sight after Yes"; return 1; }
program_alive && echo "   ok: the window went out of sight while the page was on its way"
expect_end "exit 0" "Yes with the page on its way" || return 1

printed() { [ -s "$cups_dir/out.pdf" ] && [ -z "$(lpstat -o 2>/dev/null)" ] && lpstat -W completed -o 2>/dev/null | grep -q .; }
wait_until 60000 printed || { echo "   FAILED: the page asked for before Yes never arrived"; return 1; }
pages=$(pdfinfo "$cups_dir/out.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || { echo "   FAILED: $pages pages arrived"; return 1; }
echo "   ok: the page arrived after the program had ended"
