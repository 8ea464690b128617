#!/bin/sh
# Renders the usage analysis window for a realistic month under a private Xvfb into a PNG:
#   scripts/render-analysis.sh [BUILD_DIR] [OUT_FILE]   (defaults: build, docs/analysis.png)
# The month (budgets, day totals, a period from the 25th seen on 12 June) comes from
# `bench_chert --show-month`. Every process it starts is ended by its id when it finishes.
set -eu
build=${1:-build}
out=${2:-docs/analysis.png}
mkdir -p "$(dirname "$out")"

. "$(dirname "$0")/xvfb-session.sh"
start_xvfb 1024x768
LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$build/bench/bench_chert" --show-month >/dev/null 2>&1 &
track $!

window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^使用状況の分析$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no analysis window" >&2; exit 1; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowraise "$window"
sleep 1
# The maximised window's controls fill its top left 800 x 560 pixels; the rest is empty.
import -window "$window" -crop 800x556+0+0 +repage "$out"
echo "$out"
