"""Start-up with the game's assets present and absent, window re-creation, and a program
folder left exactly as it was."""
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import trove_e2e  # noqa: E402
from test_browser import ListScreen  # noqa: E402


class AssetsTest(unittest.TestCase):
    def run_program(self, start_dir, modes=False):
        with trove_e2e.Desktop(screen=(1280, 1024), start_dir=start_dir) as s:
            s.start()
            s.wait_window("GAME")
            s.wait_geometry("GAME", 1280, 1024)
            time.sleep(1.5)
            names = s.list_directory(start_dir)
            # The first frame: the list of the start directory.
            shot = ListScreen(s.screenshot())
            self.assertEqual(len([r for r in shot.rows(len(names) + 1) if r]), len(names))
            if modes:
                for key, size in (("F6", (1280, 960)), ("F8", (1280, 1024)),
                                  ("F5", (1280, 1024))):
                    s.key(key, gap=1.0)
                    s.wait_geometry("GAME", *size)
                    self.assertIsNone(s.proc.poll())
            s.key("Escape")
            return s.wait_exit()

    def test_starts_with_the_assets_and_leaves_the_program_folder_unchanged(self):
        self.assertTrue(os.path.isdir(os.path.join(trove_e2e.DIST, "bmp_cube")))
        before = trove_e2e.snapshot_tree(trove_e2e.DIST)
        self.assertEqual(self.run_program(trove_e2e.DIST, modes=True), 0)
        self.assertEqual(trove_e2e.snapshot_tree(trove_e2e.DIST), before)

    def test_starts_without_any_asset(self):
        root = trove_e2e.make_tree({"empty": None})
        try:
            shutil.copy(os.path.join(trove_e2e.DIST, trove_e2e.TROVE_FILE), root)
            before = trove_e2e.snapshot_tree(root)
            self.assertEqual(self.run_program(root, modes=True), 0)
            # Missing assets are never created.
            self.assertEqual(trove_e2e.snapshot_tree(root), before)
        finally:
            trove_e2e.remove_tree(root)


if __name__ == "__main__":
    unittest.main(verbosity=2)
