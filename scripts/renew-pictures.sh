#!/usr/bin/env bash
# Renews the reference pictures of the windows for the Wine version of this machine
# (tests/pictures/<set>/wine-<major>), after a change meant to alter what they look like:
# builds the program and keeps what each window shows in the test session's prefixes.
# Look at every picture before committing it. For the other Debian release's Wine:
#   sudo bash scripts/in-debian.sh trixie bash scripts/renew-pictures.sh
# and copy the pictures out of build/debian/trixie/root/belavo/tests/pictures.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start build/wine-prefix virtual profiles
rm -rf tests/pictures/*/"wine-$(wine --version | sed 's/^wine-\([0-9]*\).*/\1/')"
GTEST_FILTER='*Picture*' BELAVO_RENEW_PICTURES=1 ctest --preset mingw -R 'main_window_tests|picture_tests'
git status --short tests/pictures
