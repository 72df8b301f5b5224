#!/usr/bin/env python3
"""Measures Trove under Wine on a private 1920 x 1080 Xvfb screen and prints the figures.

1. The Windows picture loader's timings (build/win32/page_timing.exe): 18 photos of
   4000 x 3000 decoded one after another alone, their thumbnail page cold and revisited.
2. End to end with dist/trove.exe started in a folder of 40 such photos, from a key press to
   the screen (measure_page.py): T until the first picture and until the whole page,
   T and T again 0.3 s later until the list, ] after 3 s at rest until the next page, and the
   CPU time at rest.
3. Escape until the process is gone: at rest in the list view, and during the first page.
measure-linux.py measures the Linux program the same way. Nothing is asserted: this is
a measurement, not a test.

Usage: PYTHONPATH=tools scripts/measure/measure-wine.py [escape]   (after `make dist`; builds the photos with the native
tool; with escape, only the Escape figures)
"""
import os
import subprocess
import sys

# The drive library reads which program it drives when it is first imported.
os.environ.setdefault("TROVE_PROGRAM", "wine")
import measure_page  # noqa: E402
import trovedrive  # noqa: E402

BUILD_WIN32 = os.path.join(trovedrive.ROOT, "build", "win32")


def page_timing(s):
    print("Windows picture loader under Wine (page_timing.exe), 18 photos:")
    timer = os.path.join(BUILD_WIN32, "page_timing.exe")
    if not os.path.exists(timer):
        print("  (not built: run `make win32` first)")
        return
    photos = measure_page.make_photos(18)
    try:
        timing = subprocess.run(["wine", timer, trovedrive.wine_path(photos)], env=s.env(),
                                capture_output=True, text=True, timeout=600)
        print(timing.stdout.rstrip() or "  (no figures: %s)" % timing.stderr.strip())
    finally:
        trovedrive.remove_tree(photos)


def main():
    photos = measure_page.make_photos(measure_page.PHOTOS)
    try:
        with trovedrive.Desktop(screen=(1920, 1080), start_dir=photos) as s:
            if sys.argv[1:] != ["escape"]:
                page_timing(s)
                measure_page.measure_responses(s, photos, "trove.exe")
                s.stop()
                s.start_display()
            measure_page.measure_escape(s, photos, "trove.exe")
    finally:
        trovedrive.remove_tree(photos)


if __name__ == "__main__":
    main()
