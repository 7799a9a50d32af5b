// The decay of one band's (or the whole) impulse response: time zero, the point where the
// decay meets the noise (Lundeby's iteration), and the backward-integrated decay curve from
// there, with the energy the truncation cut off added back (the late decay's exponential
// continued to infinity).
#pragma once

#include <cstddef>
#include <vector>

namespace orvane {

// A straight line in dB over seconds: level = interceptDb + slopeDbPerS * t.
struct DecayLine {
  double interceptDb = 0.0;
  double slopeDbPerS = 0.0;
};

struct Decay {
  std::size_t onset = 0;  // sample of time zero: the first within kOnsetBelowPeakDb of the peak
  // False when no decay stands above the noise (nothing falls, or too little to fit): then
  // nothing below is meaningful.
  bool decays = false;
  double noiseEnergy = 0.0;  // mean square per sample of the noise; 0 for a response without
  // Samples from the onset to the truncation point, where the late decay meets the noise (the
  // response's end when it has no noise, or the decay never meets it).
  std::size_t truncation = 0;
  DecayLine late;            // the late decay Lundeby fitted (levels per sample, t from onset)
  double tailEnergy = 0.0;   // the energy past the truncation point, sum of squares
  double tailSeconds = 0.0;  // its energy time constant, s: 10 / (-slope ln 10)
  // Schroeder's integral: schroeder[n] = sum of squares from onset + n to the truncation point,
  // plus tailEnergy; truncation + 1 values, the last the tail alone.
  std::vector<double> schroeder;
  // How far the curve falls before its extrapolated part: 10 log10(schroeder[0] / last), dB.
  double decayRangeDb = 0.0;
};

// `h` the response, `sampleRate` Hz, `periodS` the period of the band's midband (0 for the
// whole response), which sets the first intervals' length.
Decay analyseDecay(const std::vector<double>& h, double sampleRate, double periodS);

// The energy from `seconds` after the onset on (the tail's share past the truncation point).
double energyAfter(const Decay& d, double seconds, double sampleRate);

}  // namespace orvane
