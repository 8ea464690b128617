#!/usr/bin/env python3
"""Key echo of Kivelo at two zooms, measured in one run with the yardstick's own tools.

usage: bench/latency_zoom.py KIVELO_BINARY [--count N] [--zoom PERCENT] [--anchors DIR]

Runs Kivelo twice in a private Xvfb with openbox (1920x1080): at 100 % and at PERCENT (150 unless
given), each from a fresh HOME whose settings ask for that zoom. In each run: key echo in a detail
list (the first day's food list opened by a double click) and key echo in the wallet cell, timed
by the latency anchor's xlatency (first and last screen update after the key). Clicks go to the
designed places scaled by the zoom. Prints the medians and the ratios of the zoomed run to 100 %."""
import os, sys, tempfile, shutil, time

args = sys.argv[1:]
if not args:
    print(__doc__)
    sys.exit(2)
def option(name, default):
    return args[args.index(name) + 1] if name in args else default
binary = os.path.abspath(args[0])
count = option("--count", "15")
zoomed = int(option("--zoom", "150"))
here = os.path.dirname(os.path.abspath(__file__))
anchors = option("--anchors", os.path.join(here, "..", "..", "shared", "anchors"))
if not os.path.isdir(anchors):
    anchors = "/work/shared/anchors"
sys.path.insert(0, os.path.join(anchors, "latency"))
import latency  # noqa: E402


def run(percent):
    xl, _ = latency.build()
    home = tempfile.mkdtemp(prefix="kivelo-zoom-")
    os.makedirs(os.path.join(home, ".config", "kivelo"))
    with open(os.path.join(home, ".config", "kivelo", "kivelo.conf"), "w") as f:
        f.write(f"[view]\nzoom={percent}\n")
    scale = percent / 100
    x = latency.X("1920x1080x24")
    try:
        x.start([binary], home)
        main_id = x.window("^Kivelo")
        time.sleep(1.5)
        x.xdo("windowactivate", "--sync", main_id)
        time.sleep(0.5)
        limex, limey = x.lime_origin()   # the first lime pixel, less 80 rows
        ox, oy = limex - round(scale), limey + 80 - round(81 * scale)

        def cell(left, top, c, r, heights):
            cx, cy = left + 2 + 71 * c + 35, top + 2 + sum(h + 1 for h in heights[:r]) + heights[r] // 2
            return ox + round(cx * scale), oy + round(cy * scale)

        daily = [21 if r == 12 else 20 for r in range(20)]
        x.click(*cell(152, 80, 2, 1, daily), double=True)
        x.click(*cell(616, 40, 1, 1, [24] * 18))
        x.xdo("type", "--delay", 40, "1200")
        rows = [("key echo in a detail list",) + latency.measure(xl, x, "--key", "2", "--count", count)]
        x.click(*cell(0, 240, 1, 1, [24, 24, 25, 25, 24]))
        rows.append(("key echo in the wallet cell",) + latency.measure(xl, x, "--key", "1", "--count", str(min(int(count), 9))))
        return rows
    finally:
        x.close()
        shutil.rmtree(home, ignore_errors=True)


base = run(100)
large = run(zoomed)
for (name, f1, l1), (_, f2, l2) in zip(base, large):
    print(f"{name}\t100 %: first {f1 / 1000:.2f} ms last {l1 / 1000:.2f} ms\t"
          f"{zoomed} %: first {f2 / 1000:.2f} ms last {l2 / 1000:.2f} ms\tratio last {l2 / l1:.2f}×")
