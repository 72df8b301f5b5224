"""Thumbnail pages and the single-picture view, and pages of hostile files."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest
import zlib

import trovedrive
from trovedrive import CORPORA, animated_gif, bmp24, red_with_blue_corner
from trovedrive.canvas import (BLUE, CANVAS_H, CELL, COLUMNS, GREEN, RED, ROWS, WHITE, ZOOM,
                               ListScreen, cell_origin, pixel)

# One picture per format the Linux program adds to BMP and JPEG, written by the build's own tool:
# 96 x 64, red (220) over green and blue ramps, with a transparent top-left corner.
FORMAT_SAMPLES = ("sample.avif", "sample.gif", "sample.heic", "sample.jxl", "sample.png",
                  "sample.webp")
# Two of the decoder tests' hostile files, written by the same tool and listed after the samples:
# a 10000 x 10000 JPEG XL canvas of 64 layers, and a GIF whose first frame is 65535 x 8192
# pixels on a 1 x 1 screen.
HOSTILE_SAMPLES = ("layers.jxl", "tall-frame.gif")
def png(width, height, colour_type, rows):
    """A PNG of 8-bit samples: colour_type 0 (grey) or 6 (red, green, blue, alpha); rows gives
    each row's bytes."""
    def chunk(kind, data):
        return (len(data).to_bytes(4, "big") + kind + data +
                zlib.crc32(kind + data).to_bytes(4, "big"))
    header = width.to_bytes(4, "big") + height.to_bytes(4, "big") + bytes([8, colour_type, 0, 0, 0])
    raw = b"".join(b"\0" + rows(y) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 1)) +
            chunk(b"IEND", b""))


def exif_turned(jpeg, orientation):
    """The JPEG with an Exif segment saying to show it turned as orientation says."""
    tiff = (b"MM\0*" + (8).to_bytes(4, "big") + (1).to_bytes(2, "big") +
            bytes.fromhex("0112000300000001") + orientation.to_bytes(2, "big") + bytes(6))
    block = b"Exif\0\0" + tiff
    return jpeg[:2] + b"\xff\xe1" + (len(block) + 2).to_bytes(2, "big") + block + jpeg[2:]


FRAME_COLOURS = ((200, 40, 160), (40, 200, 160), (160, 40, 200))


def click(s, x, y, page=False):
    s.right_click(*trovedrive.canvas_click_point(x, y, CANVAS_H, ZOOM), page=page)


