// The octave bands of the room's parameters: IEC 61260-1 base-ten octaves, each an order-3
// Butterworth band-pass (6 poles) made digital by the bilinear transform with both edges
// pre-warped, run in doubles as three second-order sections. At 48 kHz: 3.01 dB down at the
// band's edges, 0.06 dB a quarter band from the midband (0.10 dB at 8 kHz), and at least
// 18.2 dB one octave and 41.2 dB two octaves from it, within the class 1 limits.
#pragma once

#include <array>
#include <vector>

namespace orvane {

struct OctaveBand {
  int nominalHz;     // 63, 125, ... 8000
  double midbandHz;  // exact: 1000 * 10^(3x/10)
  double lowHz;      // edges: midband * 10^(-+3/20)
  double highHz;
};

// The bands 63 Hz ... 8 kHz (room_rules.h).
std::vector<OctaveBand> octaveBands();

// One second-order section: y = (b0 x + b1 x[-1] + b2 x[-2]) - a1 y[-1] - a2 y[-2].
struct Biquad {
  double b0, b1, b2, a1, a2;
};

// The band's filter at `sampleRate` Hz; the band's upper edge must lie below half of it.
std::array<Biquad, 3> octaveFilter(const OctaveBand& band, double sampleRate);

// `x` through the sections, from rest.
std::vector<double> filtered(const std::vector<double>& x, const std::array<Biquad, 3>& sections);

}  // namespace orvane
