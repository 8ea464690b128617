#!/usr/bin/env python3
"""Start-up of Kivelo against the minimal Qt program, measured in one run.

Runs bench/startup_kivelo, bench/startup_kivelo_bare and bench/startup_minimal in turn, each
until its windows are shown (mapped and exposed, with the pending paints done), and prints the
median wall time and peak memory of each, the ratios of Kivelo to the minimal program, and what
loading Qt's texts in Japanese and a recent list of eight ledgers from the settings add to its
start.
Usage: bench/startup.py BUILD_DIR [RUNS] [PLATFORM]
PLATFORM is a Qt platform: offscreen (the default), or xcb for the X server in $DISPLAY
(bench/startup-x11.sh starts one).
"""
import os
import statistics
import subprocess
import sys
import tempfile
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
    # Settings of the run's own, with a full recent list.
    config = tempfile.TemporaryDirectory()
    os.makedirs(os.path.join(config.name, "kivelo"))
    with open(os.path.join(config.name, "kivelo", "kivelo.conf"), "w") as settings:
        ledgers = ", ".join(f"/home/user/ledgers/2024-{month:02}.ZMR" for month in range(12, 4, -1))
        settings.write(f"[General]\nRecentFiles={ledgers}\n")
    env = dict(os.environ, QT_QPA_PLATFORM=platform, XDG_CONFIG_HOME=config.name)
    print(f"platform {platform}")
    names = ("startup_kivelo", "startup_kivelo_bare", "startup_minimal")
    programs = {name: os.path.join(build, "bench", name) for name in names}
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
        print(f"{name:19} median {times:7.1f} ms   peak memory {memory:7.1f} MiB   ({runs} runs)")
    kivelo, bare, minimal = (medians[name] for name in names)
    print(f"ratio kivelo/minimal: time {kivelo[0] / minimal[0]:.2f}x, peak memory {kivelo[1] / minimal[1]:.2f}x")
    # Each round runs both, so the round's difference is free of the machine's drift between rounds.
    added = statistics.median(k[0] - b[0] for k, b in zip(results["startup_kivelo"], results["startup_kivelo_bare"]))
    print(f"Qt's Japanese texts and the recent list (kivelo - kivelo_bare): median of the rounds' differences "
          f"{added:+.1f} ms; of the medians {kivelo[0] - bare[0]:+.1f} ms, peak memory {kivelo[1] - bare[1]:+.1f} MiB")


if __name__ == "__main__":
    main()
