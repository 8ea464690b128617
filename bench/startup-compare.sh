#!/bin/sh
# Kivelo's start-up against its yardsticks, all measured in one run of this script:
#   bench/startup-compare.sh [options] BUILD_DIR
# It builds the one-window Qt program of ANCHORS/qt-baseline into BUILD_DIR/bench/qt-baseline,
# then runs ANCHORS/startup-time on it (--windows 1), on BUILD_DIR/kivelo (--windows 3: the main,
# help and analysis windows) and, when Debian's homebank is installed, on HomeBank (its first
# window), each RUNS times after a warm-up with a fresh HOME per run. It does that ROUNDS times,
# taking turns, so that the machine's drift between minutes falls on every program alike, and
# prints each round's medians, the three ratios of every round, and their median and spread.
# Options:
#   --anchors DIR        the start-up anchors (default: ../shared/anchors beside the checkout,
#                        else /work/shared/anchors)
#   -n RUNS              measured runs per program and round (default 5, at least 5 counts)
#   --rounds N           rounds (default 3)
#   --also LABEL=BUILD   one more Kivelo build measured in the same rounds, for example the
#                        build from before a change: --also before=../before/build
#   --tsv FILE           keep every run's figures (startup-time's rows, with a round column)
# Times are wall-clock milliseconds from the launch until the last awaited window is mapped and
# painted, under startup-time's own Xvfb with openbox; peak RSS is VmHWM one second after that.
set -eu

usage() { sed -n '2,21s/^# \{0,1\}//p' "$0"; exit 2; }

checkout=$(cd "$(dirname "$0")/.." && pwd)
anchors=""
runs=5
rounds=3
also=""
keep_tsv=""
build=""
while [ $# -gt 0 ]; do
    case $1 in
        --anchors) anchors=$2; shift 2 ;;
        -n) runs=$2; shift 2 ;;
        --rounds) rounds=$2; shift 2 ;;
        --also) also=$2; shift 2 ;;
        --tsv) keep_tsv=$2; shift 2 ;;
        -h|--help) usage ;;
        -*) echo "startup-compare: unknown option $1" >&2; usage ;;
        *) [ -z "$build" ] || usage; build=$1; shift ;;
    esac
done
[ -n "$build" ] || usage
build=$(cd "$build" && pwd)
if [ -z "$anchors" ]; then
    anchors="$(dirname "$checkout")/shared/anchors"
    [ -d "$anchors" ] || anchors=/work/shared/anchors
