#!/usr/bin/env bash
# -g writes <base>.dbg and changes no other byte of a -d run: compiles the
# program of every case directory given (its input/ folder, or the folder
# itself for the examples) with -d and with -g, and compares every file, stdout
# and the exit status; the -g run must have written exactly one file more, the
# .dbg (none when the run stops in pass 1). With --stackvm PATH first, the
# simulator's reader must also take every .dbg written (it names the file and
# line of any record it cannot read).
# Usage: same_with_debug_info.sh [--stackvm <stackvm>] <stackcc> <dir>...
set -u
vm=""
if [ "${1:-}" = "--stackvm" ]; then
  vm=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
  shift 2
fi
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
checked=0
for dir in "$@"; do
  input=$dir/input
  [ -d "$input" ] || input=$dir
  src=$(cd "$input" && ls -- *.c 2>/dev/null | grep -v -x Sys10.c | head -n 1)
  [ -n "$src" ] || continue
  base=${src%.c}
  rm -rf "$work/d" "$work/g"
  mkdir "$work/d" "$work/g"
  cp -R "$input/." "$work/d/"
  cp -R "$input/." "$work/g/"
  rm -f "$work/d/$base.dbg" "$work/g/$base.dbg"
  (cd "$work/d" && timeout 20 "$bin" "$src" -d >stdout 2>stderr; echo $? >status)
  (cd "$work/g" && timeout 20 "$bin" "$src" -g >stdout 2>stderr; echo $? >status)
  while IFS= read -r -d '' f; do
    if ! cmp -s "$work/d/$f" "$work/g/$f"; then
      echo "$dir: $f differs between -d and -g"
      fail=1
    fi
  done < <(cd "$work/d" && find . -type f -print0)
  extra=$(cd "$work/g" && find . -type f | sort | grep -v -x -F "$(cd "$work/d" && find . -type f | sort)")
  # A run that stops in pass 1 (an include that cannot be read) writes no code
  # and no debug information.
  wanted="./$base.dbg"
  [ -f "$work/d/$base.001" ] || wanted=""
  if [ "$extra" != "$wanted" ]; then
    echo "$dir: -g wrote [$extra] beyond the files of -d, not [$wanted]"
    fail=1
  elif [ -n "$vm" ] && [ -n "$wanted" ]; then
    # An empty command file: the program is loaded with its .dbg and killed.
    : >"$work/g/none.commands"
    (cd "$work/g" && timeout 20 "$vm" "$src" --debug --commands none.commands >vm.out 2>&1)
    if grep -F "$base.dbg:" "$work/g/vm.out" >/dev/null; then
      echo "$dir: stackvm refuses the .dbg:"
      grep -F "$base.dbg:" "$work/g/vm.out" | head -3
      fail=1
    fi
  fi
  checked=$((checked + 1))
done
[ $fail -eq 0 ] && echo "-g adds only the .dbg to what -d writes ($checked programs)"
exit $fail
