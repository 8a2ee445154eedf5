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
mkdir "$work/cases"
cp "$cases"/* "$header" "$work/cases/"
for source in "$work"/cases/*.c; do
  name=$(basename "$source" .c)
  [ "$name" = Sys10 ] && continue
  read -r _ _ want text <"$source"
  options=()
  [ -f "$work/cases/$name.script" ] && options=(--script "$work/cases/$name.script")
  check "$work/cases" "$name" "$want" "$text" "${options[@]}"
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
