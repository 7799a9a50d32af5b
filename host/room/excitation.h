// What the deconvolution reads from an excitation: the band it covers and the weight that
// limits a deconvolved response to it (over the bins 0 ... n/2 of an n-point transform), the
// span in which it sounds, and whether it is a rising sweep.
#pragma once

#include <cstddef>
#include <vector>

namespace orvane {

// power[k] averaged over the bins within `octaves` around bin k (k >= 1; bin 0 is left as it
// is): a noise's random dips are smoothed out, a sweep's spectrum stays as it is.
std::vector<double> smoothedPower(const std::vector<double>& power, double octaves);

struct BandEdges {
  double lowHz = 0.0;
  double highHz = 0.0;
};

// The bins around the largest of `smoothed` (bin 0 left out) that lie within kExcitationBandDb
// of it, as frequencies; `binHz` the bins' spacing.
BandEdges excitationBand(const std::vector<double>& smoothed, double binHz);

// 1 inside the band, a raised cosine in log frequency over kBandTransitionOctaves outside it,
// then 0 (0 at 0 Hz).
double bandWeight(double hz, const BandEdges& band);

// The samples from the first to the last whose magnitude lies within kActiveBelowPeakDb of the
// largest: [first, last).
struct ActiveSpan {
  std::size_t first = 0;
  std::size_t last = 0;
};
ActiveSpan activeSpan(const std::vector<double>& x);

// A rising sweep crosses zero more and more often (room_rules.h). `startHz` is the frequency of
// its first segment and `endHz` that of its last kSweepEndShare, both counted from its zero
// crossings (0 for no rising sweep).
struct SweepFacts {
  bool rising = false;
  double startHz = 0.0;
  double endHz = 0.0;
};
SweepFacts sweepFacts(const std::vector<double>& x, double sampleRate);

}  // namespace orvane
