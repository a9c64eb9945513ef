"""The output folder of a bench script: it must lie outside every git work tree, and it is
replaced only when a bench script made it (it holds the marker file).

Standard library only.
"""

import os
import shutil
import sys

MARKER = ".quorvane-bench"  # no extension: never selected by the tool, grep or cat


def inside_git_tree(path):
    path = os.path.abspath(path)
    while True:
        if os.path.exists(os.path.join(path, ".git")):
            return True
        parent = os.path.dirname(path)
        if parent == path:
            return False
        path = parent


def prepare_out(out, tool):
    """Makes `out` empty, or ends the script (named `tool` in the message) when it may not."""
    if inside_git_tree(out):
        sys.exit(f"{tool}: refusing to write inside a git tree: {out}")
    if os.path.lexists(out):
        if not os.path.isdir(out) or os.listdir(out) and not os.path.exists(os.path.join(out, MARKER)):
            sys.exit(f"{tool}: {out} exists and was not made by a bench script; remove it first")
        shutil.rmtree(out)
    os.makedirs(out)
