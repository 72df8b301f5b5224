#!/usr/bin/env python3
"""Checks the #include graph of src/ against the layering stated in README.md.

Fails (exit 1, one line per finding) when a subsystem includes a header of a layer above it,
when the core includes a backend's header instead of the seam, when a backend includes a core
header other than the entry headers written for the backends, when a folder of src/ is missing
from the stated layering, or when components include each other in a circle. A component is a
header and its source file together (a/b.h and a/b.cpp): a.cpp including b.h while b.cpp
includes a.h is a circle, though no file includes itself.

Usage: check-layers.py [ROOT]   (ROOT defaults to the repository this script lives in)
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
# The layering line of the README: an indented line of names joined by " > ", top first.
LAYERS = re.compile(r"^\s+([a-z]+(?: > [a-z]+)+)\s*$", re.MULTILINE)
SEAM = "platform/platform.h"
# What a backend may include of the core: the seam, the entry points it hands events to, the
# program's main, and the few pure headers both sides share.
BACKEND_ENTRIES = {
    SEAM,
    "input/input_events.h",  # KeyPressed, RightButtonPressed
    "input/keys.h",  # the key codes those take
    "display/window_events.h",  # WindowCloseRequested
    "shell/trove_main.h",  # TroveMain
    "pictures/picture_header.h",  # header checks run before a platform loader sees a file
    "base/little_endian.h",
    "canvas/font.h",  # the glyphs the X11 message window draws its text with
}


def stated_layers(root):
    with open(os.path.join(root, "README.md"), encoding="utf-8") as f:
        found = LAYERS.findall(f.read())
    if len(found) != 1:
        raise SystemExit("README.md must state the layering once, as 'top > ... > bottom'")
    names = found[0].split(" > ")
    # Rank 0 is the bottom layer.
    return {name: rank for rank, name in enumerate(reversed(names))}


def source_files(src):
    for folder, _, files in os.walk(src):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, src).replace(os.sep, "/")


def includes(src, path):
    with open(os.path.join(src, path), encoding="utf-8", errors="replace") as f:
        return INCLUDE.findall(f.read())


def subsystem(path):
    """The layer a file belongs to; None for a backend under platform/<os>/."""
    parts = path.split("/")
    if parts[0] == "platform":
        return "platform" if len(parts) == 2 else None
    return parts[0]


def layering_findings(src, ranks):
    findings = []
    for path in source_files(src):
        own = subsystem(path)
        if own is None:
            # Backends sit beside the stack and call into the core's entry points alone.
            for target in includes(src, path):
                if "/" in target and not target.startswith("platform/") and \
                        target not in BACKEND_ENTRIES:
                    findings.append("%s: a backend includes %s; backends see only the entry "
                                    "headers" % (path, target))
            continue
        if own not in ranks:
            findings.append("%s: folder %s is not in the README's layering" % (path, own))
            continue
        for target in includes(src, path):
            if "/" not in target:
                continue  # a header next to the file, as tests do
            layer = target.split("/")[0]
            if layer == "platform" and target != SEAM:
                findings.append("%s: includes the backend header %s; the core sees only %s"
                                % (path, target, SEAM))
            elif layer in ranks and ranks[layer] > ranks[own]:
                findings.append("%s: includes %s, a higher layer (%s above %s)"
                                % (path, target, layer, own))
    return findings


def component(path):
    return os.path.splitext(path)[0]


def cycle_findings(src):
    graph = {}
    for path in source_files(src):
        edges = graph.setdefault(component(path), set())
        for target in includes(src, path):
            if os.path.isfile(os.path.join(src, target)) and component(target) != component(path):
                edges.add(component(target))
    findings = []
    state = {}  # 1 while on the current path, 2 when done

    def visit(node, trail):
        state[node] = 1
        trail.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                circle = trail[trail.index(nxt):] + [nxt]
                findings.append("include circle: " + " -> ".join(circle))
            elif state.get(nxt) is None:
                visit(nxt, trail)
        trail.pop()
        state[node] = 2

    for node in sorted(graph):
        if state.get(node) is None:
            visit(node, [])
    return findings


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.dirname(os.path.abspath(__file__)))
    src = os.path.join(root, "src")
    findings = layering_findings(src, stated_layers(root)) + cycle_findings(src)
    for line in findings:
        print(line)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
