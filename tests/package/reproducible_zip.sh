#!/usr/bin/env bash
# The download, built in two build folders of different names, is the same
# byte for byte; its checksum file matches it; the exe inside names neither
# the sources' nor the build's folder; Notepad reads the Readme as UTF-8.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for build in first second-build; do
  bash "$root/scripts/package.sh" "$work/$build" >/dev/null
  (cd "$work/$build/dist" && sha256sum --check --quiet SHA256SUMS)
done
cmp "$work"/first/dist/*.zip "$work"/second-build/dist/*.zip

zip="$(echo "$work"/first/dist/*.zip)"
[ "$(unzip -Z1 "$zip" | tr '\n' ' ')" = "Belavo.exe Readme.txt " ]
if unzip -p "$zip" Belavo.exe | strings -a | grep -F -e "$root" -e "$work"; then exit 1; fi
[ "$(unzip -p "$zip" Readme.txt | head -c 3 | od -An -tx1 | tr -d ' ')" = efbbbf ]
echo "The download is reproducible: $(basename "$zip")"
