"""The installed Linux program: build/linux installed as `make install` does it (cmake --install
into a scratch DESTDIR), then the installed trove, started from "/" on a folder named on its
command line, shows that folder, reads the assets from its installed data folder and plays a
file through its installed player."""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import trove_e2e  # noqa: E402
from test_browser import ListScreen, row_click  # noqa: E402

PLAYER = "Spool video and audio player"


@unittest.skipUnless(trove_e2e.LINUX, "the installed layout is the Linux program's")
class InstalledTest(unittest.TestCase):
    def test_installed_program_browses_reads_its_assets_and_plays(self):
        stage = tempfile.mkdtemp(prefix="trove-e2e-install-")
        folder = trove_e2e.make_tree({"clip.avi": b"\x02" * 777, "album": None})
        log = os.path.join(stage, "spool.log")
        self.addCleanup(trove_e2e.remove_tree, stage)
        self.addCleanup(trove_e2e.remove_tree, folder)
        subprocess.run(["cmake", "--install", trove_e2e.BUILD, "--prefix", "/usr/local"],
                       env=dict(os.environ, DESTDIR=stage), check=True, stdout=subprocess.DEVNULL)
        data = os.path.join(stage, "usr/local/share/trove")
        installed_assets = trove_e2e.files_below(data, trove_e2e.ASSET_FOLDERS)
        self.assertEqual(len(installed_assets), 198)

        with trove_e2e.FileOpens(data, trove_e2e.ASSET_FOLDERS) as assets, \
                trove_e2e.Desktop(start_dir="/", env={"SPOOL_LOG": log}) as s:
            s.start(exe=os.path.join(stage, "usr/local/bin/trove"), args=[folder])
            s.wait_window("GAME")
            s.settle()
            self.assertEqual(assets.opened(), installed_assets)
            # The folder given is shown, not "/" the program was started from.
            names = s.list_directory(folder)
            self.assertEqual(names, [".", "..", "album", "clip.avi"])
            rows = ListScreen(s.screenshot()).rows(len(names) + 1)
            self.assertEqual([bool(r) for r in rows], [True] * len(names) + [False])
            # The installed player (lib/trove/spool) plays a file of it: select it, then P.
            s.right_click(*row_click(names.index("clip.avi") + 1))
            s.key("p")
            s.wait_window(PLAYER)
            with open(log, encoding="utf-8") as f:
                self.assertEqual(f.read().splitlines(), ["rightful %s/clip.avi 0" % folder])
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
