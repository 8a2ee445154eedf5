#!/usr/bin/env python3
"""A --debug run without watches or stepping is at least half as fast as a
plain run, also with a breakpoint on a line that runs once: the CPU time of
each on a loop-heavy program (bench/vm_speed.sh's) is compared."""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile

PROGRAM = """int table[64];
int total;
int step(int a, int b) {
  return ((a * 3 + b) & 1023);
}
void main() {
  int i;
  int j;
  for (i = 0; i < 6000; i++) {
    for (j = 0; j < 64; j++) {
      table[j] = step(table[j], i + j);
      total = total + (table[j] >> 2);
    }
  }
  print_int(total);
  print_char(10);
}
"""


def cpu_of(command, cwd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=300)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        sys.exit("%s failed: %s%s" % (command, done.stdout, done.stderr))
    return after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime, done.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stackcc", required=True)
    parser.add_argument("--stackvm", required=True)
    parser.add_argument("--header", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(args.header, work)
        with open(os.path.join(work, "Sys10.c"), "w") as f:
            f.write('#include "stackvm.h"\n')
        with open(os.path.join(work, "speed.c"), "w") as f:
            f.write(PROGRAM)
        with open(os.path.join(work, "run.txt"), "w") as f:
            f.write("run\n")
        with open(os.path.join(work, "break.txt"), "w") as f:
            f.write("break 15\nrun\ncontinue\n")
        subprocess.run([args.stackcc, "speed.c", "-d"], cwd=work, check=True, capture_output=True)
        plain, out = cpu_of([args.stackvm, "speed.c"], work)
        failed = False
        for name, commands in (("no breakpoint", "run.txt"), ("a breakpoint", "break.txt")):
            debug, transcript = cpu_of([args.stackvm, "speed.c", "--commands", commands], work)
            if out not in transcript:
                sys.exit("the --debug run printed something else:\n" + transcript)
            print("plain %.2f s, --debug with %s %.2f s" % (plain, name, debug))
            if debug > 2 * plain + 0.05:
                failed = True
        return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
