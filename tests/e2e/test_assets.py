"""Start-up with the game's assets present and absent, window re-creation, a program folder
left exactly as it was, and a start folder named on the command line: the assets and the
player are still found beside the program."""
import os
import shutil
import unittest

import trovedrive
from trovedrive.canvas import ListScreen, row_click

PLAYER = "Spool video and audio player"


class AssetsTest(unittest.TestCase):
    def run_program(self, start_dir, modes=False, exe=None):
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=start_dir) as s:
            s.start(exe=exe)
            s.wait_window("GAME")
            s.wait_geometry("GAME", 1280, 1024)
            s.settle()
            names = s.list_directory(start_dir)
            # The first frame: the list of the start directory.
            shot = ListScreen(s.screenshot())
            self.assertEqual(len([r for r in shot.rows(len(names) + 1) if r]), len(names))
            if modes:
                for key, size in (("F6", (1280, 960)), ("F8", (1280, 1024)),
                                  ("F5", (1280, 1024))):
                    s.key(key)
                    s.wait_geometry("GAME", *size)
                    self.assertIsNone(s.proc.poll())
            s.key("Escape")
            return s.wait_exit()

    def test_starts_with_the_assets_and_leaves_the_program_folder_unchanged(self):
        self.assertTrue(os.path.isdir(os.path.join(trovedrive.DIST, "bmp_cube")))
        before = trovedrive.snapshot_tree(trovedrive.DIST)
        self.assertEqual(self.run_program(trovedrive.DIST, modes=True), 0)
        self.assertEqual(trovedrive.snapshot_tree(trovedrive.DIST), before)

    def test_starts_without_any_asset(self):
        root = trovedrive.make_tree({"empty": None})
        try:
            # The program alone in a folder: its assets are looked for beside it.
            exe = os.path.join(root, trovedrive.TROVE_FILE)
            shutil.copy(os.path.join(trovedrive.DIST, trovedrive.TROVE_FILE), exe)
            before = trovedrive.snapshot_tree(root)
            self.assertEqual(self.run_program(root, modes=True, exe=exe), 0)
            # Missing assets are never created.
            self.assertEqual(trovedrive.snapshot_tree(root), before)
        finally:
            trovedrive.remove_tree(root)


    def test_starts_in_the_folder_given_and_finds_assets_and_player_beside_the_program(self):
        # Started from another folder, whose cursor cross must not be read, on a folder named
        # on the command line.
        root = trovedrive.make_tree({"top/start/clip one.avi": b"\x01" * 321,
                                    "top/start/music": None, "top/start/notes.txt": b"n",
                                    "top/sibling": None,
                                    "elsewhere/bmp_cross/cross4.bmp": b"BM" + b"\0" * 60})
        self.addCleanup(trovedrive.remove_tree, root)
        start, elsewhere = os.path.join(root, "top", "start"), os.path.join(root, "elsewhere")
        log = os.path.join(root, "spool.log")
        env = {"SPOOL_LOG": trovedrive.program_path(log)}
        with trovedrive.FileOpens(trovedrive.DIST, trovedrive.ASSET_FOLDERS) as assets, \
                trovedrive.FileOpens(elsewhere, ["bmp_cross"]) as decoy, \
                trovedrive.Desktop(start_dir=elsewhere, env=env) as s:
            s.start(args=[trovedrive.program_path(start)])
            s.wait_window("GAME")
            s.settle()
            self.assertEqual(assets.opened(),
                             trovedrive.files_below(trovedrive.DIST, trovedrive.ASSET_FOLDERS))
            self.assertEqual(decoy.opened(), set())

            # The folder given is shown first; the player beside the program plays its file.
            names = s.list_directory(start)
            self.assertEqual(sorted(names), [".", "..", "clip one.avi", "music", "notes.txt"])
            self.assertEqual(len([r for r in ListScreen(s.screenshot()).rows(6) if r]), 5)
            k = names.index("clip one.avi") + 1
            s.right_click(*row_click(k))
            s.right_click(*row_click(k))
            s.wait_window(PLAYER)
            media = trovedrive.program_path(start) + trovedrive.SEPARATOR + "clip one.avi"
            with open(log, encoding="latin-1") as f:
                self.assertEqual(f.read().splitlines(), [trovedrive.player_line(media)])
            s.run_helper("close", PLAYER).wait(timeout=30)
            s.wait_window(PLAYER, gone=True)

            # ".." leads up from it, to ".", "..", "sibling" and "start".
            up = names.index("..") + 1
            s.right_click(*row_click(up))
            s.right_click(*row_click(up))
            self.assertEqual(len([r for r in ListScreen(s.screenshot()).rows(6) if r]), 4)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)

if __name__ == "__main__":
    unittest.main(verbosity=2)
