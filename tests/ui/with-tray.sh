#!/bin/sh
# Runs a test program on a private X server (xvfb-run) with a small tray (trayer) on it, on Qt's
# X11 platform: the real notification-area protocol, which the offscreen platform lacks.
# Without xvfb-run, trayer or xdotool (scripts/install-deps.sh installs them) it fails under CI
# and is skipped elsewhere (exit code 77).
for tool in xvfb-run trayer xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (scripts/install-deps.sh installs it)"
        [ "$CI" = "true" ] && exit 1
        exit 77
    fi
done
exec xvfb-run -a -s "-screen 0 640x480x24" sh -c '
    trayer --edge top --align right --widthtype pixel --width 60 --height 24 &
    tray=$!
    # The tray is there once its panel is mapped.
    tries=0
    until xdotool search --onlyvisible --name "^panel$" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -gt 100 ] && { echo "trayer did not start"; kill $tray; exit 1; }
        sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$@"
    code=$?
    kill $tray
    exit $code
' sh "$@"
