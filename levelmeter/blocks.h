// The meter works in blocks of about one millisecond; the core, the run, the results dialog and
// the display all take the block length from here.
#pragma once

// Samples per block: trunc(rate * 0.001); 0 below 1000 Hz, where the meter cannot work. The
// core passes the rate as the 32-bit float it computes with, the run and the dialogs pass the
// integer rate; the two give the same length for every rate up to 2^24 Hz.
inline int meterBlockLength(double rate) { return (int)(rate * 0.001); }

// Whole blocks in `frames` frames (the rest is never looked at); 0 when the rate is too low.
inline int meterBlockCount(int frames, int sampleRate) {
  int length = meterBlockLength(sampleRate);
  return length > 0 && frames > 0 ? frames / length : 0;
}

// Duration of one block in seconds.
inline double meterBlockSeconds(int sampleRate) {
  return meterBlockLength(sampleRate) / (double)(float)sampleRate;
}
