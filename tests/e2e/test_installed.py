"""The installed Linux program: build/linux installed as `make install` does it (cmake --install
into a scratch DESTDIR), then the installed trove, started from "/" on a folder named on its
command line, shows that folder, reads the assets from its installed data folder and plays a
file through its installed player."""
import os
import subprocess
import tempfile
import unittest

import trovedrive
from trovedrive.canvas import ListScreen, row_click

PLAYER = "Spool video and audio player"


@unittest.skipUnless(trovedrive.LINUX, "the installed layout is the Linux program's")
class InstalledTest(unittest.TestCase):
    def test_installed_program_browses_reads_its_assets_and_plays(self):
        stage = tempfile.mkdtemp(prefix="trove-e2e-install-")
        folder = trovedrive.make_tree({"clip.avi": b"\x02" * 777, "album": None})
        log = os.path.join(stage, "spool.log")
        self.addCleanup(trovedrive.remove_tree, stage)
        self.addCleanup(trovedrive.remove_tree, folder)
        subprocess.run(["cmake", "--install", trovedrive.BUILD, "--prefix", "/usr/local"],
                       env=dict(os.environ, DESTDIR=stage), check=True, stdout=subprocess.DEVNULL)
        data = os.path.join(stage, "usr/local/share/trove")
        installed_assets = trovedrive.files_below(data, trovedrive.ASSET_FOLDERS)
        self.assertEqual(len(installed_assets), 198)

        with trovedrive.FileOpens(data, trovedrive.ASSET_FOLDERS) as assets, \
                trovedrive.Desktop(start_dir="/", env={"SPOOL_LOG": log}) as s:
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
