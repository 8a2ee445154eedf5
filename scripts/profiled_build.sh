#!/usr/bin/env bash
# Builds the compiler guided by a profile of its own run: an instrumented
# build compiles a generated program (or the examples, without python3), then
# the compiler and its library are built again with that profile, and the
# tests as usual. When any of the first steps fails, the build is a plain one.
# Usage: scripts/profiled_build.sh <build folder> <jobs>
set -u
build=$1
jobs=$2
cd "$(dirname "$0")/.."
profile=$(pwd)/$build/profile

train() {
  local work
  work=$(mktemp -d) || return 1
  if command -v python3 >/dev/null && python3 bench/gen.py 30000 "$work/prog.c"; then
    : > "$work/Sys10.c"
  else
    cp examples/controller/controller.c "$work/prog.c" &&
      cp examples/controller/Sys10.c "$work/" || return 1
  fi
  local bin
  bin=$(pwd)/$build/stackcc
  (cd "$work" && "$bin" prog.c -d >/dev/null && "$bin" prog.c >/dev/null)
  local status=$?
  rm -rf "$work"
  return $status
}

step=use
rm -rf "$profile"
if ! cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSTACKCC_PROFILE=generate \
      -DSTACKCC_PROFILE_DIR="$profile" >/dev/null ||
   ! cmake --build "$build" -j "$jobs" --target stackcc >/dev/null || ! train; then
  echo "profiled build: the training run failed; building without a profile" >&2
  step=
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSTACKCC_PROFILE=$step \
  -DSTACKCC_PROFILE_DIR="$profile" >/dev/null || exit 1
cmake --build "$build" -j "$jobs"
