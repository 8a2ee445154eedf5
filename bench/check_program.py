#!/usr/bin/env python3
"""Checks a generated bench program: stackcc compiles it with exit status 0
and an empty error file, the diverse program holds every construct the
generator promises, and tcc (when installed) accepts the same text.

Usage: check_program.py STACKCC diverse|repetitive LINES [SEED]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# What a diverse program of a thousand lines or more must contain.
CONSTRUCTS = [
    ("if/else", r"\} else \{"), ("while", r"\bwhile \("), ("do-while", r"\} while \("),
    ("for", r"\bfor \("), ("switch", r"\bswitch \("), ("case", r"\bcase \w+:"),
    ("default", r"\bdefault:"), ("break", r"\bbreak;"), ("return value", r"\breturn \("),
    ("goto", r"\bgoto \w+;"), ("label", r"(?m)^\w+:$"),
    ("continue", r"\bcontinue;"), ("increment", r"\+\+;"), ("decrement", r"--;"),
    ("+=", r" \+= "), ("-=", r" -= "), ("*=", r" \*= "), ("/=", r" /= "),
    ("<<", r" << "), (">>", r" >> "), ("%", r" % "), ("/", r" / "), ("^", r" \^ "),
    ("|", r" \| "), ("binary &", r" & "), ("&&", r" && "), ("||", r" \|\| "),
    ("<=", r" <= "), (">=", r" >= "), ("==", r" == "), ("!=", r" != "),
    ("!", r"!\w"), ("~", r"~"), ("unary *", r"[=(] \*?\*\w"), ("unary &", r"&\w"),
    ("->", r"\w->\w"), ("member .", r"\w\.\w"), ("subscript", r"\w\[\w"),
    ("sizeof", r"sizeof\("), ("cast", r"\((int|long|char)\)"),
    ("pointer cast", r"\((int|long|char)\*\)"), ("comma", r"; \w+\+\+, "),
    ("NULL", r"\bNULL\b"), ("string", r'"[a-z]'), ("character", r"'[A-Za-z0-9]'"),
    ("hex", r"0[xX][0-9A-Fa-f]"), ("negative", r"[(,=] -\d"),
    ("structure", r"(?m)^struct \w+ \{"), ("initialised array", r"\] = \{"),
    ("define", r"(?m)^#define "), ("comment", r"//"), ("long", r"\blong \w"),
    ("char pointer", r"\bchar \*\w"), ("call of 4", r"\w\([^()]*,[^()]*,[^()]*,[^()]*\)"),
]


def main():
    stackcc, kind, lines = sys.argv[1], sys.argv[2], int(sys.argv[3])
    seed = sys.argv[4] if len(sys.argv) > 4 else "1"
    work = tempfile.mkdtemp(prefix="stackcc-check-")
    try:
        gen = "gen_diverse.py" if kind == "diverse" else "gen.py"
        cmd = [sys.executable, os.path.join(HERE, gen), str(lines), os.path.join(work, "prog.c")]
        if kind == "diverse":
            cmd += ["--seed", seed]
        else:
            with open(os.path.join(work, "Sys10.c"), "w") as f:
                f.write("// system definitions\n")
        subprocess.check_call(cmd)
        failures = []
        run = subprocess.run([stackcc, "prog.c", "-d"], cwd=work, capture_output=True, text=True)
        err = os.path.join(work, "prog.err")
        if run.returncode != 0:
            failures.append(f"stackcc exit status {run.returncode}")
        if not os.path.exists(err) or os.path.getsize(err) > 0:
            reports = re.findall(r"ERROR in LINE:(\S+)\s+Error message: ([^\n]*)", run.stdout)
            failures.append("error reports: " + "; ".join(f"{m} at {p}" for p, m in reports[:10]))
        if kind == "diverse":
            text = "".join(open(os.path.join(work, f)).read()
                           for f in sorted(os.listdir(work)) if re.match(r"prog(_\d+)?\.c$", f))
            missing = [name for name, pattern in CONSTRUCTS if not re.search(pattern, text)]
            if missing:
                failures.append("constructs missing: " + ", ".join(missing))
            if shutil.which("tcc"):
                tcc = subprocess.run(["tcc", "-c", "-include", "c_compat.h", "prog.c", "-o", "prog.o"],
                                     cwd=work, capture_output=True, text=True)
                if tcc.returncode != 0:
                    failures.append("tcc: " + tcc.stderr[:500])
        if failures:
            print(f"{kind} {lines} lines, seed {seed}:\n  " + "\n  ".join(failures))
            sys.exit(1)
        print(f"{kind} {lines} lines, seed {seed}: clean")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
