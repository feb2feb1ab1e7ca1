# A missing picture file ends the program right after the main window shows, with a line for the parent and
# the start-up check's own status.

mv "$app/PICTURE/ZVUCNIK2.JPG" "$app/ZVUCNIK2.JPG.away"
start_program
expect_end "exit 3" "the start-up check"
ended=$?
mv "$app/ZVUCNIK2.JPG.away" "$app/PICTURE/ZVUCNIK2.JPG"
[ "$ended" -eq 0 ] || return 1
grep -q "PICTURE/ZVUCNIK2.JPG is missing" "$e2e_out/zuvela.log" || { echo "   FAILED: no line naming the file"; return 1; }
echo "   ok: the parent reads: $(cat "$e2e_out/zuvela.log")"
