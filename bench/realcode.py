#!/usr/bin/env python3
"""Copies public source code of this machine into a project tree for benchmarking quorvane.

Where synthetic trees (generate.py) are made to hold every case, this one holds code as people
write it: the Python standard library, system and compiler headers, CMake's modules, the
googletest sources, JavaScript packages and package documentation, in that order, copied file by
file in sorted order until about --size MiB of files that quorvane selects have been copied.
Files that quorvane skips (.pyc, .txt, ...) are copied alongside, as they lie in a real checkout,
and symbolic links stay links. The manifest scans "." and declares a few requirements; the code
itself carries no tags, only what its own comments happen to hold.

The tree depends on what is installed on the machine; the summary line ends with the first 16
hex digits of a SHA-256 over every path and content, and the .quorvane-bench file holds the whole
digest, so two trees can be told apart.

Standard library only.
"""

import argparse
import glob
import hashlib
import json
import os

from bench_out import MARKER, prepare_out

MIB = 1024 * 1024

DEFAULT_SOURCES = [
    "/usr/lib/python3*",
    "/usr/include",
    "/usr/share/cmake*",
    "/usr/src/googletest",
    "/usr/lib/node_modules",
    "/usr/share/doc",
]

SELECTED_EXTENSIONS = {
    "rs", "c", "h", "cc", "hh", "cpp", "cxx", "c++", "hpp", "hxx", "h++",
    "js", "ts", "jsx", "mjs", "cjs", "tsx", "mts", "cts",
    "py", "md", "markdown", "cmake", "yml", "yaml",
}

MANIFEST = """\
[scan]
roots = ["."]

[[requirements]]
id = "REQ-BENCH-001"
title = "Benchmark requirement one"

[[requirements]]
id = "REQ-BENCH-002"
title = "Benchmark requirement two"
required_stages = ["impl"]
"""


def is_selected(name):
    """quorvane's file choice: CMakeLists.txt, or a known extension in any case."""
    if name == "CMakeLists.txt":
        return True
    dot = name.rfind(".")
    if dot <= 0:
        return False
    return name[dot + 1:].lower() in SELECTED_EXTENSIONS


def walk_sorted(top):
    """(directory, file names) depth first, names sorted, links not followed."""
    for directory, dirs, files in os.walk(top, followlinks=False):
        dirs.sort()
        links = [d for d in dirs if os.path.islink(os.path.join(directory, d))]
        dirs[:] = [d for d in dirs if d not in links]
        yield directory, sorted(files + links)


class Copier:
    def __init__(self, out, limit):
        self.out = out
        self.limit = limit
        self.files = 0
        self.bytes = 0
        self.selected_files = 0
        self.selected_bytes = 0
        self.largest = 0
        self.digests = []

    def full(self):
        return self.selected_bytes >= self.limit

    def copy_file(self, source, rel):
        target = os.path.join(self.out, rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if os.path.islink(source):
            link = os.readlink(source)
            os.symlink(link, target)
            self.digests.append((rel, "link:" + link))
            return
        if not os.path.isfile(source):
            return  # devices, sockets and FIFOs are no code
        try:
            with open(source, "rb") as f:
                data = f.read()
        except OSError:
            return  # unreadable here: left out rather than copied as an error
        selected = is_selected(os.path.basename(rel))
        if selected and self.full():
            return
        with open(target, "wb") as f:
            f.write(data)
        self.files += 1
        self.bytes += len(data)
        if selected:
            self.selected_files += 1
            self.selected_bytes += len(data)
            self.largest = max(self.largest, len(data))
        self.digests.append((rel, hashlib.sha256(data).hexdigest()))

    def copy_tree(self, top):
        base = top.strip("/").replace("/", "_")
        for directory, names in walk_sorted(top):
            if self.full():
                return
            for name in names:
                source = os.path.join(directory, name)
                self.copy_file(source, os.path.join(base, os.path.relpath(source, top)))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--size", type=float, default=150, help="MiB of selected files to copy (default 150)")
    ap.add_argument("--out", default="/tmp/quorvane-bench-realcode",
                    help="output directory (default /tmp/quorvane-bench-realcode); outside any git tree")
    ap.add_argument("sources", nargs="*", help=f"directories or globs to copy from, in order (default {' '.join(DEFAULT_SOURCES)})")
    args = ap.parse_args()

    prepare_out(args.out, "realcode.py")
    copier = Copier(args.out, int(args.size * MIB))
    for pattern in args.sources or DEFAULT_SOURCES:
        for top in sorted(glob.glob(pattern)):
            if os.path.isdir(top) and not os.path.islink(top) and not copier.full():
                copier.copy_tree(top)
    with open(os.path.join(args.out, "quorvane.toml"), "w") as f:
        f.write(MANIFEST)

    whole = hashlib.sha256()
    for rel, digest in sorted(copier.digests):
        whole.update(f"{rel}\0{digest}\n".encode("utf-8", "surrogateescape"))
    summary = {
        "tree": "realcode",
        "files": copier.files,
        "bytes": copier.bytes,
        "selected_files": copier.selected_files,
        "selected_bytes": copier.selected_bytes,
        "largest_selected_bytes": copier.largest,
        "sha256": whole.hexdigest(),
    }
    with open(os.path.join(args.out, MARKER), "w") as f:
        json.dump(summary, f, indent=2)
        f.write("\n")
    print(f"{args.out}: {copier.files} files ({copier.selected_files} selected), "
          f"{copier.bytes / MIB:.1f} MiB ({copier.selected_bytes / MIB:.1f} MiB selected, "
          f"largest {copier.largest / MIB:.1f} MiB); sha256 {whole.hexdigest()[:16]}")


if __name__ == "__main__":
    main()
