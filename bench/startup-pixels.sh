#!/bin/sh
# Kivelo's three start-up windows as two builds show them, compared pixel for pixel:
#   bench/startup-pixels.sh [--screen WxH] BEFORE_BUILD AFTER_BUILD [OUT_DIR]
# Each build's kivelo runs in a private Xvfb of the same size (default 1920x1080, the screen of
# the start-up benchmark) with openbox, in a fresh empty HOME and with LC_ALL=C.UTF-8.
# Once its three windows are mapped and the window manager's stacking has settled, the script
# notes the stacking order from bottom to top, the active window and which windows are
# maximised; the two builds must agree on all of it. Then the keyboard focus goes to the root
# window, so that no window is active and no caret blinks, and each window is raised in turn and
# its client area captured as soon as two captures in a row agree. The screenshots go to
# OUT_DIR/before and OUT_DIR/after (default: a temporary folder, removed at the end), and the
# script prints the number of differing pixels (ImageMagick's `compare -metric AE`) per window.
# The analysis window shows today's date, so both builds are rendered in the same run.
# Exit status: 0 when the windows stand and look the same, 1 when they differ, 2 when a window
# could not be rendered.
set -eu
usage() { sed -n '2,17s/^# \{0,1\}//p' "$0"; exit 2; }
screen=1920x1080
[ "${1:-}" = --screen ] && { screen=$2; shift 2; }
[ $# -ge 2 ] || usage
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

main_title='Kivelo　Ｖｅｒ１．5'
help_title='ヘルプ'
analysis_title='使用状況の分析'

# The ids of a window list property of the root, such as _NET_CLIENT_LIST_STACKING.
root_windows() {
    xprop -root "$1" 2>/dev/null | sed -n 's/.*# //p' | tr -d ',' | tr ' ' '\n' | grep . || true
}

title_of() {
    for pair in "$main:$main_title" "$help:$help_title" "$analysis:$analysis_title"; do
        [ "$(printf '%d' "${pair%%:*}")" = "$(printf '%d' "$1")" ] && { echo "${pair#*:}"; return; }
    done
    echo "other window"
}

# One line: the three windows from the bottom of the stacking to its top, the active one and
# the maximised ones.
window_state() {
    order=""
    for id in $(root_windows _NET_CLIENT_LIST_STACKING); do order="$order$(title_of "$id") < "; done
    active=$(title_of "$(root_windows _NET_ACTIVE_WINDOW | head -n 1)")
    maximised=""
    for id in "$main" "$help" "$analysis"; do
        xprop -id "$id" _NET_WM_STATE | grep -q '_NET_WM_STATE_MAXIMIZED_VERT, _NET_WM_STATE_MAXIMIZED_HORZ\|_NET_WM_STATE_MAXIMIZED_HORZ, _NET_WM_STATE_MAXIMIZED_VERT' \
            && maximised="$maximised $(title_of "$id"),"
    done
    echo "stacking ${order% < } (bottom to top); active: $active; maximised:${maximised%,}"
}

# The state once it has stayed the same for half a second with all three windows listed.
settled_state() {
    previous=""
    for _ in $(seq 100); do
        now=$(window_state)
        stacking=${now%%;*}
        case $stacking in *"$main_title"*) ;; *) previous=""; sleep 0.1; continue ;; esac
        case $stacking in *"$help_title"*) ;; *) previous=""; sleep 0.1; continue ;; esac
        case $stacking in *"$analysis_title"*) ;; *) previous=""; sleep 0.1; continue ;; esac
        [ "$now" = "$previous" ] && { echo "$now"; return 0; }
        previous=$now
        sleep 0.5
    done
    echo "startup-pixels: the windows do not settle: $now" >&2
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

# Renders the three windows of build $1 into folder $2 and their state into $2/state.txt.
render() {
    mkdir -p "$2" "$work/home.$3"
    start_xvfb "$screen"
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME HOME="$work/home.$3" \
        LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$1/kivelo" >"$work/kivelo.$3.log" 2>&1 &
    program=$!
    track $program
    main=$(window_of "$main_title")
    help=$(window_of "$help_title")
    analysis=$(window_of "$analysis_title")
    settled_state >"$2/state.txt"
    root=$(xwininfo -root | awk '/Window id/ { print $4 }')
    width=${screen%x*}
    height=${screen#*x}
    xdotool windowfocus --sync "$root"
    xdotool mousemove $((width - 1)) $((height - 1))
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
echo "before: $(cat "$out/before/state.txt")"
echo "after:  $(cat "$out/after/state.txt")"
cmp -s "$out/before/state.txt" "$out/after/state.txt" || { echo "the windows stand differently"; status=1; }
for name in main help analysis; do
    pixels=$(compare -metric AE "$out/before/$name.png" "$out/after/$name.png" null: 2>&1 || true)
    size=$(identify -format '%wx%h' "$out/after/$name.png")
    printf '%-9s %s pixels differ (%s)\n' "$name" "$pixels" "$size"
    [ "$pixels" = 0 ] || status=1
done
[ "$out" = "$work" ] || echo "screenshots: $out/before, $out/after"
exit $status
