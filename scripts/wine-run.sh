#!/usr/bin/env bash
# Runs a Windows program under wine64, headless, in a throw-away Wine prefix:
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# The prefix uses the null graphics driver (real windows, no display) and is deleted afterwards.
# Exits with the program's exit code; fails (never skips) when wine64 is missing.
set -euo pipefail

program=$1
shift

wine=$(command -v wine64 || true)
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; }
if [ -z "$wine" ]; then
    echo "wine-run: wine64 is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

prefix=$(mktemp -d "${TMPDIR:-/tmp}/melodrop-wine.XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installers: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT

started=$(date +%s)
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# The driver is chosen when the desktop starts: let this first session end, so the next one
# starts with the null driver.
"$wineserver" -w
echo "wine-run: prefix ready in $(( $(date +%s) - started )) s"

status=0
"$wine" "$program" "$@" || status=$?
echo "wine-run: $(basename "$program") exited with $status after $(( $(date +%s) - started )) s"
exit $status
