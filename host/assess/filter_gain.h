// The filter's own gain: how much headroom a convolver running it needs. The continuous
// frequency response is sampled on a transform at least kGainOversampling times the filter's
// length and its largest point refined by a parabola through its neighbours (in dB), so the
// peak is found within some 0.01 dB even where it falls between the bins of the filter's own
// length.
#pragma once

#include <vector>

#include "host/assess/assessment.h"

namespace orvane {

// The gain of the filter channels `filter` (file order, at full scale 1; 2x2 holding both
// halves one after the other) of a filter in `mode`, with the pass band's edges in Hz.
FilterGain filterGainOf(const std::vector<std::vector<double>>& filter, FilterMode mode,
                        int sampleRate, double bandLowHz, double bandHighHz);

}  // namespace orvane
