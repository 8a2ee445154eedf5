#!/usr/bin/env bash
# Measures stackvm's speed in instructions per second on a loop-heavy
# program: nested loops of int arithmetic, array reads and writes, a call per
# inner step. Prints one line: "stackvm: <n> instructions in <s> s = <M> M/s".
# Usage: bench/vm_speed.sh [build-dir] [outer-iterations]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
outer=${2:-20000}
case $build in /*) ;; *) build=$root/$build ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/src/vm/include/stackvm.h" "$work/"
echo '#include "stackvm.h"' > "$work/Sys10.c"
cat > "$work/template.c" <<'PROGRAM'
int table[64];
int total;
int step(int a, int b) {
  return ((a * 3 + b) & 1023);
}
void main() {
  int i;
  int j;
  for (i = 0; i < OUTER; i++) {
    for (j = 0; j < 64; j++) {
      table[j] = step(table[j], i + j);
      total = total + (table[j] >> 2);
    }
  }
  print_int(total);
  print_char(10);
}
PROGRAM
# The program runs the same instructions in every outer iteration, so its
# count is a + b * outer; the trace of runs with 1 and 2 iterations gives a
# and b (one trace line per instruction).
traced() {
  sed "s/OUTER/$1/" "$work/template.c" > "$work/speed.c"
  (cd "$work" && "$build/stackcc" speed.c >/dev/null)
  "$build/stackvm" "$work/speed.c" --trace 2>&1 >/dev/null | wc -l
}
one=$(traced 1)
two=$(traced 2)
count=$((one + (two - one) * (outer - 1)))
sed "s/OUTER/$outer/" "$work/template.c" > "$work/speed.c"
(cd "$work" && "$build/stackcc" speed.c >/dev/null)
# The count is exact: one step fewer is a step-limit error.
"$build/stackvm" "$work/speed.c" --steps "$count" >/dev/null
if "$build/stackvm" "$work/speed.c" --steps $((count - 1)) >/dev/null 2>&1; then
  echo "vm_speed: the instruction count is off" >&2
  exit 1
fi
start=$(date +%s.%N)
"$build/stackvm" "$work/speed.c" >/dev/null
end=$(date +%s.%N)
python3 -c "import sys; n=int(sys.argv[1]); s=float(sys.argv[3])-float(sys.argv[2]); print(f'stackvm: {n} instructions in {s:.3f} s = {n/s/1e6:.1f} M/s')" "$count" "$start" "$end"
