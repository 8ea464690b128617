#!/bin/sh
# Start-up under a real X server: a private Xvfb with openbox, then bench/startup.py with Qt's
# xcb platform, so the time runs until the windows are mapped and painted.
#   bench/startup-x11.sh [BUILD_DIR] [RUNS]
set -eu
build=${1:-build}
runs=${2:-15}
display=:$(( 100 + $$ % 50 ))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=""
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT INT TERM
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
python3 "$(dirname "$0")/startup.py" "$build" "$runs" xcb
