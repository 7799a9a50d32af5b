#!/usr/bin/env bash
# The main job on the bundled speech: levelmeter's settings dialog, a measurement, the results
# table, and the results text, a time-history export and the display curves in demo-out/.
# Then crossanalyser on the bundled transfer measurement (time of flight, coherence, H1) and
# inversefilter on the bundled room response (the filter, and how good it is: the assessment),
# each with its outputs and pictures in a folder of demo-out/. Last, the room workflow on the
# bundled sweep measurement: its impulse response, the room's parameters against the values
# the synthetic room was built with, a correction filter designed from the response, and that
# filter judged against it.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/linux64/bin
out=demo-out
rm -rf "$out"
mkdir -p "$out"
echo "== levelmeter's dialogs (what --set and --press act on) and the results it reports"
"$bin/orvane" describe levelmeter
echo
echo "== Measuring examples/speech-stereo.wav with A-weighting on the left channel"
"$bin/orvane" run levelmeter examples/speech-stereo.wav --set 1001=on \
  --quiet --press 1051 --press 1057 --save-as "$PWD/$out/time-history.txt" --save-type 2 --out "$out"
echo
echo "== Written into $out/:"
ls -1 "$out"

echo
echo "== crossanalyser on examples/transfer-stereo.wav: noise on the left, the same noise through a"
echo "   4-tap FIR and 1 ms later on the right"
xa="$out/crossanalyser"
mkdir -p "$xa"
# crossanalyser appends a line to timedelay.txt in the current folder: keep it in the demo's.
(
  cd "$xa"
  orvane="$OLDPWD/$bin/orvane"
  example="$OLDPWD/examples/transfer-stereo.wav"
  # The default run: cross-correlation, N 16384, Hann, 3/4 overlap.
  "$orvane" run crossanalyser "$example" --quiet --out correlation >/dev/null
  # H1, exported twice (Real/Imag, then Real/Coherence); Magnitude/Phase left on the display.
  "$orvane" run crossanalyser "$example" --set 1026=on --quiet --press 1058 --press 1059 \
    --press 2 --press 1003 --press 2 --press 1056 --press 1057 --out transfer >/dev/null
)
/usr/bin/python3 scripts/transfer_figures.py "$xa/correlation" "$xa/transfer" \
  examples/make-transfer-example.py
echo "timedelay.txt (date, trigger time ms, time of flight ms):"
sed 's/^/  /' "$xa/timedelay.txt"

echo
echo "== inversefilter on examples/room-response.wav (0.3 s): a 32768-point filter, 80 - 16000 Hz"
echo "   Its results, and the host's assessment of the design: the response through the filter"
ifd="$out/inversefilter"
# The text report opens with the results, the assessment, its warnings and the files written.
"$bin/orvane" run inversefilter examples/room-response.wav --set 1061=32768 --set 1044=80 \
  --set 1045=16000 --quiet --out "$ifd" | sed '/^Plug-in /,$d'
echo "The filter: $ifd/clipboard.wav (float WAV, full scale 1.0)"

echo
echo "== Written into $xa/ and $ifd/:"
(cd "$out" && find crossanalyser inversefilter -type f ! -name '.orvane-*' | sort | sed 's/^/  /')

echo
echo "== From a sweep to a checked correction filter: examples/sweep-measurement.wav, a 2.5 s"
echo "   sweep through a mildly distorting loudspeaker into a room of known decay times"
rm="$out/room"
"$bin/orvane" impulse examples/sweep-measurement.wav --out "$rm/impulse"
echo
"$bin/orvane" room "$rm/impulse/impulse.wav" --out "$rm/parameters" | sed '/^Files written/,$d'
echo "-- against the synthetic room (examples/make-sweep-measurement.py):"
/usr/bin/python3 scripts/room_figures.py "$rm/impulse/impulse.json" "$rm/parameters/room.json" \
  examples/make-sweep-measurement.py
echo
echo "-- a 65536-point correction filter from the impulse response (inversefilter, 80 - 16000 Hz),"
echo "   and the host's assessment of it"
"$bin/orvane" run inversefilter "$rm/impulse/impulse.wav" --set 1061=65536 --set 1044=80 \
  --set 1045=16000 --quiet --out "$rm/filter" >/dev/null
"$bin/orvane" assess "$rm/impulse/impulse.wav" "$rm/filter/clipboard.wav" --out "$rm/assessment"
