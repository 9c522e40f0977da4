#!/usr/bin/env bash
# Lays out every C and C++ source in git as .clang-format says; with --check it
# changes nothing, lists the files it would change and fails when there are any.
#   bash scripts/format.sh [--check]
# Debian 12's clang-format (14) and Debian 13's (19) start from different
# defaults, so the check is a help before a commit, not part of the tests.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
command -v clang-format >/dev/null ||
  { echo "format.sh: no clang-format: apt-get install clang-format" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' '*.hpp' '*.h')
if [ "${1:-}" != --check ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
status=0
for file in "${files[@]}"; do
  clang-format "$file" | cmp -s - "$file" || { echo "$file"; status=1; }
done
exit "$status"
