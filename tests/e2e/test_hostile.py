"""Hostile trees, for the Windows program under Wine and the Linux program: names with printf
specifiers, of 255 bytes, of spaces, in CJK and Latin-1; 5000 files; names and paths at and past
the longest the system takes; a directory that cannot be listed and one deleted between the list and the
click; a symbolic-link loop; empty, cut and very large JPEGs. Through all of it the program
stays up, answers keys, exits 0 on Escape and leaves the tree as it was."""
import os
import socket
import struct
import tempfile
import unittest

import trovedrive
from trovedrive import CORPORA, bmp24
from trovedrive.canvas import (CANVAS_H, CANVAS_W, GREEN, RED, YELLOW, ZOOM, ListScreen,
                               cell_origin, row_click)

GREY = (128, 128, 128)
PLAYER = "Spool video and audio player"
PRINTF_NAME = "100%s %n %x %%d.txt"
LONG_NAME = "l" * 251 + ".txt"  # 255 bytes, the longest name a Linux file system takes
SPACES_NAME = "   "
CJK_PICTURE = "\u5199\u771f.bmp"
CJK_FOLDER = "\u76f8\u518c"
LATIN1_PICTURE = "caf\u00e9.bmp"


def grey_jpeg(width, height):
    """A baseline greyscale JPEG of one flat mid-grey: every block is a zero DC difference and
    an end of block, each coded as the single one-bit code of its table, so even a picture of a
    hundred million pixels takes a few hundred kilobytes."""
    def segment(marker, body):
        return struct.pack(">BBH", 0xFF, marker, len(body) + 2) + body

    dqt = segment(0xDB, b"\x00" + b"\x01" * 64)
    sof = segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    one_code = b"\x01" + b"\x00" * 15 + b"\x00"  # one code of length 1, for symbol 0
    dht = segment(0xC4, b"\x00" + one_code + b"\x10" + one_code)
    sos = segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    bits = 2 * blocks
    data = bytearray(bits // 8)
    if bits % 8:
        data.append(0xFF >> (bits % 8))  # the rest of the last byte padded with ones
    return b"\xff\xd8" + dqt + sof + dht + sos + bytes(data) + b"\xff\xd9"


# The longest path each system takes, without its terminator, as the system counts it: bytes on
# Linux, UTF-16 units on Windows (the host file system under Wine still takes 255-byte names,
# so a name there is at most 85 CJK characters). The start folder is as deep as leaves room for
# a directory name of FITS characters and the two separators of the entered path.
if trovedrive.LINUX:
    LONGEST, CHAR, FITS, PART = 4095, "x", 200, 200
else:
    LONGEST, CHAR, FITS, PART = 259, "\u5199", 84, 80


def length(text):
    return len(text.encode("utf-8")) if trovedrive.LINUX else len(text.encode("utf-16-le")) // 2


def deep_start_folder(root):
    """Segments below root whose program path comes to LONGEST - 2 - FITS."""
    target = LONGEST - 2 - FITS
    used = length(trovedrive.program_path(root))
    parts = []
    while used < target:
        left = target - used - 1
        parts.append(CHAR * (left if left <= PART else PART // 2))
        used += len(parts[-1]) + 1
    return parts


class ListClicks:
    """Acting on list rows with the right button."""

    def act_on(self, s, i):
        """First click selects row i, the second acts on it."""
        s.right_click(*row_click(i))
        s.right_click(*row_click(i))

    def up(self, s):
        self.act_on(s, 2)  # ".." is the second entry either program lists


class HostileTreeTest(ListClicks, unittest.TestCase):
    def setUp(self):
        pictures = os.path.join(CORPORA, "libjpeg-turbo-testimages", "testorig.jpg")
        with open(pictures, "rb") as f:
            photo = f.read()
        tree = {
            PRINTF_NAME: b"printf",
            LONG_NAME: b"long",
            SPACES_NAME: b"spaces",
            CJK_PICTURE: bmp24(8, 8, lambda x, y: (0, 255, 0)),
            CJK_FOLDER: None,
            CJK_FOLDER + "/inner.txt": b"inner",
            LATIN1_PICTURE: bmp24(8, 8, lambda x, y: (0, 0, 255)),
            "empty.jpg": b"",
            "cut.jpg": photo[:len(photo) // 2],
            "many": None,
            "locked": None,
            "locked/secret.txt": b"secret",
            "vanish": None,
            "big/grey.jpg": grey_jpeg(10000, 8100),
            "huge/over.jpg": grey_jpeg(12000, 9000),
            "special": None,
            "special/c-dir.jpg": None,
            # Device names to Windows (under Wine as well), plain one-byte files to Linux.
            "special/con.jpg": b"x",
            "special/nul.bmp": b"x",
            "special/good.bmp": bmp24(8, 8, lambda x, y: (0, 255, 0)),
        }
        self.root = trovedrive.make_tree(tree)
        # Named like pictures and listed before the good one: a FIFO nobody writes to (an open
        # that waited would never end) and, on Linux, a device of endless bytes and a socket.
        os.mkfifo(os.path.join(self.root, "special", "a-pipe.jpg"))
        if trovedrive.LINUX:
            os.symlink("/dev/zero", os.path.join(self.root, "special", "b-zero.jpg"))
            self.socket = socket.socket(socket.AF_UNIX)
            self.socket.bind(os.path.join(self.root, "special", "b-socket.jpg"))
            self.addCleanup(self.socket.close)
        for i in range(5000):
            open(os.path.join(self.root, "many", "f%04d" % i), "wb").close()
        os.symlink("loop", os.path.join(self.root, "loop"))
        os.symlink(".", os.path.join(self.root, "cycle"))
        self.spool_log = tempfile.mktemp(prefix="trove-e2e-spool-")
        # Writable and searchable but not readable: it can be made current, not listed.
        os.chmod(os.path.join(self.root, "locked"), 0o300)
        self.before = trovedrive.snapshot_tree(self.root)

    def tearDown(self):
        os.chmod(os.path.join(self.root, "locked"), 0o755)
        trovedrive.remove_tree(self.root)
        if os.path.exists(self.spool_log):
            os.remove(self.spool_log)

    # ---- helpers ------------------------------------------------------------------------
    def alive(self, s, what):
        self.assertIsNone(s.proc.poll(), "the program ended: %s" % what)

    def play_and_close(self, s, i):
        """Hands row i to the player, waits for its window and closes it again."""
        self.act_on(s, i)
        s.wait_window(PLAYER)
        s.run_helper("close", PLAYER).wait(timeout=30)
        s.wait_window(PLAYER, gone=True)

    def rows(self, s, n):
        return ListScreen(s.screenshot()).rows(n)

    # ---- the test -----------------------------------------------------------------------
    def test_hostile_tree(self):
        # Root reads every directory; without these capabilities "locked" cannot be listed.
        launcher = ("setpriv", "--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search")
        env = {"SPOOL_LOG": trovedrive.program_path(self.spool_log)}
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root, env=env) as s:
            s.start(launcher=launcher)
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            for name in (PRINTF_NAME, LONG_NAME, CJK_PICTURE, CJK_FOLDER, LATIN1_PICTURE):
                self.assertIn(name, names)
            # POSIX names are bytes: all of these are listed as they are.
            if trovedrive.LINUX:
                for name in (SPACES_NAME, "loop", "cycle"):
                    self.assertIn(name, names)
            row = {name: names.index(name) + 1 for name in names}
            s.move(1270, 10)
            # CJK names are all blank advances; the directory that cannot be listed is one.
            start_rows = self.rows(s, len(names))
            self.assertEqual(start_rows[row["locked"] - 1], {YELLOW})
            inked = len([r for r in start_rows if r])

            # A name outside the code page is entered, and ".." leads back.
            self.act_on(s, row[CJK_FOLDER])
            inside = self.rows(s, 4)
            self.assertEqual(inside[:3], [{RED}, {YELLOW}, {GREEN}])  # ".", "..", inner.txt
            self.assertEqual(inside[3], set())
            self.up(s)
            self.assertEqual(len([r for r in self.rows(s, len(names)) if r]), inked)

            # A name outside the code page, a printf name and a long one (and on Linux a name
            # of spaces and a Latin-1 one) are handed to the player whole and verbatim.
            played = (CJK_PICTURE, PRINTF_NAME, LONG_NAME)
            if trovedrive.LINUX:
                played += (SPACES_NAME, LATIN1_PICTURE)
            for name in played:
                self.play_and_close(s, row[name])
                self.alive(s, "playing %r" % name)
            with open(self.spool_log, encoding="utf-8") as f:
                lines = f.read().splitlines()
            # Since ".." led back the browsed path ends with its separator, and the media path
            # puts one more between it and the name.
            folder = trovedrive.program_path(self.root) + 2 * trovedrive.SEPARATOR
            self.assertEqual(lines, [trovedrive.player_line(folder + name) for name in played])

            # A directory that cannot be listed is not entered: the list stays as it was.
            self.act_on(s, row["locked"])
            self.alive(s, "entering a directory that cannot be listed")
            after = self.rows(s, len(names))
            self.assertEqual([bool(r) for r in after], [bool(r) for r in start_rows])
            self.assertEqual(after[row["locked"] - 1], {RED})

            # A directory deleted between the list and the click is not entered either.
            s.right_click(*row_click(row["vanish"]))
            os.rmdir(os.path.join(self.root, "vanish"))
            s.right_click(*row_click(row["vanish"]))
            self.alive(s, "entering a vanished directory")
            self.assertEqual(self.rows(s, len(names))[row["vanish"] - 1], {RED})

            # The symbolic-link loop and the link to its own directory.
            # (Wine lists no entry for a link that resolves to itself.)
            if trovedrive.LINUX:
                # The loop cannot be resolved, so it is no directory; the link to "." is one.
                self.assertEqual(start_rows[row["loop"] - 1], {GREEN})
                self.assertEqual(start_rows[row["cycle"] - 1], {YELLOW})
            for name in ("loop", "cycle"):
                if name not in row:
                    continue
                if start_rows[row[name] - 1] == {GREEN}:  # listed as a file: it is played
                    self.play_and_close(s, row[name])
                else:
                    self.act_on(s, row[name])
                    self.up(s)
                self.alive(s, "acting on %s" % name)
            # Read again: the deleted directory is gone from the list.
            s.key("r")
            rescanned = self.rows(s, len(names))
            self.assertEqual(len([r for r in rescanned if r]), inked - 1)
            inked -= 1

            # 5000 files: 2999 are listed, the list scrolls, ".." leads back.
            self.act_on(s, row["many"])
            s.key("Shift_R", "Shift_R", "period", "comma", "Shift_L", "Shift_L")
            self.alive(s, "scrolling 5000 files")
            self.up(s)

            # A page of special files named like pictures: each is refused at once with a
            # frame and its caption, and the picture after them is drawn.
            special = os.path.join(self.root, "special")
            self.act_on(s, row["special"])
            s.key("t", page=True)
            self.alive(s, "a page of special files")
            shot = ListScreen(s.screenshot())
            for i, name in enumerate(s.list_directory(special)[2:], 2):
                cx, cy = cell_origin(i)
                inside = GREEN if name == "good.bmp" else (0, 0, 0)
                self.assertEqual(shot.pixel(cx + 70, cy + 70), inside, name)
            s.key("t")
            self.up(s)

            # A thumbnail page of the odd names, empty and cut JPEGs.
            s.key("t", page=True)
            s.key("bracketright", "bracketleft", page=True)
            self.alive(s, "a page of hostile names")
            s.key("t")

            # 108 megapixels: refused from the header, a frame only, hardly any memory.
            self.act_on(s, row["huge"])
            rss_before = s.resident_kib()
            s.key("t", page=True)
            rss_after = s.resident_kib()
            self.alive(s, "a page with a 108-megapixel JPEG")
            self.assertGreater(rss_before, 0)
            print("108 MP page: resident %d KiB before, %d KiB after" % (rss_before, rss_after))
            self.assertLess(rss_after - rss_before, 100 * 1024)
            cx, cy = cell_origin(2)  # ".", "..", over.jpg
            self.assertEqual(ListScreen(s.screenshot()).pixel(cx + 70, cy + 70), (0, 0, 0))
            s.key("t")
            self.up(s)

            # 81 megapixels: under the limit, it opens.
            self.act_on(s, row["big"])
            s.key("t", page=True)
            cx, cy = cell_origin(2)
            self.assertEqual(ListScreen(s.screenshot()).pixel(cx + 70, cy + 40), GREY)
            s.right_click(*trovedrive.canvas_click_point(cx + 70, cy + 40, CANVAS_H, ZOOM))
            view = ListScreen(s.screenshot())
            self.assertEqual(view.pixel(CANVAS_W // 2, CANVAS_H // 2), GREY)
            self.alive(s, "an 81-megapixel picture")

            s.key("Escape")
            self.assertEqual(s.wait_exit(timeout=60), 0)

        # Nothing was written, created or changed (the deleted directory aside, which the
        # test removed itself).
        expected = {k: v for k, v in self.before.items() if k != "vanish"}
        self.assertEqual(trovedrive.snapshot_tree(self.root), expected)


class LongestPathsTest(ListClicks, unittest.TestCase):
    """At and past the longest path: started in a folder that deep, the program shows it and
    leads up from it; it enters the directory whose path comes to the longest and draws the
    picture whose path does; one character more is not entered, or gets a frame alone."""

    def test_names_and_paths_at_and_past_the_longest(self):
        root = tempfile.mkdtemp(prefix="trove-e2e-")
        self.addCleanup(trovedrive.remove_tree, root)
        parts = deep_start_folder(root)
        start = os.path.join(root, *parts)
        os.makedirs(start)
        at_dir, past_dir = CHAR * FITS, CHAR * (FITS + 1)
        at_pic, past_pic = CHAR * (FITS - 3) + ".bmp", CHAR * (FITS - 2) + ".bmp"
        # Created relative to the start folder: past the longest, no absolute path reaches it.
        folder = os.open(start, os.O_RDONLY)
        self.addCleanup(os.close, folder)
        for name in (at_dir, past_dir):
            os.mkdir(name, dir_fd=folder)
        for name in (at_pic, past_pic):
            fd = os.open(name, os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=folder)
            os.write(fd, bmp24(8, 8, lambda x, y: GREEN))
            os.close(fd)
        here = trovedrive.program_path(start)
        self.assertEqual(length(here) + 1 + FITS + 1, LONGEST)
        self.assertEqual(length(here) + 1 + length(at_pic), LONGEST)

        with trovedrive.Desktop(screen=(1280, 1024), start_dir=start) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(start)
            row = {name: names.index(name) + 1 for name in names}
            s.move(1270, 10)
            screen = lambda: ListScreen(s.screenshot()).rows(len(names))  # noqa: E731
            listed = screen()
            self.assertTrue(all(listed), listed)

            # The picture at the longest path is drawn; one a character longer gets its frame.
            s.key("t", page=True)
            shot = ListScreen(s.screenshot())
            for name, inside in ((at_pic, GREEN), (past_pic, (0, 0, 0))):
                cx, cy = cell_origin(row[name] - 1)
                self.assertEqual(shot.pixel(cx + 70, cy + 70), inside, name)
            s.key("t")

            for name, entered in ((at_dir, True), (past_dir, False)):
                self.act_on(s, row[name])
                self.assertIsNone(s.proc.poll())
                if entered:
                    self.assertEqual(screen()[:3], [{RED}, {YELLOW}, set()])
                    self.up(s)
                else:
                    self.assertEqual([bool(r) for r in screen()], [bool(r) for r in listed])

            # ".." leads up from the start folder: its parent holds it alone.
            self.act_on(s, row[".."])
            self.assertEqual(ListScreen(s.screenshot()).rows(4),
                             [{RED}, {YELLOW}, {YELLOW}, set()])
            s.key("Escape")
            self.assertEqual(s.wait_exit(timeout=30), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
