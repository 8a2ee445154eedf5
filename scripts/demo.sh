#!/usr/bin/env bash
# Compiles the bundled example in a scratch copy and shows what was written.
set -eu
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=$2
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
