#!/usr/bin/env bash
# Runs every benchmark and prints its figures: the core benchmarks first, then whole orvane
# runs of crossanalyser (against scipy), inversefilter, levelmeter on long recordings (against
# sox), and orvane impulse and orvane room (against numpy/scipy), timed from start to exit.
set -euo pipefail
cd "$(dirname "$0")/.."
for b in build/linux64/bin/*_bench; do
  [ -x "$b" ] && "$b"
done
/usr/bin/python3 bench/crossanalyser_process.py
/usr/bin/python3 bench/inversefilter_process.py
/usr/bin/python3 bench/long_recordings.py
/usr/bin/python3 bench/room_process.py
