"""What `make package` makes: the Debian package of the Linux program (its fields, Depends from
dpkg-shlibdeps, its files where a Linux system keeps them, a valid menu entry, a program that
runs where it was unpacked) and the zip of the whole Windows program folder dist/."""
import gzip
import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PACKAGES = os.environ.get("TROVE_PACKAGES", os.path.join(ROOT, "build", "packages"))
VERSION = os.environ["TROVE_VERSION"]
DIST = os.environ.get("TROVE_WIN32_DIST", os.path.join(ROOT, "dist"))


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout


class PackagesTest(unittest.TestCase):
    def test_debian_package(self):
        arch = run("dpkg", "--print-architecture").strip()
        deb = os.path.join(PACKAGES, "trove_%s_%s.deb" % (VERSION, arch))
        fields = dict(re.findall(r"^ ([A-Za-z-]+): (.*)$", run("dpkg-deb", "-I", deb), re.M))
        self.assertEqual([fields[f] for f in ("Package", "Version", "Architecture", "Section")],
                         ["trove", VERSION, arch, "graphics"])
        self.assertRegex(fields["Maintainer"], r"^[^<>]+ <[^<>@]+@[^<>]+>$")
        # dpkg-shlibdeps names each linked library's package with the least version it needs.
        depends = dict(re.findall(r"([a-z0-9.+-]+)(?: \(([^)]*)\))?", fields["Depends"]))
        # The player's GStreamer plugin sets are named as well: no program links them.
        for package in ("libc6", "libstdc++6", "libx11-6", "libxi6", "libxrandr2",
                        "libjpeg62-turbo", "libglu1-mesa", "libgstreamer1.0-0",
                        "gstreamer1.0-plugins-base", "gstreamer1.0-plugins-good",
                        "gstreamer1.0-x"):
            self.assertIn(package, depends)
        self.assertTrue(depends["libc6"].startswith(">= "))
        # Debian's checker finds nothing at its pedantic level, nor any missing hardening flag.
        lint = subprocess.run(["lintian", "--pedantic", "--display-info", deb],
                              capture_output=True, text=True)
        self.assertEqual(lint.stdout, "")

        listing = [line.split(None, 5) for line in run("dpkg-deb", "-c", deb).splitlines()]
        files = {p: mode for mode, owner, _, _, _, p in listing if not mode.startswith("d")}
        self.assertEqual({owner for _, owner, _, _, _, _ in listing}, {"root/root"})
        assets = [p for p in files if re.match(r"\./usr/share/trove/bmp_[a-z]+/[^/]+\.bmp$", p)]
        self.assertEqual(len(assets), 198)
        self.assertEqual(set(files) - set(assets), {
            "./usr/bin/trove", "./usr/lib/trove/spool", "./usr/share/applications/trove.desktop",
            "./usr/share/icons/hicolor/64x64/apps/trove.png", "./usr/share/man/man1/trove.1.gz",
            "./usr/share/doc/trove/README.md.gz", "./usr/share/doc/trove/changelog.gz",
            "./usr/share/doc/trove/copyright"})
        self.assertEqual(files["./usr/lib/trove/spool"], "-rwxr-xr-x")
        self.assertEqual(files["./usr/share/man/man1/trove.1.gz"], "-rw-r--r--")

        unpacked = tempfile.mkdtemp(prefix="trove-deb-")
        self.addCleanup(shutil.rmtree, unpacked)
        run("dpkg-deb", "-x", deb, unpacked)
        usr = os.path.join(unpacked, "usr")
        desktop = os.path.join(usr, "share", "applications", "trove.desktop")
        self.assertEqual(run("desktop-file-validate", desktop), "")
        with open(desktop, encoding="utf-8") as f:
            entry = dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
        self.assertEqual(entry["Exec"], "trove %f")
        self.assertLessEqual({"inode/directory", "image/bmp", "image/jpeg"},
                             set(entry["MimeType"].split(";")))
        with gzip.open(os.path.join(usr, "share", "man", "man1", "trove.1.gz")) as f:
            page = f.read()
        man = subprocess.run(["groff", "-man", "-ww", "-z"], input=page, capture_output=True)
        self.assertEqual((man.returncode, man.stderr), (0, b""))
        self.assertRegex(page.decode(), r'\.TH TROVE 1 "\d{4}-\d\d-\d\d"')
        # The changelog's newest entry is this version's, in the form Debian's tools read.
        with gzip.open(os.path.join(usr, "share", "doc", "trove", "changelog.gz")) as f:
            parsed = subprocess.run(["dpkg-parsechangelog", "-l", "-", "-S", "Version"],
                                    input=f.read(), capture_output=True, check=True)
        self.assertEqual(parsed.stdout, (VERSION + "\n").encode())
        self.assertEqual(run(os.path.join(usr, "bin", "trove"), "--version"),
                         "trove %s\n" % VERSION)

    def test_windows_zip_holds_the_whole_program_folder(self):
        top = "trove-%s-win32/" % VERSION
        expected = {top + os.path.relpath(os.path.join(folder, name), DIST)
                    for folder, _, names in os.walk(DIST) for name in names}
        with zipfile.ZipFile(os.path.join(PACKAGES, top[:-1] + ".zip")) as z:
            self.assertIsNone(z.testzip())
            self.assertEqual({i.filename for i in z.infolist() if not i.is_dir()}, expected)
        self.assertIn(top + "trove.exe", expected)
        self.assertIn(top + "spool.exe", expected)


if __name__ == "__main__":
    unittest.main(verbosity=2)
