#!/usr/bin/env python3
"""Measures the Linux program dist-linux/trove on a private 1920 x 1080 Xvfb screen and prints,
from a key press to the screen: T until the first picture and until the whole page, T and T
again 0.3 s later until the list, ] after 3 s at rest until the next page, the CPU time at
rest, and Escape until the process is gone (at rest, and during a page). Nothing is asserted:
this is a measurement, not a test.

Usage: PYTHONPATH=tools scripts/measure/measure-linux.py [escape]   (after `make dist-linux`; builds the photos with the
native tool; with escape, only the Escape figures)
"""
import os
import sys

# The drive library reads which program it drives when it is first imported.
os.environ["TROVE_PROGRAM"] = "linux"
import measure_page  # noqa: E402


def main():
    photos = measure_page.make_photos(measure_page.PHOTOS)
    try:
        with measure_page.trovedrive.Desktop(screen=(1920, 1080), start_dir=photos) as s:
            if sys.argv[1:] != ["escape"]:
                measure_page.measure_responses(s, photos, "trove")
                s.stop()
                s.start_display()
            measure_page.measure_escape(s, photos, "trove")
    finally:
        measure_page.trovedrive.remove_tree(photos)


if __name__ == "__main__":
    main()
