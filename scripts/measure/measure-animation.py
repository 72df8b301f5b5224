#!/usr/bin/env python3
"""Measures the processor time the Linux program takes over 10 seconds each: at rest on a page,
playing a small animated GIF in the picture view (3 frames of 10 ms, shown as 100 ms), playing a
hostile one (3,000 frames without delays), and at rest again after leaving the picture. The
program should rest between frames: an animation costs a small share of one processor, rest
next to nothing. Nothing is asserted: this is a measurement, not a test.

Usage: PYTHONPATH=tools scripts/measure/measure-animation.py   (after `make dist-linux`)
"""
import os
import time

# The drive library reads which program it drives when it is first imported.
os.environ["TROVE_PROGRAM"] = "linux"
import trovedrive  # noqa: E402
from trovedrive.canvas import CANVAS_H, ZOOM, cell_origin  # noqa: E402

SECONDS = 10.0


def over(pid, label):
    before, start = trovedrive.process_seconds(pid), time.monotonic()
    time.sleep(SECONDS)
    used, wall = trovedrive.process_seconds(pid) - before, time.monotonic() - start
    print("  %-44s %6.3f s of processor time in %.1f s" % (label, used, wall))


def open_cell(s, names, name):
    cx, cy = cell_origin(names.index(name))
    s.right_click(*trovedrive.canvas_click_point(cx + 40, cy + 40, CANVAS_H, ZOOM))
    # The pointer rests outside the window, so that it moves nothing while the time runs.
    s.move(1279, 1023)


def main():
    colours = [(40 + i % 200, 200 - i % 150, (7 * i) % 256) for i in range(3000)]
    folder = trovedrive.make_tree({
        "a-frames.gif": trovedrive.animated_gif(48, ((200, 40, 160), (40, 200, 160),
                                                     (160, 40, 200)), 1),
        "b-many.gif": trovedrive.animated_gif(48, colours, 0),
    })
    try:
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=folder) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(folder)
            s.settle()
            s.move(1270, 10)
            s.key("t", page=True)
            pid = s.trove_pids()[0]
            print("Linux program (pid %d), each over %.0f s:" % (pid, SECONDS))
            s.move(1279, 1023)
            over(pid, "at rest on the page")
            open_cell(s, names, "a-frames.gif")
            over(pid, "playing 3 frames of 10 ms (48 x 48)")
            s.key("t", page=True)
            open_cell(s, names, "b-many.gif")
            over(pid, "playing 3,000 frames without delay")
            s.key("t", page=True)
            s.move(1279, 1023)
            over(pid, "at rest on the page again")
            s.key("Escape")
            s.wait_exit()
    finally:
        trovedrive.remove_tree(folder)


if __name__ == "__main__":
    main()
