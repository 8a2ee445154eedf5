#!/usr/bin/env bash
# Compiles the bundled example in a scratch copy and shows what was written;
# then runs every example under stackvm with its device script and checks the
# device calls and final values against the example's .expected file.
set -eu
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
vm=$(dirname "$bin")/stackvm
src=$2
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
cp -R "$src/." "$work/"
cd "$work"
prog=$(ls *.c | grep -v -x Sys10.c | head -n 1)
echo "== stackcc $prog -d"
status=0
"$bin" "$prog" -d || status=$?
echo "== exit status: $status"
echo "== files written:"
ls -l | grep -v -e "$prog" -e Sys10.c
base=${prog%.c}
echo "== start of $base.001:"
head -n 40 "$base.001" | tr -d '\r'
echo "== (output kept in $work)"

# What a run shows of the device: the routine calls of the trace, the step
# limit that ends these endless controller loops, the dumped globals, the status.
device_view() {
  local name=$1 options
  options=$(sed -n 's/^# stackvm: //p' "$name.script")
  # shellcheck disable=SC2086
  "$vm" "$name.c" --script "$name.script" $options --trace 2>&1 >/dev/null |
    grep -E '^[A-Za-z_][A-Za-z0-9_]*\(|^[A-Za-z_][A-Za-z0-9_]* = |: step limit' || true
  "$vm" "$name.c" --script "$name.script" $options >/dev/null 2>&1 && echo "status 0" || echo "status $?"
}

failed=0
for dir in "$root"/examples/*/; do
  name=$(basename "$dir")
  [ -f "$dir/$name.script" ] || continue
  run=$(mktemp -d)
  cp -R "$dir/." "$run/"
  (cd "$run" && "$bin" "$name.c" -d >/dev/null)
  echo "== stackvm $name.c --script $name.script $(sed -n 's/^# stackvm: //p' "$dir/$name.script")"
  view=$(cd "$run" && device_view "$name")
  echo "$view" | head -n 24
  [ "$(echo "$view" | wc -l)" -le 24 ] || echo "   ... ($(echo "$view" | wc -l) lines)"
  if [ "$view" = "$(cat "$dir/$name.expected")" ]; then
    echo "== $name: as expected"
  else
    echo "== $name: differs from $name.expected:"
    diff <(echo "$view") "$dir/$name.expected" || true
    failed=1
  fi
  rm -rf "$run"
done
exit $failed
