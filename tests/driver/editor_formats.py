#!/usr/bin/env python3
"""The gcc-style diagnostics parse with the error formats editors use: Vim's
default 'errorformat', the gnu entry of Emacs's compilation mode, and the
problem matcher that editors call $gcc. Each pattern is run over real output
and must find every line's file, line and message.

Usage: editor_formats.py <stackcc>
"""
import os
import re
import subprocess
import sys
import tempfile

# Vim's default 'errorformat' (the entries that can match a line of this
# form, in their order), written as regular expressions: %f a file name, %l and
# %c numbers, %m the message.
VIM_ENTRIES = [
    r"^(?P<file>[^:]+):(?P<line>\d+):(?P<col>\d+):(?P<msg>.*)$",  # %f:%l:%c:%m
    r"^(?P<file>[^(]+)\((?P<line>\d+)\):(?P<msg>.*)$",  # %f(%l):%m
    r"^(?P<file>[^:]+):(?P<line>\d+):(?P<msg>.*)$",  # %f:%l:%m
]
# The gnu entry of Emacs's compilation-error-regexp-alist, in Python's syntax:
# an optional program name, the file, the line, an optional column, then an
# optional type word.
EMACS_GNU = (r"^(?:[A-Za-z][-A-Za-z0-9.]+: ?)?(?P<file>[^ :\n][^:\n]*?):(?P<line>\d+)"
             r"(?:[.:](?P<col>\d+))?: ?(?:(?P<warning>warning)|(?P<error>error))?[: ]")
# The $gcc problem matcher.
GCC_MATCHER = r"^(?P<file>.*?):(?P<line>\d+):(?P<col>\d*):?\s+(?:fatal\s+)?(?P<severity>warning|error):\s+(?P<msg>.*)$"

SYSTEM = "// system definitions\nint sysvar;\n"
PROGRAM = "q = 1;\n#include \"parts.h\"\nint main() {\n  y = 1;\n  x = 2\n}\n"
PARTS = "int x;\n\nint w w;\n"
EXPECTED = [("prog.c", 1, "Variable not found: q [21]"), ("parts.h", 3, "Variable not found: w [21]"),
            ("prog.c", 4, "Variable not found: y [21]"), ("prog.c", 5, "Missing ; [41]")]


def vim_match(line):
    for entry in VIM_ENTRIES:
        m = re.match(entry, line)
        if m:
            return m.group("file"), int(m.group("line")), m.group("msg").strip()
    return None


def main():
    stackcc = os.path.abspath(sys.argv[1])
    failures = []
    with tempfile.TemporaryDirectory() as work:
        for name, text in (("Sys10.c", SYSTEM), ("prog.c", PROGRAM), ("parts.h", PARTS)):
            with open(os.path.join(work, name), "w") as f:
                f.write(text)
        run = subprocess.run([stackcc, "prog.c", "-fdiagnostics-format=gcc"], cwd=work,
                             capture_output=True, text=True, timeout=30)
        lines = run.stderr.splitlines()
    for (file, line, msg), got in zip(EXPECTED, lines):
        vim = vim_match(got)
        if vim != (file, line, "error: " + msg):
            failures.append(f"vim: {got!r} gives {vim}")
        emacs = re.match(EMACS_GNU, got)
        if not emacs or (emacs.group("file"), int(emacs.group("line"))) != (file, line) or not emacs.group("error"):
            failures.append(f"emacs: {got!r}")
        gcc = re.match(GCC_MATCHER, got)
        if not gcc or (gcc.group("file"), int(gcc.group("line")), gcc.group("severity"), gcc.group("msg")) != (
                file, line, "error", msg):
            failures.append(f"$gcc: {got!r}")
    if len(lines) < len(EXPECTED):
        failures.append(f"too few lines: {lines}")
    for f in failures:
        print(f)
    if not failures:
        print(f"{len(EXPECTED)} lines parse in all three formats")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
