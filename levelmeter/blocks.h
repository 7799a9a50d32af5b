// The meter works in blocks of about one millisecond; the run, the results dialog and the
// display all derive the same block count from the sample rate and the frame count.
#pragma once

// Samples per block: trunc(sampleRate * 0.001); 0 below 1000 Hz, where the meter cannot work.
inline int meterBlockLength(int sampleRate) { return (int)(sampleRate * 0.001); }

// Whole blocks in `frames` frames (the rest is never looked at); 0 when the rate is too low.
inline int meterBlockCount(int frames, int sampleRate) {
  int length = meterBlockLength(sampleRate);
  return length > 0 && frames > 0 ? frames / length : 0;
}

// Duration of one block in seconds.
inline double meterBlockSeconds(int sampleRate) {
  return meterBlockLength(sampleRate) / (double)(float)sampleRate;
}
