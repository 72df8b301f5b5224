"""Responsiveness of the running program, from a key press to the screen, measured on a private
1920 x 1080 Xvfb screen in a folder of 40 photos of 4000 x 3000 (two pages at 1280 x 960 with
200-pixel cells). Shared by measure-wine.py (the Windows program under Wine) and
measure-linux.py (the Linux program). TROVE_PROGRAM must be set before this module is imported.

The screen is sampled with xwd about every 40 to 100 ms, so every time is an upper bound by
that much. Each figure is the time until the sampled points first show what they show once the
screen has settled. measure_escape times Escape until the program's process is gone, polled
every 10 ms. Nothing is asserted: this is a measurement, not a test.
"""
import os
import struct
import subprocess
import tempfile
import time

import trovedrive

BUILD_NATIVE = os.path.join(trovedrive.ROOT, "build", "native")
CANVAS_H = 960  # display mode 0 (F6): 1280 x 960 at zoom 1, window at the top-left corner
CELL = 200
COLUMNS = (1280 - 2) // CELL
CELLS = COLUMNS * ((CANVAS_H - 62) // CELL)
PHOTOS = 40


def cell_origin(index):
    c, r = index % COLUMNS, index // COLUMNS
    return CELL * c + 10, CANVAS_H - CELL * r - CELL - 31


def photo_point(index):
    """A screen point inside the thumbnail of the photo in cell index of its page."""
    x0, y0 = cell_origin(index % CELLS)
    return x0 + 100, CANVAS_H - 1 - (y0 + 75)


# The left frame line of the page's first cell ("." needs no decode, so it is drawn at once);
# the list view leaves it black.
FIRST_FRAME = (cell_origin(0)[0], CANVAS_H - 1 - (cell_origin(0)[1] + 5))


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


def idle_cpu(pid, seconds=5.0):
    before = trovedrive.process_seconds(pid)
    time.sleep(seconds)
    return trovedrive.process_seconds(pid) - before


def sample_after(desktop, keys, points, settled, timeout=60.0, settle=2.0):
    """Presses keys (a list of (delay before, key)), then samples points until settled(colours)
    has held for settle seconds. Returns [(seconds since the last key, colours)], the last one
    being the settled screen."""
    for delay, key in keys:
        time.sleep(delay)
        desktop.xdotool("key", key)
    start = time.time()
    samples = []
    since = None
    while time.time() - start < timeout:
        colours = probe(desktop, points)
        samples.append((time.time() - start, colours))
        if settled(colours):
            since = since or time.time()
            if time.time() - since >= settle:
                return samples
        else:
            since = None
    shot = os.path.join(tempfile.gettempdir(), "trove-measure-timeout.png")
    desktop.screenshot().save_png(shot)
    print("  (%s: not settled after %.0f s; the screen is in %s)" % (keys[-1][1], timeout, shot))
    return samples


def first_time(samples, indices):
    """Seconds until the points at indices first show their settled colours."""
    final = samples[-1][1]
    for t, colours in samples:
        if all(colours[i] == final[i] for i in indices):
            return t
    return float("nan")


def make_photos(count):
    photos = tempfile.mkdtemp(prefix="trove-photos-")
    tool = os.path.join(BUILD_NATIVE, "make_photos")
    if not os.path.exists(tool):
        subprocess.run(["cmake", "--build", BUILD_NATIVE, "--target", "make_photos"], check=True)
    subprocess.run([tool, photos, str(count), "4000", "3000"], check=True)
    return photos


def measure_responses(s, photos, label):
    """The figures of the running program, started on s in photos."""
    s.start()
    s.wait_window("GAME")
    names = s.list_directory(photos)
    s.settle()
    pids = s.trove_pids()
    pid = pids[0] if pids else None
    print("\n%s end to end (pid %s), %d photos of 4000 x 3000:" % (label, pid, PHOTOS))
    # Inside the window in every mode: X sends the keys where the pointer is.
    s.move(1200, 900)
    if pid:
        print("  CPU over 5 idle seconds, list view:          %6.3f s" % idle_cpu(pid))
    s.key("F6")
    photo_cells = [i for i, n in enumerate(names) if n.endswith(".jpg")]
    first_page = [i for i in photo_cells if i < CELLS]
    second_page = [i for i in photo_cells if CELLS <= i < 2 * CELLS]
    points = [photo_point(i) for i in first_page]
    non_black = lambda c: all(p != (0, 0, 0) for p in c)  # noqa: E731

    page = sample_after(s, [(0, "t")], points, non_black)
    print("  T until the first picture is drawn:          %6.3f s" % first_time(page, [0]))
    print("  T until the whole page is drawn:             %6.3f s" %
          first_time(page, range(len(points))))

    s.key("t")  # back to the list
    listed = lambda c: all(p == (0, 0, 0) for p in c)  # noqa: E731
    back = sample_after(s, [(0, "t"), (0.3, "t")], points + [FIRST_FRAME], listed, settle=1.0)
    print("  T, T again 0.3 s later, until the list:      %6.3f s" %
          first_time(back, range(len(points) + 1)))

    # The first page whole, three seconds at rest, then the next page.
    sample_after(s, [(0, "t")], points, non_black)
    time.sleep(3.0)
    points = [photo_point(i) for i in second_page]
    turned = sample_after(s, [(0, "bracketright")], points, non_black)
    print("  ] after 3 s at rest until the next page:     %6.3f s" %
          first_time(turned, range(len(points))))
    if pid:
        print("  CPU over the following 5 idle seconds:       %6.3f s" % idle_cpu(pid))


def until_gone(desktop, start, timeout=60.0):
    """Seconds since start until the program's process has ended, polled every 10 ms, and its
    exit code."""
    while time.time() - start < timeout:
        if desktop.proc.poll() is not None and not desktop.trove_pids():
            return time.time() - start, desktop.proc.returncode
        time.sleep(0.01)
    return float("nan"), None


def measure_escape(s, photos, label, runs=5):
    """Escape until the program's process is gone: at rest in the list view, and while the
    first page is being decoded (pressed as soon as its first picture is drawn, when the next
    decodes have just begun). Each run starts the program anew on s in photos."""
    names = s.list_directory(photos)
    first_page = [i for i, n in enumerate(names) if n.endswith(".jpg") and i < CELLS]
    first_point = [photo_point(first_page[0])]
    print("\n%s Escape until the process is gone, %d photos of 4000 x 3000:" % (label, PHOTOS))
    for during_page in (False, True):
        for run in range(runs):
            s.start()
            s.wait_window("GAME")
            s.move(1200, 900)
            s.key("F6")
            shown = ""
            if during_page:
                s.xdotool("key", "t")
                start = time.time()
                while probe(s, first_point)[0] == (0, 0, 0) and time.time() - start < 60:
                    time.sleep(0.01)
                shown = " (first picture after %.3f s)" % (time.time() - start)
            pressed = time.time()
            s.xdotool("key", "Escape")
            seconds, code = until_gone(s, pressed)
            print("  %-26s run %d: %6.3f s, exit code %s%s" %
                  ("during the first page," if during_page else "in the list view at rest,",
                   run + 1, seconds, code, shown))
            if code is None:
                s.proc.kill()
                s.proc.wait()
