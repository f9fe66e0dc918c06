#!/usr/bin/env bash
# Plays scenarios on the fake chat client of real Win32 windows under Wine, through the bridge:
#   scripts/run-win32-scenarios.sh [--client win32|wine] RUNNER WINDOWS_BIN SCENARIO...
# RUNNER is melodrop-scenario, WINDOWS_BIN the folder of fake-client-ctl.exe and
# melodrop-bridge.exe; `--client wine` starts the bridge as `melodrop --client wine` does
# (default: win32). Needs WINEPREFIX (run it under scripts/with-wine-prefix.sh). Runs every
# scenario, says how each went, and fails when one did.
set -uo pipefail
client=win32
if [ "${1:-}" = --client ]; then
    client=$2
    shift 2
fi
runner=$1
bin=$2
shift 2
failed=0
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for scenario in "$@"; do
    started=$(date +%s)
    if "$runner" --silent --client "$client" --windows-bin "$bin" "$scenario" >"$output" 2>&1; then
        echo "passed: $(basename "$scenario") ($(( $(date +%s) - started )) s)"
    else
        status=$?
        echo "FAILED ($status): $(basename "$scenario")"
        cat "$output"
        failed=1
    fi
done
exit $failed
