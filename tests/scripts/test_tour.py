"""tests/e2e/tour.py in a clone where a piece it needs was never built: each missing file is
named, the tour ends with status 1 and no traceback, before any display is started."""
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOUR = os.path.join(ROOT, "tests", "e2e", "tour.py")


class Tour(unittest.TestCase):
    def test_missing_pieces_are_named(self):
        for program, helper in (("linux", "x11_helper"), ("wine", "e2e_helper.exe")):
            with tempfile.TemporaryDirectory() as dist, tempfile.TemporaryDirectory() as out:
                # The program is there, the player and the helper are not.
                trove = os.path.join(dist, "trove" if program == "linux" else "trove.exe")
                open(trove, "wb").close()
                env = dict(os.environ, TROVE_PROGRAM=program, TROVE_DIST=dist,
                           TROVE_BUILD=os.path.join(dist, "build"))
                env.pop("DISPLAY", None)
                result = subprocess.run([sys.executable, TOUR, os.path.join(out, "shots")],
                                        env=env, capture_output=True, text=True, timeout=60)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertNotIn("Traceback", result.stderr)
                self.assertNotIn(trove, result.stderr)
                self.assertIn("tour: missing " + os.path.join(dist, "build", helper),
                              result.stderr)
                self.assertIn("spool", result.stderr)
                self.assertFalse(os.path.exists(os.path.join(out, "shots")))


if __name__ == "__main__":
    unittest.main()
