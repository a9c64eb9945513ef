#!/usr/bin/env python3
"""Writes crafted inputs that probe quorvane's time per byte: one project per input, each a single
file of about --size MiB built from one repeated piece.

A pull request can hold any file, so every input must take time in proportion to its size;
crafted.sh times each at N and 2N MiB. The pieces aim at the work the scanner does per line, per
comment, per bracket and per tag: long lines of tags, of brackets, of quotes, of comment
delimiters and of malformed tags, and many short lines of each.

Standard library only.
"""

import argparse
import os
import sys

from bench_out import MARKER, prepare_out

MIB = 1024 * 1024

MANIFEST = """\
[scan]
roots = ["."]

[[requirements]]
id = "REQ-BENCH-001"
title = "Benchmark requirement"
"""


def repeat(head, piece, size, tail=""):
    """head, then piece repeated until about `size` bytes, then tail. `piece` may be a function
    of the repetition's index."""
    parts = [head]
    total = len(head.encode("utf-8"))
    i = 0
    while total < size:
        text = piece(i) if callable(piece) else piece
        parts.append(text)
        total += len(text.encode("utf-8"))
        i += 1
    parts.append(tail)
    return "".join(parts)


# name: (file name, what it probes, content for a size in bytes)
CASES = {
    "tags-one-line": ("a.rs", "one comment line of distinct tags",
                      lambda n: repeat("// ", lambda i: f"[impl->REQ-{i}] ", n, "\n")),
    "python-triple-double": ("a.py", 'one line of """a""" repeated',
                             lambda n: repeat("x = ", '"""a"""', n, "\n")),
    "python-triple-single": ("a.py", "one line of '''a''' repeated",
                             lambda n: repeat("x = ", "'''a'''", n, "\n")),
    "python-hash-in-strings": ("a.py", 'one line of """#""" repeated',
                               lambda n: repeat("x = ", '"""#"""', n, "\n")),
    "python-docstring-lines": ("a.py", 'lines of """ opening and closing strings',
                               lambda n: repeat("", '"""\n[impl->REQ-1] text\n"""\n', n)),
    "open-brackets": ("a.rs", "one comment line of [",
                      lambda n: repeat("// ", "[", n, "\n")),
    "close-brackets": ("a.rs", "one comment line of ]",
                       lambda n: repeat("// ", "]", n, "\n")),
    "unclosed-bracket-arrows": ("a.rs", "one comment line of [a-> never closed",
                                lambda n: repeat("// ", "[a->", n, "\n")),
    "arrows-no-brackets": ("a.rs", "one comment line of ->",
                           lambda n: repeat("// ", "->", n, "\n")),
    "arrows-in-one-bracket": ("a.rs", "one bracket holding a long chain of arrows",
                              lambda n: repeat("// [a", "->a", n, "]\n")),
    "long-id": ("a.rs", "one tag with a huge identifier",
                lambda n: repeat("// [impl->REQ-", "A", n, "]\n")),
    "unicode-space-bracket": ("a.rs", "one bracket of Unicode white space before an arrow",
                              lambda n: repeat("// [", "\u2003", n, "impl->REQ-1]\n")),
    "double-quotes": ("a.c", 'one code line of "',
                      lambda n: repeat("x = ", '"', n, " // [impl->REQ-1]\n")),
    "escaped-quotes": ("a.c", 'one string of \\" escapes',
                       lambda n: repeat('x = "', '\\"', n, '"; // [impl->REQ-1]\n')),
    "block-openers": ("a.c", "one line of /*",
                      lambda n: repeat("", "/*", n, "\n")),
    "block-open-close-lines": ("a.c", "lines that open and close block comments",
                               lambda n: repeat("", "/* [a->b]\n*/ x /*\n*/\n", n)),
    "stars-in-block": ("a.c", "one block comment of *",
                       lambda n: repeat("/*", "*", n, "\n")),
    "malformed-one-line": ("a.rs", "one comment line of malformed tags",
                           lambda n: repeat("// ", "[impl -> REQ-1] ", n, "\n")),
    "malformed-lines": ("a.rs", "lines that each hold a malformed tag",
                        lambda n: repeat("", "// [x->y]\n", n)),
    "declared-tag-lines": ("a.rs", "lines that each tag the same declared requirement",
                           lambda n: repeat("", "// [impl->REQ-BENCH-001]\n", n)),
    "code-arrow-lines": ("a.c", "code lines of a[b->c] outside comments",
                         lambda n: repeat("", "a[b->c] = d[e->f];\n", n)),
    "markdown-tags": ("a.md", "a Markdown line of distinct tags",
                      lambda n: repeat("", lambda i: f"[doc->REQ-{i}]", n, "\n")),
    "yaml-hashes": ("a.yml", "one YAML line of #[a->b]",
                    lambda n: repeat("k: v ", "#[a->b]", n, "\n")),
}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--size", type=float, default=1, help="MiB per input (default 1)")
    ap.add_argument("--out", help="output directory; outside any git tree")
    ap.add_argument("--list", action="store_true", help="print the inputs and what each probes")
    ap.add_argument("cases", nargs="*", help="inputs to write (default all)")
    args = ap.parse_args()
    if args.list:
        for name, (file_name, what, _) in CASES.items():
            print(f"{name}\t{file_name}\t{what}")
        return
    if args.out is None:
        ap.error("--out is needed to write the inputs")
    unknown = [c for c in args.cases if c not in CASES]
    if unknown:
        sys.exit(f"crafted.py: unknown input {' '.join(unknown)}")
    prepare_out(args.out, "crafted.py")
    with open(os.path.join(args.out, MARKER), "w") as f:
        f.write(f"crafted inputs, {args.size} MiB each\n")
    size = int(args.size * MIB)
    for name in args.cases or CASES:
        file_name, _, content = CASES[name]
        project = os.path.join(args.out, name)
        os.makedirs(project)
        with open(os.path.join(project, "quorvane.toml"), "w") as f:
            f.write(MANIFEST)
        with open(os.path.join(project, file_name), "w", encoding="utf-8", newline="") as f:
            f.write(content(size))


if __name__ == "__main__":
    main()
