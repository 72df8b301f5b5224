"""The overlay as the running program draws it: zoom-2 pixels, title, cursor cross, buttons,
the 'A' and 'g' glyphs of the path line, and the overlay key."""
import os
import unittest

import trovedrive
from trovedrive.canvas import CANVAS_H, WHITE, YELLOW, advance, pixel

# The two glyphs whose drawings are fixed, rows 1 to 9 (row 1 at the top).
GLYPH_A = ["000", "000", "010", "101", "111", "101", "101", "000", "000"]
GLYPH_G = ["000", "000", "000", "000", "010", "101", "011", "001", "010"]


def glyph_matches(shot, pattern, pen, y, colour):
    """Compares a glyph's 9 x w box at pen, glyph row 1 on canvas row y + 1."""
    mismatches = []
    for i, row in enumerate(pattern, start=1):
        for j, ink in enumerate(row):
            got = pixel(shot, pen + j, y - i + 2)
            if (got == colour) != (ink == "1"):
                mismatches.append((j, i, got))
    return mismatches


class OverlayTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = trovedrive.make_tree({"Ag": None, "Ag/file.txt": b"x"})
        cls.start = os.path.join(cls.root, "Ag")

    @classmethod
    def tearDownClass(cls):
        trovedrive.remove_tree(cls.root)

    def test_overlay_is_drawn_at_zoom_2_with_its_exact_glyphs(self):
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.start) as s:
            s.start()
            s.wait_window("GAME")
            s.wait_geometry("GAME", 1280, 1024)
            s.move(401, 600)  # canvas (200, 212)
            shot = s.screenshot()

            # Every canvas pixel is a 2 x 2 square of screen pixels.
            for sy in range(0, 1024, 2):
                for sx in range(0, 1280, 2):
                    p = shot.pixel(sx, sy)
                    if p != shot.pixel(sx + 1, sy) or p != shot.pixel(sx, sy + 1) \
                            or p != shot.pixel(sx + 1, sy + 1):
                        self.fail("screen square at (%d, %d) is not one canvas pixel" % (sx, sy))

            # The build title in yellow: first glyph 'W' at x = 12, row 1 at y = 512 - 11 + 1.
            title = "WIN32TROVEXMENU3SPOOLR012C"
            y = CANVAS_H - 11
            width = sum(advance(c) for c in title) - 1
            ink = [(x, yy) for x in range(0, 200) for yy in range(y - 9, y + 3)
                   if pixel(shot, x, yy) == YELLOW]
            self.assertTrue(ink)
            self.assertEqual(min(x for x, _ in ink), 12)
            self.assertEqual(max(x for x, _ in ink), 12 + width - 1)
            self.assertGreaterEqual(min(yy for _, yy in ink), y - 5)
            self.assertLessEqual(max(yy for _, yy in ink), y - 1)

            # The buttons, on the title's line.
            for x in (268, 320, 360, 402):
                row = [pixel(shot, x + dx, yy) for dx in range(3) for yy in range(y - 5, y)]
                self.assertIn(YELLOW, row, "button at %d" % x)

            # The white cross under the pointer, arms of 5.
            for dx, dy in ((0, 0), (5, 0), (-5, 0), (0, 5), (0, -5)):
                self.assertEqual(pixel(shot, 200 + dx, 212 + dy), WHITE)
            self.assertNotEqual(pixel(shot, 206, 212), WHITE)
            self.assertNotEqual(pixel(shot, 201, 213), WHITE)

            # The path line ends in "Ag": 'A' and 'g' exactly as drawn by the font.
            path = trovedrive.program_path(self.start)
            pen = 12 + sum(advance(c) for c in path[:-2])
            y = CANVAS_H - 21
            self.assertEqual(glyph_matches(shot, GLYPH_A, pen, y, YELLOW), [])
            self.assertEqual(glyph_matches(shot, GLYPH_G, pen + advance("A"), y, YELLOW), [])

            # Key 0 hides the overlay and shows it again.
            s.key("0")
            hidden = s.screenshot()
            self.assertNotIn(YELLOW, [pixel(hidden, x, CANVAS_H - 14) for x in range(12, 120)])
            self.assertNotEqual(pixel(hidden, 200, 212), WHITE)
            s.key("0")
            shown = s.screenshot()
            self.assertEqual(glyph_matches(shown, GLYPH_A, pen, CANVAS_H - 21, YELLOW), [])

            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
