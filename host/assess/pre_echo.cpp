#include "host/assess/pre_echo.h"

#include <algorithm>
#include <cmath>

#include "host/assess/assessment_rules.h"

namespace orvane {

namespace {

// The octave bands are Gaussian in log frequency, this many octaves to one standard deviation
// (1.2 octaves wide at half power): smooth enough that a band's own ringing stays 45 dB below
// its main arrival 20 ms before it even at 125 Hz, where a band with edges would ring far
// longer.
constexpr double kBandSigmaOctaves = 0.5;

// The energy of the window of `width` samples centred on each sample (cut at the ends).
std::vector<double> windowEnergies(const std::vector<double>& y, long width) {
  const long count = static_cast<long>(y.size());
  std::vector<double> sums(y.size() + 1, 0.0);
  for (long i = 0; i < count; ++i) sums[i + 1] = sums[i] + y[i] * y[i];
  std::vector<double> e(y.size());
  for (long i = 0; i < count; ++i) {
    const long from = std::max(0L, i - width / 2), to = std::min(count, i - width / 2 + width);
    e[i] = sums[to] - sums[from];
  }
  return e;
}

double ratioDb(double a, double b) { return 10.0 * std::log10(a / b); }

}  // namespace

std::vector<OctavePreEcho> octavePreEchoes(const Spectrum& Y, std::size_t n, std::size_t length,
                                           int sampleRate) {
  std::vector<OctavePreEcho> octaves;
  const double binHz = static_cast<double>(sampleRate) / static_cast<double>(n);
  const long width = std::max(1L, std::lround(kEnergyWindowMs * sampleRate / 1000.0));
  const long gap = std::lround(kPreEchoGapMs * sampleRate / 1000.0);
  for (int o = 0; o < kOctaveCount; ++o) {
    const double centre = kFirstOctaveHz * std::pow(2.0, o);
    if (centre * std::sqrt(2.0) > sampleRate / 2.0) break;
    Spectrum band(Y.size());
    for (std::size_t k = 1; k < Y.size(); ++k) {
      const double octavesAway = std::log2(k * binHz / centre) / kBandSigmaOctaves;
      band[k] = Y[k] * std::exp(-0.5 * octavesAway * octavesAway);
    }
    const auto e = windowEnergies(inverseRealSpectrum(band, n, length), width);
    const long main = static_cast<long>(std::max_element(e.begin(), e.end()) - e.begin());
    OctavePreEcho p;
    p.centreHz = centre;
    p.mainMs = main * 1000.0 / sampleRate;
    if (main - gap > 0 && e[main] > 0.0) {
      const long at =
          static_cast<long>(std::max_element(e.begin(), e.begin() + (main - gap)) - e.begin());
      if (e[at] > 0.0) {
        p.levelDb = ratioDb(e[at], e[main]);
        p.beforeMs = (main - at) * 1000.0 / sampleRate;
      }
    }
    octaves.push_back(p);
  }
  return octaves;
}

std::vector<FilterEnds> filterEndsOf(const std::vector<std::vector<double>>& filter,
                                     FilterMode mode) {
  const int halves = mode == FilterMode::TwoByTwo ? 2 : 1;
  const long L = static_cast<long>(filter[0].size()) / halves;
  const long span = std::max(1L, static_cast<long>(std::ceil(kFilterEndShare * L)));
  std::vector<FilterEnds> ends;
  for (int h = 0; h < halves; ++h) {
    for (const auto& channel : filter) {
      const auto first = channel.begin() + h * L, last = first + L;
      auto largest = [](auto from, auto to) {
        double m = 0.0;
        for (auto it = from; it != to; ++it) m = std::max(m, std::fabs(*it));
        return m;
      };
      const double peak = largest(first, last);
      FilterEnds f{-INFINITY, -INFINITY};  // a silent channel ends silent
      if (peak > 0.0) {
        f.startDb = 20.0 * std::log10(largest(first, first + span) / peak);
        f.endDb = 20.0 * std::log10(largest(last - span, last) / peak);
      }
      ends.push_back(f);
    }
  }
  return ends;
}

}  // namespace orvane
