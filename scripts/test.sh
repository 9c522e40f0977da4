#!/usr/bin/env bash
# Builds everything and runs every test: the core natively, a bounded fuzz run
# of the number reader and the whole check, then Belavo.exe, its download
# (built twice, to show it reproducible) and its tests under Wine on a virtual
# display of their own. Installs what is missing first.
#   BELAVO_FUZZ_SECONDS   seconds per fuzz target (default 30; 0 skips fuzzing)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/deps.sh

echo "== The assessment core, natively"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

fuzz_seconds="${BELAVO_FUZZ_SECONDS:-30}"
if [ "$fuzz_seconds" != 0 ]; then
  echo "== Fuzzing the core for ${fuzz_seconds} s per target"
  bash core/fuzz/run.sh "$fuzz_seconds"
fi

echo "== Belavo.exe and its tests under Wine"
cmake --preset mingw >/dev/null
cmake --build --preset mingw

echo "== The download for Windows users, built twice"
bash tests/package/reproducible_zip.sh

source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start build/wine-prefix virtual
ctest --preset mingw
