#!/usr/bin/env bash
# The installed tree, step by step (each step is its own CTest test):
#   install_test.sh install CMAKE BUILD PREFIX   cmake --install into a fresh PREFIX
#   install_test.sh layout PREFIX SOURCE         what is there, and nothing more
#   install_test.sh programs PREFIX VERSION      the installed programs, run from elsewhere
#   install_test.sh manuals PREFIX               man -l renders each page without a warning
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

step_install() {
  local cmake=$1 build=$2 prefix=$3
  rm -rf "$prefix"
  env -u DESTDIR "$cmake" --install "$build" --prefix "$prefix"
}

# The names in a folder, sorted, each followed by a space.
entries() {
  find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' '
}

# Every relative link of the installed README and docs leads to a file or
# folder that is installed too.
broken_links() {
  local doc=$1 page target bad=""
  while read -r page; do
    for target in $(grep -o '](\([^)#]*\)[^)]*)' "$page" | sed 's/^](\([^)#]*\).*/\1/'); do
      case $target in http://* | https://* | mailto:* | "") continue ;; esac
      [ -e "$(dirname "$page")/$target" ] || bad="$bad ${page#"$doc"/} -> $target;"
    done
  done < <(find "$doc" -name '*.md' -not -path "$doc/examples/*")
  [ -z "$bad" ] || fail "links that lead nowhere where the docs are installed:$bad"
}

step_layout() {
  local prefix=$1 source=$2 doc=$1/share/doc/stackcc file
  for file in bin/stackcc bin/stackvm share/stackcc/stackvm.h share/stackcc/stackvm_builtins.c \
    share/doc/stackcc/README.md; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
  done
  # The CMake package (find_package(stackcc)).
  for file in stackccConfig.cmake stackccConfigVersion.cmake stackcc_add_program.cmake \
    stackcc_compile.cmake; do
    [ -f "$prefix/share/stackcc/cmake/$file" ] || fail "share/stackcc/cmake/$file is not installed"
  done
  for file in stackcc stackvm; do
    [ -x "$prefix/bin/$file" ] || fail "bin/$file is not executable"
    ls "$prefix/share/man/man1/$file.1"* >/dev/null 2>&1 || fail "no manual page $file.1"
  done
  (cd "$source/docs" && find . -name '*.md') | while read -r file; do
    cmp -s "$source/docs/$file" "$doc/docs/$file" || fail "docs/$file is not installed as it is"
  done
  broken_links "$doc"
  diff -r "$source/examples" "$doc/examples" >/dev/null || fail "the examples differ from examples/"
  # Only the two executables: no test binary, no library, no header of the code.
  [ "$(entries "$prefix/bin")" = "stackcc stackvm " ] ||
    fail "bin/ holds more than stackcc and stackvm: $(entries "$prefix/bin")"
  [ "$(entries "$prefix")" = "bin share " ] || fail "unexpected folders: $(entries "$prefix")"
  [ -z "$(find "$prefix" -name '*.a' -o -name 'test_*' -o -name '*.cpp')" ] ||
    fail "build products or sources installed: $(find "$prefix" -name '*.a' -o -name 'test_*')"
  echo "layout: as expected"
}

expect_output() {
  local what=$1 expected=$2 actual=$3
  [ "$actual" = "$expected" ] || fail "$what: expected '$expected', got '$actual'"
}

# "stackcc 1.0.0 (language 8.02)": the program, its version, the language's.
expect_version() {
  local program=$1 version=$2 actual=$3
  [[ $actual =~ ^$program\ ${version//./\\.}\ \(language\ [0-9]+\.[0-9]+\)$ ]] ||
    fail "$program --version: expected '$program $version (language N.NN)', got '$actual'"
}

# What an example's run shows, without the source positions that depend on
# the folder it was compiled from: device calls, dumped globals, the status.
device_view() {
  grep -E '^[A-Za-z_][A-Za-z0-9_]*\(|^[A-Za-z_][A-Za-z0-9_]* = |^status ' || true
}

run_example() {
  local bin=$1 dir=$2 name options status=0
  name=$(basename "$dir")
  "$bin/stackcc" "$dir/$name.c" -d >/dev/null || fail "stackcc $dir/$name.c: status $?"
  [ -s "$dir/$name.001" ] || fail "$dir/$name.001 was not written"
  options=$(sed -n 's/^# stackvm: //p' "$dir/$name.script")
  # shellcheck disable=SC2086
  "$bin/stackvm" "$dir/$name.c" --script "$dir/$name.script" $options --trace \
    2>"$dir/run.err" >/dev/null || status=$?
  expect_output "stackvm $name" "$(device_view <"$dir/$name.expected")" \
    "$( (cat "$dir/run.err" && echo "status $status") | device_view)"
}

# The worked example of stackvm(1), with the installed prototypes header.
run_worked_example() {
  local bin=$1 prefix=$2 dir=$3
  mkdir -p "$dir"
  cp "$prefix/share/stackcc/stackvm.h" "$dir/"
  printf '#include "stackvm.h"\nint sensor(int port);\n' >"$dir/Sys10.c"
  printf 'int total;\nvoid main() {\n  int i;\n  for (i = 0; i < 3; i++) {\n    total = total + sensor(i);\n  }\n  print_int(total);\n  print_char(10);\n}\n' >"$dir/prog.c"
  printf 'sensor 10\nsensor 0x20\nsensor -5\n' >"$dir/values.txt"
  "$bin/stackcc" "$dir/prog" -d >/dev/null || fail "stackcc $dir/prog: status $?"
  expect_output "stackvm prog" "37" "$("$bin/stackvm" "$dir/prog.c" --script "$dir/values.txt" \
    --dump total 2>"$dir/dump.err")"
  expect_output "stackvm --dump total" "total = 37" "$(cat "$dir/dump.err")"
}

step_programs() {
  local prefix=$1 version=$2 bin=$1/bin example
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/elsewhere"
  cd "$work/elsewhere"
  expect_version stackcc "$version" "$("$bin/stackcc" --version)"
  expect_version stackvm "$version" "$("$bin/stackvm" --version)"
  "$bin/stackcc" --help | head -n 1 | grep -q '^usage: stackcc ' || fail "stackcc --help"
  "$bin/stackvm" --help | head -n 1 | grep -q '^usage: stackvm ' || fail "stackvm --help"
  cp -R "$prefix/share/doc/stackcc/examples" "$work/examples"
  for example in "$work"/examples/*/; do
    run_example "$bin" "${example%/}"
    echo "example $(basename "$example"): compiled and ran as expected"
  done
  run_worked_example "$bin" "$prefix" "$work/worked"
  echo "worked example of stackvm(1): as shown"
  [ -z "$(ls "$work/elsewhere")" ] || fail "files were written into the current folder"
}

step_manuals() {
  local prefix=$1 page rendered warnings section
  if ! command -v man >/dev/null 2>&1; then
    echo "man is not installed: the manual pages were not rendered"
    exit 77
  fi
  for page in "$prefix"/share/man/man1/*; do
    warnings=$(mktemp)
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat PAGER=cat man --warnings -l "$page" \
      2>"$warnings") || fail "man -l $page: status $?"
    [ ! -s "$warnings" ] || fail "man -l $page warns: $(cat "$warnings")"
    rm -f "$warnings"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES "SEE ALSO"; do
      grep -q "^$section\$" <<<"$rendered" || fail "$page has no section $section"
    done
    echo "$(basename "$page"): renders without warnings, every section present"
  done
}

step=$1
shift
"step_$step" "$@"
