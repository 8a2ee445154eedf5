#!/usr/bin/env bash
# Runs CTest in a build folder and reports quietly: one line per test group
# (the part of a test's name before its first '.') once the group is done, the
# whole output of every test that fails, and a summary line. The exit status
# is CTest's.
# Usage: run_tests.sh <build dir> [ctest options...]   e.g. -j 2 -LE long
set -u
build=$1
shift
cd "$build" || exit 2

# The tests this run selects, one name a line.
listed=$(ctest -N "$@" | sed -n 's/^ *Test *#[0-9]*: //p')
total=$(printf '%s\n' "$listed" | grep -c . || true)
if [ "$total" -eq 0 ]; then
  echo "no tests selected (was the build configured with -DBUILD_TESTING=ON?)"
  exit 1
fi
start=$(date +%s)
status_file=$(mktemp "$PWD/.ctest-status.XXXXXX")
trap 'rm -f "$status_file"' EXIT

{
  printf '%s\n' "$listed" | sed 's/^/listed /'
  ctest --output-on-failure "$@" 2>&1
  echo "ctest-status $?"
} | awk -v total="$total" -v status_file="$status_file" '
  function group_of(name) { sub(/\..*/, "", name); return name }
  function report(g) {
    line = sprintf("  %-12s %4d passed", g, passed[g])
    if (skipped[g]) line = line sprintf(", %d skipped", skipped[g])
    if (failed[g]) line = line sprintf(", %d FAILED", failed[g])
    printf "%s  (%.1f s of test time)\n", line, seconds[g]
    fflush()
  }
  # A group is reported once the output of its last test (shown when it
  # failed) has been passed on.
  function flush_reports() { for (i = 1; i <= nready; i++) report(ready[i]); nready = 0 }
  /^listed / { g = group_of(substr($0, 8)); if (!(g in size)) order[++groups] = g; size[g]++; next }
  /^ctest-status / { print $2 > status_file; next }
  # A result line: " 12/280 Test  #12: name ....   Passed    0.01 sec"
  /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / {
    in_output = 0
    flush_reports()
    name = $0
    sub(/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: /, "", name)
    match(name, /[0-9.]+ sec$/)
    time = substr(name, RSTART, RLENGTH - 4) + 0
    sub(/ +[0-9.]+ sec$/, "", name)
    sub(/ +\.*( +|\*\*\*)[^.]*$/, "", name)
    g = group_of(name)
    seconds[g] += time
    done[g]++
    if ($0 ~ /   Passed +[0-9.]+ sec$/) {
      passed[g]++
    } else if ($0 ~ /\*\*\*Skipped/ || $0 ~ /Not Run \(Disabled\)/) {
      skipped[g]++
    } else {
      failed[g]++
      failures[++nfail] = name
      print "FAILED " name ":"
      in_output = 1
    }
    if (done[g] == size[g]) ready[++nready] = g
    next
  }
  /^ *Start +[0-9]+: / { next }
  /^[0-9]+% tests passed/ || /^Total Test time/ || /^The following tests FAILED/ {
    in_output = 0
    flush_reports()
    next
  }
  in_output && $0 != "" { print "    " $0 }
  END {
    flush_reports()
    for (i = 1; i <= groups; i++) { g = order[i]; all_passed += passed[g]; all_skipped += skipped[g] }
    if (nfail) {
      printf "FAILED: %d of %d tests:", nfail, total
      for (i = 1; i <= nfail; i++) printf " %s", failures[i]
      printf "\n"
    } else {
      printf "ok: %d tests passed", all_passed
      if (all_skipped) printf ", %d skipped", all_skipped
      printf "\n"
    }
  }'
status=$(cat "$status_file")
echo "  ($(($(date +%s) - start)) s; the full log: $build/Testing/Temporary/LastTest.log)"
exit "${status:-1}"