class PicturesTest(unittest.TestCase):
    def setUp(self):
        tree = {
            "red.bmp": bmp24(100, 50, red_with_blue_corner),
            "green odd.bmp": bmp24(61, 61, lambda x, y: GREEN),
            "notes.txt": b"not a picture",
            "subdir": None,
        }
        for i in range(10):
            tree["z%02d.bmp" % i] = bmp24(8, 8, lambda x, y, i=i: (20 * i, 100, 200))
        self.root = trovedrive.make_tree(tree)
        shutil.copy(os.path.join(CORPORA, "libjpeg-turbo-testimages", "testorig.jpg"),
                    os.path.join(self.root, "photo.jpg"))
        shutil.copy(os.path.join(CORPORA, "jpeg-decoder-tests", "reftest", "progressive3.jpg"),
                    os.path.join(self.root, "progressive.jpg"))

    def tearDown(self):
        trovedrive.remove_tree(self.root)

    def test_thumbnail_pages_and_the_picture_view(self):
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            self.assertGreater(len(names), COLUMNS * ROWS)
            s.move(1270, 10)
            s.key("t", page=True)
            page = s.screenshot()

            # The red picture: 100 x 50 becomes 140 x 70 at the cell's bottom-left corner.
            x0, y0 = cell_origin(names.index("red.bmp"))
            self.assertEqual(pixel(page, x0 + 100, y0 + 50), RED)
            self.assertEqual(pixel(page, x0 + 6, y0 + 5), BLUE)
            self.assertNotEqual(pixel(page, x0 + 100, y0 + 80), RED)
            # Double white frames around every cell, directories included.
            for name in ("subdir", "notes.txt", "red.bmp"):
                cx, cy = cell_origin(names.index(name))
                self.assertEqual(pixel(page, cx, cy + 60), WHITE, name)
                self.assertEqual(pixel(page, cx + 1, cy + 60), WHITE, name)
                self.assertEqual(pixel(page, cx + CELL + 1, cy + 60), WHITE, name)
            # A directory and a text file: frame and caption only.
            cx, cy = cell_origin(names.index("subdir"))
            self.assertEqual(pixel(page, cx + 70, cy + 60), (0, 0, 0))
            # The JPEGs: many colours.
            for name in ("photo.jpg", "progressive.jpg"):
                cx, cy = cell_origin(names.index(name))
                colours = {pixel(page, cx + dx, cy + dy) for dx in range(4, 130, 6)
                           for dy in range(4, 60, 6)}
                self.assertGreater(len(colours), 20, name)

            # Right bracket: the next page starts at entry 13; left bracket comes back.
            s.key("bracketright", page=True)
            nxt = s.screenshot()
            x1, y1 = cell_origin(0)
            first_next = names[COLUMNS * ROWS]
            self.assertTrue(first_next.startswith("z"), first_next)
            self.assertNotEqual(pixel(nxt, x1 + 4, y1 + 4), (0, 0, 0))
            self.assertNotEqual(pixel(nxt, x0 + 100, y0 + 50), RED)
            s.key("bracketleft", page=True)
            self.assertEqual(pixel(s.screenshot(), x0 + 100, y0 + 50), RED)

            # A right click on the red picture opens it: 50 x 25 at step 4, placement 3.
            click(s, x0 + 70, y0 + 35)
            s.move(*trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
            view = s.screenshot()
            # Centre at (3 * 250 - 640, 3 * 200 - 512) = (110, 88): x 85..134, y 75..99.
            self.assertEqual(pixel(view, 120, 95), RED)
            self.assertEqual(pixel(view, 87, 76), BLUE)
            self.assertEqual(pixel(view, 140, 95), (0, 0, 0))
            # Moving the pointer 10 pixels moves the picture 30.
            s.move(*trovedrive.canvas_click_point(260, 200, CANVAS_H, ZOOM))
            moved = s.screenshot()
            self.assertEqual(pixel(moved, 150, 95), RED)
            self.assertEqual(pixel(moved, 117, 76), BLUE)
            # 7: centred under the pointer; 1: step 1, twice the picture's size (200 x 100).
            s.key("7", "1")
            big = s.screenshot()
            # Centre (260, 200): x 160..359, y 150..249; the blue corner 40 x 20.
            self.assertEqual(pixel(big, 350, 240), RED)
            self.assertEqual(pixel(big, 165, 155), BLUE)
            self.assertEqual(pixel(big, 205, 155), RED)
            self.assertEqual(pixel(big, 155, 155), (0, 0, 0))

            # Any right click returns to the page.
            click(s, 400, 400, page=True)
            self.assertEqual(pixel(s.screenshot(), x0 + 100, y0 + 50), RED)

            # A click on empty canvas below the top 30 rows returns to the list.
            click(s, 620, 40)
            self.assertNotEqual(ListScreen(s.screenshot()).row_colours(2), set())
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipUnless(trovedrive.LINUX, "the Linux program's picture view")
    def test_a_large_picture_opens_whole_and_space_shows_the_next(self):
        def framed(width, height, inside, frame=40):
            """A 24-bit BMP of width x height in colour inside, framed in green."""
            def row(colour):
                return bytes(reversed(colour)) * width
            edge = row(GREEN)
            middle = row(GREEN)[:3 * frame] + row(inside)[3 * frame:3 * (width - frame)] + \
                row(GREEN)[:3 * frame]
            pixels = edge * frame + middle * (height - 2 * frame) + edge * frame
            header = (b"BM" + (54 + len(pixels)).to_bytes(4, "little") + bytes(4) +
                      (54).to_bytes(4, "little") + (40).to_bytes(4, "little") +
                      width.to_bytes(4, "little") + height.to_bytes(4, "little") +
                      (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24))
            return header + pixels
        # 1600 x 1200 fits the 640 x 512 canvas as 640 x 480; the next picture lies beyond
        # twelve entries that are no pictures, on the second page.
        tree = {"big.bmp": framed(1600, 1200, RED), "next.bmp": framed(1400, 1100, BLUE)}
        tree.update({"c%02d.txt" % i: b"x" for i in range(12)})
        folder = trovedrive.make_tree(tree)
        self.addCleanup(trovedrive.remove_tree, folder)
        with trovedrive.Desktop(screen=(1280, 1024)) as s:
            names = s.list_directory(folder)
            s.start(args=[os.path.join(folder, "big.bmp")])
            s.wait_window("GAME")
            s.settle()
            view = s.screenshot()
            # The whole frame, 16 canvas pixels wide, on all four sides of the centred picture.
            for x, y in ((6, 256), (633, 256), (320, 22), (320, 489)):
                self.assertEqual(pixel(view, x, y), GREEN, (x, y))
            self.assertEqual(pixel(view, 200, 200), RED)
            self.assertNotEqual(pixel(view, 320, 12), GREEN)  # nothing beyond the picture
            s.key("space")
            self.assertEqual(pixel(s.screenshot(), 200, 200), BLUE)
            s.key("t", page=True)
            k = names.index("next.bmp") + 1
            x0, y0 = cell_origin((k - 1) % (COLUMNS * ROWS))
            self.assertEqual(pixel(s.screenshot(), x0 + 70, y0 + 50), BLUE)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipUnless(trovedrive.LINUX, "the Linux program's pictures")
    def test_turned_photos_fine_patterns_and_transparency_as_they_look(self):
        with open(os.path.join(CORPORA, "libjpeg-turbo-testimages", "testorig.jpg"), "rb") as f:
            photo = f.read()
        checks = bytes([0, 255]) * 2000
        tree = {
            # 227 x 149 stored, shown turned a quarter clockwise: 149 x 227.
            "a-turned.jpg": exif_turned(photo, 6),
            # 4000 x 3000 single black and white pixels.
            "b-board.png": png(4000, 3000, 0, lambda y: checks[y & 1:] + checks[:y & 1]),
            # A black square in the middle of a clear 96 x 96 picture.
            "c-shape.png": png(96, 96, 6, lambda y: b"".join(
                bytes([0, 0, 0, 255 if 32 <= x < 64 and 32 <= y < 64 else 0])
                for x in range(96))),
            # Three frames of a tenth of a second each.
            "d-frames.gif": animated_gif(48, FRAME_COLOURS, 10),
        }
        folder = trovedrive.make_tree(tree)
        self.addCleanup(trovedrive.remove_tree, folder)
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=folder) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(folder)
            s.move(1270, 10)
            s.key("t", page=True)
            page = s.screenshot()
            # The turned photo stands: 92 x 140 canvas pixels from the cell's bottom left.
            cx, cy = cell_origin(names.index("a-turned.jpg"))
            self.assertNotEqual(pixel(page, cx + 40, cy + 125), (0, 0, 0))
            self.assertEqual(pixel(page, cx + 120, cy + 40), (0, 0, 0))
            # The checkerboard: an even grey all over its cell.
            cx, cy = cell_origin(names.index("b-board.png"))
            for dx in range(10, 130, 15):
                for dy in range(10, 95, 15):
                    r, g, b = pixel(page, cx + dx, cy + dy)
                    self.assertTrue(abs(r - 128) <= 8 and r == g == b, (dx, dy, (r, g, b)))
            # The black square over neutral checks.
            cx, cy = cell_origin(names.index("c-shape.png"))
            self.assertEqual(pixel(page, cx + 70, cy + 70), (0, 0, 0))
            for dx, dy in ((10, 10), (130, 130), (10, 130)):
                r, g, b = pixel(page, cx + dx, cy + dy)
                self.assertTrue(r >= 0x60 and r == g == b, (dx, dy, (r, g, b)))
            # Opened, half its size around (110, 88): the square over checks, then the photo
            # standing, 75 x 114.
            click(s, cx + 70, cy + 70)
            s.move(*trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
            view = s.screenshot()
            self.assertEqual(pixel(view, 110, 88), (0, 0, 0))
            r, g, b = pixel(view, 90, 68)
            self.assertTrue(r >= 0x60 and r == g == b, (r, g, b))
            click(s, 400, 400, page=True)
            cx, cy = cell_origin(names.index("a-turned.jpg"))
            click(s, cx + 40, cy + 70)
            s.move(*trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
            view = s.screenshot()
            self.assertNotEqual(pixel(view, 110, 140), (0, 0, 0))
            self.assertEqual(pixel(view, 60, 88), (0, 0, 0))
            # The animation plays each of its frames in turn, and rests between them.
            click(s, 400, 400, page=True)
            cx, cy = cell_origin(names.index("d-frames.gif"))
            click(s, cx + 40, cy + 40)
            s.move(*trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
            started, used = time.time(), trovedrive.process_seconds(s.proc.pid)
            seen = set()
            while len(seen) < 3 or time.time() < started + 1:
                self.assertLess(time.time(), started + 20, seen)
                shot = s.screenshot()
                seen |= {c for c in FRAME_COLOURS if shot.holds(c, 0, 0, shot.width, shot.height)}
            self.assertLess(trovedrive.process_seconds(s.proc.pid) - used, 0.5 * (time.time() - started))
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipUnless(trovedrive.LINUX, "the Windows program shows BMP and JPEG only")
    def test_every_further_format_shows_a_thumbnail_and_opens(self):
        folder = trovedrive.make_tree({})
        try:
            with tempfile.TemporaryDirectory() as hostile:
                subprocess.run([os.path.join(trovedrive.BUILD, "make_format_samples"), folder,
                                hostile], check=True, timeout=120)
                for name in HOSTILE_SAMPLES:
                    shutil.copy(os.path.join(hostile, name), os.path.join(folder, "z-" + name))
            with trovedrive.Desktop(screen=(1280, 1024), start_dir=folder) as s:
                s.start()
                s.wait_window("GAME")
                names = s.list_directory(folder)
                self.assertEqual(names[2:], list(FORMAT_SAMPLES) + ["z-" + n for n in HOSTILE_SAMPLES])
                s.settle()
                s.move(1270, 10)
                s.key("t", page=True)
                page = s.screenshot()
                # Each thumbnail fills its cell's middle with the picture's red (the AVIF one is
                # turned, its transparent corner then at the bottom left, away from the middle).
                for name in FORMAT_SAMPLES:
                    cx, cy = cell_origin(names.index(name))
                    middle = [pixel(page, cx + dx, cy + dy) for dx in range(30, 90, 10)
                              for dy in range(30, 60, 10)]
                    self.assertTrue(all(r > 150 and r > g + 40 for r, g, b in middle),
                                    (name, middle))
                # A right click on the PNG opens it: half its size, centred as for the BMP above.
                cx, cy = cell_origin(names.index("sample.png"))
                self.assertEqual(pixel(page, 110, 88), (0, 0, 0))
                click(s, cx + 50, cy + 40)
                s.move(*trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
                r, g, b = pixel(s.screenshot(), 110, 88)
                self.assertTrue(r > 150 and r > g + 40, (r, g, b))
                # The tall GIF opens at once: a key sent with the click is answered within half
                # a second, the open's own pause included (a second is allowed here, where the
                # other program's tests load the machine beside these).
                click(s, 400, 400, page=True)
                cx, cy = cell_origin(names.index("z-tall-frame.gif"))
                s.right_click(*trovedrive.canvas_click_point(cx + 50, cy + 40, CANVAS_H, ZOOM),
                              wait=False)
                start = time.monotonic()
                s.key("period")
                self.assertLess(time.monotonic() - start, 1.0)
                # Back to the page that holds the layered JPEG XL file: Escape sent with T ends
                # Trove within half a second.
                s.xdotool("key", "t")
                start = time.monotonic()
                s.xdotool("key", "Escape")
                self.assertEqual(s.wait_exit(), 0)
                self.assertLess(time.monotonic() - start, 1.0)
        finally:
            trovedrive.remove_tree(folder)

    def test_pages_of_hostile_files_do_not_bring_the_program_down(self):
        hostile = trovedrive.make_tree({})
        try:
            n = 0
            for folder in (("bmpsuite", "b"), ("bmpsuite", "q"), ("jpeg-decoder-tests", "crashtest"),
                           ("go-fuzz-corpus", "bmp", "corpus"), ("go-fuzz-corpus", "jpeg", "corpus")):
                src = os.path.join(CORPORA, *folder)
                for dirpath, _, files in os.walk(src):
                    for f in sorted(files):
                        ext = ".bmp" if "bmp" in folder[-1] or folder[0] == "bmpsuite" else ".jpg"
                        if f.lower().endswith((".bmp", ".jpg", ".jpeg")):
                            ext = ""
                        shutil.copy(os.path.join(dirpath, f),
                                    os.path.join(hostile, "%04d-%s%s" % (n, f[:40], ext)))
                        n += 1
            pages = (n + 2 + COLUMNS * ROWS - 1) // (COLUMNS * ROWS)
            with trovedrive.Desktop(screen=(1280, 1024), start_dir=hostile) as s:
                s.start()
                s.wait_window("GAME")
                s.key("t", page=True)
                for _ in range(pages):
                    s.key("bracketright", page=True)
                    self.assertIsNone(s.proc.poll(), "the program ended on a page of hostile files")
                s.key("Escape")
                self.assertEqual(s.wait_exit(timeout=120), 0)
        finally:
            trovedrive.remove_tree(hostile)


if __name__ == "__main__":
    unittest.main(verbosity=2)
