#!/usr/bin/env bash
# A short report of what stackcc and stackvm do with the bundled examples:
# every example under examples/ is compiled (with -d) in its own folder under
# WORK_DIR, then run under stackvm with its device script. The device calls,
# the end of the run and the dumped globals must be those of the example's
# .expected file; the exit status is 1 when one is not, or when a compilation
# reports an error.
# Usage: demo.sh <stackcc> [WORK_DIR]   (stackvm is the one beside stackcc;
#        WORK_DIR defaults to demo/ beside them, and is kept for a look)
set -eu
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
vm=$(dirname "$bin")/stackvm
work=${2:-$(dirname "$bin")/demo}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$work"
work=$(cd "$work" && pwd)

# 1200 -> 1,200
grouped() { echo "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'; }

# What a run shows of the device, as the .expected files hold it: the routine
# calls of the trace, the step limit that ends these endless controller loops,
# the dumped globals, the status.
device_view() {
  local name=$1 options
  options=$(sed -n 's/^# stackvm: //p' "$name.script")
  # shellcheck disable=SC2086
  "$vm" "$name.c" --script "$name.script" $options --trace 2>&1 >/dev/null |
    grep -E '^[A-Za-z_][A-Za-z0-9_]*\(|^[A-Za-z_][A-Za-z0-9_]* = |: step limit' || true
  "$vm" "$name.c" --script "$name.script" $options >/dev/null 2>&1 && echo "status 0" || echo "status $?"
}

# The device calls of a view as "N device calls: name count, ...".
device_calls() {
  grep -E '^[A-Za-z_][A-Za-z0-9_]*\(' | sed 's/(.*//' |
    awk '!($0 in n) { order[++k] = $0 } { n[$0]++; total++ }
         END { if (!total) { print "no device calls"; exit }
               line = total " device calls:"
               for (i = 1; i <= k; i++) line = line (i > 1 ? "," : "") " " order[i] " " n[order[i]]
               print line }'
}

# How the run ended, in words, with the dumped globals.
run_end() {
  local view=$1 status limit globals
  status=$(echo "$view" | sed -n 's/^status //p')
  limit=$(echo "$view" | sed -n 's/.*: step limit reached after \([0-9]*\) instructions$/\1/p')
  globals=$(echo "$view" | grep -E '^[A-Za-z_][A-Za-z0-9_]* = ' | paste -sd, - | sed 's/,/, /g')
  if [ -n "$limit" ]; then
    echo "stopped after $(grouped "$limit") steps, as its endless control loop should${globals:+; $globals}"
  else
    echo "ended with status $status${globals:+; $globals}"
  fi
}

shown=${work#"$PWD"/}
echo "$("$bin" --version) and $("$vm" --version): the examples, compiled in $shown/"
failed=0
count=0
for dir in "$root"/examples/*/; do
  name=$(basename "$dir")
  [ -f "$dir/$name.script" ] || continue
  count=$((count + 1))
  run=$work/$name
  rm -rf "$run"
  mkdir -p "$run"
  cp -R "$dir/." "$run/"
  what=$(sed -n '1s|^// *\([^:]*\):.*|\1|p' "$dir/$name.c")
  echo "$name${what:+ ($what)}"
  status=0
  (cd "$run" && "$bin" "$name.c" -d >compile.out 2>&1) || status=$?
  written=$(cd "$run" && ls -- "$name".??? "$name".h 2>/dev/null | grep -v -x "$name.c" |
    sed "s/^$name\././" | paste -sd' ' - | sed "s/^\./$name./")
  [ -f "$run/funct1.txt" ] && written="$written funct1.txt"
  if [ "$status" -ne 0 ] || [ -s "$run/$name.err" ]; then
    echo "  compiled: stackcc $name.c -d FAILED (status $status):"
    sed 's/^/    /' "$run/compile.out"
    failed=1
    continue
  fi
  echo "  compiled: stackcc $name.c -d, no errors; wrote $written"
  options=$(sed -n 's/^# stackvm: //p' "$dir/$name.script")
  # shellcheck disable=SC2086
  printed=$(cd "$run" && "$vm" "$name.c" --script "$name.script" $options 2>/dev/null || true)
  view=$(cd "$run" && device_view "$name")
  echo "  ran:      stackvm $name.c --script $name.script $options"
  if [ -n "$printed" ]; then
    echo "  printed:  $(echo "$printed" | head -n 3 | paste -sd'|' - | sed 's/|/ | /g')"
  else
    echo "  printed:  nothing (it talks to its devices only)"
  fi
  echo "  did:      $(echo "$view" | device_calls)"
  echo "  ended:    $(run_end "$view")"
  if [ "$view" != "$(cat "$dir/$name.expected")" ]; then
    echo "  NOT as $name.expected says (expected < > this run):"
    diff "$dir/$name.expected" <(echo "$view") | sed 's/^/    /' || true
    failed=1
  fi
done
if [ "$failed" -eq 0 ] && [ "$count" -gt 0 ]; then
  echo "ok: $count examples compiled without errors and did what their .expected files say"
  echo "(their files are kept in $shown/; docs/machine.md explains the runs)"
else
  echo "FAILED: see above"
  exit 1
fi
