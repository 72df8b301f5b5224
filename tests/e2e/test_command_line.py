"""The command line, run for real: --help, --version, refused words and start folders that
cannot be browsed, with their texts and exit codes; the Linux program needs no display for
any of them, the Windows program shows a refused folder in a message box. A picture named
opens in its folder."""
import os
import re
import subprocess
import unittest

import trovedrive
from trovedrive import bmp24, red_with_blue_corner
from trovedrive.canvas import BLUE, CANVAS_H, COLUMNS, RED, ROWS, ZOOM, cell_origin, pixel

with open(os.path.join(trovedrive.ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
    VERSION = re.search(r"project\(trove VERSION ([0-9.]+)", f.read()).group(1)
EXE = os.path.join(trovedrive.DIST, trovedrive.TROVE_FILE)


def run(args, launcher=()):
    """Exit code, output and error output of the program started from "/" without a display."""
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    command = list(launcher) + ([EXE] if trovedrive.LINUX else ["wine", EXE]) + list(args)
    r = subprocess.run(command, cwd="/", env=env, capture_output=True, text=True, timeout=120)
    return r.returncode, r.stdout, r.stderr


class CommandLineTest(unittest.TestCase):
    def setUp(self):
        self.root = trovedrive.make_tree({"file.txt": b"x", "locked": None})
        os.symlink("loop", os.path.join(self.root, "loop"))
        os.chmod(os.path.join(self.root, "locked"), 0)
        self.addCleanup(trovedrive.remove_tree, self.root)
        self.addCleanup(os.chmod, os.path.join(self.root, "locked"), 0o755)

    @unittest.skipUnless(trovedrive.LINUX, "the Windows program shows refusals in boxes")
    def test_each_command_line_gets_its_texts_and_exit_code(self):
        missing, file, locked, loop = (os.path.join(self.root, n)
                                       for n in ("no", "file.txt", "locked", "loop"))
        # Root enters every directory; without these capabilities "locked" cannot be entered.
        drop = ("setpriv", "--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search")
        usage = "Usage: trove [DIR | FILE]\n"
        cases = [  # arguments, launcher, exit code, output starts with, error output starts with
            (["--help"], (), 0, usage, ""),
            (["--version"], (), 0, "trove %s\n" % VERSION, ""),
            (["--bogus"], (), 2, "", "trove: unknown option: --bogus\n" + usage),
            (["a", "b"], (), 2, "", "trove: too many arguments: b\n" + usage),
            ([missing], (), 1, "", "trove: %s: no such directory\n" % missing),
            ([file + "/"], (), 1, "", "trove: %s/: not a directory\n" % file),
            ([locked], drop if os.geteuid() == 0 else (), 1, "",
             "trove: %s: the directory cannot be read: Permission denied\n" % locked),
            ([loop], (), 1, "", "trove: %s: the directory cannot be reached: Too many levels of "
             "symbolic links\n" % loop),
            ([""], (), 1, "", 'trove: "": no such directory\n'),
        ]
        for args, launcher, code, out, err in cases:
            with self.subTest(args=args):
                got_code, got_out, got_err = run(args, launcher)
                self.assertEqual(got_code, code)
                self.assertEqual((got_out[:len(out)], bool(got_out)), (out, bool(out)))
                self.assertEqual((got_err[:len(err)], bool(got_err)), (err, bool(err)))

    @unittest.skipIf(trovedrive.LINUX, "the Windows program's own command line")
    def test_windows_program_prints_its_version_and_shows_a_refused_folder(self):
        self.assertEqual(run(["--version"])[:2], (0, "trove %s\n" % VERSION))
        missing = trovedrive.wine_path(os.path.join(self.root, "no"))
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start(args=[missing])
            s.wait_window("ERROR")
            self.assertEqual(s.find_windows("GAME"), [])
            s.run_helper("close", "ERROR").wait(timeout=30)
            self.assertEqual(s.wait_exit(timeout=60), 1)
        # A drive whose root holds nothing at all is browsed like any folder, named as a
        # shortcut's "T:\" reaches the program: T:" under the quoting rule.
        empty = trovedrive.make_tree({})
        self.addCleanup(trovedrive.remove_tree, empty)
        drive = os.path.join(trovedrive.PREFIX, "dosdevices", "t:")
        os.symlink(empty, drive)
        self.addCleanup(os.remove, drive)
        with trovedrive.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start(args=['T:"'])
            s.wait_window("GAME")
            s.key("Escape")
            self.assertEqual(s.wait_exit(timeout=60), 0)

    def test_a_picture_named_is_shown_and_t_goes_to_the_page_that_holds_it(self):
        tree = {"%02d.bmp" % i: bmp24(8, 8, lambda x, y, i=i: (15 * i, 100, 200))
                for i in range(14)}
        tree["red.bmp"] = bmp24(100, 50, red_with_blue_corner)
        folder = trovedrive.make_tree(tree)
        if trovedrive.LINUX:
            # The Linux program lists a large folder whole: the picture is its last entry. The
            # 3,500 files are links to one, which the file system makes many times faster.
            open(os.path.join(folder, "f0000.txt"), "wb").close()
            for i in range(1, 3500):
                os.link(os.path.join(folder, "f0000.txt"), os.path.join(folder, "f%04d.txt" % i))
        self.addCleanup(trovedrive.remove_tree, folder)
        with trovedrive.Desktop(screen=(1280, 1024)) as s:
            k = s.list_directory(folder).index("red.bmp") + 1
            page = (k - 1) // (COLUMNS * ROWS) * COLUMNS * ROWS + 1
            self.assertGreater(page, 1, "the picture must lie beyond the first page")
            # The picture's centre follows the pointer: canvas (250, 200) puts it at (110, 88).
            s.xdotool("mousemove", *trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
            s.start(args=[trovedrive.program_path(os.path.join(folder, "red.bmp"))])
            s.wait_window("GAME")
            s.settle()
            view = s.screenshot()
            self.assertEqual((pixel(view, 120, 95), pixel(view, 87, 76)), (RED, BLUE))
            x0, y0 = cell_origin(k - page)
            s.key("t", page=True)
            cells = s.screenshot()
            self.assertEqual((pixel(cells, x0 + 100, y0 + 50), pixel(cells, x0 + 6, y0 + 5)),
                             (RED, BLUE))
            # Its thumbnail opens it again: 50 x 25 at step 4, centred at (110, 88) from the
            # pointer at (250, 200), as at the start.
            s.right_click(*trovedrive.canvas_click_point(x0 + 70, y0 + 35, CANVAS_H, ZOOM))
            s.move(*trovedrive.canvas_click_point(250, 200, CANVAS_H, ZOOM))
            view = s.screenshot()
            self.assertEqual((pixel(view, 120, 95), pixel(view, 87, 76)), (RED, BLUE))
            s.key("Escape")
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
