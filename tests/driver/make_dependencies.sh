#!/usr/bin/env bash
# A Makefile built on -MD rebuilds a program after a file it includes (or
# Sys10.c, or a header found through -I) is touched, and not otherwise; a
# header that has gone does not stop make when -MP wrote its empty rule.
# Usage: make_dependencies.sh <stackcc>
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
command -v make >/dev/null 2>&1 || { echo "no make here"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/my prog" "$work/shared"
cd "$work/my prog"
printf '// system\nint sysvar;\n' > Sys10.c
printf '#include "parts.h"\n#include "common.h"\nint main() {\n  x = 1;\n}\n' > prog.c
printf 'int x;\n' > parts.h
printf 'int y;\n' > ../shared/common.h
printf 'other = 1;\n' > unrelated.h
cat > Makefile <<MK
prog.001: prog.c
	"$bin" prog.c -I ../shared -MD -MP > build.log
-include prog.d
MK
fail=0
builds() { make -s >/dev/null 2>&1; grep -c "Work done" build.log 2>/dev/null; rm -f build.log; }
step() {  # step <what> <expected builds (1 or 0)>
  local got
  got=$(builds)
  [ -z "$got" ] && got=0
  if [ "$got" != "$2" ]; then echo "$1: expected $2 build(s), got $got"; fail=1; fi
}
# Inputs start an hour old; a touch then makes a file newer than every output,
# and the next build's outputs newer than it.
touch -d "@$(( $(date +%s) - 3600 ))" ./* ../shared/*
later() { sleep 0.05; touch "$1"; sleep 0.05; }
step "first make" 1
step "nothing changed" 0
later parts.h; step "included file touched" 1
step "nothing changed again" 0
later Sys10.c; step "Sys10.c touched" 1
later ../shared/common.h; step "header from -I touched" 1
later unrelated.h; step "file not included touched" 0
grep -q 'common.h' prog.d || { echo "prog.d does not name the -I header"; fail=1; }
# The program stops including parts.h and the file goes: the phony rule keeps make going.
printf '#include "common.h"\nint x;\nint main() {\n  x = 1;\n}\n' > prog.c
later prog.c
rm parts.h
step "header removed with the program's include" 1
[ $fail -eq 0 ] && echo "make rebuilds exactly on changes"
exit $fail
