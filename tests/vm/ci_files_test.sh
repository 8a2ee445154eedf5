#!/usr/bin/env bash
# The files of stackvm's CI options against their golden copies, and read by
# their real consumers: genhtml and lcov -a for --coverage, callgrind_annotate
# for --profile. Exits 77 (skipped) where lcov is not installed.
# Usage: ci_files_test.sh STACKCC STACKVM HEADER CASES-DIR
set -euo pipefail
stackcc=$1 stackvm=$2 header=$3 cases=$4
command -v lcov >/dev/null && command -v genhtml >/dev/null || { echo "lcov is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$cases"/heater.c "$cases"/Sys10.c "$cases"/heater.script "$header" "$work/"
cd "$work"
"$stackcc" heater.c -d >/dev/null
fail() { echo "FAIL: $*"; exit 1; }

"$stackvm" heater.c --script heater.script --coverage heater.info --profile heater.prof >out.txt \
  || fail "the run with coverage and profile"
[ "$(cat out.txt)" = 74 ] || fail "the program's output changed: $(cat out.txt)"
diff -u "$cases/heater.info" heater.info || fail "coverage differs from the golden file"
diff -u "$cases/heater.prof" heater.prof || fail "profile differs from the golden file"

# genhtml renders it, with the branches.
genhtml -q --branch-coverage -o html heater.info || fail "genhtml"
ls html/*/heater.c.gcov.html >/dev/null || fail "genhtml made no page of heater.c"

# lcov -a merges two runs: every count doubles.
lcov -q -a heater.info -a heater.info --rc lcov_branch_coverage=1 -o merged.info || fail "lcov -a"
grep -qx 'DA:7,8' merged.info || fail "lcov -a: line 7 should have run 8 times"
grep -qx 'FNDA:6,twice' merged.info || fail "lcov -a: twice should have 6 calls"
grep -qx 'BRDA:7,0,1,6' merged.info || fail "lcov -a: the loop's branch should pass 6 times"

# callgrind_annotate reads the profile, and its total is the instructions run:
# the run needs exactly that many steps.
total=$(sed -n 's/^summary: //p' heater.prof)
if command -v callgrind_annotate >/dev/null; then
  callgrind_annotate --inclusive=yes heater.prof heater.c >annotated.txt || fail "callgrind_annotate"
  grep -q "^$total .*PROGRAM TOTALS" annotated.txt || fail "callgrind_annotate's total is not $total"
  grep -q '=> .*heater.c:twice (3x)' annotated.txt || fail "callgrind_annotate shows no calls of twice"
fi
"$stackvm" heater.c --script heater.script --steps "$total" >/dev/null || fail "$total steps do not suffice"
if "$stackvm" heater.c --script heater.script --steps $((total - 1)) >/dev/null 2>&1; then
  fail "the run needs more than $total steps"
fi

# A run cut short by the step limit counts exactly the steps it ran.
"$stackvm" heater.c --script heater.script --steps 50 --profile short.prof >/dev/null 2>&1 || true
grep -qx 'summary: 50' short.prof || fail "a run of 50 steps should profile 50 instructions"

# The summary table goes to stderr and leaves stdout alone.
"$stackvm" heater.c --script heater.script --profile-summary >out.txt 2>err.txt
[ "$(cat out.txt)" = 74 ] || fail "--profile-summary changed stdout"
grep -q "profile: $total instructions" err.txt || fail "--profile-summary: no total"
echo "ok"
