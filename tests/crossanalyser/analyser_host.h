// A host for the analyser's core in the tests: an instance record whose readSamples serves a
// stereo test signal (interleaved, 16-bit scale) and records every read, whose progress callback
// records the steps and can cancel, and the run's ten buffers from the frame's run buffers. One
// host at a time: the record's callbacks carry no context.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "crossanalyser/analyser_buffers.h"
#include "crossanalyser/averaging.h"
#include "crossanalyser/process_function.h"
#include "frame/xfm.h"

struct SampleRead {
  long first, frames;
  long format;
};

struct AnalyserHost {
  AnalyserHost();
  ~AnalyserHost();

  // Selects frames [first, first + frames) of the wave.
  void select(long first, long frames);
  // Allocates the run's buffers for FFT size n (zero-filled); false on an allocation failure.
  bool allocate(long n);

  std::vector<float> wave;  // interleaved left, right; the frames the host can supply
  XFMINSTANCE record = {};
  int cancelFlag = 0;
  int cancelAtProgress = 0;  // set cancelFlag when progress has been called this many times
  std::vector<std::pair<int, int>> progress;
  std::vector<SampleRead> reads;
  bool readOutside = false;  // a read reached frames outside the selection

  RunBuffers runBuffers;
  AnalyserBuffers buffers = {};

  static AnalyserHost* current;
};

// Stereo wave of `frames` frames from two channel generators.
std::vector<float> interleave(const std::vector<float>& left, const std::vector<float>& right);
// White noise (uniform, amplitude `amplitude` at 16-bit scale).
std::vector<float> whiteNoise(long frames, unsigned seed, float amplitude = 8000.0f);
// x delayed by d samples (d > 0) or advanced (d < 0), zeros shifted in.
std::vector<float> delayed(const std::vector<float>& x, long d);

// Settings with everything off: Hann, no following filter, no multispectrum.
SpectraSettings plainSpectraSettings(long n, int function = 0);
FunctionSettings plainFunctionSettings(long n, int function, long sampleRate = 48000);
