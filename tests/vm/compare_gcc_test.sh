#!/usr/bin/env bash
# stackvm --compare-gcc on the examples (they agree, or say why they cannot be
# built as C) and on one program per departure from C (they differ, naming
# the line). Each case's first line is "// expect STATUS TEXT": the status and
# a part of what --compare-gcc says. Exits 77 (skipped) without a C compiler.
# Usage: compare_gcc_test.sh STACKCC STACKVM HEADER CASES-DIR EXAMPLES-DIR
set -euo pipefail
stackcc=$1 stackvm=$2 header=$3 cases=$4 examples=$5
command -v cc >/dev/null || { echo "no C compiler"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # dir name expected-status expected-text [options]
  local dir=$1 name=$2 want=$3 text=$4 got
  shift 4
  (cd "$dir" && "$stackcc" "$name.c" -d >/dev/null)
  set +e
  "$stackvm" "$dir/$name.c" "$@" --compare-gcc </dev/null >"$work/said" 2>&1
  got=$?
  set -e
  if [ "$got" != "$want" ] || ! grep -qF -- "$text" "$work/said"; then
    echo "FAIL $name: status $got (wanted $want), said: $(cat "$work/said")"
    failed=1
  fi
}
# The warned lines each differing case must name after its difference, the
# last run first ("-" for none): LINE:WARNING ...
declare -A warned=(
  [char_arithmetic]="8:char-arithmetic"
  [leading_zero]="4:leading-zero"
  [number_range]="4:number-range"
  [post_increment]="6:increment-value"
  [promotion]="-"
  [short_circuit]="9:short-circuit"
  [static_locals]="2:recursion"
  [string_escape]="3:string-escape"
  [switch_subject]="4:switch-subject"
  [twice_target]="4:target-twice"
  [two_warnings]="6:increment-value 5:leading-zero"
)
check_warned() {  # name
  local name=$1 want=${warned[$1]:-} got
  [ -n "$want" ] || return 0
  got=$(sed -n "s/^  $name\.c:\([0-9]*\): warning: .*\[-W\([a-z-]*\)\]$/\1:\2/p" "$work/said" |
    paste -sd' ' -)
  [ -n "$got" ] || got=-
  if [ "$got" != "$want" ]; then
    echo "FAIL $name: warned lines '$got' (wanted '$want'), said: $(cat "$work/said")"
    failed=1
  fi
}
mkdir "$work/cases"
cp "$cases"/* "$header" "$work/cases/"
for source in "$work"/cases/*.c; do
  name=$(basename "$source" .c)
  [ "$name" = Sys10 ] && continue
  read -r _ _ want text <"$source"
  options=()
  [ -f "$work/cases/$name.script" ] && options=(--script "$work/cases/$name.script")
  check "$work/cases" "$name" "$want" "$text" "${options[@]}"
  check_warned "$name"
done
for example in controller ring_buffer; do
  cp -r "$examples/$example" "$work/$example"
  cp "$header" "$work/$example/"
  check "$work/$example" "$example" 0 "stackvm and the C build agree" \
    --script "$work/$example/$example.script" --until-script-ends
done
cp -r "$examples/table_lookup" "$work/table_lookup"
cp "$header" "$work/table_lookup/"
check "$work/table_lookup" table_lookup 2 "cannot be built as C: line 55 is an ASM line"
[ $failed = 0 ] && echo ok
exit $failed