fi
startup_time="$anchors/startup-time"
[ -x "$startup_time" ] || { echo "startup-compare: no startup-time in $anchors" >&2; exit 2; }
[ -x "$build/kivelo" ] || { echo "startup-compare: no $build/kivelo; build it first" >&2; exit 2; }
also_label=${also%%=*}
also_build=${also#*=}
if [ -n "$also" ]; then
    also_build=$(cd "$also_build" && pwd)
    [ -x "$also_build/kivelo" ] || { echo "startup-compare: no $also_build/kivelo" >&2; exit 2; }
fi

baseline_build="$build/bench/qt-baseline"
echo "building the Qt baseline from $anchors/qt-baseline into $baseline_build"
cmake -S "$anchors/qt-baseline" -B "$baseline_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$baseline_build" >/dev/null

homebank=$(command -v homebank || true)
[ -n "$homebank" ] || echo "HomeBank is not installed (apt-get install homebank): measuring without it"

work=$(mktemp -d "${TMPDIR:-/tmp}/startup-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
tsv="$work/runs.tsv"

# measure LABEL WINDOWS COMMAND...: RUNS runs of one program, its rows appended to $tsv.
measure() {
    label=$1
    windows=$2
    shift 2
    rm -f "$work/one.tsv"
    if ! "$startup_time" -n "$runs" --windows "$windows" --fresh-home --label "$label" --tsv "$work/one.tsv" \
        -- env LC_ALL=C.UTF-8 "$@" >"$work/one.log" 2>&1; then
        cat "$work/one.log" >&2
        echo "startup-compare: $label failed" >&2
        exit 1
    fi
    grep -m1 'paint detection' "$work/one.log" | sed 's/^ *//' >"$work/setup.txt"
    tail -n +2 "$work/one.tsv" | sed "s/^/$round	/" >>"$tsv"
}

round=1
while [ "$round" -le "$rounds" ]; do
    echo "round $round of $rounds"
    measure baseline 1 "$baseline_build/qt-baseline"
    measure kivelo 3 "$build/kivelo"
    [ -z "$also" ] || measure "$also_label" 3 "$also_build/kivelo"
    [ -z "$homebank" ] || measure homebank 1 "$homebank"
    round=$((round + 1))
done
[ -z "$keep_tsv" ] || { printf 'round\tlabel\trun\tmap_ms\tpaint_ms\tcpu_ms\trss_kb\tprocs\tmethod\n' >"$keep_tsv"; cat "$tsv" >>"$keep_tsv"; }

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
cores=$(nproc)
debian=$(cat /etc/debian_version 2>/dev/null || echo unknown)
qt=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null | sed 's/[-+].*//' || true)
homebank_version=$(dpkg-query -W -f='${Version}' homebank 2>/dev/null | sed 's/-[^-]*$//' || true)
load=$(cut -d' ' -f1-3 /proc/loadavg)

python3 - "$tsv" "$runs" "$rounds" "$also_label" <<EOF
import statistics, sys
from collections import defaultdict

tsv, runs, rounds, also = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
figures = defaultdict(lambda: defaultdict(list))  # figures[(round, label)][column] = values
for line in open(tsv):
    round_, label, _, map_ms, paint_ms, cpu_ms, rss_kb = line.split("\t")[:7]
    row = figures[(int(round_), label)]
    row["paint"].append(float(paint_ms))
    row["map"].append(float(map_ms))
    row["cpu"].append(float(cpu_ms))
    row["rss"].append(float(rss_kb) / 1024)

def median(round_, label, column):
    return statistics.median(figures[(round_, label)][column])

labels = [("baseline", "Qt baseline (qt-baseline, 1 window)"), ("kivelo", "Kivelo (3 windows)")]
if also:
    labels.append((also, f"Kivelo, {also} (3 windows)"))
if any(label == "homebank" for _, label in figures):
    labels.append(("homebank", "HomeBank $homebank_version (first window)"))
present = [(key, name) for key, name in labels if (1, key) in figures]

print()
print("Machine: $cpu, $cores cores, Debian $debian; Qt $qt; load average at the end $load")
print("$(cat "$work/setup.txt")")
print(f"{rounds} rounds, each program {runs} runs a round after a warm-up, a fresh HOME every run")
print()
print("Medians per round (time to paint / time to map / CPU until painted, ms; peak RSS, MiB):")
for key, name in present:
    cells = [f"{median(r, key, 'paint'):6.1f} / {median(r, key, 'map'):6.1f} / {median(r, key, 'cpu'):4.0f}"
             f" / {median(r, key, 'rss'):5.1f}" for r in range(1, rounds + 1)]
    print(f"  {name:42} " + "   ".join(cells))

def ratio(numerator, denominator, column):
    values = [median(r, numerator, column) / median(r, denominator, column) for r in range(1, rounds + 1)]
    return statistics.median(values), min(values), max(values)

targets = [("kivelo", "baseline", "paint", "time to paint, Kivelo / Qt baseline", "<= 1.5"),
           ("kivelo", "homebank", "paint", "time to paint, Kivelo / HomeBank", "<= 0.6"),
           ("kivelo", "baseline", "rss", "peak RSS, Kivelo / Qt baseline", "<= 1.2")]
if also:
    targets += [(also, "baseline", "paint", f"time to paint, {also} / Qt baseline", ""),
                (also, "homebank", "paint", f"time to paint, {also} / HomeBank", ""),
                (also, "baseline", "rss", f"peak RSS, {also} / Qt baseline", ""),
                ("kivelo", also, "paint", f"time to paint, Kivelo / {also}", ""),
                ("kivelo", also, "cpu", f"CPU until painted, Kivelo / {also}", ""),
                ("kivelo", also, "rss", f"peak RSS, Kivelo / {also}", "")]
print()
print("Ratios of the medians, same round; median of the rounds (lowest - highest):")
for numerator, denominator, column, name, target in targets:
    if (1, numerator) not in figures or (1, denominator) not in figures:
        continue
    middle, low, high = ratio(numerator, denominator, column)
    goal = f"   target {target}" if target else ""
    print(f"  {name:42} {middle:5.2f}x ({low:.2f} - {high:.2f}){goal}")

def pooled(key, column):
    return statistics.median(v for r in range(1, rounds + 1) for v in figures[(r, key)][column])

print()
print("For the README (medians over all rounds):")
print()
print("| | time to paint | peak RSS |")
print("|---|---:|---:|")
for key, name in present:
    print(f"| {name} | {pooled(key, 'paint'):.0f} ms | {pooled(key, 'rss'):.1f} MiB |")
for numerator, denominator, column, name, target in targets[:3]:
    if (1, numerator) in figures and (1, denominator) in figures:
        middle, low, high = ratio(numerator, denominator, column)
        print(f"| {name} | {middle:.2f}x ({low:.2f} - {high:.2f}) | |" if column != "rss" else
              f"| {name} | | {middle:.2f}x ({low:.2f} - {high:.2f}) |")
EOF
