"""Handing a file to the player: the second right click and the P key start the stand-in
player with the expected parameters and move its window over Trove's; without the player Trove
keeps running; F7 opens the explorer on the browsed directory (Windows program)."""
import os
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import trove_e2e  # noqa: E402
from test_browser import CANVAS_H, RED, ZOOM, ListScreen, row_click  # noqa: E402

PLAYER = "Spool video and audio player"


class PlayerTest(unittest.TestCase):
    def setUp(self):
        self.root = trove_e2e.make_tree({"clip one.avi": b"\x01" * 4321, "music": None})
        self.log = tempfile.mktemp(prefix="trove-e2e-spool-", suffix=".log")

    def tearDown(self):
        trove_e2e.remove_tree(self.root)
        if os.path.exists(self.log):
            os.remove(self.log)

    def log_lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as f:
            return f.read().splitlines()

    def wait_log(self, count, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline and len(self.log_lines()) < count:
            time.sleep(0.2)
        return self.log_lines()

    def test_second_click_and_play_key_start_the_player_over_the_window(self):
        # The player beside the program plays the files of the folder browsed.
        env = {"SPOOL_LOG": trove_e2e.program_path(self.log)}
        with trove_e2e.Desktop(screen=(1280, 1024), start_dir=self.root, env=env) as s:
            s.start()
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            k = names.index("clip one.avi") + 1
            time.sleep(1.0)
            media = trove_e2e.program_path(self.root) + trove_e2e.SEPARATOR + "clip one.avi"
            expected = trove_e2e.player_line(media)

            # First click selects; nothing starts.
            s.right_click(*row_click(k), gap=1.5)
            self.assertEqual(ListScreen(s.screenshot()).row_colours(k), {RED})
            self.assertEqual(self.log_lines(), [])

            # Second click starts the player once; its window ends at (0, 0), 600 x 600.
            s.right_click(*row_click(k), gap=1.0)
            self.assertEqual(self.wait_log(1), [expected])
            s.wait_window(PLAYER)
            g = s.wait_geometry(PLAYER, 600, 600)
            self.assertEqual((g["x"], g["y"]), (0, 0))
            time.sleep(1.0)
            self.assertEqual(self.log_lines(), [expected])
            s.run_helper("close", PLAYER).wait(timeout=30)
            s.wait_window(PLAYER, gone=True)

            # With the list moved, P places the player by the scroll offsets:
            # x = (213 + 0) * 2, y = 170 * 2.
            s.right_click(*trove_e2e.canvas_click_point(405, CANVAS_H - 15, CANVAS_H, ZOOM))
            s.key("p", gap=1.0)
            self.assertEqual(self.wait_log(2), [expected, expected])
            s.wait_window(PLAYER)
            deadline = time.time() + 20
            while time.time() < deadline:
                g = s.geometry(s.find_windows(PLAYER)[0])
                if (g["x"], g["y"]) == (426, 340):
                    break
                time.sleep(0.2)
            self.assertEqual((g["x"], g["y"], g["width"], g["height"]), (426, 340, 600, 600))
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    def test_without_the_player_the_program_says_so_and_keeps_running(self):
        # The program alone in a folder, without the player beside it.
        exe = os.path.join(self.root, trove_e2e.TROVE_FILE)
        shutil.copy(os.path.join(trove_e2e.DIST, trove_e2e.TROVE_FILE), exe)
        with trove_e2e.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start(exe=exe)
            s.wait_window("GAME")
            names = s.list_directory(self.root)
            k = names.index("clip one.avi") + 1
            time.sleep(1.0)
            s.right_click(*row_click(k))
            s.right_click(*row_click(k), gap=2.0)
            # A box names the player that could not be started; it is dismissed.
            s.wait_window("ERROR", timeout=30)
            if trove_e2e.LINUX:
                player = os.path.join(self.root, trove_e2e.PLAYER_FILE)
                self.assertIn("ERROR: The player could not be started: " + player,
                              s.program_errors())
            s.run_helper("close", "ERROR").wait(timeout=30)
            s.wait_window("ERROR", gone=True)
            self.assertIsNone(s.proc.poll())
            # Still answering keys: right Shift scrolls to the last entry.
            self.assertNotEqual(ListScreen(s.screenshot()).row_colours(2), set())
            s.key("Shift_R", gap=1.0)
            self.assertEqual(ListScreen(s.screenshot()).row_colours(2), set())
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

    @unittest.skipIf(trove_e2e.LINUX, "the explorer window and its title are Windows'")
    def test_f7_opens_the_explorer_on_the_browsed_directory(self):
        with trove_e2e.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start()
            s.wait_window("GAME")
            time.sleep(1.0)
            before = set(s.xdotool("search", "--onlyvisible", "--name", ".",
                                   check=False).split())
            s.key("F7", gap=3.0)
            deadline = time.time() + 30
            new = set()
            while time.time() < deadline and not new:
                now = set(s.xdotool("search", "--onlyvisible", "--name", ".",
                                    check=False).split())
                new = now - before
                time.sleep(0.3)
            titles = [s.xdotool("getwindowname", w, check=False).strip() for w in new]
            folder = os.path.basename(self.root)
            self.assertTrue(any(folder in t for t in titles), titles)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
