#!/usr/bin/env bash
# A program under a directory and a file name with blanks, through an include
# whose name holds a blank too, compiles the same with and without -d (marker
# lines and empty lines aside), and its markers and reports name each file
# whole: quoted in <base>.000, as it is in the code file and the reports.
# Usage: paths_with_blanks.sh <stackcc>
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
say() { echo "$*"; fail=1; }
content() { grep -av -e '^LINE:' -e $'^\r$' "$1" || true; }
for run in plain marked; do
  dir="$work/$run/my dir"
  mkdir -p "$dir"
  printf 'int sys;\n' > "$dir/Sys10.c"
  printf 'int shared;\nint\n  count;\n' > "$dir/my inc.h"
  printf '#include "my inc.h"\nint main()\n{\n  count = 1 +\n    shared;\n  return count;\n}\n' \
    > "$dir/my prog.c"
  printf 'int main()\n{\n  missing = 1;\n  return 0;\n}\n' > "$dir/bad one.c"
done
(cd "$work/plain" && "$bin" "my dir/my prog.c" > ../plain.out; echo $? >> ../plain.out)
(cd "$work/marked" && "$bin" "my dir/my prog.c" -d > ../marked.out; echo $? >> ../marked.out)
cmp -s "$work/plain.out" "$work/marked.out" || say "the console differs with -d: $(cat "$work/marked.out")"
tail -n 1 "$work/plain.out" | grep -qx 0 || say "the program does not compile: $(cat "$work/plain.out")"
for f in "my prog.001" "my prog.002" "my prog.003" "my prog.004" "my prog.h" "my prog.lst" funct1.txt; do
  cmp -s <(content "$work/plain/my dir/$f") <(content "$work/marked/my dir/$f") ||
    say "$f differs beyond its markers"
done
m="$work/marked/my dir"
grep -aqx $'LINE:4:"my dir/my prog.c"\r' "$m/my prog.000" || say "no quoted marker of the source in .000"
grep -aqx $'LINE:3:"my inc.h"\r' "$m/my prog.000" || say "no quoted marker of the include in .000"
grep -aqx $'LINE:5:my dir/my prog.c\r' "$m/my prog.001" || say "the code file's marker does not name the source whole"
if grep -a '^LINE:' "$m/my prog.001" | grep -aqv -e $'^LINE:[0-9]*:my dir/my prog.c\r$' -e $'^LINE:[0-9]*:my inc.h\r$'; then
  say "a marker of the code file is cut"
fi
# A report of pass 2 names the line and the whole file name.
out=$(cd "$work/marked" && "$bin" "my dir/bad one.c" -d)
grep -q '^ERROR in LINE:3:my dir/bad one.c' <<< "$out" || say "the report does not name the file whole: $out"
exit $fail
