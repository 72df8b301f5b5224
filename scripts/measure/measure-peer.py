#!/usr/bin/env python3
"""Measures, side by side in one run on the same private 1920 x 1080 Xvfb screen and the same
files, the Linux program's cold thumbnail page and a peer viewer's (nsxiv, from the
distribution) cold thumbnail mode: 18 photos of 4000 x 3000, three rounds, each program started
afresh with nothing kept from a round before. For the Linux program: T until the whole page is
drawn, as the program reports it; for the peer: from its start until its thumbnail cache
holds a thumbnail of every photo (its start-up counts against it). Peak resident memory
(VmHWM) of each. Nothing is asserted: this is a measurement, not a test.

Usage: PYTHONPATH=tools scripts/measure/measure-peer.py   (after `make dist-linux`; needs nsxiv)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

# The drive library reads which program it drives when it is first imported.
os.environ["TROVE_PROGRAM"] = "linux"
import measure_page  # noqa: E402

PHOTOS = 18
ROUNDS = 3


def peak_memory_mb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return float("nan")


def trove_round(photos):
    with measure_page.trovedrive.Desktop(screen=(1920, 1080), start_dir=photos) as s:
        s.start()
        s.wait_window("GAME")
        s.settle()
        s.move(1200, 900)
        s.key("F6")
        # Timed by the program's own report of the complete page, so that no screen sampling
        # competes with the decoding.
        start = time.monotonic()
        s.key("t", page=True)
        seconds = time.monotonic() - start
        pids = s.trove_pids()
        memory = peak_memory_mb(pids[0]) if pids else float("nan")
        s.key("Escape")
        s.wait_exit()
        return seconds, memory


def peer_round(photos):
    cache = tempfile.mkdtemp(prefix="peer-cache-")
    try:
        with measure_page.trovedrive.Desktop(screen=(1920, 1080), start_dir=photos) as s:
            env = dict(s.env(), XDG_CACHE_HOME=cache)
            files = sorted(os.path.join(photos, n) for n in os.listdir(photos))
            start = time.monotonic()
            peer = subprocess.Popen(["nsxiv", "-t", "-g", "1920x1080+0+0"] + files, env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            seconds = float("nan")
            memory = float("nan")
            while time.monotonic() - start < 120:
                written = sum(len(f) for _, _, f in os.walk(cache))
                memory = peak_memory_mb(peer.pid)
                if written >= len(files):
                    seconds = time.monotonic() - start
                    break
                time.sleep(0.01)
            peer.terminate()
            peer.wait()
            return seconds, memory
    finally:
        shutil.rmtree(cache, ignore_errors=True)


def main():
    if not shutil.which("nsxiv"):
        sys.exit("measure-peer: nsxiv is not installed")
    photos = measure_page.make_photos(PHOTOS)
    try:
        print("%d photos of 4000 x 3000, cold, %d rounds:" % (PHOTOS, ROUNDS))
        for r in range(ROUNDS):
            ours, our_memory = trove_round(photos)
            theirs, their_memory = peer_round(photos)
            print("  round %d: trove page %6.3f s, peak %5.0f MB;  nsxiv thumbnails %6.3f s, "
                  "peak %5.0f MB;  %.1f times as fast" %
                  (r + 1, ours, our_memory, theirs, their_memory, theirs / ours))
    finally:
        measure_page.trovedrive.remove_tree(photos)


if __name__ == "__main__":
    main()
