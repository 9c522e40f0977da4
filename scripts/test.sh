#!/usr/bin/env bash
# Builds everything and runs every test: the core natively, a fixed fuzz run of
# the number reader, then Belavo.exe, its download (built
# twice, to show it reproducible) and its tests under Wine on a virtual display
# of their own. Installs what is missing first.
#   BELAVO_FUZZ_RUNS      fuzz inputs (default 30000; 0 skips fuzzing)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh

echo "== The assessment core, natively"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

if [ "${BELAVO_FUZZ_RUNS:-}" != 0 ]; then
  echo "== Fuzzing the core"
  sh scripts/fuzz.sh
fi

echo "== Belavo.exe and its tests under Wine"
cmake --preset mingw >/dev/null
cmake --build --preset mingw

echo "== The download for Windows users, built twice"
bash tests/package/download_test.sh

source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start build/wine-prefix virtual profiles
ctest --preset mingw
