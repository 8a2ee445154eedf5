#!/usr/bin/env bash
# make bench: builds stackcc, installs the reference compilers if missing (Debian
# packages), and prints the comparison table.
set -euo pipefail
cd "$(dirname "$0")/.."
make build >/dev/null
if ! command -v tcc >/dev/null 2>&1 || ! command -v gcc >/dev/null 2>&1 || [ ! -x /usr/bin/time ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null && apt-get install -y -qq tcc gcc time >/dev/null || true
  fi
fi
python3 bench/bench.py build/stackcc "$@"
