#!/bin/sh
# Builds the core's libFuzzer target (preset "fuzz": clang, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it from the seeds in core/fuzz/seeds.
#   fuzz.sh            a fixed number of runs from a fixed seed: the same inputs every time
#   fuzz.sh SECONDS    a longer search; what it finds is kept in build/fuzz/corpus
set -eu
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target check_fuzz >/dev/null
if [ $# = 0 ]; then
    corpus=build/fuzz/run-corpus limits="-runs=${BELAVO_FUZZ_RUNS:-30000} -seed=1"
    rm -rf "$corpus"
else
    corpus=build/fuzz/corpus limits="-max_total_time=$1"
fi
mkdir -p "$corpus"
# shellcheck disable=SC2086
build/fuzz/core/check_fuzz $limits -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" \
  core/fuzz/seeds \
  >build/fuzz/check_fuzz.log 2>&1 ||
    { tail -n 30 build/fuzz/check_fuzz.log; echo "check_fuzz: FAILED (build/fuzz/check_fuzz.log)"; exit 1; }
inputs="$(sed -n 's/^stat::number_of_executed_units: *//p' build/fuzz/check_fuzz.log)"
echo "check_fuzz: $inputs inputs, no failure"
