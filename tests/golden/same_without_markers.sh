#!/usr/bin/env bash
# With -d the compiler writes LINE markers and nothing else differs: compiles
# the program of every case directory given (its input/ folder, or the folder
# itself for the examples) with and without -d, and compares every file but
# <base>.000 and <base>.err with marker lines and empty lines left out. The
# program is compiled as "with blank/my <source>", so that every marker names a
# file whose name holds blanks, and its includes and Sys10.c are found beside it.
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
  sub="with blank"
  mkdir -p "$work/plain/$sub" "$work/marked/$sub"
  cp -R "$input/." "$work/plain/$sub/"
  cp -R "$input/." "$work/marked/$sub/"
  mv "$work/plain/$sub/$src" "$work/plain/$sub/my $src"
  mv "$work/marked/$sub/$src" "$work/marked/$sub/my $src"
  (cd "$work/plain" && timeout 20 "$bin" "$sub/my $src" >/dev/null 2>&1)
  (cd "$work/marked" && timeout 20 "$bin" "$sub/my $src" -d >/dev/null 2>&1)
  # The markers carry the whole name: quoted in <base>.000, as it is in the
  # code file.
  base="$sub/my ${src%.c}"
  if [ -f "$work/marked/$base.001" ] && [ "$(wc -l < "$input/$src")" -gt 1 ] &&
    ! grep -aq "^LINE:[0-9]*:\"$sub/my $src\"" "$work/marked/$base.000"; then
    echo "$dir: no marker of <base>.000 names \"$sub/my $src\""
    fail=1
  fi
  if [ -f "$work/marked/$base.001" ] && grep -a "^LINE:[0-9]*:with" "$work/marked/$base.001" | grep -aqv "^LINE:[0-9]*:$sub/my $src"$'\r$'; then
    echo "$dir: a marker of the code file does not name $sub/my $src whole"
    fail=1
  fi
  while IFS= read -r f; do
    case $f in *.000 | *.err | *.c | *.h.in) continue ;; esac
    [ -f "$input/$f" ] && continue
    if ! cmp -s <(content "$work/plain/$sub/$f") <(content "$work/marked/$sub/$f"); then
      echo "$dir: $f differs beyond its markers"
      diff <(content "$work/plain/$sub/$f") <(content "$work/marked/$sub/$f") | head -10
      fail=1
    fi
  done < <(cd "$work/plain/$sub" && ls)
done
exit $fail
