#!/usr/bin/env bash
# The CI recipe of docs/testing.md on every example: compiled with -d, run
# under its <name>.ci.script with `expect` lines (and a wrong copy of the
# script must fail with status 72), its coverage rendered by genhtml, its
# profile read by callgrind_annotate, and the check against the C compiler.
# Exits 77 (skipped) where lcov, valgrind or a C compiler is missing (.ci/run
# installs them).
# Usage: examples_ci_test.sh STACKCC STACKVM EXAMPLES-DIR
set -euo pipefail
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
stackcc=$(absolute "$1") stackvm=$(absolute "$2") examples=$(cd "$3" && pwd)
for tool in genhtml callgrind_annotate cc; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (.ci/run installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL $name: $*"; failed=1; }

# stackvm NAME.c ARGS...: its status in $status, stdout in out.txt, stderr in err.txt.
run() {
  set +e
  "$stackvm" "$name.c" "$@" >out.txt 2>err.txt
  status=$?
  set -e
}

# The first expect line of the script with its first argument changed.
wrong_copy() {
  sed '0,/^expect [a-z_]*(\(-\?[0-9]*\)/s//&0/' "$1"
}

# What --compare-gcc must say of each example.
compare_status() { [ "$1" = table_lookup ] && echo 2 || echo 0; }
compare_text() {
  [ "$1" = table_lookup ] && echo "cannot be built as C: line 55 is an ASM line" ||
    echo "stackvm and the C build agree"
}

count=0
for dir in "$examples"/*/; do
  name=$(basename "$dir")
  script=$name.ci.script
  [ -f "$dir/$script" ] || { fail "no $script"; continue; }
  count=$((count + 1))
  cp -R "$dir" "$work/$name"
  cd "$work/$name"

  "$stackcc" "$name.c" -d >compile.txt 2>&1 || { fail "stackcc: $(cat compile.txt)"; continue; }
  [ ! -s "$name.err" ] || { fail "stackcc reported errors: $(cat "$name.err")"; continue; }

  # The run under the script: every expected call made, ended by the script.
  run --script "$script" --until-script-ends --coverage "$name.info" --profile "$name.prof"
  [ "$status" = 0 ] || fail "the run under $script: status $status: $(cat err.txt)"
  [ ! -s out.txt ] || fail "the run printed: $(cat out.txt)"
  grep -q "has no value in the script: the run ends here" err.txt ||
    fail "the run did not end at the script's end: $(cat err.txt)"

  # A wrong expect line stops the run with status 72, naming the script line.
  wrong_copy "$script" >wrong.script
  cmp -s wrong.script "$script" && fail "the wrong copy of $script is not wrong"
  run --script wrong.script --until-script-ends
  [ "$status" = 72 ] || fail "the wrong script: status $status, wanted 72: $(cat err.txt)"
  grep -q "where wrong.script:[0-9]* expects " err.txt || fail "the wrong script: $(cat err.txt)"

  # Coverage to HTML.
  genhtml -q --branch-coverage -o html "$name.info" >genhtml.txt 2>&1 ||
    fail "genhtml: $(cat genhtml.txt)"
  [ -s html/index.html ] || fail "genhtml wrote no html/index.html"
  grep -qx "SF:$name.c" "$name.info" || fail "the coverage names no $name.c"

  # The profile: callgrind_annotate's total is the instructions run, and the
  # run needs exactly that many steps.
  total=$(sed -n 's/^summary: //p' "$name.prof")
  callgrind_annotate --inclusive=yes "$name.prof" "$name.c" >annotated.txt 2>&1 ||
    fail "callgrind_annotate: $(cat annotated.txt)"
  grep -q "^$total .*PROGRAM TOTALS" annotated.txt ||
    fail "callgrind_annotate's total is not $total: $(head -n 20 annotated.txt)"
  grep -q "$name.c:main" annotated.txt || fail "callgrind_annotate shows no main"
  run --script "$script" --until-script-ends --steps "$total"
  [ "$status" = 0 ] || fail "$total steps do not suffice: $(cat err.txt)"
  run --script "$script" --until-script-ends --steps $((total - 1))
  [ "$status" = 70 ] || fail "the run needs more than $total steps"

  # The check against the C compiler.
  run --script "$script" --until-script-ends --compare-gcc
  want=$(compare_status "$name")
  [ "$status" = "$want" ] && grep -qF -- "$(compare_text "$name")" out.txt err.txt ||
    fail "--compare-gcc: status $status (wanted $want): $(cat out.txt err.txt)"
  cd "$work"
done
[ "$count" -gt 0 ] || { echo "FAIL: no examples in $examples"; exit 1; }
[ $failed = 0 ] && echo "ok: $count examples"
exit $failed
