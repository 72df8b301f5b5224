"""The program's window, display modes, close request and global Escape."""
import unittest

import trovedrive


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
