#!/usr/bin/env python3
"""Compiles generated programs of several sizes with stackcc and, where
installed, with `tcc -c` and `gcc -O0 -S`; prints per compiler and size the
median wall time, the peak memory and (for stackcc and tcc) the instructions
executed, with the ratios.

Two sets of programs: "diverse" (bench/gen_diverse.py: statements that differ
from one another, as in a program written by hand; the headline) and
"repetitive" (bench/gen.py: one chunk of statements repeated with small
changes, which rewards mechanisms that remember statements).

Instructions are counted with `valgrind --tool=callgrind` (the "Collected"
total): exact and repeatable where wall times on a shared machine are not.

Usage: bench.py STACKCC [--runs N] [--sizes 1000,10000,...] [--sets diverse,repetitive]
                [--seed S] [--also LABEL=PATH ...] [--without gcc] [--no-callgrind]
                [--markdown]
"""
import argparse
import glob
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GNU_TIME = "/usr/bin/time"
GENERATORS = {"diverse": "gen_diverse.py", "repetitive": "gen.py"}


def peak_of(cmd, cwd):
    """Peak resident memory in MB, measured by GNU time (a child forked from a
    small process, so the figure is the compiler's own)."""
    if not os.path.exists(GNU_TIME):
        return float("nan")
    out = subprocess.run([GNU_TIME, "-f", "%M"] + cmd, cwd=cwd, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True)
    return int(out.stderr.strip().splitlines()[-1]) / 1024.0


def instructions_of(cmd, cwd):
    """Instructions executed by the command (callgrind's total), or None."""
    fd, out = tempfile.mkstemp(prefix="callgrind-", suffix=".out")
    os.close(fd)
    try:
        proc = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"] + cmd,
                              cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    finally:
        os.unlink(out)
    m = re.search(r"Collected\s*:\s*(\d+)", proc.stderr)
    return int(m.group(1)) if m else None


def run_once(cmd, cwd):
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, _ = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    return elapsed, os.waitstatus_to_exitcode(status)


def measure_all(cmds, cwd, runs):
    """Median time per command. The commands take turns run by run, so a
    passing load on the machine falls on all of them alike, and the turn
    starts with a different command each run, so none always follows the
    long gcc run (whose caches and clock it would inherit)."""
    times = [[] for _ in cmds]
    for cmd in cmds:  # one warm-up run each: file cache, page cache
        run_once(cmd, cwd)
    for r in range(runs):
        for k in range(len(cmds)):
            i = (r + k) % len(cmds)
            t, code = run_once(cmds[i], cwd)
            if code != 0:
                raise SystemExit(f"{' '.join(cmds[i])} failed with status {code} in {cwd}")
            times[i].append(t)
    return [statistics.median(ts) for ts in times]


def make_program(kind, size, seed, d):
    """Writes the program into d; returns its line count (all its files)."""
    os.makedirs(d)
    cmd = [sys.executable, os.path.join(HERE, GENERATORS[kind]), str(size), os.path.join(d, "prog.c")]
    if kind == "diverse":
        cmd += ["--seed", str(seed)]
    subprocess.check_call(cmd)
    if kind == "repetitive":
        with open(os.path.join(d, "Sys10.c"), "w") as f:
            f.write("// system definitions\n")
    return sum(sum(1 for _ in open(p)) for p in glob.glob(os.path.join(d, "prog*.c")))


