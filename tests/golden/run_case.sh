#!/usr/bin/env bash
# Runs one golden case: copies its input/ into a fresh directory, runs the
# compiler there with the arguments in cmd, and compares every file in expected/
# byte for byte (console output in stdout, stderr when there is any, exit status
# in status). The set of files produced must equal the expected set. A case may
# list, one per line in an optional file named compare, the only files to check
# (and to write with --update); the file set is then not compared.
# The run folder itself, once the input files are taken out of it, is what the
# run wrote: a case that passes costs one diff, and only a case that fails
# takes the file-by-file report. Few processes per case, as CTest runs every
# case on its own.
# Usage: run_case.sh <stackcc> <case dir> [--update]
set -u
case $1 in /*) bin=$1 ;; *) bin=$PWD/$1 ;; esac
case $2 in /*) case_dir=$2 ;; *) case_dir=$PWD/$2 ;; esac
case_dir=${case_dir%/}
update=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
actual=$work/run
mkdir "$actual"
if [ -d "$case_dir/input" ]; then cp -R "$case_dir/input/." "$actual/"; fi
inputs=()
while IFS= read -r -d '' f; do inputs+=("$actual/$f"); done < <(cd "$actual" && find . -type f -print0)
read -r -a args < "$case_dir/cmd" || true
(cd "$actual" && exec timeout 20 "$bin" "${args[@]}" > "$work/stdout" 2>"$work/stderr")
echo $? > "$work/status"
# What the run wrote: the folder without its input files (and the folders they
# leave empty), with the console output and the status beside.
if [ ${#inputs[@]} -gt 0 ]; then
  rm -f -- "${inputs[@]}"
  find "$actual" -mindepth 1 -type d -empty -delete
fi
console=("$work/stdout" "$work/status")
# What goes to stderr (usage, gcc-style diagnostics, warnings) counts when there is any.
if [ -s "$work/stderr" ]; then console+=("$work/stderr"); fi
mv -- "${console[@]}" "$actual/"
selected=""
if [ -f "$case_dir/compare" ]; then
  selected=$(grep -v '^[[:space:]]*$' "$case_dir/compare" | sed 's|^\./||')
fi
if [ "$update" = "--update" ]; then
  rm -rf "$case_dir/expected"
  if [ -n "$selected" ]; then
    mkdir -p "$case_dir/expected"
    for f in $selected; do
      if [ -f "$actual/$f" ]; then
        mkdir -p "$case_dir/expected/$(dirname "$f")"
        cp "$actual/$f" "$case_dir/expected/$f"
      fi
    done
  else
    cp -R "$actual" "$case_dir/expected"
  fi
  echo "updated $case_dir"
  exit 0
fi
if [ -z "$selected" ] && diff -r -q "$case_dir/expected" "$actual" >/dev/null 2>&1; then exit 0; fi
fail=0
if [ -n "$selected" ]; then
  expected_list=$selected
  for f in $expected_list; do
    if [ ! -f "$case_dir/expected/$f" ]; then echo "missing expected file: $f"; fail=1; fi
    if [ ! -f "$actual/$f" ]; then echo "file not produced: $f"; fail=1; fi
  done
else
  expected_list=$(cd "$case_dir/expected" && find . -type f | sort)
  actual_list=$(cd "$actual" && find . -type f | sort)
  if [ "$expected_list" != "$actual_list" ]; then
    echo "file sets differ:"; diff <(echo "$expected_list") <(echo "$actual_list"); fail=1
  fi
fi
for f in $expected_list; do
  if [ -f "$case_dir/expected/$f" ] && [ -f "$actual/$f" ] && ! cmp -s "$case_dir/expected/$f" "$actual/$f"; then
    echo "--- $f differs (expected vs actual, CR shown as ^M):"
    diff <(cat -A "$case_dir/expected/$f") <(cat -A "$actual/$f") | head -40
    fail=1
  fi
done
exit $fail
