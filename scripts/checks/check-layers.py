#!/usr/bin/env python3
"""Checks the #include graph of src/ and of the folders beside it against the layering stated in
scripts/checks/layers.txt, which README.md quotes.

Every include points down or sideways: a file of src/<layer>/ may include headers of its own
layer and of the layers below it, never of one above. Below the system layer (the backends) a
<...> include names a standard library header alone: the core reaches the operating system and
the libraries through the interface. The folders beside src/ (tests, fuzz targets, benchmarks,
the build's own programs) stand above every layer: each includes the layers of src/, its own
files and the helpers' (tools/), and nothing in src/ includes them. Components that include
each other in a circle fail as well: a component is a header and its source file together
(a/b.h and a/b.cpp), so a.cpp including b.h while b.cpp includes a.h is a circle, though no
file includes itself. README.md must quote the layers line as it stands in the data file.

Fails (exit 1, one line per finding). Usage: check-layers.py [ROOT]   (ROOT defaults to the
repository this script lies in)
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^">]+)[">]', re.MULTILINE)
DATA = os.path.join("scripts", "checks", "layers.txt")


def read_data(root):
    """The data file's fields: name -> text, continuation lines (indented) joined on."""
    fields, name = {}, None
    with open(os.path.join(root, DATA), encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            if line[0].isspace() and name:
                fields[name] += " " + line.strip()
            else:
                name, _, value = line.partition(":")
                name = name.strip()
                fields[name] = value.strip()
    return fields


class Layering:
    def __init__(self, root):
        fields = read_data(root)
        self.line = fields["layers"]
        names = self.line.split(" > ")
        # Rank 0 is the bottom layer.
        self.ranks = {name: rank for rank, name in enumerate(reversed(names))}
        self.system = fields["system"]
        self.standard = set(fields["standard"].split())
        self.above = fields["above"].split()
        self.helpers = fields["helpers"].split()


def readme_findings(root, layering):
    with open(os.path.join(root, "README.md"), encoding="utf-8") as f:
        quoted = [line.strip() for line in f if line.strip() == layering.line]
    if len(quoted) != 1:
        return ["README.md must quote the layering of %s once: %s" % (DATA, layering.line)]
    return []


def source_files(top):
    for folder, _, files in os.walk(top):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, top).replace(os.sep, "/")


def includes(top, path):
    with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
        return INCLUDE.findall(f.read())


def src_findings(root, layering):
    findings = []
    src = os.path.join(root, "src")
    ranks = layering.ranks
    for path in source_files(src):
        own = path.split("/")[0]
        if own not in ranks:
            findings.append("src/%s: folder %s is not in the layering" % (path, own))
            continue
        for kind, target in includes(src, path):
            layer = target.split("/")[0]
            if kind == "<":
                if own != layering.system and target not in layering.standard:
                    findings.append("src/%s: includes <%s>, which is no standard library "
                                    "header; only the %s do" % (path, target, layering.system))
            elif target.startswith("..") or layer in layering.above:
                findings.append("src/%s: includes %s from outside src/" % (path, target))
            elif layer in ranks and ranks[layer] > ranks[own]:
                findings.append("src/%s: includes %s, a higher layer (%s above %s)"
                                % (path, target, layer, own))
    return findings


def above_findings(root, layering):
    """A quoted include with a folder in it, in a folder beside src/, names a layer of src/ or
    a file of its own folder or of the helpers: found beside the file, or below either root."""
    findings = []
    for folder in layering.above:
        top = os.path.join(root, folder)
        allowed = [os.path.realpath(os.path.join(root, f)) for f in [folder] + layering.helpers]
        for path in source_files(top):
            for kind, target in includes(top, path):
                if kind != '"' or "/" not in target or target.split("/")[0] in layering.ranks:
                    continue
                candidates = [os.path.join(top, os.path.dirname(path), target)] + \
                    [os.path.join(base, target) for base in allowed]
                found = [os.path.realpath(p) for p in candidates if os.path.isfile(p)]
                if not any(p.startswith(base + os.sep) for p in found for base in allowed):
                    findings.append("%s/%s: includes %s, which is neither a layer of src/ nor "
                                    "a file of %s" % (folder, path, target,
                                                      " or ".join([folder] + layering.helpers)))
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
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(
        os.path.dirname(os.path.abspath(__file__))))
    layering = Layering(root)
    findings = readme_findings(root, layering) + src_findings(root, layering) + \
        above_findings(root, layering) + cycle_findings(os.path.join(root, "src"))
    for line in findings:
        print(line)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
