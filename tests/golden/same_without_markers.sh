#!/usr/bin/env bash
# With -d the compiler writes LINE markers and nothing else differs: compiles
# the program of every case directory given (its input/ folder, or the folder
# itself for the examples) with and without -d, and compares every file but
# <base>.000 and <base>.err with marker lines and empty lines left out.
# Usage: same_without_markers.sh <stackcc> <dir>...
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
content() { grep -av -e '^LINE:' -e $'^\r$' "$1" || true; }
for dir in "$@"; do
  input=$dir/input
  [ -d "$input" ] || input=$dir
  src=$(cd "$input" && ls -- *.c 2>/dev/null | grep -v -x Sys10.c | head -n 1)
  [ -n "$src" ] || continue
  rm -rf "$work/plain" "$work/marked"
  mkdir "$work/plain" "$work/marked"
  cp -R "$input/." "$work/plain/"
  cp -R "$input/." "$work/marked/"
  (cd "$work/plain" && timeout 20 "$bin" "$src" >/dev/null 2>&1)
  (cd "$work/marked" && timeout 20 "$bin" "$src" -d >/dev/null 2>&1)
  for f in $(cd "$work/plain" && ls); do
    case $f in *.000 | *.err | *.c | *.h.in) continue ;; esac
    [ -f "$input/$f" ] && continue
    if ! cmp -s <(content "$work/plain/$f") <(content "$work/marked/$f"); then
      echo "$dir: $f differs beyond its markers"
      diff <(content "$work/plain/$f") <(content "$work/marked/$f") | head -10
      fail=1
    fi
  done
done
exit $fail
