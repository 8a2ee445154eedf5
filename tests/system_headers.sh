#!/usr/bin/env bash
# Real files that are not programs: every top-level header of /usr/include is
# compiled as a source (with an empty Sys10.c). Each run must end with status 0
# or 1 within a second; a crash, a hang or a sanitizer report fails the test.
# Usage: system_headers.sh <stackcc>
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
if [ ! -d /usr/include ]; then
  echo "skipped: /usr/include is missing on this machine"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: > "$work/Sys10.c"
failed=0
count=0
for header in /usr/include/*.h; do
  [ -f "$header" ] || continue
  count=$((count + 1))
  cp "$header" "$work/prog.c"
  start=$(date +%s%N)
  (cd "$work" && timeout 10 "$bin" prog.c -d >/dev/null 2>"$work/stderr")
  status=$?
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    echo "FAIL $header: status $status"; head -5 "$work/stderr"; failed=$((failed + 1))
  elif [ -s "$work/stderr" ]; then
    echo "FAIL $header: diagnostics on stderr"; head -5 "$work/stderr"; failed=$((failed + 1))
  elif [ "$elapsed_ms" -gt 1000 ]; then
    echo "FAIL $header: took ${elapsed_ms} ms"; failed=$((failed + 1))
  fi
done
echo "$((count - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
