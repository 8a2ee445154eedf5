#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it for the given number of seconds,
# seeded with the golden cases' and examples' sources. With REF naming another
# stackcc binary (the one before a change), every input is also compiled by it
# and any difference in files or status is a finding.
# Usage: [REF=/path/to/old/stackcc] fuzz/run.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
CXX=clang++ cmake -S . -B build-fuzz -DSTACKCC_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j 2 --target fuzz_compile
corpus=fuzz/corpus-run
mkdir -p "$corpus" fuzz/findings
# Generated programs: one of many similar functions, one whose statements differ.
if command -v python3 >/dev/null; then
  python3 bench/gen.py 600 "$corpus/seed-generated.c"
  python3 bench/gen_diverse.py 600 "$corpus/seed-diverse.c" --seed 3
fi
for f in tests/golden/*/input/*.c examples/*/*.c; do
  [ -f "$f" ] && cp "$f" "$corpus/seed-$(echo "$f" | tr '/' '_')"
done
if [ -n "${REF:-}" ]; then
  [ -x "$REF" ] || { echo "REF is not an executable file: $REF" >&2; exit 2; }
  export STACKCC_FUZZ_REFERENCE=$(realpath "$REF")
  echo "comparing every input with $STACKCC_FUZZ_REFERENCE"
fi
./build-fuzz/fuzz_compile "$corpus" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -artifact_prefix="$PWD/fuzz/findings/" -print_final_stats=1
