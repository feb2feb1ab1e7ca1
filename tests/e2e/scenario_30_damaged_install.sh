# A missing picture file ends the program right after the main window shows, with a line for the parent.

mv "$app/PICTURE/ZVUCNIK2.JPG" "$app/ZVUCNIK2.JPG.away"
start_program
ended=1
for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || { ended=0; break; }
    sleep 0.1
done
wait "$program_pid"
status=$?
program_pid=""
mv "$app/ZVUCNIK2.JPG.away" "$app/PICTURE/ZVUCNIK2.JPG"
[ "$ended" -eq 0 ] || { echo "   FAILED: the program did not end"; return 1; }
[ "$status" -ne 0 ] || { echo "   FAILED: exit status 0"; return 1; }
grep -q "PICTURE/ZVUCNIK2.JPG is missing" "$e2e_out/zuvela.log" || { echo "   FAILED: no line naming the file"; return 1; }
echo "   ok: ended with status $status: $(cat "$e2e_out/zuvela.log")"
