#!/bin/sh
# Kivelo's three start-up windows as two builds draw them, compared pixel for pixel:
#   bench/startup-pixels.sh BEFORE_BUILD AFTER_BUILD [OUT_DIR]
# Each build's kivelo runs in a private Xvfb of the same size with openbox, in a fresh empty
# HOME and with LC_ALL=C.UTF-8. Once its three windows are mapped, the keyboard focus goes to the
# root window, so that no window is active and no caret blinks; then each window is raised in
# turn and its client area captured as soon as two captures in a row agree. The screenshots go to
# OUT_DIR/before and OUT_DIR/after (default: a temporary folder, removed at the end), and the
# script prints the number of differing pixels (ImageMagick's `compare -metric AE`) per window.
# The analysis window shows today's date, so both builds are rendered in the same run.
# Exit status: 0 when no pixel differs, 1 when some do, 2 when a window could not be rendered.
set -eu
[ $# -ge 2 ] || { sed -n '2,12s/^# \{0,1\}//p' "$0"; exit 2; }
before=$1
after=$2
for build in "$before" "$after"; do
    [ -x "$build/kivelo" ] || { echo "startup-pixels: no $build/kivelo" >&2; exit 2; }
done
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/startup-pixels.XXXXXX")
out=${3:-$work}

. "$scripts/xvfb-session.sh"
trap 'end_tracked; rm -rf "$work"' EXIT INT TERM

# The X window whose title is exactly $1, once it is mapped.
window_of() {
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "startup-pixels: no window named $1" >&2
    return 1
}

# Captures window $1 into $2 once two captures in a row are the same.
capture_settled() {
    import -window "$1" "$work/previous.png"
    for _ in $(seq 100); do
        sleep 0.1
        import -window "$1" "$2"
        compare -metric AE "$work/previous.png" "$2" null: 2>/dev/null && return 0
        mv "$2" "$work/previous.png"
    done
    echo "startup-pixels: window $1 does not settle" >&2
    return 1
}

# Renders the three windows of build $1 into folder $2.
render() {
    mkdir -p "$2" "$work/home.$3"
    start_xvfb 1280x1024
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME HOME="$work/home.$3" \
        LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$1/kivelo" >"$work/kivelo.$3.log" 2>&1 &
    program=$!
    track $program
    main=$(window_of 'Kivelo　Ｖｅｒ１．5')
    help=$(window_of 'ヘルプ')
    analysis=$(window_of '使用状況の分析')
    root=$(xwininfo -root | awk '/Window id/ { print $4 }')
    xdotool windowfocus --sync "$root"
    xdotool mousemove 1279 1023
    for pair in "main:$main" "help:$help" "analysis:$analysis"; do
        xdotool windowraise "${pair#*:}"
        capture_settled "${pair#*:}" "$2/${pair%%:*}.png"
    done
    kill "$program" 2>/dev/null || true
    end_tracked
    tracked=""
}

render "$before" "$out/before" 1 || exit 2
render "$after" "$out/after" 2 || exit 2

status=0
for name in main help analysis; do
    pixels=$(compare -metric AE "$out/before/$name.png" "$out/after/$name.png" null: 2>&1 || true)
    size=$(identify -format '%wx%h' "$out/after/$name.png")
    printf '%-9s %s pixels differ (%s)\n' "$name" "$pixels" "$size"
    [ "$pixels" = 0 ] || status=1
done
[ "$out" = "$work" ] || echo "screenshots: $out/before, $out/after"
exit $status
