#!/usr/bin/env bash
# in-debian.sh refuses any release but a plain name, without root; a failed prefix setup leaves none ready.
set -eu
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "script_tests: $*" >&2; exit 1; }

id() { echo 1000; } && export -f id  # not root: a name let through stops at the root check, before removing
for release in '' . .. ../.. trixie/../.. /tmp -rf 'trixie sid'; do
  bash "$root/scripts/in-debian.sh" "$release" true 2>&1 | grep -q "not a Debian" || fail "took '$release'"
done

wine() { [ "$1" != reg ]; }; wineboot() { :; }; wineserver() { :; }  # only the imports fail
source "$root/scripts/wine-session.sh"
DISPLAY=:0 wine_session_start "$work/prefix" 2>&1 | grep -q "import.* failed" || fail "no failed step named"
[ ! -e "$work/prefix/.belavo-ready" ] || fail "a failed setup marked the prefix ready"
