#!/bin/sh
# Start-up under a real X server: a private Xvfb with openbox, then bench/startup.py with Qt's
# xcb platform, so the time runs until the windows are mapped and painted.
#   bench/startup-x11.sh [BUILD_DIR] [RUNS]
set -eu
build=${1:-build}
runs=${2:-15}
. "$(dirname "$0")/../scripts/xvfb-session.sh"
start_xvfb 1280x1024
python3 "$(dirname "$0")/startup.py" "$build" "$runs" xcb
