#!/usr/bin/env bash
# Runs one golden case: copies its input/ into a fresh directory, runs the
# compiler there with the arguments in cmd, and compares every file in expected/
# byte for byte (console output in stdout, stderr when there is any, exit status
# in status). The set of
# files produced must equal the expected set. A case may list, one per line in
# an optional file named compare, the only files to check (and to write with
# --update); the file set is then not compared.
# Usage: run_case.sh <stackcc> <case dir> [--update]
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
case_dir=$(cd "$2" && pwd)
update=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run"
if [ -d "$case_dir/input" ]; then cp -R "$case_dir/input/." "$work/run/"; fi
inputs=$(cd "$work/run" && find . -type f | sort)
read -r -a args < "$case_dir/cmd" || true
(cd "$work/run" && timeout 20 "$bin" "${args[@]}" > "$work/stdout" 2>"$work/stderr"; echo $? > "$work/status")
produced=$(cd "$work/run" && find . -type f | sort | grep -v -x -F "$inputs" || true)
mkdir -p "$work/actual"
for f in $produced; do mkdir -p "$work/actual/$(dirname "$f")"; cp "$work/run/$f" "$work/actual/$f"; done
cp "$work/stdout" "$work/status" "$work/actual/"
# What goes to stderr (usage, gcc-style diagnostics, warnings) counts when there is any.
if [ -s "$work/stderr" ]; then cp "$work/stderr" "$work/actual/"; fi
selected=""
if [ -f "$case_dir/compare" ]; then
  selected=$(grep -v '^[[:space:]]*$' "$case_dir/compare" | sed 's|^\./||')
fi
if [ "$update" = "--update" ]; then
  rm -rf "$case_dir/expected"
  if [ -n "$selected" ]; then
    mkdir -p "$case_dir/expected"
    for f in $selected; do
      if [ -f "$work/actual/$f" ]; then
        mkdir -p "$case_dir/expected/$(dirname "$f")"
        cp "$work/actual/$f" "$case_dir/expected/$f"
      fi
    done
  else
    cp -R "$work/actual" "$case_dir/expected"
  fi
  echo "updated $case_dir"
  exit 0
fi
fail=0
if [ -n "$selected" ]; then
  expected_list=$selected
  for f in $expected_list; do
    if [ ! -f "$case_dir/expected/$f" ]; then echo "missing expected file: $f"; fail=1; fi
    if [ ! -f "$work/actual/$f" ]; then echo "file not produced: $f"; fail=1; fi
  done
else
  expected_list=$(cd "$case_dir/expected" && find . -type f | sort)
  actual_list=$(cd "$work/actual" && find . -type f | sort)
  if [ "$expected_list" != "$actual_list" ]; then
    echo "file sets differ:"; diff <(echo "$expected_list") <(echo "$actual_list"); fail=1
  fi
fi
for f in $expected_list; do
  if [ -f "$case_dir/expected/$f" ] && [ -f "$work/actual/$f" ] && ! cmp -s "$case_dir/expected/$f" "$work/actual/$f"; then
    echo "--- $f differs (expected vs actual, CR shown as ^M):"
    diff <(cat -A "$case_dir/expected/$f") <(cat -A "$work/actual/$f") | head -40
    fail=1
  fi
done
exit $fail
