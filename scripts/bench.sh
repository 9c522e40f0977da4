#!/usr/bin/env bash
# Every performance figure of Belavo in one run, on a fresh Debian machine:
# installs the packages, builds the native and MinGW release presets with the
# benchmarks turned on, and an earlier Belavo.exe from a git worktree under
# build/earlier; then under Wine in its own prefix and virtual display: this
# Belavo.exe side by side with the earlier one (start-up, with the bare window
# as its floor, footprint, checks, error report, About dialog), check latency,
# a short soak and the full soak; then natively the core benchmark and the
# core fuzzer for a bounded time. Prints every figure and keeps a copy in
# build/bench.log.
#   scripts/bench.sh [--against COMMIT]   (default: the last release tag)
#
# Settings (environment): BENCH_PREFIX (Wine prefix folder, /tmp/wp-bench),
# BENCH_CHECKS (500 timed checks), SIDE_ROUNDS (3), SIDE_STARTS (10 starts per
# round and program), SIDE_INTERACTIONS (20 of each per round and program),
# SOAK_CHECKS (10000), SOAK_ABOUT (1000), FUZZ_SECONDS (60).
# Timings never fail the run; a failed soak or fuzzer makes it exit non-zero.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
against="$(git describe --tags --abbrev=0 2>/dev/null || true)"
if [ "${1:-}" = --against ] && [ -n "${2:-}" ]; then
  against="$2"
elif [ $# -gt 0 ] || [ -z "$against" ]; then
  echo "usage: scripts/bench.sh [--against COMMIT]  (there is no release tag to compare with by default)" >&2
  exit 2
fi
earlier_commit="$(git rev-parse --verify "$against^{commit}")"
prefix="${BENCH_PREFIX:-/tmp/wp-bench}"
checks="${BENCH_CHECKS:-500}"
soak_checks="${SOAK_CHECKS:-10000}"
soak_about="${SOAK_ABOUT:-1000}"
side_rounds="${SIDE_ROUNDS:-3}"
side_starts="${SIDE_STARTS:-10}"
side_interactions="${SIDE_INTERACTIONS:-20}"
fuzz_seconds="${FUZZ_SECONDS:-60}"

session_up=""
stop_session() {
  if [ -n "$session_up" ]; then
    session_up=""
    wine_session_stop
  fi
}
mkdir -p build
exec > >(tee build/bench.log) 2>&1
log_writer=$!
# At the end the output is closed and tee awaited: the last lines reach the log and the terminal.
finish() {
  stop_session
  exec >&- 2>&-
  wait "$log_writer"
}
trap finish EXIT

section() { printf '\n== %s (load average %s)\n' "$1" "$(cut -d' ' -f1-3 /proc/loadavg)"; }

scripts/deps.sh

section "Build"
cmake --preset native -DBELAVO_BENCHMARKS=ON >/dev/null
cmake --build --preset native --target core_bench
cmake --preset mingw -DBELAVO_BENCHMARKS=ON >/dev/null
cmake --build --preset mingw --target Belavo bare_window check_latency side_by_side soak
mingw="$root/build/mingw"

section "Earlier Belavo.exe: $against ($earlier_commit)"
earlier="$root/build/earlier/${earlier_commit:0:12}"
if [ ! -e "$earlier/.git" ]; then
  git worktree prune
  git worktree add --detach "$earlier" "$earlier_commit"
fi
(cd "$earlier" && cmake --preset mingw -DBELAVO_TESTS=OFF >/dev/null &&
  cmake --build --preset mingw --target Belavo)
earlier_exe="$earlier/build/mingw/app/Belavo.exe"

section "Files"
for exe in "$mingw/app/Belavo.exe" "$earlier_exe" "$mingw/bench/bare_window.exe"; do
  flags="$(x86_64-w64-mingw32-objdump -f "$exe")"
  symbols="stripped"
  [[ "$flags" != *HAS_SYMS* ]] || symbols="with symbols"
  printf '%s: %s bytes, %s; imports (functions):' "${exe#"$root/"}" "$(stat -c %s "$exe")" "$symbols"
  x86_64-w64-mingw32-objdump -p "$exe" |
    awk '/DLL Name:/ { if (d) printf " %s (%d)", d, n; d = $3; n = 0; next }
         d && /^\t[0-9a-f]+\t +[0-9]+ / { n++ }
         END { printf " %s (%d)\n", d, n }'
done

section "Machine"
echo "$(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
  "$(wine --version 2>/dev/null), $(date -u '+%Y-%m-%d %H:%M UTC')"

# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh
trap 'exit 130' INT TERM
session_up=1
wine_session_start "$prefix" virtual

# Wine's console programs end their lines with CR LF. Run in the background
# and waited for, so that a signal stops the run at once (the session's end
# then ends the program too).
run_wine() {
  (wine "$@" | tr -d '\r') &
  wait $!
}

section "Side by side with the earlier Belavo.exe ($against)"
run_wine "$mingw/bench/side_by_side.exe" "$mingw/app/Belavo.exe" "$earlier_exe" \
  "$mingw/bench/bare_window.exe" \
  "$side_rounds" "$side_starts" "$side_interactions"

section "Check latency"
run_wine "$mingw/bench/check_latency.exe" "$checks"

# The short soak first: a leak or a hang shows in seconds, before the long one.
section "Short soak"
soak_status=0
BELAVO_EXE="$mingw/app/Belavo.exe" run_wine "$mingw/bench/soak.exe" 300 30 || soak_status=$?

section "Soak"
if [ "$soak_status" -eq 0 ]; then
  BELAVO_EXE="$mingw/app/Belavo.exe" run_wine "$mingw/bench/soak.exe" "$soak_checks" "$soak_about" ||
    soak_status=$?
fi
stop_session

section "Core benchmark (native, Google Benchmark)"
build/native/core/core_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

section "Core fuzzer (${fuzz_seconds} s)"
fuzz_status=0
scripts/fuzz.sh "$fuzz_seconds" || fuzz_status=$?

section "Done"
[ "$soak_status" -eq 0 ] || echo "The soak FAILED (exit code $soak_status)."
[ "$fuzz_status" -eq 0 ] || echo "The fuzzer FAILED (exit code $fuzz_status)."
[ "$soak_status" -eq 0 ] && [ "$fuzz_status" -eq 0 ]
