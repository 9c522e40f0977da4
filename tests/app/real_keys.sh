#!/usr/bin/env bash
# Alt+C and Alt+Q typed on the X server's keyboard reach the program through
# Wine as they would from a person: the check runs, then the program ends.
# Usage: real_keys.sh <Belavo.exe> <probe.exe>   (inside a Wine session)
set -euo pipefail
belavo="$1" probe="$2"
label8=109 label7=108   # Label8 and Label7 in main_window_ids.hpp

wine "$belavo" & app=$!
trap 'kill $app 2>/dev/null || true' EXIT
wine "$probe" wait
wine "$probe" foreground
desktop=$(xdotool search --name 'Wine desktop' | head -n 1)
[ -n "$desktop" ] || desktop=$(xdotool search --onlyvisible --name 'Belavo' | head -n 1)
xdotool windowfocus --sync "$desktop"

xdotool key --delay 50 alt+c
sleep 0.5
bmi=$(wine "$probe" text $label8 | tr -d '\r')
standard=$(wine "$probe" text $label7 | tr -d '\r')
echo "after Alt+C: BMI '$bmi', standard weight '$standard'"
[ "$bmi" = 21 ] && [ "$standard" = 58 ] || { echo "FAIL: Alt+C did not run the check"; exit 1; }

xdotool key --delay 50 alt+q
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
if kill -0 $app 2>/dev/null; then echo "FAIL: Alt+Q did not end the program"; exit 1; fi
echo "1 passed, 0 failed"
