# Sourced by the scripts that show Kivelo's windows: a private Xvfb with openbox.
#   start_xvfb WIDTHxHEIGHT   starts both and exports DISPLAY
#   track PID                 ends PID too when the script ends
#   window_of TITLE           waits for the shown X window of exactly that title, prints its id
# Every process started here is ended by its id when the sourcing script exits.
tracked=""
track() { tracked="$1 $tracked"; }
end_tracked() {
    for pid in $tracked; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap end_tracked EXIT INT TERM

start_xvfb() {
    number=$(( 50 + $$ % 100 ))
    while [ -e "/tmp/.X$number-lock" ]; do number=$(( number + 1 )); done
    Xvfb ":$number" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
    track $!
    export DISPLAY=":$number"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    track $!
    sleep 1
}

window_of() {
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "no window named $1" >&2
    return 1
}
