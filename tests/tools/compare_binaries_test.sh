#!/usr/bin/env bash
# bench/compare_binaries.py finds no difference between a binary and itself, and
# finds (exit 1, the file named, the program kept) a changed output file, a
# changed exit status and an extra file.
# Usage: compare_binaries_test.sh <stackcc> <source dir>
set -u
bin=$(realpath "$1")
tool=$2/bench/compare_binaries.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
expect() {  # expect <status> <text in the output> <NEW binary>
  python3 "$tool" "$bin" "$3" --count 2 --sets examples,vm --keep "$work/keep" >"$work/out" 2>&1
  local status=$?
  if [ "$status" != "$1" ] || ! grep -q -- "$2" "$work/out"; then
    echo "FAIL: wanted status $1 and \"$2\" for $(basename "$3"), got $status:"; cat "$work/out"; fail=1
  fi
}
wrapper() {  # wrapper <name> <shell line run after the real binary, $s its status>
  printf '#!/usr/bin/env bash\n"%s" "$@"; s=$?\n%s\nexit $s\n' "$bin" "$2" >"$work/$1"
  chmod +x "$work/$1"
}
expect 0 "vm: 2 programs, 4 runs, all identical" "$bin"
wrapper extra-byte '[ -f prog.001 ] && printf x >>prog.001'
expect 1 "prog.001 differs" "$work/extra-byte"
[ -n "$(ls "$work/keep" 2>/dev/null)" ] || { echo "FAIL: nothing kept"; fail=1; }
wrapper other-status 's=$((s + 3))'
expect 1 "<status> differs" "$work/other-status"
wrapper extra-file 'echo >stray.txt'
expect 1 "stray.txt: written only by NEW" "$work/extra-file"
exit $fail
