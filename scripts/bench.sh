#!/usr/bin/env bash
# Every performance figure of Belavo in one run, on a fresh Debian machine:
# installs the packages, builds the native and MinGW release presets, then
# under Wine in its own prefix and virtual display: start-up against a bare
# window, footprint, check latency, Belavo side by side with the plain
# reference program (start-up, checks, error report, About dialog), a short
# soak and the full soak; then natively the core benchmark and the core
# fuzzers for a bounded time. Prints every figure and keeps a copy in
# build/bench.log. Usage: scripts/bench.sh
#
# Settings (environment): BENCH_PREFIX (Wine prefix folder, /tmp/wp-bench),
# BENCH_STARTS (30), BENCH_CHECKS (500 timed checks), SOAK_CHECKS (10000),
# SIDE_ROUNDS (3), SIDE_STARTS (7 starts per round and program),
# SIDE_INTERACTIONS (20 of each per round and program), SOAK_ABOUT (1000),
# FUZZ_SECONDS (60 per fuzzer).
# Timings never fail the run; a failed soak or fuzzer makes it exit non-zero.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
prefix="${BENCH_PREFIX:-/tmp/wp-bench}"
starts="${BENCH_STARTS:-30}"
checks="${BENCH_CHECKS:-500}"
soak_checks="${SOAK_CHECKS:-10000}"
soak_about="${SOAK_ABOUT:-1000}"
side_rounds="${SIDE_ROUNDS:-3}"
side_starts="${SIDE_STARTS:-7}"
side_interactions="${SIDE_INTERACTIONS:-20}"
fuzz_seconds="${FUZZ_SECONDS:-60}"

mkdir -p build
exec > >(tee build/bench.log) 2>&1

section() { printf '\n== %s (load average %s)\n' "$1" "$(cut -d' ' -f1-3 /proc/loadavg)"; }

scripts/deps.sh

section "Build"
cmake --preset native >/dev/null
cmake --build --preset native --target core_bench
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Belavo bare_window plain_reference startup_bench check_latency side_by_side soak
mingw=build/mingw

section "Machine"
echo "$(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
  "$(wine --version 2>/dev/null), $(date -u '+%Y-%m-%d %H:%M UTC')"

# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh
session_up=""
stop_session() {
  if [ -n "$session_up" ]; then
    session_up=""
    wine_session_stop
  fi
}
trap stop_session EXIT
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

section "Start-up and footprint"
run_wine "$mingw/bench/startup_bench.exe" "$mingw/app/Belavo.exe" "$mingw/bench/bare_window.exe" "$starts"

section "Check latency"
run_wine "$mingw/bench/check_latency.exe" "$checks"

section "Side by side with the plain reference program"
run_wine "$mingw/bench/side_by_side.exe" "$mingw/app/Belavo.exe" "$mingw/bench/plain_reference.exe" \
  "$side_rounds" "$side_starts" "$side_interactions"

# The short soak first: a leak or a hang shows in seconds, before the long one.
section "Short soak"
soak_status=0
BELAVO_EXE="$root/$mingw/app/Belavo.exe" run_wine "$mingw/bench/soak.exe" 300 30 || soak_status=$?

section "Soak"
if [ "$soak_status" -eq 0 ]; then
  BELAVO_EXE="$root/$mingw/app/Belavo.exe" run_wine "$mingw/bench/soak.exe" "$soak_checks" "$soak_about" ||
    soak_status=$?
fi
stop_session

section "Core benchmark (native, Google Benchmark)"
build/native/core/core_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

section "Core fuzzers (${fuzz_seconds} s each)"
fuzz_status=0
scripts/fuzz.sh "$fuzz_seconds" || fuzz_status=$?

section "Done"
[ "$soak_status" -eq 0 ] || echo "The soak FAILED (exit code $soak_status)."
[ "$fuzz_status" -eq 0 ] || echo "A fuzzer FAILED (exit code $fuzz_status)."
[ "$soak_status" -eq 0 ] && [ "$fuzz_status" -eq 0 ]
