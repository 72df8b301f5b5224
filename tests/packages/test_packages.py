"""What `make package` makes: the Debian package of the Linux program (its fields, its files
where a Linux system keeps them, its Depends from dpkg-shlibdeps, a valid menu entry, an icon,
a manual page, a program that runs where it was unpacked) and the zip of the Windows program
folder (the whole of dist/, under one folder)."""
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PACKAGES = os.environ.get("TROVE_PACKAGES", os.path.join(ROOT, "build", "packages"))
VERSION = os.environ.get("TROVE_VERSION") or re.search(
    r"project\(trove VERSION ([0-9.]+)", open(os.path.join(ROOT, "CMakeLists.txt")).read()).group(1)
DIST = os.environ.get("TROVE_WIN32_DIST", os.path.join(ROOT, "dist"))
ASSET_FOLDERS = ("bmp_cross", "bmp_unit", "bmp_land", "bmp_dungeon", "bmp_structure",
                 "bmp_item", "bmp_scr", "bmp_cube")


def dpkg_deb(*args):
    return subprocess.run(["dpkg-deb"] + list(args), capture_output=True, text=True,
                          check=True).stdout


class DebianPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        arch = subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True,
                              check=True).stdout.strip()
        cls.deb = os.path.join(PACKAGES, "trove_%s_%s.deb" % (VERSION, arch))
        if not os.path.isfile(cls.deb):
            raise AssertionError("no %s: 'make package' makes it" % cls.deb)
        cls.arch = arch

    def field(self, name):
        return dpkg_deb("-f", self.deb, name).strip()

    def test_fields(self):
        self.assertEqual(self.field("Package"), "trove")
        self.assertEqual(self.field("Version"), VERSION)
        self.assertEqual(self.field("Architecture"), self.arch)
        self.assertEqual(self.field("Section"), "graphics")
        self.assertRegex(self.field("Maintainer"), r"^[^<>]+ <[^<>@]+@[^<>]+>$")
        self.assertTrue(self.field("Description").startswith(
            "file, picture and media browser in one window\n"))
        self.assertEqual(self.field("Recommends"), "xdg-utils")
        # Depends as dpkg-shlibdeps finds them from what the two programs link: each library's
        # package with the least version its symbols need.
        depends = {}
        for alternatives in self.field("Depends").split(","):
            for d in alternatives.split("|"):
                name, version = re.match(r"([a-z0-9.+-]+)(?: \((.*)\))?$", d.strip()).groups()
                depends[name] = version
        for package in ("libc6", "libstdc++6", "libx11-6", "libxi6", "libxrandr2",
                        "libjpeg62-turbo", "libglu1-mesa"):
            self.assertIn(package, depends)
        self.assertTrue({"libgl1", "libglx0", "libopengl0"} & set(depends))
        for package in ("libc6", "libstdc++6", "libx11-6", "libjpeg62-turbo"):
            self.assertRegex(depends[package] or "", r"^>= ", package)

    def test_files_lie_where_a_linux_system_keeps_them(self):
        listing = {}
        for line in dpkg_deb("-c", self.deb).splitlines():
            mode, owner, size, _, _, path = line.split(None, 5)
            listing[path] = (mode, owner)
        files = {p for p, (mode, _) in listing.items() if not mode.startswith("d")}
        assets = {p for p in files if p.startswith("./usr/share/trove/")}
        self.assertEqual(files - assets, {
            "./usr/bin/trove",
            "./usr/lib/trove/spool",
            "./usr/share/applications/trove.desktop",
            "./usr/share/icons/hicolor/64x64/apps/trove.png",
            "./usr/share/man/man1/trove.1",
            "./usr/share/doc/trove/README.md",
            "./usr/share/doc/trove/copyright",
        })
        self.assertEqual(len(assets), 198)
        self.assertEqual({p.split("/")[4] for p in assets}, set(ASSET_FOLDERS))
        self.assertTrue(all(p.endswith(".bmp") for p in assets))
        for path, (mode, owner) in listing.items():
            self.assertEqual(owner, "root/root", path)
            executable = path in ("./usr/bin/trove", "./usr/lib/trove/spool")
            expected = "drwxr-xr-x" if mode.startswith("d") else \
                "-rwxr-xr-x" if executable else "-rw-r--r--"
            self.assertEqual(mode, expected, path)

    def test_unpacked_files_work(self):
        unpacked = tempfile.mkdtemp(prefix="trove-deb-")
        try:
            dpkg_deb("-x", self.deb, unpacked)
            usr = os.path.join(unpacked, "usr")
            # The menu entry is valid and opens folders and pictures.
            desktop = os.path.join(usr, "share", "applications", "trove.desktop")
            r = subprocess.run(["desktop-file-validate", desktop], capture_output=True,
                               text=True)
            self.assertEqual((r.returncode, r.stdout + r.stderr), (0, ""))
            with open(desktop, encoding="utf-8") as f:
                entry = dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
            self.assertEqual(entry["Exec"], "trove %f")
            self.assertEqual(entry["Icon"], "trove")
            self.assertTrue({"inode/directory", "image/bmp", "image/jpeg"} <=
                            set(entry["MimeType"].strip(";").split(";")))
            # The icon is a 64 x 64 RGBA PNG, as its folder says.
            with open(os.path.join(usr, "share", "icons", "hicolor", "64x64", "apps",
                                   "trove.png"), "rb") as f:
                png = f.read()
            self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">IIBB", png[16:26]), (64, 64, 8, 6))
            # The manual page formats without a warning, names the keys and the version.
            man = os.path.join(usr, "share", "man", "man1", "trove.1")
            r = subprocess.run(["groff", "-man", "-ww", "-z", man], capture_output=True,
                               text=True)
            self.assertEqual((r.returncode, r.stderr), (0, ""))
            with open(man, encoding="utf-8") as f:
                page = f.read()
            self.assertIn('"trove %s"' % VERSION, page)
            for key in ("Escape", "F5", "F7", "THUMBNAILS", "SPOOL_LOG", ".SH EXIT STATUS"):
                self.assertIn(key, page)
            # The program runs where it was unpacked and tells its version.
            r = subprocess.run([os.path.join(usr, "bin", "trove"), "--version"],
                               capture_output=True, text=True)
            self.assertEqual((r.returncode, r.stdout), (0, "trove %s\n" % VERSION))
        finally:
            shutil.rmtree(unpacked, ignore_errors=True)


class WindowsZipTest(unittest.TestCase):
    def test_zip_holds_the_whole_program_folder(self):
        path = os.path.join(PACKAGES, "trove-%s-win32.zip" % VERSION)
        if not os.path.isfile(path):
            self.fail("no %s: 'make package' makes it" % path)
        top = "trove-%s-win32/" % VERSION
        expected = set()
        for folder, _, names in os.walk(DIST):
            for name in names:
                expected.add(top + os.path.relpath(os.path.join(folder, name), DIST))
        with zipfile.ZipFile(path) as z:
            self.assertIsNone(z.testzip())
            files = {i.filename for i in z.infolist() if not i.is_dir()}
            self.assertEqual(files, expected)
            for name in ("trove.exe", "spool.exe"):
                self.assertEqual(z.read(top + name)[:2], b"MZ")
        self.assertEqual(len([f for f in files if f.endswith(".bmp") and
                              f.split("/")[1] in ASSET_FOLDERS]), 198)


if __name__ == "__main__":
    unittest.main(verbosity=2)
