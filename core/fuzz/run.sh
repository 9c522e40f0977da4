#!/bin/sh
# Builds the core's libFuzzer targets (preset "fuzz": clang with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for the
# given number of seconds (default 30). Needs clang and libclang-rt-14-dev.
# The corpora stay in build/fuzz/corpus, so later runs start where this
# one stopped.
set -eu
seconds=${1:-30}
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target number_fuzz check_fuzz

seed() {  # seed CORPUS NAME TEXT
    [ -e "$1/$2" ] || printf '%b' "$3" >"$1/$2"
}

status=0
for target in number_fuzz check_fuzz; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    seed "$corpus" initial '162\n56.3'
    seed "$corpus" spaced ' 56.30 \n-1e-3'
    seed "$corpus" huge '1e309\n0'
    log=build/fuzz/$target.log
    if "build/fuzz/core/$target" -max_total_time="$seconds" -print_final_stats=1 \
        "$corpus" >"$log" 2>&1; then
        result=ok
    else
        result="FAILED (see $log)"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} executions in ${seconds} s: $result"
done
exit $status
