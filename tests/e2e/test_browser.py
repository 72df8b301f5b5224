"""The list view: rows in their colours and places, selecting, entering and leaving
directories, scrolling, moving the list, switching to thumbnails and back, and a browsed tree
left exactly as it was."""
import os
import time
import unittest

import trovedrive
from trovedrive.canvas import (CANVAS_H, CANVAS_W, GREEN, RED, WIDTHS, YELLOW, ZOOM, ListScreen,
                               advance, row_click)

LONG_NAME = "a_very_long_file_name_that_goes_on_and_on_and_on_for_a_while.txt"

TREE = {
    "alpha.txt": b"alpha",
    "clip one.avi": b"\x00" * 1000,
    "photos": None,
    "photos/inner.txt": b"inner",
    ".hidden": None,
    "zeta dir": None,
    LONG_NAME: b"long",
}


class BrowserTest(unittest.TestCase):
    def setUp(self):
        self.root = trovedrive.make_tree(TREE)
        self.before = trovedrive.snapshot_tree(self.root)

    def tearDown(self):
        after = trovedrive.snapshot_tree(self.root)
        self.assertEqual(after, self.before, "the browsed tree changed")
        trovedrive.remove_tree(self.root)

    def expected_colour(self, name, selected):
        if selected:
            return RED
        # A hidden directory is a directory all the same.
        return YELLOW if name in (".", "..", "photos", ".hidden", "zeta dir") else GREEN

    def test_list_navigation(self):
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            self.assertEqual(len(names), len(TREE) - 1 + 2)  # "." and ".." but not inner.txt
            s.settle()

            # Every row in its colour at its place; entry 1 is selected.
            shot = ListScreen(s.screenshot())
            for k, name in enumerate(names, start=1):
                self.assertEqual(shot.row_colours(k), {self.expected_colour(name, k == 1)}, name)
            self.assertEqual(shot.row_colours(len(names) + 1), set())
            # The long name runs on whole in the first column.
            k = names.index(LONG_NAME) + 1
            full = sum(advance(c) for c in LONG_NAME) - 1
            band = ListScreen(s.screenshot()).row_colours(k, width=full + 1)
            self.assertEqual(band, {GREEN})

            # A first right click selects a row; it turns red.
            k = names.index("photos") + 1
            s.right_click(*row_click(k))
            shot = ListScreen(s.screenshot())
            self.assertEqual(shot.row_colours(k), {RED})
            self.assertEqual(shot.row_colours(1), {YELLOW})

            # A second one enters it: three rows, and the path line ends in a separator.
            s.right_click(*row_click(k))
            inner = s.list_directory(os.path.join(self.root, "photos"))
            shot = ListScreen(s.screenshot())
            self.assertEqual(len(inner), 3)
            self.assertNotEqual(shot.row_colours(3), set())
            self.assertEqual(shot.row_colours(4), set())
            sep = trovedrive.SEPARATOR
            path = trovedrive.program_path(self.root) + sep + "photos" + sep
            last_pen = 12 + sum(advance(c) for c in path[:-1])
            ink = [x for x in range(0, CANVAS_W) for y in range(CANVAS_H - 28, CANVAS_H - 19)
                   if shot.pixel(x, y) == YELLOW]
            self.assertGreaterEqual(max(ink), last_pen)
            self.assertLess(max(ink), last_pen + WIDTHS[sep])

            # ".." twice goes back.
            up = inner.index("..") + 1
            s.right_click(*row_click(up))
            s.right_click(*row_click(up))
            shot = ListScreen(s.screenshot())
            self.assertEqual(len([r for r in shot.rows(len(names) + 1) if r]), len(names))

            # Period scrolls one row, comma back, right Shift to the last entry, left Shift back.
            full_rows = shot.rows(len(names))
            s.key("period")
            self.assertEqual(ListScreen(s.screenshot()).rows(len(names) - 1), full_rows[1:])
            s.key("comma")
            self.assertEqual(ListScreen(s.screenshot()).rows(len(names)), full_rows)
            s.key("Shift_R")
            shot = ListScreen(s.screenshot())
            self.assertEqual(shot.rows(2), [full_rows[-1], set()])
            s.key("Shift_L")
            self.assertEqual(ListScreen(s.screenshot()).rows(len(names)), full_rows)
            if trovedrive.LINUX:
                # A held period repeats at the server's rate, and stops when it is let go: half
                # a second later nothing more has arrived (at that rate a dozen repeats would).
                s.xdotool("keydown", "period")
                time.sleep(1.3)
                s.xdotool("keyup", "period")
                time.sleep(0.5)
                s.settle()
                held, inputs = ListScreen(s.screenshot()).rows(len(names)), s.inputs
                self.assertLess(len([r for r in held if r]), len(names) - 2)
                time.sleep(0.5)
                s.settle()
                self.assertEqual((ListScreen(s.screenshot()).rows(len(names)), s.inputs),
                                 (held, inputs))
                s.key("Shift_L")
                self.assertEqual(ListScreen(s.screenshot()).rows(len(names)), full_rows)

            # "CENTERCENTER" moves the list to a third of the canvas.
            s.right_click(*trovedrive.canvas_click_point(405, CANVAS_H - 15, CANVAS_H, ZOOM))
            sx, sy = CANVAS_W // 3, -(CANVAS_H // 3)
            moved = ListScreen(s.screenshot(), sx, sy)
            self.assertEqual(moved.rows(len(names)), full_rows)
            self.assertEqual(ListScreen(s.screenshot()).row_colours(1), set())

            # T switches to the thumbnail state and back; so does "THUMBNAILS".
            button = trovedrive.canvas_click_point(270, CANVAS_H - 15, CANVAS_H, ZOOM)
            for how, switch in (("key", lambda **page: s.key("t", **page)),
                                ("button", lambda **page: s.right_click(*button, **page))):
                switch(page=True)
                shot = ListScreen(s.screenshot())
                self.assertEqual(shot.row_colours(2), set(), how)
                # No "CENTERCENTER" in the thumbnail view.
                centre = [shot.pixel(x, CANVAS_H - 14) for x in range(402, 440)]
                self.assertNotIn(YELLOW, centre, how)
                switch()
                self.assertNotEqual(ListScreen(s.screenshot()).row_colours(2), set(), how)

            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipUnless(trovedrive.LINUX, "the Linux program draws every script")
    def test_names_beyond_ascii_are_drawn_whole(self):
        names = ["caf\u00e9.jpg", "\u65e5\u672c.jpg", "\u65e5\u672c\u8a9e.jpg"]
        folder = trovedrive.make_tree({name: b"x" for name in names})
        self.addCleanup(trovedrive.remove_tree, folder)
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=folder) as s:
            s.start()
            s.wait_window("GAME")
            self.assertEqual(s.list_directory(folder), [".", ".."] + names)
            s.settle()
            shot = ListScreen(s.screenshot())

            def ink(x, y, width):
                """Columns x .. x + width - 1 with ink on glyph rows 3 to 7 of a text at y."""
                return tuple(tuple(shot.pixel(xx, yy) != (0, 0, 0) for yy in range(y - 5, y))
                             for xx in range(x, x + width))

            rows = [ink(10, CANVAS_H - 8 * k - 26, 60) for k in (3, 4, 5)]
            cafe, nihon, nihongo = rows
            # Ink where the characters are: the é after "caf" (advances 4, 5, 3), the first
            # ideograph from the row's start; and each name looks like no other.
            self.assertTrue(any(any(c) for c in cafe[12:17]))
            for row in (nihon, nihongo):
                self.assertTrue(any(any(c) for c in row[:8]))
            self.assertEqual(len(set(rows)), 3)
            last = [max(x for x, c in enumerate(row) if any(c)) for row in rows]
            self.assertGreater(last[2], last[1] + 5)  # one ideograph more

            # Three captions, each unlike the others.
            s.key("t", page=True)
            shot = ListScreen(s.screenshot())
            # Cell i of 140 x 140, four a row: its caption at (140 c + 16, CANVAS_H - 140 r - 35).
            captions = [ink(140 * (i % 4) + 16, CANVAS_H - 140 * (i // 4) - 35, 60)
                        for i in (2, 3, 4)]
            self.assertTrue(all(any(any(c) for c in caption) for caption in captions))
            self.assertEqual(len(set(captions)), 3)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
