#!/usr/bin/env bash
# Runs a Windows program under wine64, headless, in a throw-away Wine prefix:
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# Exits with the program's exit code; fails (never skips) when wine64 is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/with-wine-prefix.sh" bash -c 'unset DISPLAY WAYLAND_DISPLAY; exec "$WINE" "$@"' wine-run "$@"
