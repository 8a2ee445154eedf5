#!/usr/bin/env bash
# make bench: builds stackcc, installs the reference compilers, GNU time and
# valgrind if missing (Debian packages), and prints the comparison table:
# the diverse programs first, then the repetitive ones. Arguments go to
# bench/bench.py (--sizes, --runs, --no-callgrind, --markdown, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
make programs >/dev/null
if ! command -v tcc >/dev/null 2>&1 || ! command -v gcc >/dev/null 2>&1 || [ ! -x /usr/bin/time ] ||
   ! command -v valgrind >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null && apt-get install -y -qq tcc gcc time valgrind >/dev/null || true
  fi
fi
python3 bench/bench.py build/stackcc "$@"
# The simulator's speed.
echo
bash bench/vm_speed.sh || echo "bench/vm_speed.sh ended with status $?"
