#!/usr/bin/env bash
# Runs every benchmark program in BUILD_DIR/bench, one after the other, on SDL's dummy audio
# driver (no sound card needed). Exits non-zero if any benchmark missed its targets or failed.
# Usage: bench/run.sh BUILD_DIR
set -uo pipefail

build="${1:?usage: bench/run.sh BUILD_DIR}"
export SDL_AUDIODRIVER=dummy
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

status=0
found=0
for exe in "$build"/bench/*; do
    [[ -f "$exe" && -x "$exe" ]] || continue
    found=1
    echo "== $(basename "$exe")"
    if ! "$exe"; then
        echo "== $(basename "$exe") FAILED"
        status=1
    fi
    echo
done
if [[ $found -eq 0 ]]; then
    echo "no benchmarks in $build/bench (build them first)" >&2
    exit 1
fi
exit $status
