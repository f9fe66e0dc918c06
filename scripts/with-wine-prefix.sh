#!/usr/bin/env bash
# Runs a command with a throw-away Wine prefix in WINEPREFIX (and WINE naming wine64):
#   scripts/with-wine-prefix.sh COMMAND [ARGS...]
# The prefix is made headless (scripts/wine-prefix.sh) and deleted afterwards, with every Wine
# process still running in it. Exits with the command's exit code; fails when wine64 is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

prefix=$(mktemp -d "${TMPDIR:-/tmp}/melodrop-wine.XXXXXX")
wine=/usr/lib/wine/wine64
cleanup() {
    WINEPREFIX=$prefix "$(dirname "$wine")/wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT

started=$(date +%s)
wine=$("$here/wine-prefix.sh" "$prefix")
echo "wine: prefix ready in $(( $(date +%s) - started )) s" >&2
export WINEPREFIX=$prefix WINE=$wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

status=0
"$@" || status=$?
echo "wine: $(basename "$1") exited with $status after $(( $(date +%s) - started )) s" >&2
exit $status
