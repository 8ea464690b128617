#!/bin/sh
# Renders Kivelo's three start-up windows under a private Xvfb into PNG files:
#   scripts/render-windows.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs)
# Every process it starts is ended by its id when it finishes.
set -eu
build=${1:-build}
out=${2:-docs}
mkdir -p "$out"

. "$(dirname "$0")/xvfb-session.sh"
start_xvfb 1280x1024
LC_ALL=C.UTF-8 "$build/kivelo" >/dev/null 2>&1 &
track $!

main=$(window_of 'Kivelo　Ｖｅｒ１．5')
help=$(window_of 'ヘルプ')
analysis=$(window_of '使用状況の分析')
sleep 1
for pair in "help:$help" "analysis-start:$analysis" "main:$main"; do
    name=${pair%%:*}
    id=${pair#*:}
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowraise "$id"
    sleep 0.5
    import -window "$id" "$out/$name.png"
    echo "$out/$name.png"
done
