#!/usr/bin/env python3
"""Compiles generated programs of several sizes with stackcc and, where
installed, with `tcc -c` and `gcc -O0 -S`; prints median wall time, lines per
second and peak memory per compiler and size, and the ratios.

Usage: bench.py STACKCC [--runs N] [--sizes 1000,10000,...] [--markdown]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


GNU_TIME = "/usr/bin/time"


def peak_of(cmd, cwd):
    """Peak resident memory in MB, measured by GNU time (a child forked from a
    small process, so the figure is the compiler's own)."""
    if not os.path.exists(GNU_TIME):
        return float("nan")
    out = subprocess.run([GNU_TIME, "-f", "%M"] + cmd, cwd=cwd, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True)
    return int(out.stderr.strip().splitlines()[-1]) / 1024.0


def run_once(cmd, cwd):
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, _ = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    return elapsed, os.waitstatus_to_exitcode(status)


def measure_all(cmds, cwd, runs):
    """Median time and peak memory per command. The commands take turns run by
    run, so a passing load on the machine falls on all of them alike, and the
    turn starts with a different command each run, so none always follows the
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
    return [(statistics.median(ts), peak_of(cmd, cwd)) for ts, cmd in zip(times, cmds)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("stackcc")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--sizes", default="1000,10000,30000,100000")
    ap.add_argument("--markdown", action="store_true")
    args = ap.parse_args()
    stackcc = os.path.abspath(args.stackcc)
    compilers = [("stackcc", lambda src: [stackcc, src])]
    if shutil.which("tcc"):
        compilers.append(("tcc -c", lambda src: ["tcc", "-c", src, "-o", "out.o"]))
    if shutil.which("gcc"):
        compilers.append(("gcc -O0 -S", lambda src: ["gcc", "-O0", "-S", "-w", src, "-o", "out.s"]))
    rows = []
    work = tempfile.mkdtemp(prefix="stackcc-bench-")
    for size in [int(s) for s in args.sizes.split(",")]:
        d = os.path.join(work, str(size))
        os.makedirs(d)
        subprocess.check_call([sys.executable, os.path.join(HERE, "gen.py"), str(size),
                               os.path.join(d, "prog.c")])
        open(os.path.join(d, "Sys10.c"), "w").write("// system definitions\n")
        lines = sum(1 for _ in open(os.path.join(d, "prog.c")))
        measured = measure_all([make("prog.c") for _, make in compilers], d, args.runs)
        results = {name: m for (name, _), m in zip(compilers, measured)}
        rows.append((size, lines, results))
    names = [n for n, _ in compilers]
    sep = " | " if args.markdown else "  "
    head = ["size", "lines"]
    for n in names:
        head += [f"{n} ms", f"{n} lines/s", f"{n} peak MB"]
    if "tcc -c" in names:
        head.append("stackcc/tcc")
    if "gcc -O0 -S" in names:
        head.append("stackcc/gcc")
    out = [head]
    for size, lines, res in rows:
        row = [str(size), str(lines)]
        for n in names:
            med, peak = res[n]
            row += [f"{med * 1000:.1f}", f"{lines / med:,.0f}", f"{peak:.1f}"]
        s = res["stackcc"][0]
        if "tcc -c" in names:
            row.append(f"{s / res['tcc -c'][0]:.2f}")
        if "gcc -O0 -S" in names:
            row.append(f"{s / res['gcc -O0 -S'][0]:.3f}")
        out.append(row)
    if args.markdown:
        print("| " + " | ".join(out[0]) + " |")
        print("|" + "---|" * len(out[0]))
        for r in out[1:]:
            print("| " + " | ".join(r) + " |")
    else:
        widths = [max(len(r[i]) for r in out) for i in range(len(out[0]))]
        for r in out:
            print(sep.join(c.rjust(w) for c, w in zip(r, widths)))
    print(f"(median of {args.runs} runs; time ratios below 1 mean stackcc is faster)")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
