#!/usr/bin/env bash
# The main job on the bundled speech: levelmeter's settings dialog, a measurement, the results
# table, and the results text, a time-history export and the display curves in demo-out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/linux32/bin
out=demo-out
rm -rf "$out"
mkdir -p "$out"
echo "== The settings dialog of levelmeter, as it opens"
"$bin/orvane" describe levelmeter
echo
echo "== Measuring examples/speech-stereo.wav with A-weighting on the left channel"
"$bin/orvane" run levelmeter examples/speech-stereo.wav --set 1001=on \
  --quiet --press 1051 --press 1057 --save-as "$PWD/$out/time-history.txt" --save-type 2 --out "$out"
echo
echo "== Written into $out/:"
ls -1 "$out"
