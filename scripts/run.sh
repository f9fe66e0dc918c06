#!/usr/bin/env bash
# Starts melodrop from the build tree on its simulated chat room, with the demo tracks as its
# MP3 folder. Without a display (or with --headless) it plays the headless demo scenario instead.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mode=${2:-}
bin="$(pwd)/$build/bin"

if [ "$mode" = "--headless" ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
    echo "No display here: playing the headless demo (data/scenarios/demo.scn) on the simulated chat room."
    echo "On a desktop, 'make run' opens the player window and the chat room window instead."
    echo
    export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
    exec "$bin/melodrop-scenario" "$(pwd)/data/scenarios/demo.scn"
fi

# The demo keeps its settings apart from the user's own melodrop settings.
demo_home="$(pwd)/$build/demo-home"
export XDG_CONFIG_HOME="$demo_home/config"
settings="$XDG_CONFIG_HOME/melodrop/melodrop.ini"
if [ ! -f "$settings" ]; then
    mkdir -p "$(dirname "$settings")"
    printf '[options]\nmp3dir=%s\n' "$bin/demo" >"$settings"
fi
# An empty immune list (the build lays one out), should it have been removed since.
[ -f "$bin/immune.txt" ] || : >"$bin/immune.txt"

echo "Starting melodrop (settings: $settings)."
echo "Type in the chat room window, e.g. 'play love', 'next', 'vol 40', 'idle lunch'."
exec "$bin/melodrop"
