"""scripts/setup/with-xvfb.sh: the command runs on a display that really is up, a private server is
gone afterwards, and a server that cannot start is reported instead of running the command."""
import os
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPT = os.path.join(ROOT, "scripts", "setup", "with-xvfb.sh")


def run(command, **env):
    e = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    e.update(env)
    return subprocess.run(["bash", SCRIPT, "sh", "-c", command], env=e, capture_output=True,
                          text=True, timeout=120)


class WithXvfb(unittest.TestCase):
    def test_the_command_runs_on_a_private_display_of_the_asked_size(self):
        result = run('echo "$DISPLAY"; xdpyinfo | grep dimensions', XVFB_SIZE="640x480")
        self.assertEqual(result.returncode, 0, result.stderr)
        display, dimensions = result.stdout.splitlines()[:2]
        self.assertRegex(display, r"^:\d+$")
        self.assertIn("640x480 pixels", dimensions)
        # The private server ends with the command.
        socket = "/tmp/.X11-unix/X" + display[1:]
        self.assertFalse(os.path.exists(socket) and subprocess.run(
            ["xdpyinfo"], env=dict(os.environ, DISPLAY=display),
            capture_output=True).returncode == 0)

    def test_two_runs_at_once_get_different_displays(self):
        first = subprocess.Popen(["bash", SCRIPT, "sh", "-c", 'echo "$DISPLAY"; sleep 3'],
                                 env={k: v for k, v in os.environ.items() if k != "DISPLAY"},
                                 stdout=subprocess.PIPE, text=True)
        second = run('echo "$DISPLAY"')
        with first:
            self.assertNotEqual(first.stdout.readline().strip(), second.stdout.strip())
            self.assertEqual(first.wait(timeout=60), 0)

    def test_the_exit_status_is_the_commands(self):
        self.assertEqual(run("exit 7").returncode, 7)

    def test_a_server_that_cannot_start_is_named_and_the_command_never_runs(self):
        result = run("echo ran", XVFB_SIZE="nonsense")
        self.assertNotEqual(result.returncode, 0)
        self.assertNotIn("ran", result.stdout)
        self.assertIn("with-xvfb.sh: Xvfb ended before it accepted connections", result.stderr)


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False, verbosity=2).result.wasSuccessful() else 1)
