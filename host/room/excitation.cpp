#include "host/room/excitation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/room/room_rules.h"

namespace orvane {

std::vector<double> smoothedPower(const std::vector<double>& power, double octaves) {
  const std::size_t bins = power.size();
  std::vector<double> sum(bins + 1, 0.0);
  for (std::size_t k = 0; k < bins; ++k) sum[k + 1] = sum[k] + power[k];
  std::vector<double> smoothed(power);
  const double half = std::pow(2.0, octaves / 2.0);
  for (std::size_t k = 1; k < bins; ++k) {
    const std::size_t lo = std::max<std::size_t>(1, static_cast<std::size_t>(k / half));
    const std::size_t hi =
        std::min(bins - 1, static_cast<std::size_t>(std::ceil(static_cast<double>(k) * half)));
    smoothed[k] = (sum[hi + 1] - sum[lo]) / static_cast<double>(hi - lo + 1);
  }
  return smoothed;
}

BandEdges excitationBand(const std::vector<double>& smoothed, double binHz) {
  if (smoothed.size() < 2) return {};
  const std::size_t top = static_cast<std::size_t>(
      std::max_element(smoothed.begin() + 1, smoothed.end()) - smoothed.begin());
  const double floor = smoothed[top] * std::pow(10.0, -kExcitationBandDb / 10.0);
  std::size_t lo = top, hi = top;
  while (lo > 1 && smoothed[lo - 1] >= floor) --lo;
  while (hi + 1 < smoothed.size() && smoothed[hi + 1] >= floor) ++hi;
  return {static_cast<double>(lo) * binHz, static_cast<double>(hi) * binHz};
}

double bandWeight(double hz, const BandEdges& band) {
  if (hz >= band.lowHz && hz <= band.highHz) return 1.0;
  if (hz <= 0.0) return 0.0;
  const double octavesOut =
      hz < band.lowHz ? std::log2(band.lowHz / hz) : std::log2(hz / band.highHz);
  const double x = octavesOut / kBandTransitionOctaves;
  if (x >= 1.0) return 0.0;
  const double c = std::cos(std::numbers::pi * x / 2.0);
  return c * c;
}

ActiveSpan activeSpan(const std::vector<double>& x) {
  double peak = 0.0;
  for (double v : x) peak = std::max(peak, std::fabs(v));
  const double floor = peak * std::pow(10.0, -kActiveBelowPeakDb / 20.0);
  ActiveSpan span{0, x.size()};
  while (span.first < span.last && std::fabs(x[span.first]) < floor) ++span.first;
  while (span.last > span.first && std::fabs(x[span.last - 1]) < floor) --span.last;
  return span;
}

SweepFacts sweepFacts(const std::vector<double>& x, double sampleRate) {
  const ActiveSpan span = activeSpan(x);
  const std::size_t length = (span.last - span.first) / kSweepSegments;
  if (length < 2) return {};
  std::vector<double> crossings;
  for (int s = 0; s < kSweepSegments; ++s) {
    const std::size_t from = span.first + static_cast<std::size_t>(s) * length;
    double count = 0;
    for (std::size_t i = from + 1; i < from + length; ++i) count += x[i] * x[i - 1] < 0.0;
    crossings.push_back(count);
  }

  for (std::size_t s = 1; s < crossings.size(); ++s)
    if (crossings[s] < crossings[s - 1]) return {};
  if (crossings.back() < kSweepRiseFactor * std::max(1.0, crossings.front())) return {};
  // Two crossings a period.
  auto frequency = [&](std::size_t from, std::size_t to) {
    double count = 0;
    for (std::size_t i = from + 1; i < to; ++i) count += x[i] * x[i - 1] < 0.0;
    return count / 2.0 * sampleRate / static_cast<double>(to - from);
  };
  const std::size_t end = std::max<std::size_t>(
      2, static_cast<std::size_t>(kSweepEndShare * static_cast<double>(span.last - span.first)));
  return {true, frequency(span.first, span.first + length), frequency(span.last - end, span.last)};
}

}  // namespace orvane
