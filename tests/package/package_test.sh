#!/usr/bin/env bash
# A user's project built against the installed CMake package:
#   package_test.sh CMAKE PREFIX GENERATOR MAKE_PROGRAM WORK
# configures tests/package/project (two programs in one folder) with
# find_package(stackcc) from PREFIX, builds it with GENERATOR in WORK, and
# checks that both programs are compiled and run under stackvm, that each has
# its own funct1.txt, that nothing is written into the sources, that a second
# build does nothing, and that touching an included file rebuilds exactly the
# programs that include it.
set -euo pipefail

cmake=$1 prefix=$2 generator=$3 make_program=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
# The user's build runs on its own, not as a part of a make that runs CTest.
unset MAKEFLAGS MFLAGS MAKELEVEL

fail() {
  echo "FAIL ($generator): $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
cp -R "$here/project" "$work/src"
# Inputs start an hour old, so that every touch below makes a file newer than
# every output, and every output of the next build newer than it.
find "$work/src" -type f -exec touch -d "@$(($(date +%s) - 3600))" {} +
sources_before=$(cd "$work/src" && find . | LC_ALL=C sort)

"$cmake" -S "$work/src" -B "$work/build" -G "$generator" -DCMAKE_MAKE_PROGRAM="$make_program" \
  -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configure"; }

build() {  # build LOG: the build's output in LOG
  "$cmake" --build "$work/build" -j 2 >"$1" 2>&1 || { cat "$1"; fail "build"; }
}
compiled() {  # compiled LOG: the programs the build compiled, sorted
  sed -n 's/.*stackcc: compiling progs\/\([a-z]*\)\.c for .*/\1/p' "$1" | LC_ALL=C sort | tr '\n' ' '
}
# The programs whose outputs are newer than the file STAMP.
rebuilt() {
  local program file newer
  for program in alpha beta; do
    newer=
    while read -r file; do
      [ "$file" -nt "$1" ] && newer=1
    done <"$work/build/$program.outputs"
    [ -n "$newer" ] && printf '%s ' "$program"
  done
  return 0
}
stamp() {
  touch "$work/stamp"
  sleep 1
}

build "$work/build1.log"
[ "$(compiled "$work/build1.log")" = "alpha beta " ] ||
  fail "the first build compiled '$(compiled "$work/build1.log")', not alpha and beta"
for program in alpha beta; do
  while read -r file; do
    [ -f "$file" ] || fail "$program: $file was not written"
  done <"$work/build/$program.outputs"
done
dir_alpha=$(cat "$work/build/alpha.dir")
dir_beta=$(cat "$work/build/beta.dir")
[ "$dir_alpha" != "$dir_beta" ] || fail "both programs are compiled in $dir_alpha"
echo "both programs compiled, every output written"

# Each program lists its own functions in its own funct1.txt.
grep -q alpha_twice "$dir_alpha/funct1.txt" || fail "alpha's funct1.txt lacks alpha_twice"
grep -q beta_sum "$dir_beta/funct1.txt" || fail "beta's funct1.txt lacks beta_sum"
! grep -q beta_sum "$dir_alpha/funct1.txt" || fail "alpha's funct1.txt names beta_sum"
! grep -q alpha_twice "$dir_beta/funct1.txt" || fail "beta's funct1.txt names alpha_twice"
[ "$(cd "$work/src" && find . | LC_ALL=C sort)" = "$sources_before" ] ||
  fail "files were written into the source folder"
echo "funct1.txt kept apart, the sources untouched"

# The files are those of a run in the source's own folder.
cp -R "$work/src/progs" "$work/in-place"
cp -R "$work/src/shared" "$work/shared"
(cd "$work/in-place" && "$prefix/bin/stackcc" alpha.c -d -I ../shared -I "$prefix/share/stackcc" >/dev/null) ||
  fail "stackcc alpha.c in place: status $?"
while read -r file; do
  cmp -s "$file" "$work/in-place/$(basename "$file")" ||
    fail "$(basename "$file") differs from the one a run in place writes"
done <"$work/build/alpha.outputs"
echo "the files are those of a run in place"

# The outputs run under stackvm, which finds Sys10.c and stackvm.h beside them.
printf 'sensor 5\n' >"$work/alpha.script"
out=$("$prefix/bin/stackvm" "$(cat "$work/build/alpha.program")" --script "$work/alpha.script") ||
  fail "stackvm alpha: status $?"
[ "$out" = "11" ] || fail "stackvm alpha printed '$out', not 11"
out=$("$prefix/bin/stackvm" "$(cat "$work/build/beta.program")") || fail "stackvm beta: status $?"
[ "$out" = "42" ] || fail "stackvm beta printed '$out', not 42"
echo "both programs run under stackvm"

stamp
build "$work/build2.log"
[ -z "$(compiled "$work/build2.log")$(rebuilt "$work/stamp")" ] ||
  fail "a second build compiled '$(compiled "$work/build2.log")', rewrote '$(rebuilt "$work/stamp")'"
echo "a second build does nothing"

check_touch() {  # check_touch FILE EXPECTED
  stamp
  touch "$work/src/$1"
  build "$work/touch.log"
  [ "$(compiled "$work/touch.log")" = "$2" ] ||
    fail "after touching $1 the build compiled '$(compiled "$work/touch.log")', not '$2'"
  [ "$(rebuilt "$work/stamp")" = "$2" ] ||
    fail "after touching $1 the build rewrote '$(rebuilt "$work/stamp")', not '$2'"
  echo "touching $1 rebuilds ${2% }"
}
check_touch progs/alpha_io.h "alpha "
check_touch shared/common.h "alpha beta "
check_touch progs/Sys10.c "alpha beta "
check_touch progs/beta.c "beta "

# The version file takes a request for the installed version and refuses the
# next major version.
version=$("$prefix/bin/stackcc" --version | sed 's/^stackcc //; s/ .*//')
find_version() {  # find_version VERSION: configure a project asking for it
  mkdir -p "$work/version"
  printf 'cmake_minimum_required(VERSION 3.20)\nproject(v LANGUAGES NONE)\nfind_package(stackcc %s REQUIRED)\n' \
    "$1" >"$work/version/CMakeLists.txt"
  rm -rf "$work/version/build"
  "$cmake" -S "$work/version" -B "$work/version/build" -G "$generator" \
    -DCMAKE_MAKE_PROGRAM="$make_program" -DCMAKE_PREFIX_PATH="$prefix" >"$work/version.log" 2>&1
}
find_version "$version" || { cat "$work/version.log"; fail "find_package(stackcc $version) failed"; }
if find_version "$((${version%%.*} + 1))"; then
  fail "find_package(stackcc $((${version%%.*} + 1))) took version $version"
fi
echo "find_package takes version $version and refuses $((${version%%.*} + 1))"

# An error fails the build, and the next build tries again.
stamp
printf 'int main() {\n  undeclared = 1;\n}\n' >"$work/src/progs/beta.c"
if "$cmake" --build "$work/build" >"$work/error.log" 2>&1; then
  fail "a program with an error built without failing"
fi
if "$cmake" --build "$work/build" >"$work/error2.log" 2>&1; then
  fail "the second build after an error did not fail"
fi
[ "$(compiled "$work/error2.log")" = "beta " ] || fail "the build after an error did not compile beta again"
echo "an error fails the build, every time"
rm -rf "$work"
