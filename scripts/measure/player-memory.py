#!/usr/bin/env python3
"""Plays ten files one after the other in one run of the Linux program dist-linux/trove on a
private Xvfb screen, each chosen with two right clicks and left to play to its end, and prints
after each play the resident memory of Trove and the largest resident memory the player reached
while it played. The media (2 s of WebM, Ogg/Theora and WAV, in turn) are made with GStreamer's
command-line tool. Nothing is asserted: this is a measurement, not a test.

Usage: PYTHONPATH=tools scripts/measure/player-memory.py   (after `make dist-linux`)
"""
import os
import subprocess
import time

# The drive library reads which program it drives when it is first imported.
os.environ["TROVE_PROGRAM"] = "linux"
import trovedrive  # noqa: E402
from trovedrive.canvas import row_click  # noqa: E402

PLAYER = "Spool video and audio player"
KINDS = [
    ("webm", "videotestsrc num-buffers=30 pattern=ball ! "
             "video/x-raw,width=320,height=240,framerate=15/1 ! vp8enc deadline=1 ! webmmux"),
    ("ogv", "videotestsrc num-buffers=30 pattern=ball ! "
            "video/x-raw,width=320,height=240,framerate=15/1 ! theoraenc ! oggmux"),
    ("wav", "audiotestsrc num-buffers=86 ! wavenc"),
]


def main():
    folder = trovedrive.make_tree({})
    try:
        names = []
        for i in range(10):
            kind, pipeline = KINDS[i % len(KINDS)]
            name = "play%02d.%s" % (i + 1, kind)
            subprocess.run(["gst-launch-1.0", "-q"] + pipeline.split() +
                           ["!", "filesink", "location=" + os.path.join(folder, name)],
                           check=True)
            names.append(name)
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=folder) as s:
            s.start()
            s.wait_window("GAME")
            listed = s.list_directory(folder)
            s.settle()
            print("before any play: trove %d KiB" % s.resident_kib())
            for name in names:
                row = row_click(listed.index(name) + 1)
                s.right_click(*row)
                s.right_click(*row)
                s.wait_window(PLAYER)
                peak = 0
                deadline = time.time() + 60
                while time.time() < deadline and s.find_windows(PLAYER):
                    peak = max(peak, s.resident_kib(s.player_pids()))
                    time.sleep(0.1)
                while time.time() < deadline and s.player_pids():
                    time.sleep(0.1)
                print("after %s: trove %d KiB, player %d KiB at most" %
                      (name, s.resident_kib(), peak), flush=True)
            s.key("Escape")
            s.wait_exit()
    finally:
        trovedrive.remove_tree(folder)


if __name__ == "__main__":
    main()
