#include "host/assess/filter_gain.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <tuple>

#include "host/assess/assessment_rules.h"
#include "host/assess/third_octaves.h"
#include "host/assess/fft_convolution.h"

namespace orvane {

namespace {

using Signal = std::vector<double>;

// The drawings' grid of the filter's gain: points a twelfth of an octave apart from 10 Hz.
constexpr double kGainGridPerOctave = 12.0;
constexpr double kGainGridFromHz = 10.0;

// The largest of a curve of powers over bins 0 ... n/2, in dB and Hz, refined by the parabola
// through the largest bin and its two neighbours.
std::pair<double, double> peakOf(const std::vector<double>& power, double binHz) {
  const std::size_t k =
      static_cast<std::size_t>(std::max_element(power.begin(), power.end()) - power.begin());
  double db = powerDb(power[k]), at = static_cast<double>(k);
  if (k > 0 && k + 1 < power.size() && power[k - 1] > 0.0 && power[k + 1] > 0.0) {
    const double below = powerDb(power[k - 1]), above = powerDb(power[k + 1]);
    const double curvature = below - 2.0 * db + above;
    if (curvature < 0.0) {
      const double shift = 0.5 * (below - above) / curvature;
      db -= 0.25 * (below - above) * shift;
      at += shift;
    }
  }
  return {db, at * binHz};
}

Signal half(const Signal& s, int which, std::size_t length) {
  return Signal(s.begin() + which * static_cast<long>(length),
                s.begin() + (which + 1) * static_cast<long>(length));
}

}  // namespace

FilterGain filterGainOf(const std::vector<std::vector<double>>& filter, FilterMode mode,
                        int sampleRate, double bandLowHz, double bandHighHz) {
  const bool network = mode == FilterMode::Stereo || mode == FilterMode::TwoByTwo;
  const std::size_t L = filter[0].size() / (mode == FilterMode::TwoByTwo ? 2 : 1);
  const std::size_t n =
      std::min(transformLengthFor(std::max(L * static_cast<std::size_t>(kGainOversampling),
                                           static_cast<std::size_t>(sampleRate))),
               static_cast<std::size_t>(maxAssessmentTransform()));
  const double binHz = static_cast<double>(sampleRate) / static_cast<double>(n);
  auto spectrum = [&](const Signal& s) { return realSpectrum(s.data(), s.size(), n); };

  // The filter channels in file order (2x2: LL, LR, RL, RR) and the network's F[input][speaker].
  std::vector<Spectrum> channels;
  if (mode == FilterMode::TwoByTwo) {
    for (int input = 0; input < 2; ++input)
      for (int spk = 0; spk < 2; ++spk) channels.push_back(spectrum(half(filter[spk], input, L)));
  } else {
    for (const Signal& s : filter) channels.push_back(spectrum(s));
  }
  const std::size_t bins = n / 2 + 1;
  std::vector<std::vector<double>> channelPower;
  for (const Spectrum& F : channels) {
    std::vector<double> p(bins);
    for (std::size_t k = 0; k < bins; ++k) p[k] = std::norm(F[k]);
    channelPower.push_back(std::move(p));
  }

  FilterGain g;
  // What each loudspeaker feed and the whole filter can gain, as powers per bin.
  std::vector<std::vector<double>> feeds;
  std::vector<double> whole(bins, 0.0);
  if (network) {
    const Spectrum* F[2][2];  // [input][speaker]
    const bool stereo = mode == FilterMode::Stereo;
    F[0][0] = &channels[0];
    F[0][1] = &channels[1];
    F[1][0] = stereo ? &channels[1] : &channels[2];
    F[1][1] = stereo ? &channels[0] : &channels[3];
    feeds.assign(2, std::vector<double>(bins));
    for (std::size_t k = 0; k < bins; ++k) {
      // A feed with both inputs at full scale and in the worst phase: |F0s| + |F1s|.
      for (int spk = 0; spk < 2; ++spk) {
        const double a = std::abs((*F[0][spk])[k]) + std::abs((*F[1][spk])[k]);
        feeds[spk][k] = a * a;
      }
      // The largest singular value of the 2x2 matrix: the most an input of unit total level
      // gains, sigma^2 = (|F|^2 + sqrt(|F|^4 - 4 |det F|^2)) / 2 with |F| the Frobenius norm.
      double frobenius = 0.0;
      for (int i = 0; i < 2; ++i)
        for (int s = 0; s < 2; ++s) frobenius += std::norm((*F[i][s])[k]);
      const double det = std::norm((*F[0][0])[k] * (*F[1][1])[k] - (*F[0][1])[k] * (*F[1][0])[k]);
      whole[k] = 0.5 * (frobenius + std::sqrt(std::max(0.0, frobenius * frobenius - 4.0 * det)));
    }
  } else {
    feeds = channelPower;
    for (const auto& p : channelPower)
      for (std::size_t k = 0; k < bins; ++k) whole[k] = std::max(whole[k], p[k]);
  }
  std::tie(g.maxDb, g.maxHz) = peakOf(whole, binHz);
  for (const auto& f : feeds) g.feedsDb.push_back(peakOf(f, binHz).first);

  auto nearest = [&](double hz) {
    return std::min(bins - 1, static_cast<std::size_t>(std::llround(hz / binHz)));
  };
  const std::size_t edges[2] = {nearest(bandLowHz), nearest(bandHighHz)};
  g.atBandEdgesDb[0] = g.atBandEdgesDb[1] = -std::numeric_limits<double>::infinity();
  const double step = std::pow(2.0, 1.0 / kGainGridPerOctave);
  for (double hz = kGainGridFromHz; hz <= (bins - 1) * binHz * (1 + 1e-12); hz *= step)
    g.gridHz.push_back(hz);
  for (const auto& p : channelPower) {
    for (int e = 0; e < 2; ++e)
      g.atBandEdgesDb[e] = std::max(g.atBandEdgesDb[e], powerDb(p[edges[e]]));
    // Each point the largest bin of its span, so that a peak between points is drawn whole.
    std::vector<double> curve;
    for (double hz : g.gridHz) {
      const std::size_t last = nearest(hz * std::sqrt(step));
      double most = 0.0;
      for (std::size_t k = nearest(hz / std::sqrt(step)); k <= last; ++k)
        most = std::max(most, p[k]);
      curve.push_back(powerDb(most));
    }
    g.channelDb.push_back(std::move(curve));
  }
  return g;
}

}  // namespace orvane
