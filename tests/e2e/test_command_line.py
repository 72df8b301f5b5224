"""The program's command line, run for real: --help, --version, refused words and start
folders that cannot be browsed, with their texts and exit codes. The Linux program needs no
display for any of them; the Windows program shows a refused folder in a message box."""
import os
import re
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import trove_e2e  # noqa: E402


def project_version():
    """The version project() states in CMakeLists.txt, the one place it is kept."""
    with open(os.path.join(trove_e2e.ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(trove VERSION ([0-9.]+)", f.read()).group(1)


def run(args, launcher=()):
    """Runs the program from "/" without a display; its exit code, output and error output."""
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    exe = os.path.join(trove_e2e.DIST, trove_e2e.TROVE_FILE)
    command = [exe] if trove_e2e.LINUX else ["wine", exe]
    r = subprocess.run(list(launcher) + command + list(args), cwd="/", env=env,
                       capture_output=True, timeout=120)
    return r.returncode, r.stdout.decode(), r.stderr.decode()


class CommandLineTest(unittest.TestCase):
    def setUp(self):
        self.root = trove_e2e.make_tree({"file.txt": b"x", "locked": None, "dir": None})
        os.chmod(os.path.join(self.root, "locked"), 0)

    def tearDown(self):
        os.chmod(os.path.join(self.root, "locked"), 0o755)
        trove_e2e.remove_tree(self.root)

    @unittest.skipUnless(trove_e2e.LINUX, "the Windows program shows refusals in message boxes")
    def test_each_command_line_gets_its_texts_and_exit_code(self):
        missing = os.path.join(self.root, "missing")
        file = os.path.join(self.root, "file.txt")
        locked = os.path.join(self.root, "locked")
        # Root reads every directory; without these capabilities "locked" cannot be entered.
        drop = ("setpriv", "--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search")
        usage = "Usage: trove [DIR]\n"
        cases = [
            # arguments, launcher, exit code, output starts with, error output starts with
            (["--help"], (), 0, usage, ""),
            (["-h"], (), 0, usage, ""),
            (["--version"], (), 0, "trove %s\n" % project_version(), ""),
            (["--bogus"], (), 2, "", "trove: unknown option: --bogus\n" + usage),
            (["a", "b"], (), 2, "", "trove: too many arguments: b\n" + usage),
            ([missing], (), 1, "", "trove: %s: no such directory\n" % missing),
            ([file], (), 1, "", "trove: %s: not a directory\n" % file),
            ([locked], drop if os.geteuid() == 0 else (), 1, "",
             "trove: %s: the directory cannot be read\n" % locked),
        ]
        for args, launcher, code, out, err in cases:
            with self.subTest(args=args):
                got_code, got_out, got_err = run(args, launcher)
                self.assertEqual(got_code, code)
                self.assertTrue(got_out.startswith(out), got_out)
                self.assertTrue(got_err.startswith(err), got_err)
                self.assertEqual(bool(got_out), bool(out))
                self.assertEqual(bool(got_err), bool(err))
        # The version and the help end there and then: exactly one line for --version.
        self.assertEqual(run(["--version"])[1], "trove %s\n" % project_version())

    @unittest.skipIf(trove_e2e.LINUX, "the Windows program's own command line")
    def test_windows_program_reads_its_wide_command_line(self):
        # Started from a shell, Wine gives it standard handles: the version is printed there.
        self.assertEqual(run(["--version"])[:2], (0, "trove %s\n" % project_version()))
        # A folder that cannot be browsed is shown in a box; the program then ends with 1.
        missing = trove_e2e.wine_path(os.path.join(self.root, "missing"))
        with trove_e2e.Desktop(screen=(1280, 1024), start_dir=self.root) as s:
            s.start(args=[missing])
            s.wait_window("ERROR")
            self.assertEqual(s.find_windows("GAME"), [])
            s.run_helper("close", "ERROR").wait(timeout=30)
            self.assertEqual(s.wait_exit(timeout=60), 1)
            self.assertIn("trove: %s: no such directory" % missing, s.program_errors())


if __name__ == "__main__":
    unittest.main(verbosity=2)
