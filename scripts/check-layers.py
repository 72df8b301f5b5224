#!/usr/bin/env python3
"""Checks the #include graph of src/, tools/ and bench/ against the layering stated in README.md.

Every include points down or sideways: a file of src/<layer>/ may include headers of its own
layer and of the layers below it, never of one above. The programs built beside Trove (tools/,
bench/) stand above every layer of src/ and include only its layers and their own files, and
nothing in src/ includes them. Below the backends
no operating-system header is included: the core reaches the system through the interface
alone. Components that include each other in a circle fail as well: a component is a header
and its source file together (a/b.h and a/b.cpp), so a.cpp including b.h while b.cpp includes
a.h is a circle, though no file includes itself.

Fails (exit 1, one line per finding). Usage: check-layers.py [ROOT]   (ROOT defaults to the
repository this script lives in)
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^">]+)[">]', re.MULTILINE)
# The layering line of the README: an indented line of names joined by " > ", top first.
LAYERS = re.compile(r"^\s+([a-z]+(?: > [a-z]+)+)\s*$", re.MULTILINE)
# The layer whose files own the programs' entry points and call the operating system.
BACKENDS = "backends"
# Folders beside src/ whose programs stand above every layer.
PROGRAMS = ("tools", "bench")
# Headers of the operating systems and of the libraries only the backends speak to.
SYSTEM_HEADER = re.compile(
    r"^(windows\.h|winuser\.h|shellapi\.h|ole2\.h|olectl\.h|ocidl\.h|objbase\.h|"
    r"X11/|GL/|gst/|unistd\.h|fcntl\.h|dirent\.h|poll\.h|pthread\.h|spawn\.h|dlfcn\.h|"
    r"sys/|jpeglib\.h|spng\.h|gif_lib\.h|webp/|avif/|libheif/|jxl/)")


def stated_layers(root):
    with open(os.path.join(root, "README.md"), encoding="utf-8") as f:
        found = LAYERS.findall(f.read())
    if len(found) != 1:
        raise SystemExit("README.md must state the layering once, as 'top > ... > bottom'")
    names = found[0].split(" > ")
    # Rank 0 is the bottom layer.
    return {name: rank for rank, name in enumerate(reversed(names))}


def source_files(top):
    for folder, _, files in os.walk(top):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, top).replace(os.sep, "/")


def includes(top, path):
    with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
        return INCLUDE.findall(f.read())


def layering_findings(root, ranks):
    findings = []
    src = os.path.join(root, "src")
    for path in source_files(src):
        own = path.split("/")[0]
        if own not in ranks:
            findings.append("src/%s: folder %s is not in the README's layering" % (path, own))
            continue
        for kind, target in includes(src, path):
            layer = target.split("/")[0]
            if kind == "<":
                if own != BACKENDS and SYSTEM_HEADER.match(target):
                    findings.append("src/%s: includes the system header <%s>; only the "
                                    "backends do" % (path, target))
            elif target.startswith("..") or layer in PROGRAMS:
                findings.append("src/%s: includes %s from outside src/" % (path, target))
            elif layer in ranks and ranks[layer] > ranks[own]:
                findings.append("src/%s: includes %s, a higher layer (%s above %s)"
                                % (path, target, layer, own))
    for folder in PROGRAMS:
        top = os.path.join(root, folder)
        for path in source_files(top):
            for kind, target in includes(top, path):
                beside = [os.path.join(top, os.path.dirname(path), target)] + \
                    [os.path.join(root, other, target) for other in PROGRAMS]
                if kind == '"' and "/" in target and target.split("/")[0] not in ranks and \
                        not any(os.path.isfile(p) for p in beside):
                    findings.append("%s/%s: includes %s, which is neither a layer of src/ nor "
                                    "a file of %s" % (folder, path, target, " or ".join(PROGRAMS)))
    return findings


def component(path):
    return os.path.splitext(path)[0]


def cycle_findings(src):
    graph = {}
    for path in source_files(src):
        edges = graph.setdefault(component(path), set())
        for _, target in includes(src, path):
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
    findings = layering_findings(root, stated_layers(root)) + \
        cycle_findings(os.path.join(root, "src"))
    for line in findings:
        print(line)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
