# Ctrl+P when the snapshot cannot be written (its folder a link to a folder elsewhere): the notice shows, one
# page is printed all the same, the file behind the link stays as it was, and one line says why.

cups_dir=$(mktemp -d /tmp/zuvela-e2e-cups.XXXXXX)
chmod 755 "$cups_dir"
line=$("$here/../platform/cups_test_server.sh" start "$cups_dir") || { echo "   FAILED: no test printer"; return 1; }
export "$line"
export HOME="$cups_dir/home"
mkdir -p "$HOME" "$cups_dir/elsewhere"
printf 'old snapshot' >"$cups_dir/elsewhere/01.GIF"
mv "$app/MY_PICTURE" "$app/MY_PICTURE.kept"
ln -s "$cups_dir/elsewhere" "$app/MY_PICTURE"
trap 'rm -f "$app/MY_PICTURE"; mv "$app/MY_PICTURE.kept" "$app/MY_PICTURE"
      "$here/../platform/cups_test_server.sh" stop "$cups_dir" >/dev/null 2>&1' RETURN

start_program
wait_for_main_screen || wait_for_main_screen || { echo "   FAILED: no main screen"; return 1; }
sleep 3.5
xdotool key ctrl+p
notice_shown() { near "$(scene_pixel "$(shot printing_unkept)" 330 270)" "$(asset_pixel PICTURE/PRINTING.JPG 18 11)" 60; }
wait_until 10000 notice_shown || { echo "   FAILED: no printing notice"; return 1; }
echo "   ok: the printing notice"

printed() { [ -s "$cups_dir/out.pdf" ] && [ -z "$(lpstat -o 2>/dev/null)" ] && lpstat -W completed -o 2>/dev/null | grep -q .; }
wait_until 60000 printed || { echo "   FAILED: no page arrived"; return 1; }
pages=$(pdfinfo "$cups_dir/out.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || { echo "   FAILED: $pages pages arrived"; return 1; }
[ "$(cat "$cups_dir/elsewhere/01.GIF")" = "old snapshot" ] || { echo "   FAILED: the file behind the link changed"; return 1; }
[ "$(ls -A "$cups_dir/elsewhere")" = "01.GIF" ] || { echo "   FAILED: something was written behind the link"; return 1; }
said=$(grep -c "01.GIF" "$e2e_out/zuvela.log")
[ "$said" -eq 1 ] || { echo "   FAILED: $said lines about the snapshot"; cat "$e2e_out/zuvela.log"; return 1; }
echo "   ok: one page printed, the linked folder untouched: $(grep "01.GIF" "$e2e_out/zuvela.log")"

end_by_signal TERM
