#!/usr/bin/env python3
"""Start-up of Kivelo against the minimal Qt program, measured in one run.

Runs bench/startup_kivelo and bench/startup_minimal alternately, each until its windows are
shown (mapped and exposed, with the pending paints done), and prints the median wall time and
peak memory of each and their ratios.
Usage: bench/startup.py BUILD_DIR [RUNS] [PLATFORM]
PLATFORM is a Qt platform: offscreen (the default), or xcb for the X server in $DISPLAY
(bench/startup-x11.sh starts one).
"""
import os
import statistics
import subprocess
import sys
import time


def measure(program, env):
    start = time.perf_counter()
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if status != 0:
        raise SystemExit(f"{program} exited with status {status}")
    return elapsed * 1000.0, usage.ru_maxrss / 1024.0


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    platform = sys.argv[3] if len(sys.argv) > 3 else "offscreen"
    env = dict(os.environ, QT_QPA_PLATFORM=platform)
    print(f"platform {platform}")
    programs = {name: os.path.join(build, "bench", name) for name in ("startup_kivelo", "startup_minimal")}
    results = {name: [] for name in programs}
    for name, program in programs.items():
        measure(program, env)  # warm the file cache
    for _ in range(runs):
        for name, program in programs.items():
            results[name].append(measure(program, env))
    medians = {}
    for name, samples in results.items():
        times = statistics.median(s[0] for s in samples)
        memory = statistics.median(s[1] for s in samples)
        medians[name] = (times, memory)
        print(f"{name:16} median {times:7.1f} ms   peak memory {memory:7.1f} MiB   ({runs} runs)")
    kivelo, minimal = medians["startup_kivelo"], medians["startup_minimal"]
    print(f"ratio kivelo/minimal: time {kivelo[0] / minimal[0]:.2f}x, peak memory {kivelo[1] / minimal[1]:.2f}x")


if __name__ == "__main__":
    main()
