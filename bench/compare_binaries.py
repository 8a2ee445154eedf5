#!/usr/bin/env python3
"""Compiles the same programs with two stackcc binaries and checks that they
write the same bytes: every file of the run folder, stdout, stderr and the exit
status. Run it for every change meant to leave the output alone (a speed-up):
OLD is the binary before the change, NEW the one after.

The programs: every golden case (with its own command line, in a copy of its
input/ folder), every example, a few bench programs (one of more than 25,000
lines, which the generator splits into includes), and COUNT programs of each
generator (bench/gen.py, bench/gen_diverse.py, tests/vm/gen_programs.py).
Examples, bench and generated programs are compiled with and without -d.
Each run has a fresh folder; the folder's own path, where a file holds it, is
replaced by a fixed text before comparing, since the two runs differ in it.

Usage: compare_binaries.py OLD NEW [--count N] [--seed S] [--jobs J]
                           [--keep DIR] [--sets a,b,...]
The first differences are kept in DIR (both run folders and the inputs), with
a short diff of the first differing file printed. Exit status 0 when every run
is identical, 1 otherwise, 2 on a usage error.
"""
import argparse
import contextlib
import difflib
import glob
import multiprocessing
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench"))
sys.path.insert(0, os.path.join(ROOT, "tests", "vm"))
import gen  # noqa: E402
import gen_diverse  # noqa: E402
import gen_programs  # noqa: E402

TIMEOUT = 120  # seconds for one compilation
SHOWN = 3  # differences shown (and kept) per set
VM_HEADER = os.path.join(ROOT, "src", "vm", "include", "stackvm.h")
FOLDER_MARK = b"<run folder>"


@contextlib.contextmanager
def arguments(argv):
    """Runs a generator's main() as if it were called with argv."""
    saved = sys.argv
    sys.argv = argv
    try:
        yield
    finally:
        sys.argv = saved


def write_repetitive(folder, lines):
    with arguments(["gen.py", str(lines), os.path.join(folder, "prog.c")]):
        gen.main()
    with open(os.path.join(folder, "Sys10.c"), "w") as f:
        f.write("")


def write_diverse(folder, lines, seed):
    out = os.path.join(folder, "prog.c")
    with arguments(["gen_diverse.py", str(lines), out, "--seed", str(seed)]):
        gen_diverse.main()


def write_vm_program(folder, seed):
    with open(os.path.join(folder, "prog.c"), "w") as f:
        f.write(gen_programs.generate(seed))
    with open(os.path.join(folder, "Sys10.c"), "w") as f:
        f.write('#include "stackvm.h"\n')
    shutil.copy(VM_HEADER, folder)


def copy_case(folder, source):
    shutil.copytree(source, folder, dirs_exist_ok=True)


# A job: (set name, program name, how to write its inputs, the argument lists).
def golden_jobs():
    for case in sorted(glob.glob(os.path.join(ROOT, "tests", "golden", "*", "cmd"))):
        case_dir = os.path.dirname(case)
        with open(case) as f:
            args = (f.readline().split(),)  # as `read -r -a` splits the first line
        source = os.path.join(case_dir, "input")
        maker = (copy_case, source) if os.path.isdir(source) else (None,)
        yield "golden", os.path.basename(case_dir), maker, args


def example_jobs():
    for folder in sorted(glob.glob(os.path.join(ROOT, "examples", "*", ""))):
        name = os.path.basename(folder.rstrip("/"))
        source = name + ".c"
        if os.path.exists(os.path.join(folder, source)):
            yield "examples", name, (copy_case, folder), ([source], [source, "-d"])


BOTH = (["prog.c"], ["prog.c", "-d"])


def bench_jobs():
    for lines, seed in ((3000, 1), (10000, 7), (30000, 3)):
        yield "bench", f"diverse-{lines}-{seed}", (write_diverse, lines, seed), BOTH
    for lines in (2000, 10000):
        yield "bench", f"repetitive-{lines}", (write_repetitive, lines), BOTH


def generated_jobs(count, seed):
    for i in range(count):
        # gen.py has no seed: its sizes vary instead (50 to 2,000 lines)
        lines = 50 + (seed * 7919 + i * 37) % 1950
        yield "repetitive", f"lines-{lines}", (write_repetitive, lines), BOTH
    for i in range(count):
        s = seed + i
        lines = 50 + (s * 131) % 351
        yield "diverse", f"seed-{s}-lines-{lines}", (write_diverse, lines, s), BOTH
    for i in range(count):
        yield "vm", f"seed-{seed + i}", (write_vm_program, seed + i), BOTH


