#!/usr/bin/env bash
# The download, built in two folders, is the same byte for byte, matches its checksums and names neither
# folder; the Readme is UTF-8 with a BOM. The exe: a window program for subsystem 6.0, terminal-server aware,
# with ASLR and no-execute data, needing only System32's DLLs, with the icon groups, version block and
# manifest that tests/expected/resources.txt writes out. Given an exe, it reads that one instead of building
# the download.
#   bash tests/package/download_test.sh [EXE]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "download_test: $*" >&2; exit 1; }

exe="${1:-}" zip=""
if [ -z "$exe" ]; then
  for build in first second-build; do
    bash "$root/scripts/package.sh" "$work/$build" >/dev/null
    (cd "$work/$build/dist" && sha256sum --check --quiet SHA256SUMS)
  done
  cmp "$work"/first/dist/*.zip "$work"/second-build/dist/*.zip
  zip="$(echo "$work"/first/dist/*.zip)"
  [ "$(unzip -Z1 "$zip" | tr '\n' ' ')" = "Belavo.exe Readme.txt " ] || fail "other files in the zip"
  exe="$work/Belavo.exe"
  unzip -p "$zip" Belavo.exe >"$exe"
  strings -a "$exe" | grep -F -e "$root" -e "$work" && fail "a build path in the exe"
  bom="$(unzip -p "$zip" Readme.txt | head -c 3 | od -An -tx1 | tr -d ' ')"
  [ "$bom" = efbbbf ] || fail "no BOM in Readme.txt"
fi

headers="$(x86_64-w64-mingw32-objdump -p "$exe")"
for wanted in "(Windows GUI)" $'MajorSubsystemVersion\t6' $'MinorSubsystemVersion\t0' TERMINAL_SERVICE_AWARE \
  HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  grep -qF "$wanted" <<<"$headers" || fail "not $wanted"
done
system32='kernel32|user32|gdi32|shell32|advapi32|comctl32|imm32|ole32|msvcrt'
sed -n 's/^\tDLL Name: //p' <<<"$headers" | grep -viE "^($system32)\.dll$" &&
  fail "needs a DLL from outside System32"

# The resources as text, with each icon's picture left out and the manifest unquoted.
x86_64-w64-mingw32-windres -i "$exe" -O rc |
  awk 'skip && /^END/ { skip = 0; next } !skip; /RT_ICON/ { skip = 1 }' |
  sed '/^  "/{s/^  "//; s/\\n"$//; s/""/"/g}' >"$work/resources.txt"
diff -u <(grep -v '^#' "$root/tests/expected/resources.txt") "$work/resources.txt" || fail "other resources"
[ -z "$zip" ] || echo "The download is reproducible and safe to run from a Downloads folder: ${zip##*/}"
