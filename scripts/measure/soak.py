#!/usr/bin/env python3
"""A soak of dist/trove.exe under Wine: page flips and picture opens on a folder of pictures,
with the program's resident memory printed every 20 operations. Not a test: it reports figures
and leaves judging them to the reader.

    PYTHONPATH=tools scripts/measure/soak.py [FLIPS] [OPENS]      (default 300 page flips and 100 picture opens)

Needs a built dist/ and the project's Wine prefix (make dist; scripts/setup/wine-prefix.sh).
"""
import os
import shutil
import sys

import trovedrive
from trovedrive import CORPORA, bmp24
from trovedrive.canvas import CANVAS_H, ZOOM, cell_origin

EVERY = 20


def picture_tree():
    """40 pictures: BMPs of several sizes and the corpora's sample JPEGs."""
    tree = {}
    for i in range(30):
        w, h = 40 + 37 * i, 30 + 23 * i
        tree["p%02d.bmp" % i] = bmp24(w, h, lambda x, y, i=i: ((x * 7 + i) % 256, y % 256, 90))
    root = trovedrive.make_tree(tree)
    samples = os.path.join(CORPORA, "libjpeg-turbo-testimages")
    for i, name in enumerate(sorted(f for f in os.listdir(samples) if f.endswith(".jpg"))[:10]):
        shutil.copy(os.path.join(samples, name), os.path.join(root, "j%02d-%s" % (i, name)))
    return root


def main():
    flips = int(sys.argv[1]) if len(sys.argv) > 1 else 300
    opens = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    root = picture_tree()
    readings = []
    try:
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=root) as s:
            s.start()
            s.wait_window("GAME")
            s.move(1270, 10)
            s.key("t", page=True)
            done = 0

            def report():
                kib = s.resident_kib()
                readings.append(kib)
                print("%4d operations: resident %7d KiB" % (done, kib), flush=True)

            report()
            # Flips: forward through the pages and back again, over and over.
            forward = True
            for n in range(flips):
                if n % 3 == 0 and n:
                    forward = not forward
                s.key("bracketright" if forward else "bracketleft", page=True)
                done += 1
                if done % EVERY == 0:
                    report()
            # Opens: a picture of the first page, then back to the page.
            s.key("bracketleft", "bracketleft", "bracketleft", page=True)
            for n in range(opens):
                x0, y0 = cell_origin(2 + n % 8)  # past "." and ".."
                s.right_click(*trovedrive.canvas_click_point(x0 + 20, y0 + 10, CANVAS_H, ZOOM))
                s.right_click(*trovedrive.canvas_click_point(320, 300, CANVAS_H, ZOOM), page=True)
                done += 1
                if done % EVERY == 0:
                    report()
                if s.proc.poll() is not None:
                    print("the program ended after %d operations" % done)
                    return 1
            s.key("Escape")
            code = s.wait_exit(timeout=60)
    finally:
        trovedrive.remove_tree(root)
    first, last = readings[0], readings[-1]
    print("resident memory: %d KiB at start, %d KiB at the end (%+d KiB), peak %d KiB; exit %d"
          % (first, last, last - first, max(readings), code))
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
