"""The program's window, display modes, close request, and where input comes from: Escape in
another program's window ends the Windows program; the Linux program takes keys and clicks in its
own window only, unless --global-input asks for the whole desktop's."""
import unittest

import trovedrive
from trovedrive.canvas import row_click


class WindowTest(unittest.TestCase):
    def test_half_screen_window_at_zoom_2(self):
        with trovedrive.Desktop(screen=(1366, 768)) as s:
            s.start()
            s.wait_window("GAME")
            g = s.wait_geometry("GAME", 1366, 768)
            self.assertEqual((g["x"], g["y"], g["border"]), (0, 0, 0))
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.find_windows("GAME"), [])

    def test_display_modes_recreate_the_window_at_their_sizes(self):
        # An odd screen: half of 1367 x 769 is 682 x 383 at zoom 2.
        with trovedrive.Desktop(screen=(1367, 769)) as s:
            s.start()
            s.wait_window("GAME")
            s.wait_geometry("GAME", 1364, 766)
            s.key("F6")
            g = s.wait_geometry("GAME", 1280, 960)
            self.assertEqual((g["x"], g["y"]), (0, 0))
            s.key("F8")
            g = s.wait_geometry("GAME", 1367, 769)
            self.assertEqual((g["x"], g["y"]), (0, 0))
            s.key("F5")
            s.wait_geometry("GAME", 1364, 766)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipIf(trovedrive.LINUX, "the Linux program takes input in its own window")
    def test_escape_in_another_programs_window_ends_the_program(self):
        with trovedrive.Desktop(screen=(1280, 1024)) as s:
            s.start()
            s.wait_window("GAME")
            other = s.run_helper("window", "OtherProgram")
            s.wait_window("OtherProgram")
            target = s.find_windows("OtherProgram")[0]
            s.move(850, 600)
            s.xdotool("windowfocus", "--sync", target)
            focused = int(s.xdotool("getwindowfocus").strip() or 0)
            self.assertEqual(focused, target)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)
            other.kill()

    @unittest.skipUnless(trovedrive.LINUX, "the Windows program's hooks take every window's input")
    def test_input_to_another_window_stays_there_unless_global_input_is_asked_for(self):
        for args in ([], ["--global-input"]):
            with self.subTest(args=args), trovedrive.Desktop(screen=(1280, 1024)) as s:
                s.start(args=args)
                trove = s.wait_window("GAME")
                s.settle()
                taken = s.inputs
                other = s.run_helper("window", "OtherProgram")
                target = s.wait_window("OtherProgram")
                # The other program's window over Trove's "." and ".." rows, with the focus.
                s.xdotool("windowmove", "--sync", target, 0, 0)
                s.xdotool("windowfocus", "--sync", target)
                self.assertEqual(int(s.xdotool("getwindowfocus").strip() or 0), target)
                s.xdotool("mousemove", *row_click(2))
                if args:
                    # The whole desktop's keys and clicks: T acts, and Escape ends Trove.
                    s.handled(lambda: s.xdotool("key", "t"))
                    s.xdotool("key", "Escape")
                    self.assertEqual(s.wait_exit(), 0)
                    other.kill()
                    other.wait()
                    continue
                s.xdotool("key", "t", "Escape")
                s.xdotool("click", "--repeat", "2", "3")
                other.kill()
                other.wait()
                s.wait_window("OtherProgram", gone=True)
                # Trove ran on and took none of them: with its own window focused, a key is
                # the first input it takes, and it acts.
                s.xdotool("windowfocus", "--sync", trove)
                s.key("period")
                self.assertEqual(s.inputs, taken + 1)
                s.key("Escape")
                self.assertEqual(s.wait_exit(), 0)

    def test_close_request_ends_the_program(self):
        with trovedrive.Desktop(screen=(1280, 1024)) as s:
            s.start()
            s.wait_window("GAME")
            s.settle()
            closer = s.run_helper("close")
            self.assertEqual(closer.wait(timeout=30), 0)
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
