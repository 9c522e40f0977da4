#!/usr/bin/env bash
# The scripts stop before they can do harm. in-debian.sh takes only a plain release name, checked before
# anything else, root or not. A failed step of the Wine prefix's setup ends the session and leaves the
# prefix unmarked, to be made again rather than reused broken.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "script_tests: $*" >&2; exit 1; }

id() { echo 1000; }  # not root: a name let through stops at the root check (exit status 1) before any removal
export -f id
for release in '' . .. ../.. trixie/../.. /tmp -rf 'trixie sid'; do
  status=0
  bash "$root/scripts/in-debian.sh" "$release" true 2>/dev/null || status=$?
  [ "$status" = 2 ] || fail "in-debian.sh took the release '$release' (exit status $status)"
done

wine() { [ "$1" != reg ]; }  # every import fails; the rest of Wine is not needed
wineboot() { :; }
wineserver() { :; }
source "$root/scripts/wine-session.sh"
! DISPLAY=:0 wine_session_start "$work/prefix" 2>"$work/err" || fail "a session started on a failed setup"
grep -q "importing wine-prefix.reg" "$work/err" || fail "the failed step is not named: $(cat "$work/err")"
[ ! -e "$work/prefix/.belavo-ready" ] || fail "a failed setup marked the prefix ready"