def snapshot(folder, stdout, stderr, status):
    """Everything a run left: each file of its folder (its path made neutral)
    and the console output and status."""
    mark = os.fsencode(folder)
    files = {"<stdout>": stdout, "<stderr>": stderr, "<status>": str(status).encode()}
    for here, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(here, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read().replace(mark, FOLDER_MARK)
    return files


def run_once(binary, args, inputs, folder):
    shutil.copytree(inputs, folder)
    try:
        done = subprocess.run([binary] + args, cwd=folder, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=TIMEOUT)
        status = done.returncode
        stdout, stderr = done.stdout, done.stderr
    except subprocess.TimeoutExpired as e:
        status, stdout, stderr = f"timed out after {TIMEOUT} s", e.stdout or b"", e.stderr or b""
    return snapshot(folder, stdout, stderr, status)


def first_difference(old, new):
    """The name of the first differing file and a short diff of it, or None."""
    for name in sorted(set(old) | set(new)):
        if name not in old or name not in new:
            return name, f"  {name}: written only by {'OLD' if name in old else 'NEW'}"
        if old[name] != new[name]:
            a = old[name].decode("latin-1").splitlines(keepends=True)
            b = new[name].decode("latin-1").splitlines(keepends=True)
            diff = list(difflib.unified_diff(a, b, "OLD/" + name, "NEW/" + name, n=1))
            text = "".join(repr(line)[1:-1] + "\n" if "\r" in line or not line.endswith("\n")
                           else line for line in diff[:24])
            if len(a) == len(b) and not diff:
                text = "  (same lines, other bytes)\n"
            return name, "\n".join("    " + line for line in text.rstrip("\n").split("\n"))
    return None


def compare_job(job, old_bin, new_bin):
    """Runs one program with both binaries; returns (set, name, runs, problem,
    kept folder or None)."""
    set_name, name, maker, arg_lists = job
    work = tempfile.mkdtemp(prefix="compare-")
    inputs = os.path.join(work, "input")
    os.mkdir(inputs)
    if maker[0] is not None:
        maker[0](inputs, *maker[1:])
    for k, args in enumerate(arg_lists):
        old = run_once(old_bin, args, inputs, os.path.join(work, f"old-{k}"))
        new = run_once(new_bin, args, inputs, os.path.join(work, f"new-{k}"))
        found = first_difference(old, new)
        if found is not None:
            problem = f"{' '.join(args) or '(no arguments)'}: {found[0]} differs\n{found[1]}"
            return set_name, name, len(arg_lists), problem, work
        if "timed out" in old["<status>"].decode():
            return set_name, name, len(arg_lists), f"{' '.join(args)}: both timed out", work
    shutil.rmtree(work, ignore_errors=True)
    return set_name, name, len(arg_lists), None, None


def all_jobs(args):
    sets = args.sets.split(",") if args.sets else None
    makers = {"golden": golden_jobs, "examples": example_jobs, "bench": bench_jobs}
    jobs = []
    for set_name, make in makers.items():
        if sets is None or set_name in sets:
            jobs += list(make())
    jobs += [j for j in generated_jobs(args.count, args.seed) if sets is None or j[0] in sets]
    return jobs


def worker(packed):
    job, old_bin, new_bin = packed
    return compare_job(job, old_bin, new_bin)


def differ(count):
    return "1 program differs" if count == 1 else f"{count} programs differ"


def report(results, keep):
    """Prints one line per set and the first differences; returns the count."""
    total = 0
    order = ["golden", "examples", "bench", "repetitive", "diverse", "vm"]
    for set_name in sorted(results, key=order.index):
        items = results[set_name]
        items.sort(key=lambda r: r[1])
        runs = sum(r[2] for r in items)
        bad = [r for r in items if r[3] is not None]
        verdict = "all identical" if not bad else differ(len(bad))
        print(f"{set_name}: {len(items)} programs, {runs} runs, {verdict}")
        for _, name, _, problem, folder in bad[:SHOWN]:
            target = os.path.join(keep, f"{set_name}-{name}")
            shutil.rmtree(target, ignore_errors=True)
            shutil.copytree(folder, target)
            print(f"  {set_name} {name} (kept in {target}): {problem}")
        total += len(bad)
        for r in bad:
            shutil.rmtree(r[4], ignore_errors=True)
    return total


def parse_arguments():
    p = argparse.ArgumentParser(description="Checks that two stackcc binaries write the same bytes.")
    p.add_argument("old", help="the binary before the change")
    p.add_argument("new", help="the binary after the change")
    p.add_argument("--count", type=int, default=2000, help="programs of each generator")
    p.add_argument("--seed", type=int, default=1, help="first seed of the generated programs")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--keep", default="compare-differences", help="where differing programs go")
    p.add_argument("--sets", help="only these sets (golden,examples,bench,repetitive,diverse,vm)")
    args = p.parse_args()
    for binary in (args.old, args.new):
        if not (os.path.isfile(binary) and os.access(binary, os.X_OK)):
            p.error(f"not an executable file: {binary}")
    args.old, args.new = os.path.abspath(args.old), os.path.abspath(args.new)
    args.keep = os.path.abspath(args.keep)
    return args


def main():
    args = parse_arguments()
    started = time.monotonic()
    jobs = all_jobs(args)
    results = {}
    with multiprocessing.Pool(max(1, args.jobs)) as pool:
        packed = [(job, args.old, args.new) for job in jobs]
        for result in pool.imap_unordered(worker, packed, chunksize=4):
            results.setdefault(result[0], []).append(result)
    different = report(results, args.keep)
    seconds = time.monotonic() - started
    verdict = "all identical" if not different else differ(different)
    print(f"compare: {len(jobs)} programs in {seconds:.0f} s, {verdict}")
    return 1 if different else 0


if __name__ == "__main__":
    sys.exit(main())
