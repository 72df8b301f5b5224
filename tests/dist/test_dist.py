"""The program folder: dist/ (dist-linux/ for the Linux program) holds everything Trove needs,
and scripts/build/make-dist.sh lays out a whole folder every time or fails, naming what is missing,
without touching the old one."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LINUX = os.environ.get("TROVE_PROGRAM", "wine") == "linux"
DIST = os.environ.get("TROVE_DIST", os.path.join(ROOT, "dist-linux" if LINUX else "dist"))
BUILD = os.environ.get("TROVE_BUILD", os.path.join(ROOT, "build", "linux" if LINUX else "win32"))
SUFFIX = "" if LINUX else ".exe"
MAGIC = b"\x7fELF" if LINUX else b"MZ"
TOOLS = os.environ.get("TROVE_TOOLS", os.path.join(ROOT, "build", "tools"))
MAKE_DIST = os.path.join(ROOT, "scripts", "build", "make-dist.sh")

ASSET_FOLDERS = {"bmp_cross": 1, "bmp_unit": 58, "bmp_land": 26, "bmp_dungeon": 39,
                 "bmp_structure": 10, "bmp_item": 56, "bmp_scr": 1, "bmp_cube": 7}
SAMPLES = ["Evening Lake.jpg", "WAVES_GREY.JPG", "about these samples.txt", "checker_key.bmp",
           "gradient_odd_width.bmp", "rings_progressive.jpeg", "shapes_palette.bmp",
           "tiny_10x10.bmp", os.path.join("more pictures", "lake_small.jpg")]


def problems(dist):
    """What a program folder lacks, as readable lines; empty when it is whole."""
    found = []
    for exe in ("trove" + SUFFIX, "spool" + SUFFIX):
        path = os.path.join(dist, exe)
        if not os.path.isfile(path):
            found.append("no " + exe)
            continue
        with open(path, "rb") as f:
            if f.read(len(MAGIC)) != MAGIC:
                found.append(exe + " is not a program of its platform")
    total = 0
    for folder, count in ASSET_FOLDERS.items():
        path = os.path.join(dist, folder)
        names = os.listdir(path) if os.path.isdir(path) else []
        bmps = [n for n in names if n.lower().endswith(".bmp") and
                os.path.getsize(os.path.join(path, n)) > 54]
        total += len(bmps)
        if len(bmps) != count:
            found.append("%s holds %d pictures, not %d" % (folder, len(bmps), count))
    if total != 198:
        found.append("%d asset files, not 198" % total)
    for sample in SAMPLES:
        if not os.path.isfile(os.path.join(dist, "samples", sample)):
            found.append("no samples/" + sample)
    return found


def run_make_dist(build, tools, dist):
    return subprocess.run(["bash", MAKE_DIST, build, tools, dist, SUFFIX], capture_output=True,
                          text=True, timeout=300)


class BuiltDist(unittest.TestCase):
    def test_dist_is_whole(self):
        self.assertEqual(problems(DIST), [])


class MakeDist(unittest.TestCase):
    """make-dist.sh run on inputs laid out in a scratch folder."""

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="trove_dist_")
        self.build = os.path.join(self.work, "build")
        self.tools = os.path.join(self.work, "tools")
        os.makedirs(self.build)
        os.makedirs(self.tools)
        for exe in ("trove" + SUFFIX, "spool" + SUFFIX):
            shutil.copy(os.path.join(BUILD, exe), self.build)
        for tool in ("make_assets", "make_samples"):
            shutil.copy(os.path.join(TOOLS, tool), self.tools)
        self.dist = os.path.join(self.work, "dist")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def test_a_damaged_folder_is_made_whole_again(self):
        self.assertEqual(run_make_dist(self.build, self.tools, self.dist).returncode, 0)
        self.assertEqual(problems(self.dist), [])
        shutil.rmtree(os.path.join(self.dist, "bmp_unit"))
        os.remove(os.path.join(self.dist, "bmp_cube", os.listdir(
            os.path.join(self.dist, "bmp_cube"))[0]))
        with open(os.path.join(self.dist, "samples", "checker_key.bmp"), "wb") as f:
            f.write(b"BM")
        self.assertNotEqual(problems(self.dist), [])
        result = run_make_dist(self.build, self.tools, self.dist)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(problems(self.dist), [])
        with open(os.path.join(self.dist, "samples", "checker_key.bmp"), "rb") as f:
            self.assertGreater(len(f.read()), 1000)
        self.assertFalse(os.path.exists(self.dist + ".partial"))

    def test_each_missing_input_fails_with_its_name_and_leaves_the_folder(self):
        self.assertEqual(run_make_dist(self.build, self.tools, self.dist).returncode, 0)
        inputs = [os.path.join(self.build, "trove" + SUFFIX),
                  os.path.join(self.build, "spool" + SUFFIX),
                  os.path.join(self.tools, "make_assets"), os.path.join(self.tools, "make_samples")]
        for missing in inputs:
            with self.subTest(missing=os.path.basename(missing)):
                kept = missing + ".kept"
                os.rename(missing, kept)
                try:
                    result = run_make_dist(self.build, self.tools, self.dist)
                finally:
                    os.rename(kept, missing)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn("missing input: " + missing, result.stderr)
                self.assertEqual(problems(self.dist), [])

    def test_a_failing_generator_leaves_the_old_folder(self):
        self.assertEqual(run_make_dist(self.build, self.tools, self.dist).returncode, 0)
        broken = os.path.join(self.tools, "make_samples")
        with open(broken, "w") as f:
            f.write("#!/bin/sh\necho 'make_samples: cannot write' >&2\nexit 1\n")
        result = run_make_dist(self.build, self.tools, self.dist)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("make_samples: cannot write", result.stderr)
        self.assertEqual(problems(self.dist), [])


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False, verbosity=2).result.wasSuccessful() else 1)
