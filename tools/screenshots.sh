#!/usr/bin/env bash
# Starts the real application under a virtual X server, presses keys as a user
# would, and saves screenshots: stopped, playing, text-only.
# Usage: tools/screenshots.sh [build-dir] [out-dir]   (needs xvfb, xdotool, imagemagick)
set -euo pipefail
BUILD=$(realpath "${1:-build}")
OUT=$(realpath -m "${2:-shots}")
mkdir -p "$OUT"
SIZE=${SIZE:-1280x800}

run() {
    local display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 "${SIZE}x24" -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    sleep 1
    export DISPLAY=$display
    # Started from another folder on purpose: the application must find its
    # files beside the executable.
    (cd / && HOME=$(mktemp -d) "$BUILD/bin/velmora") >/dev/null 2>&1 &
    local app=$!
    sleep 3
    local win
    win=$(xdotool search --name '^Velmora$' | head -1)
    xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win" || true
    import -window root "$OUT/stopped.png"
    xdotool key space
    sleep 1.3
    import -window root "$OUT/playing.png"
    xdotool key F7
    sleep 0.8
    import -window root "$OUT/textonly.png"
    xdotool key F7
    sleep 6.5   # controls hide after five seconds of a resting mouse while playing
    import -window root "$OUT/hidden.png"
    xdotool key space
    sleep 0.5
    # The settings button: second button of the menu panel, which is centred
    # vertically at the left edge.
    local h=${SIZE#*x}
    xdotool mousemove 75 $(( (h - 340) / 2 + 107 )) click 1
    sleep 1
    import -window root "$OUT/settings.png"
    kill $app 2>/dev/null || true
    wait $app 2>/dev/null || true
    kill $xvfb
}
run
echo "screenshots in $OUT"
