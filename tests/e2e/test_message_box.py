"""The Linux program's own message box, shown by a start-up that fails: a window titled with
the caption holding the text and an OK button, the same text on standard error, Enter or a
click on OK dismissing it, and the program then ending with its start-up failure code."""
import subprocess
import time
import unittest

import trovedrive

CAPTION = "ERROR"
NO_XINPUT2 = ("The X server lacks the XInput2 extension, which Trove needs to receive its keys "
              "and right clicks while another program has the focus.")
NO_VISUAL = "Can't Find A Suitable PixelFormat."
START_UP_FAILURE = 1
TEXT, BUTTON, BACKGROUND = (255, 255, 0), (255, 255, 255), (32, 32, 32)


class BoxScreen:
    """The box's window on a screenshot: where its text and its OK button are drawn."""

    def __init__(self, shot, geometry):
        self.shot = shot
        self.g = geometry

    def points(self, colour):
        g = self.g
        return [(x, y) for y in range(g["y"], g["y"] + g["height"])
                for x in range(g["x"], g["x"] + g["width"]) if self.shot.pixel(x, y) == colour]

    def button(self):
        """The bounding box of the white pixels (the OK button's frame and its label)."""
        points = self.points(BUTTON)
        xs = [x for x, _ in points]
        ys = [y for _, y in points]
        return min(xs), min(ys), max(xs), max(ys)


@unittest.skipUnless(trovedrive.LINUX, "the Windows program's message boxes are the system's")
class MessageBoxTest(unittest.TestCase):
    def open_box(self, s, text):
        """Waits for the box and checks what it shows and what standard error says."""
        window = s.wait_window(CAPTION, timeout=30)
        self.assertEqual(s.find_windows("GAME"), [])
        g = s.geometry(window)
        deadline = time.time() + 30  # mapped, the box may not be drawn yet
        box = BoxScreen(s.screenshot(), g)
        while not box.points(BUTTON) and time.time() < deadline:
            box = BoxScreen(s.screenshot(), g)
        self.assertEqual(box.shot.pixel(g["x"] + 2, g["y"] + 2), BACKGROUND)
        text_points = box.points(TEXT)
        self.assertGreater(len(text_points), 100)
        left, top, right, bottom = box.button()
        # The button sits below all of the text, across the middle of the box.
        self.assertGreater(top, max(y for _, y in text_points))
        self.assertLess(abs((left + right) // 2 - (g["x"] + g["width"] // 2)), 4)
        self.assertLess(bottom, g["y"] + g["height"])
        # The text is on standard error while the box waits, and the program with it.
        self.assertEqual(s.program_errors(), "%s: %s\n" % (CAPTION, text))
        self.assertIsNone(s.proc.poll())
        return g, (left, top, right, bottom)

    def assert_ends_with_failure(self, s):
        self.assertEqual(s.wait_exit(timeout=30), START_UP_FAILURE)
        self.assertEqual(s.find_windows(CAPTION), [])
        self.assertEqual(s.program_errors(), "%s: %s\n" % (CAPTION, NO_XINPUT2))

    def test_untrusted_client_sees_no_xinput2(self):
        # What the program is up against: the server offers it no XInputExtension, while the
        # trusted tools see it.
        with trovedrive.Desktop(screen=(1280, 1024), untrusted=True) as s:
            def extensions(program):
                return subprocess.run(["xdpyinfo", "-queryExtensions"], env=s.env(program),
                                      capture_output=True, text=True, check=True).stdout
            self.assertNotIn("XInputExtension", extensions(True))
            self.assertIn("XInputExtension", extensions(False))

    def test_without_xinput2_enter_dismisses_the_box(self):
        with trovedrive.Desktop(screen=(1280, 1024), untrusted=True) as s:
            s.start()
            g, _ = self.open_box(s, NO_XINPUT2)
            # The server lets an untrusted client take no input focus: the keyboard follows
            # the pointer, so it rests on the box.
            s.xdotool("mousemove", g["x"] + 10, g["y"] + 10)
            # Other keys leave it open: half a second later it is still there.
            s.xdotool("key", "a", "Escape", "space", "sleep", "0.5")
            self.assertIsNone(s.proc.poll())
            self.assertNotEqual(s.find_windows(CAPTION), [])
            s.xdotool("key", "Return")
            self.assert_ends_with_failure(s)

    def test_without_xinput2_a_click_on_ok_dismisses_the_box(self):
        with trovedrive.Desktop(screen=(1280, 1024), untrusted=True) as s:
            s.start()
            g, (left, top, right, bottom) = self.open_box(s, NO_XINPUT2)
            # A click on the text, or just beside the button, leaves it open.
            s.xdotool("mousemove", g["x"] + g["width"] // 2, g["y"] + 30, "click", 1,
                      "mousemove", left - 6, (top + bottom) // 2, "click", 1, "sleep", "0.5")
            self.assertIsNone(s.proc.poll())
            self.assertNotEqual(s.find_windows(CAPTION), [])
            s.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
            self.assert_ends_with_failure(s)

    def test_without_glx_the_window_failure_is_shown_and_ends_the_program(self):
        # The XInput2 check passes; the window finds no GL visual on a server without GLX.
        with trovedrive.Desktop(screen=(1280, 1024), xvfb_args=("-extension", "GLX")) as s:
            s.start()
            self.open_box(s, NO_VISUAL)
            s.xdotool("key", "KP_Enter")
            self.assertEqual(s.wait_exit(timeout=30), START_UP_FAILURE)
            self.assertEqual(s.find_windows(CAPTION), [])
            self.assertEqual(s.find_windows("GAME"), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
