#!/usr/bin/env bash
# Runs every fuzz target built in BUILD_DIR/fuzz for SECONDS each (two at a time on two cores),
# on its seed corpus tests/fuzz/corpus/NAME and a working corpus BUILD_DIR/corpus/NAME that
# grows from run to run. Prints runs and runs per second of each; fails when a target found a
# crash, a hang or undefined behaviour (the input is kept in BUILD_DIR/crashes).
#   scripts/fuzz.sh BUILD_DIR [SECONDS] [PARALLEL]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:?build folder}
seconds=${2:-60}
parallel=${3:-$(nproc)}
mkdir -p "$build/corpus" "$build/crashes" "$build/logs"

targets=()
for exe in "$build"/fuzz/fuzz_*; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets in $build/fuzz" >&2
    exit 1
fi

run_one() {
    local target=$1 name=${1#fuzz_}
    mkdir -p "$build/corpus/$name"
    ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen \
        "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
        -print_final_stats=1 -detect_leaks=0 -artifact_prefix="$build/crashes/$name-" \
        "$build/corpus/$name" "tests/fuzz/corpus/$name" >"$build/logs/$name.log" 2>&1
    echo $? >"$build/logs/$name.status"
}

echo "fuzzing ${#targets[@]} targets for ${seconds} s each, $parallel at a time"
running=0
for target in "${targets[@]}"; do
    run_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

failed=0
printf '%-16s %12s %10s %8s  %s\n' target runs runs/s corpus result
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    log="$build/logs/$name.log"
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    time=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    corpus=$(find "$build/corpus/$name" -type f | wc -l)
    status=$(cat "$build/logs/$name.status")
    result=ok
    if [ "$status" != 0 ]; then
        result="FAILED (exit $status), see $log"
        failed=1
    fi
    printf '%-16s %12s %10s %8s  %s\n' "$name" "${runs:-?}" "${time:-?}" "$corpus" "$result"
done
if [ "$failed" != 0 ]; then
    for target in "${targets[@]}"; do
        name=${target#fuzz_}
        if [ "$(cat "$build/logs/$name.status")" != 0 ]; then
            echo "---- $name ----"
            tail -n 40 "$build/logs/$name.log"
        fi
    done
    exit 1
fi
