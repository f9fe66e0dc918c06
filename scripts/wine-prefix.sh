#!/usr/bin/env bash
# Makes a Wine prefix for running the Windows programs headless:
#   scripts/wine-prefix.sh PREFIX
# 64-bit, the null graphics driver (real windows, no display), no Mono or Gecko. Prints the
# wine64 to use. Fails (never skips) when wine64 is missing.
set -euo pipefail

prefix=${1:?usage: scripts/wine-prefix.sh PREFIX}

wine=$(command -v wine64 || true)
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; }
if [ -z "$wine" ]; then
    echo "wine-prefix: wine64 is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# The driver is chosen when the desktop starts: let this first session end, so that the next
# one starts with the null driver.
"$wineserver" -w
echo "$wine"
