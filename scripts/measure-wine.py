#!/usr/bin/env python3
"""Measures Trove under Wine on a private 1920 x 1080 Xvfb screen and prints the figures.

1. The Windows picture loader's timings (build/win32/page_timing.exe): 18 photos of
   4000 x 3000 decoded one after another alone, their thumbnail page cold and revisited.
2. End to end with dist/trove.exe started in a folder of those 18 photos:
   - the CPU time trove.exe uses over 5 idle seconds in the list view (and in the page view);
   - after F6 (1280 x 960, 200-pixel cells: all 18 photos on one page), T until the page is
     on screen, cold, and revisited (T back to the list, T again).
Screen contents are sampled with xwd about every 40 to 100 ms, so the page times are upper
bounds by that much. Nothing is asserted: this is a measurement, not a test.

Usage: scripts/measure-wine.py   (after `make dist`; builds the photos with the native tool)
"""
import os
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import trove_e2e  # noqa: E402

BUILD_NATIVE = os.path.join(ROOT, "build", "native")
BUILD_WIN32 = os.path.join(ROOT, "build", "win32")
CANVAS_H = 960  # display mode 0 (F6): 1280 x 960 at zoom 1, window at the top-left corner
CELL = 200
COLUMNS = (1280 - 2) // CELL


def cell_origin(index):
    c, r = index % COLUMNS, index // COLUMNS
    return CELL * c + 10, CANVAS_H - CELL * r - CELL - 31


def probe(desktop, points):
    """The screen's colours at points (x, y), read straight from an xwd dump."""
    data = subprocess.run(["xwd", "-root", "-silent"], env=desktop.env(), capture_output=True,
                          check=True).stdout
    fields = struct.unpack(">25I", data[:100])
    header_size, bits_per_pixel, bytes_per_line, ncolors = fields[0], fields[11], fields[12], fields[19]
    n = bits_per_pixel // 8
    offset = header_size + ncolors * 12
    out = []
    for x, y in points:
        i = offset + y * bytes_per_line + x * n
        out.append((data[i + 2], data[i + 1], data[i]))  # LSBFirst: B, G, R
    return out


def trove_pid(desktop):
    """The process that runs trove.exe (Wine's loader with it on its command line)."""
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmd = f.read().split(b"\0")
            with open("/proc/%s/environ" % pid, "rb") as f:
                env = f.read()
        except OSError:
            continue
        if any(c.endswith(b"trove.exe") for c in cmd) and \
                ("DISPLAY=%s" % desktop.display).encode() + b"\0" in env:
            return int(pid)
    return None


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_cpu(pid, seconds=5.0):
    before = cpu_seconds(pid)
    time.sleep(seconds)
    return cpu_seconds(pid) - before


def time_until(desktop, key, points, done, timeout=60.0):
    """Presses key and returns the seconds until done(colours at points) holds."""
    start = time.time()
    desktop.xdotool("key", key)
    while time.time() - start < timeout:
        if done(probe(desktop, points)):
            return time.time() - start
    shot = os.path.join(tempfile.gettempdir(), "trove-measure-timeout.png")
    desktop.screenshot().save_png(shot)
    print("  (%s: nothing after %.0f s; the screen is in %s)" % (key, timeout, shot))
    return float("nan")


def main():
    photos = tempfile.mkdtemp(prefix="trove-photos-")
    tool = os.path.join(BUILD_NATIVE, "make_photos")
    if not os.path.exists(tool):
        subprocess.run(["cmake", "--build", BUILD_NATIVE, "--target", "make_photos"], check=True)
    subprocess.run([tool, photos, "18", "4000", "3000"], check=True)
    try:
        with trove_e2e.Desktop(screen=(1920, 1080), start_dir=photos) as s:
            print("Windows picture loader under Wine (page_timing.exe):")
            timer = os.path.join(BUILD_WIN32, "page_timing.exe")
            if os.path.exists(timer):
                timing = subprocess.run(["wine", timer, trove_e2e.wine_path(photos)],
                                        env=s.env(), capture_output=True, text=True, timeout=600)
                print(timing.stdout.rstrip() or "  (no figures: %s)" % timing.stderr.strip())
            else:
                print("  (not built: run `make win32` first)")

            s.start()
            s.wait_window("GAME")
            names = s.list_directory(photos)
            time.sleep(3.0)
            pid = trove_pid(s)
            print("\ntrove.exe end to end (pid %s), 18 photos of 4000 x 3000:" % pid)
            # Inside the window in every mode: X sends the keys where the pointer is.
            s.move(1200, 900)
            time.sleep(1.0)
            if pid:
                print("  CPU over 5 idle seconds, list view:      %6.3f s" % idle_cpu(pid))

            s.key("F6", gap=3.0)
            # A point inside the thumbnail of every photo: the page is presented whole, so
            # all of them show at once.
            points = []
            for name in names:
                if name.endswith(".jpg"):
                    x0, y0 = cell_origin(names.index(name))
                    points.append((x0 + 100, CANVAS_H - 1 - (y0 + 75)))
            black = [(0, 0, 0)] * len(points)
            cold = time_until(s, "t", points, lambda c: all(p != (0, 0, 0) for p in c))
            time.sleep(1.0)
            page = probe(s, points)
            print("  T until the page is on screen, cold:      %6.3f s" % cold)
            if pid:
                print("  CPU over 5 idle seconds, thumbnail page: %6.3f s" % idle_cpu(pid))
            s.key("t", gap=2.0)
            listed = probe(s, points)
            revisit = time_until(s, "t", points, lambda c: c == page and c != listed)
            print("  T until the page is on screen, revisited: %6.3f s" % revisit)
            if listed == black:
                print("  (the list view leaves those points black)")
    finally:
        trove_e2e.remove_tree(photos)


if __name__ == "__main__":
    main()
