"""The installed Linux program: the build/linux tree installed as `make install` installs it
(cmake --install, with DESTDIR naming a scratch folder), then the installed trove, started from
"/" on a folder named on its command line, shows that folder, reads the game's assets from its
installed data folder and plays a file through its installed player."""
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import trove_e2e  # noqa: E402
from test_browser import ListScreen, row_click  # noqa: E402

PLAYER = "Spool video and audio player"
PREFIX = "/usr/local"


@unittest.skipUnless(trove_e2e.LINUX, "the installed layout is the Linux program's")
class InstalledTest(unittest.TestCase):
    def setUp(self):
        self.stage = tempfile.mkdtemp(prefix="trove-e2e-install-")
        self.folder = trove_e2e.make_tree({"clip.avi": b"\x02" * 777, "album": None,
                                           "notes.txt": b"notes"})
        self.log = tempfile.mktemp(prefix="trove-e2e-spool-", suffix=".log")

    def tearDown(self):
        trove_e2e.remove_tree(self.stage)
        trove_e2e.remove_tree(self.folder)
        if os.path.exists(self.log):
            os.remove(self.log)

    def test_installed_program_browses_reads_its_assets_and_plays(self):
        subprocess.run(["cmake", "--install", trove_e2e.BUILD, "--prefix", PREFIX],
                       env=dict(os.environ, DESTDIR=self.stage), check=True,
                       stdout=subprocess.DEVNULL)
        top = self.stage + PREFIX
        exe = os.path.join(top, "bin", "trove")
        data = os.path.join(top, "share", "trove")
        # The program alone in bin/, its player in lib/trove/, its assets in share/trove/.
        self.assertEqual(os.listdir(os.path.join(top, "bin")), ["trove"])
        self.assertEqual(os.listdir(os.path.join(top, "lib", "trove")), ["spool"])
        self.assertEqual(sorted(os.listdir(data)), sorted(trove_e2e.ASSET_FOLDERS))
        self.assertEqual(len(trove_e2e.files_below(data, trove_e2e.ASSET_FOLDERS)), 198)

        env = {"SPOOL_LOG": self.log}
        with trove_e2e.FileOpens(data, trove_e2e.ASSET_FOLDERS) as assets, \
                trove_e2e.Desktop(screen=(1280, 1024), start_dir="/", env=env) as s:
            s.start(exe=exe, args=[self.folder])
            s.wait_window("GAME")
            s.wait_geometry("GAME", 1280, 1024)
            time.sleep(1.5)
            # Every asset file was read from the installed data folder.
            self.assertEqual(assets.opened(),
                             trove_e2e.files_below(data, trove_e2e.ASSET_FOLDERS))
            # The folder given is shown, not "/" the program was started from.
            names = s.list_directory(self.folder)
            self.assertEqual(names, [".", "..", "album", "clip.avi", "notes.txt"])
            rows = ListScreen(s.screenshot()).rows(len(names) + 1)
            self.assertEqual([bool(r) for r in rows], [True] * len(names) + [False])

            # The installed player plays a file of it: select its row, then P.
            k = names.index("clip.avi") + 1
            s.right_click(*row_click(k), gap=1.5)
            s.key("p", gap=1.0)
            s.wait_window(PLAYER)
            deadline = time.time() + 30
            while time.time() < deadline and not os.path.exists(self.log):
                time.sleep(0.2)
            with open(self.log, encoding="utf-8") as f:
                self.assertEqual(f.read().splitlines(),
                                 ["rightful %s/clip.avi 0" % self.folder])
            s.run_helper("close", PLAYER).wait(timeout=30)
            s.wait_window(PLAYER, gone=True)
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
