#!/usr/bin/env bash
# Runs every benchmark and prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
for b in build/linux32/bin/*_bench; do
  [ -x "$b" ] && "$b"
done
