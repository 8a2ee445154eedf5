#!/usr/bin/env python3
"""Differential test: generated programs built with gcc and with stackcc +
stackvm must print the same, given the same input; a program that calls exit
must also end with the same status. gcc builds with -O0 -fwrapv; a build that
gcc 12 makes trap on a division C defines (INT_MIN / 1, rewritten) is built
again without -fwrapv.

Usage: difftest.py --stackcc BIN --stackvm BIN [--first SEED] [--count N]
                   [--jobs J] [--keep DIR]
Each failing program is kept in DIR (default difftest-failures/) with both
outputs; the last line is "difftest: N passed, M failed".
"""
import argparse
import concurrent.futures
import os
import shutil
import signal
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_programs  # noqa: E402

# The built-ins of stackvm.h in C: the file that ships with stackvm, which
# --compare-gcc links too.
with open(os.path.join(HERE, "..", "..", "src", "vm", "include", "stackvm_builtins.c"),
          encoding="utf-8") as builtins:
    HOST_C = builtins.read()


def run(cmd, cwd, timeout=60, stdin=b""):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, timeout=timeout, input=stdin)


def check(seed, args):
    work = tempfile.mkdtemp(prefix="difftest-")
    try:
        source = gen_programs.generate(seed)
        with open(os.path.join(work, "prog.c"), "w") as f:
            f.write(source)
        with open(os.path.join(work, "input"), "wb") as f:
            f.write(gen_programs.program_input(seed))
        with open(os.path.join(work, "Sys10.c"), "w") as f:
            f.write('#include "stackvm.h"\n')
        shutil.copy(args.header, work)
        with open(os.path.join(work, "host.c"), "w") as f:
            f.write(HOST_C)
        problem = compare(work, args, seed)
        if problem and args.keep:
            target = os.path.join(args.keep, f"seed-{seed}")
            shutil.rmtree(target, ignore_errors=True)
            shutil.copytree(work, target)
        return seed, problem
    finally:
        shutil.rmtree(work, ignore_errors=True)


def build_and_run_native(work, given, flags):
    """The program built by gcc with the host built-ins and run; a text when gcc fails."""
    gcc = run(["gcc", "-w", "-O0"] + flags + ["-include", "host.c", "prog.c", "-o", "prog.gcc"], work)
    if gcc.returncode != 0:
        return "gcc failed: " + gcc.stderr.decode(errors="replace")
    return run(["./prog.gcc"], work, stdin=given)


def compare(work, args, seed):
    # one program in four is compiled without line markers
    cc = run([args.stackcc, "prog.c"] + ([] if seed % 4 == 3 else ["-d"]), work)
    errors = open(os.path.join(work, "prog.err"), errors="replace").read().strip() \
        if os.path.exists(os.path.join(work, "prog.err")) else ""
    if cc.returncode != 0 or errors:
        return f"stackcc failed ({cc.returncode}): {errors}"
    with open(os.path.join(work, "input"), "rb") as f:
        given = f.read()
    with open(os.path.join(work, "prog.c")) as f:
        exits = "exit(" in f.read()
    vm = run([args.stackvm, "prog.c"], work, stdin=given)
    if (vm.returncode != 0 and not exits) or vm.stderr:
        return f"stackvm ended with {vm.returncode}: {vm.stderr.decode(errors='replace')}"
    native = build_and_run_native(work, given, ["-fwrapv"])
    if isinstance(native, str):
        return native
    if native.returncode == -signal.SIGFPE:
        # gcc 12 folds "a - b / c" into "a + b / -c" under -fwrapv, which traps
        # for b = INT_MIN and c = 1 although C's division does not; the program
        # is built again without -fwrapv (at -O0 gcc still wraps there).
        native = build_and_run_native(work, given, [])
        if isinstance(native, str):
            return native
    with open(os.path.join(work, "out.stackvm"), "wb") as f:
        f.write(vm.stdout)
    with open(os.path.join(work, "out.gcc"), "wb") as f:
        f.write(native.stdout)
    if vm.stdout != native.stdout:
        return "outputs differ (see out.stackvm and out.gcc)"
    if exits and vm.returncode != native.returncode:
        return f"exit status {vm.returncode} from stackvm, {native.returncode} from gcc"
    return None


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--stackcc", required=True)
    p.add_argument("--stackvm", required=True)
    p.add_argument("--header", default=os.path.join(HERE, "..", "..", "src", "vm", "include", "stackvm.h"))
    p.add_argument("--first", type=int, default=0)
    p.add_argument("--count", type=int, default=100)
    p.add_argument("--jobs", type=int, default=1)
    p.add_argument("--keep", default="difftest-failures")
    args = p.parse_args()
    args.stackcc = os.path.abspath(args.stackcc)
    args.stackvm = os.path.abspath(args.stackvm)
    args.header = os.path.abspath(args.header)
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    failed = 0
    seeds = range(args.first, args.first + args.count)
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        for seed, problem in pool.map(lambda s: check(s, args), seeds):
            if problem:
                failed += 1
                print(f"seed {seed}: {problem}")
    print(f"difftest: {args.count - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
