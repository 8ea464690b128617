#!/bin/sh
# Renders the year window of Kivelo itself for a household's twelve months under a private Xvfb
# into a PNG:  scripts/render-year.sh [BUILD_DIR] [OUT_FILE]   (defaults: build, docs/year.png)
# The ledgers come from `bench_year --write-year`; the window is opened as a user opens it: the
# ファイル menu, 年間の推移…, the twelve files typed into the dialog. Every process it starts is
# ended by its id when it finishes.
set -eu
build=$(cd "${1:-build}" && pwd)
out=${2:-docs/year.png}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

ledgers=$(mktemp -d)
"$build/bench/bench_year" --write-year "$ledgers" >/dev/null

. "$(dirname "$0")/xvfb-session.sh"
start_xvfb 1280x1024
# The dialog starts in the working folder while no ledger was opened.
(cd "$ledgers" && exec env LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$build/kivelo") >/dev/null 2>&1 &
track $!

main=$(window_of 'Kivelo　Ｖｅｒ１．5')
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
sleep 0.5
# ファイル is the first menu of the menu bar; from its end, 終了 comes first, then 年間の推移….
xdotool mousemove --window "$main" 25 10 click 1
sleep 0.5
xdotool key Up Up Return
names=""
for month in 01 02 03 04 05 06 07 08 09 10 11 12; do names="$names \"2024-$month.ZMR\""; done
sleep 1
xdotool type --delay 5 "$names"
xdotool key Return
year=$(window_of '年間の推移')
xdotool windowactivate --sync "$year" >/dev/null 2>&1 || xdotool windowraise "$year"
sleep 1
import -window "$year" "$out"
rm -rf "$ledgers"
echo "$out"
