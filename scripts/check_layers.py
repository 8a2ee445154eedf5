#!/usr/bin/env python3
"""Checks that every #include in src/ goes down the layers (docs/design.md).

A folder may include its own headers and those of the folders listed for it;
anything else is reported with its file and line, and the exit status is 1.

Usage: check_layers.py [SRC_DIR]
"""
import os
import re
import sys

# Each folder and the folders below it that it may include, bottom first.
ALLOWED = {
    "base": [],
    "io": ["base"],
    "scanner": ["base", "io"],
    "preproc": ["base", "io", "scanner"],
    "decl": ["base", "io", "scanner"],
    "expr": ["base", "io", "scanner", "decl"],
    "stmt": ["base", "io", "scanner", "decl", "expr"],
    "driver": ["base", "io", "scanner", "preproc", "decl", "expr", "stmt"],
    "vm": [],
}
# Files directly in src/ (the compiler's main) stand on top of everything.
TOP = ["driver"]
# Headers the build generates (the version) may be included anywhere.
GENERATED = ["stackcc"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path, src):
    rel = os.path.relpath(path, src)
    parts = rel.split(os.sep)
    return parts[0] if len(parts) > 1 else None


def check(src):
    problems = []
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            here = folder_of(path, src)
            if here is not None and here not in ALLOWED:
                problems.append(f"{path}: folder '{here}' has no place in the layers")
                continue
            allowed = (TOP if here is None else ALLOWED[here] + [here]) + GENERATED
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue
                    target = m.group(1).split("/")[0]
                    if target not in allowed:
                        problems.append(f"{path}:{number}: {here or 'src'} includes "
                                        f"{m.group(1)} ({target} is not below it)")
    return problems


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "src")
    problems = check(os.path.normpath(src))
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) against the layers")
        return 1
    print("every include goes down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
