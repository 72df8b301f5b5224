"""scripts/checks/check-layers.py: the repository keeps its stated layering, and the check really
fails on an include that points up (a backend's header in the core among them), on a header
below the backends that is not the standard library's, on a program or test beside src/ that
reaches elsewhere, on an unlisted folder, on a circle of components and on a README that does
not quote the layering."""
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPT = os.path.join(ROOT, "scripts", "checks", "check-layers.py")

LAYERS = "backends > top > middle > platform"
README = "# Layers\n\n    %s\n\nThe end.\n" % LAYERS
DATA = """# The layering.
layers: %s
system: backends
standard: vector
  cstdio
above: tests fuzz bench tools
helpers: tools
""" % LAYERS
BESIDE = ("tools/", "tests/", "fuzz/", "bench/")


def check(root):
    return subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True,
                          timeout=60)


class CheckLayers(unittest.TestCase):
    def tree(self, files, readme=README):
        """A repository of the given files (path: text) below src/, or below a folder beside it
        where the path says so, with its README and layering."""
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        with open(os.path.join(directory.name, "README.md"), "w") as f:
            f.write(readme)
        files = dict(files, **{"scripts/checks/layers.txt": DATA})
        for path, text in files.items():
            full = os.path.join(directory.name, path if path.startswith(BESIDE + ("scripts/",))
                                else os.path.join("src", path))
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(text)
        return directory.name

    def test_the_repository_keeps_its_layering(self):
        result = check(ROOT)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_includes_that_point_down_pass(self):
        root = self.tree({
            "top/a.cpp": '#include "top/a.h"\n#include "middle/b.h"\n#include <vector>\n',
            "top/a.h": '#include "platform/platform.h"\n',
            "middle/b.h": '#include "platform/platform.h"\n',
            "platform/platform.h": "#pragma once\n",
            "backends/os/backend.cpp": '#include "platform/platform.h"\n'
                                       '#include "backends/os/backend.h"\n#include "top/a.h"\n'
                                       '#include <unistd.h>\n',
            "backends/os/backend.h": "#pragma once\n",
            "tools/make.cpp": '#include "middle/b.h"\n#include <sys/stat.h>\n',
            "tools/helpers/writer.h": "#pragma once\n",
            "tests/middle/b_test.cpp": '#include "middle/b.h"\n#include "support/fixture.h"\n'
                                       '#include "../../tools/helpers/writer.h"\n'
                                       '#include "backends/os/backend.h"\n#include <X11/Xlib.h>\n',
            "tests/support/fixture.h": "#pragma once\n",
            "fuzz/b_fuzz.cpp": '#include "middle/b.h"\n#include "helpers/writer.h"\n',
        })
        result = check(root)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(result.stdout, "")

    def assert_fails_with(self, files, message):
        result = check(self.tree(files))
        self.assertEqual(result.returncode, 1, result.stdout)
        self.assertIn(message, result.stdout)

    def test_an_upward_include_fails_and_is_named(self):
        self.assert_fails_with({"top/a.h": "#pragma once\n", "middle/b.cpp": '#include "top/a.h"\n'},
                               "middle/b.cpp: includes top/a.h")

    def test_a_backend_header_in_the_core_fails(self):
        self.assert_fails_with({"middle/b.cpp": '#include "backends/os/backend.h"\n',
                                "backends/os/backend.h": "#pragma once\n"},
                               "middle/b.cpp: includes backends/os/backend.h, a higher layer")

    def test_a_header_below_the_backends_that_is_not_the_standard_librarys_fails(self):
        for header in ("X11/Xlib.h", "spng.h", "stdio.h"):
            self.assert_fails_with({"middle/b.cpp": "#include <vector>\n#include <%s>\n" % header},
                                   "src/middle/b.cpp: includes <%s>, which is no standard "
                                   "library header" % header)

    def test_a_program_or_test_beside_src_that_reaches_elsewhere_fails(self):
        self.assert_fails_with({"tools/make.cpp": '#include "tests/support/fixture.h"\n',
                                "tests/support/fixture.h": "#pragma once\n"},
                               "tools/make.cpp: includes tests/support/fixture.h")
        self.assert_fails_with({"fuzz/b_fuzz.cpp": '#include "../tests/support/fixture.h"\n',
                                "tests/support/fixture.h": "#pragma once\n"},
                               "fuzz/b_fuzz.cpp: includes ../tests/support/fixture.h")

    def test_a_folder_missing_from_the_layering_fails(self):
        self.assert_fails_with({"extra/c.cpp": "int c;\n"},
                               "folder extra is not in the layering")

    def test_a_circle_of_components_fails_even_within_one_layer(self):
        # Each source file includes the other's header: no file includes itself, yet the two
        # components depend on each other.
        self.assert_fails_with({"middle/b.h": "#pragma once\n", "middle/c.h": "#pragma once\n",
                                "middle/b.cpp": '#include "middle/b.h"\n#include "middle/c.h"\n',
                                "middle/c.cpp": '#include "middle/c.h"\n#include "middle/b.h"\n'},
                               "include circle: middle/b -> middle/c -> middle/b")

    def test_a_readme_that_does_not_quote_the_layering_fails(self):
        for readme in ("# No layers here\n", "    backends > top > platform\n"):
            result = check(self.tree({"top/a.cpp": "int a;\n"}, readme=readme))
            self.assertEqual(result.returncode, 1, result.stdout)
            self.assertIn("README.md must quote the layering", result.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
