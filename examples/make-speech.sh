#!/usr/bin/env bash
# Makes the bundled speech recordings: a few sentences spoken by espeak-ng, resampled to
# 48 kHz 16-bit. speech-mono.wav is the voice alone; speech-stereo.wav has the voice on the
# left and the same voice 6 dB quieter and 20 ms later on the right.
set -euo pipefail
cd "$(dirname "$0")"
text="The quick brown fox jumps over the lazy dog. \
Measure the active speech level of this recording, then compare it with the equivalent level. \
Pauses between sentences lower the activity factor."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
espeak-ng -v en -s 150 -w "$tmp/raw.wav" "$text"
sox "$tmp/raw.wav" -r 48000 -b 16 -c 1 speech-mono.wav gain -n -6
sox speech-mono.wav "$tmp/right.wav" vol 0.5 pad 0.02 trim 0 "$(soxi -D speech-mono.wav)"
sox -M speech-mono.wav "$tmp/right.wav" -b 16 speech-stereo.wav
