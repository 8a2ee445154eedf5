#!/usr/bin/env python3
"""Golden transcripts of stackvm's debugger.

A case is tests/vm/debug/<name>.commands with <name>.c (or a program named in
the first line of the commands file as '# program: other'), the hand-written
<name>.dbg when there is one, optional <name>.script (device results),
<name>.input (stdin) and <name>.sys (lines added to Sys10.c). The program is
compiled with stackcc -d (or the options of a '# stackcc: OPTIONS' comment
line at the head of the commands, such as -g) in a fresh directory, run with
stackvm <name>.c --commands <name>.commands, and stdout followed by the line
'exit status N' must equal <name>.expected. --update writes the expected file.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile


def case_files(folder, name):
    commands = os.path.join(folder, name + ".commands")
    with open(commands, encoding="utf-8") as f:
        first = f.readline().strip()
    program = name
    if first.startswith("# program:"):
        program = first.split(":", 1)[1].strip()
    return commands, program


def compile_options(commands):
    """The options of a '# stackcc: OPTIONS' line among the comment lines that
    open the commands file; -d without one."""
    with open(commands, encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#"):
                break
            if line.startswith("# stackcc:"):
                return line.split(":", 1)[1].split()
    return ["-d"]


def run_case(args, name):
    folder = args.cases
    commands, program = case_files(folder, name)
    with tempfile.TemporaryDirectory() as work:
        # The sources; the only .dbg is this case's, under the program's name.
        for entry in os.listdir(folder):
            if not entry.endswith((".dbg", ".expected")):
                shutil.copy(os.path.join(folder, entry), work)
        shutil.copy(args.header, work)
        sys_lines = '#include "stackvm.h"\n'
        extra = os.path.join(folder, name + ".sys")
        if os.path.exists(extra):
            with open(extra, encoding="utf-8") as f:
                sys_lines += f.read()
        with open(os.path.join(work, "Sys10.c"), "w", encoding="utf-8") as f:
            f.write(sys_lines)
        dbg = os.path.join(folder, name + ".dbg")
        if os.path.exists(dbg):
            shutil.copy(dbg, os.path.join(work, program + ".dbg"))
        compiled = subprocess.run([args.stackcc, program + ".c"] + compile_options(commands),
                                  cwd=work, capture_output=True, text=True)
        if compiled.returncode != 0:
            return "stackcc failed:\n" + compiled.stdout + compiled.stderr
        options = [args.stackvm, program + ".c", "--commands", os.path.basename(commands)]
        script = os.path.join(folder, name + ".script")
        if os.path.exists(script):
            options += ["--script", os.path.basename(script)]
        stdin = subprocess.DEVNULL
        input_file = os.path.join(folder, name + ".input")
        if os.path.exists(input_file):
            stdin = open(input_file, "rb")
        run = subprocess.run(options, cwd=work, stdin=stdin, capture_output=True, timeout=60)
        transcript = run.stdout.decode("utf-8", "replace")
        transcript += "exit status %d\n" % run.returncode
        if run.stderr:
            transcript += "stderr:\n" + run.stderr.decode("utf-8", "replace")
    expected_path = os.path.join(folder, name + ".expected")
    if args.update:
        with open(expected_path, "w", encoding="utf-8") as f:
            f.write(transcript)
        return None
    with open(expected_path, encoding="utf-8") as f:
        expected = f.read()
    if transcript == expected:
        return None
    import difflib
    diff = difflib.unified_diff(expected.splitlines(True), transcript.splitlines(True),
                                "expected", "got")
    return "".join(diff)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stackcc", required=True)
    parser.add_argument("--stackvm", required=True)
    parser.add_argument("--header", required=True)
    parser.add_argument("--cases", required=True)
    parser.add_argument("--update", action="store_true")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    names = args.names or sorted(n[:-9] for n in os.listdir(args.cases) if n.endswith(".commands"))
    failed = 0
    for name in names:
        problem = run_case(args, name)
        if problem:
            failed += 1
            print("FAIL %s\n%s" % (name, problem))
        else:
            print("ok   %s" % name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
