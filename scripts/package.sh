#!/usr/bin/env bash
# Builds the download for Windows users in <build folder>/dist:
# Belavo-<version>-win64.zip (Belavo.exe and Readme.txt) and SHA256SUMS.
#   scripts/package.sh [build folder]   (default build/package)
# The same commit gives the same bytes on any machine with these Debian
# packages: the exe holds no link time or build path, and every entry of the
# zip has a fixed time (the commit's), order and attributes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath -m "${1:-$root/build/package}")"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DBELAVO_TESTS=OFF -DBELAVO_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target Belavo

# The version is written once, in project(); the download names
# major.minor.revision.
cache_value() { sed -n "s/^CMAKE_PROJECT_VERSION_$1:STATIC=//p" "$build/CMakeCache.txt"; }
version="$(cache_value MAJOR).$(cache_value MINOR).$(cache_value TWEAK)"
name="Belavo-$version-win64.zip"
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}"

dist="$build/dist"
rm -rf "$dist" && mkdir -p "$dist"
python3 - "$build/app/Belavo.exe" "$build/app/Readme.txt" "$epoch" "$dist/$name" <<'PY'
import sys, time, zipfile
exe, readme, epoch, out = sys.argv[1:]
text = open(readme, encoding="utf-8").read()
entries = [
    ("Belavo.exe", open(exe, "rb").read()),
    # Notepad reads UTF-8 for sure only with the byte order mark.
    ("Readme.txt", b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")),
]
with zipfile.ZipFile(out, "w") as archive:
    for name, data in entries:
        entry = zipfile.ZipInfo(name, date_time=time.gmtime(int(epoch))[:6])
        entry.create_system = 0  # MS-DOS attributes, whatever system packs it
        entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
        archive.writestr(entry, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
PY
(cd "$dist" && sha256sum "$name" >SHA256SUMS)
echo "$dist/$name"
cat "$dist/SHA256SUMS"
