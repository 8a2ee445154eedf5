#!/usr/bin/env bash
# The tool options change no byte of what a run writes: compiles the program
# of every case directory given (its input/ folder, or the folder itself for
# the examples) without options and with every tool option, and compares every
# file the plain run writes, stdout and the exit status (-Werror aside, which
# may fail a run that warned).
# Usage: same_with_tool_options.sh <stackcc> <dir>...
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
for dir in "$@"; do
  input=$dir/input
  [ -d "$input" ] || input=$dir
  src=$(cd "$input" && ls -- *.c 2>/dev/null | grep -v -x Sys10.c | head -n 1)
  [ -n "$src" ] || continue
  for extra in "" "-d"; do
    rm -rf "$work/plain" "$work/tools"
    mkdir "$work/plain" "$work/tools"
    cp -R "$input/." "$work/plain/"
    cp -R "$input/." "$work/tools/"
    (cd "$work/plain" && timeout 20 "$bin" "$src" $extra >stdout 2>/dev/null; echo $? >status)
    (cd "$work/tools" && timeout 20 "$bin" "$src" $extra -Wall -fdiagnostics-format=gcc -I . -MD -MP \
      -MF deps.mk >stdout 2>/dev/null; echo $? >status)
    while IFS= read -r -d '' f; do
      if ! cmp -s "$work/plain/$f" "$work/tools/$f"; then
        echo "$dir $extra: $f differs with the tool options"
        fail=1
      fi
    done < <(cd "$work/plain" && find . -type f -print0)
  done
done
[ $fail -eq 0 ] && echo "every file is the same with the tool options"
exit $fail
