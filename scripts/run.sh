#!/usr/bin/env bash
# Builds Belavo.exe and starts it under Wine. With a display, the window opens
# there. Without one, it runs on a virtual display, a screenshot is saved and
# its path printed; the program keeps running until you press Enter (when run
# from a terminal), so that you can watch it live through a VNC viewer.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Belavo
exe="$root/build/mingw/app/Belavo.exe"
# The main window's caption, as this build names it.
caption="$(sed -n 's/^#define BELAVO_PRODUCT_NAME "\(.*\)"$/\1/p' build/mingw/identity/version.h)"

source scripts/wine-session.sh
trap wine_session_stop EXIT
if [ -n "${DISPLAY:-}" ]; then
  wine_session_start build/wine-prefix
  wine "$exe"
  exit 0
fi

wine_session_start build/wine-prefix virtual
wine "$exe" &
for _ in $(seq 100); do
  xdotool search --name "^$caption\$" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
shot="$root/build/belavo-screenshot.png"
import -window root "$shot"
echo "Belavo is running on the virtual display $DISPLAY."
echo "Screenshot: $shot"
echo "To watch and use it live: apt-get install x11vnc, run 'x11vnc -display $DISPLAY -localhost -nopw'"
echo "in another terminal, and point a VNC viewer at localhost:5900."
if [ -t 0 ]; then
  read -r -p "Press Enter to end Belavo. " _
fi