def check_clean(stackcc, d):
    """The bench programs must compile without a single error report."""
    for f in glob.glob(os.path.join(d, "prog.err")):
        os.unlink(f)
    code = subprocess.run([stackcc, "prog.c"], cwd=d, stdout=subprocess.DEVNULL).returncode
    err = os.path.join(d, "prog.err")
    if code != 0 or (os.path.exists(err) and os.path.getsize(err) > 0):
        text = open(err).read()[:2000] if os.path.exists(err) else ""
        raise SystemExit(f"{stackcc} reported errors on {d}/prog.c (status {code}):\n{text}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("stackcc")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--sizes", default="1000,10000,40000,100000")
    ap.add_argument("--sets", default="diverse,repetitive",
                    help="program sets, in the order of the rows: diverse, repetitive")
    ap.add_argument("--seed", type=int, default=1, help="seed of the diverse programs")
    ap.add_argument("--also", action="append", default=[], metavar="LABEL=PATH",
                    help="another stackcc build measured beside the first")
    ap.add_argument("--without", default="", help="compilers to leave out: tcc, gcc")
    ap.add_argument("--no-callgrind", action="store_true", help="skip the instruction counts (slow)")
    ap.add_argument("--markdown", action="store_true")
    args = ap.parse_args()

    without = {w.strip() for w in args.without.split(",") if w.strip()}
    builds = [("stackcc", os.path.abspath(args.stackcc))]
    for a in args.also:
        label, _, path = a.partition("=")
        if not path:
            raise SystemExit(f"--also wants LABEL=PATH, not {a}")
        builds.append((label, os.path.abspath(path)))
    # (name, command for a program, counted by callgrind)
    compilers = [(label, (lambda path: lambda kind: [path, "prog.c"])(path), True)
                 for label, path in builds]

    def c_flags(kind):
        return ["-include", "c_compat.h"] if kind == "diverse" else []

    if shutil.which("tcc") and "tcc" not in without:
        compilers.append(("tcc -c", lambda kind: ["tcc", "-c"] + c_flags(kind) + ["prog.c", "-o", "out.o"], True))
    if shutil.which("gcc") and "gcc" not in without:
        compilers.append(("gcc -O0 -S", lambda kind: ["gcc", "-O0", "-S", "-w"] + c_flags(kind) +
                          ["prog.c", "-o", "out.s"], False))
    callgrind = not args.no_callgrind and shutil.which("valgrind") is not None
    if not args.no_callgrind and not callgrind:
        print("(valgrind is not installed: no instruction counts)", file=sys.stderr)

    sets = [s.strip() for s in args.sets.split(",") if s.strip()]
    for s in sets:
        if s not in GENERATORS:
            raise SystemExit(f"unknown set {s}: use diverse or repetitive")
    rows = []
    work = tempfile.mkdtemp(prefix="stackcc-bench-")
    try:
        for kind in sets:
            for size in [int(s) for s in args.sizes.split(",")]:
                d = os.path.join(work, f"{kind}-{size}")
                lines = make_program(kind, size, args.seed, d)
                for _, path in builds:
                    check_clean(path, d)
                cmds = [make(kind) for _, make, _ in compilers]
                medians = measure_all(cmds, d, args.runs)
                res = {}
                for (name, _, counted), cmd, med in zip(compilers, cmds, medians):
                    instr = instructions_of(cmd, d) if callgrind and counted else None
                    res[name] = (med, peak_of(cmd, d), instr)
                rows.append((kind, size, lines, res))
                print(f"  {kind} {size}: measured", file=sys.stderr, flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print_table(rows, compilers, builds, callgrind, args)


def print_table(rows, compilers, builds, callgrind, args):
    names = [n for n, _, _ in compilers]
    has_tcc, has_gcc = "tcc -c" in names, "gcc -O0 -S" in names
    head = ["program", "size", "lines"]
    for n, _, counted in compilers:
        head += [f"{n} ms", f"{n} peak MB"]
        if callgrind and counted:
            head.append(f"{n} M instr")
    for label, _ in builds:
        if has_tcc:
            head.append(f"{label}/tcc time")
            if callgrind:
                head.append(f"{label}/tcc instr")
        if has_gcc:
            head.append(f"{label}/gcc time")
    out = [head]
    for kind, size, lines, res in rows:
        row = [kind, str(size), str(lines)]
        for n, _, counted in compilers:
            med, peak, instr = res[n]
            row += [f"{med * 1000:.1f}", f"{peak:.1f}"]
            if callgrind and counted:
                row.append(f"{instr / 1e6:.1f}" if instr else "?")
        for label, _ in builds:
            s = res[label]
            if has_tcc:
                t = res["tcc -c"]
                row.append(f"{s[0] / t[0]:.2f}")
                if callgrind:
                    row.append(f"{s[2] / t[2]:.2f}" if s[2] and t[2] else "?")
            if has_gcc:
                row.append(f"{s[0] / res['gcc -O0 -S'][0]:.3f}")
        out.append(row)
    if args.markdown:
        print("| " + " | ".join(out[0]) + " |")
        print("|" + "---|" * len(out[0]))
        for r in out[1:]:
            print("| " + " | ".join(r) + " |")
    else:
        widths = [max(len(r[i]) for r in out) for i in range(len(out[0]))]
        for r in out:
            print("  ".join(c.rjust(w) for c, w in zip(r, widths)))
    print(f"(wall: median of {args.runs} interleaved runs; peak: maximum resident set; "
          f"instr: callgrind's total; ratios below 1 mean stackcc is faster. "
          f"\"diverse\" programs have statements that differ from one another, "
          f"\"repetitive\" ones repeat one chunk)")


if __name__ == "__main__":
    main()
