#include "host/room/impulse_response.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <complex>

#include "host/assess/fft_convolution.h"
#include "host/room/excitation.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

double dbOf(double power) { return power > 0.0 ? 10.0 * std::log10(power) : -INFINITY; }

double largestMagnitude(const std::vector<double>& x) {
  double peak = 0.0;
  for (double v : x) peak = std::max(peak, std::fabs(v));
  return peak;
}

// The mean square of the last kNoiseTailShare of `h[0, length)`.
double tailNoise(const std::vector<double>& h, std::size_t length) {
  const std::size_t tail = std::max<std::size_t>(1, std::lround(kNoiseTailShare * length));
  double sum = 0.0;
  for (std::size_t i = length - tail; i < length; ++i) sum += h[i] * h[i];
  return sum / static_cast<double>(tail);
}

// |H|^2 in bands kSpectrumStepOctaves wide from 10 Hz up (the nearest bin where a band holds
// none).
void spectrumCurve(const Spectrum& H, double binHz, ImpulseResponse* r) {
  const std::size_t last = H.size() - 1;
  const double half = std::pow(2.0, kSpectrumStepOctaves / 2.0);
  for (double f = 10.0; f <= static_cast<double>(last) * binHz; f *= half * half) {
    std::size_t lo = static_cast<std::size_t>(std::ceil(f / half / binHz));
    std::size_t hi = std::min(last, static_cast<std::size_t>(f * half / binHz));
    if (lo > hi) lo = hi = std::min(last, static_cast<std::size_t>(std::lround(f / binHz)));
    double sum = 0.0;
    for (std::size_t k = lo; k <= hi; ++k) sum += std::norm(H[k]);
    r->spectrumHz.push_back(f);
    r->spectrumDb.push_back(dbOf(sum / static_cast<double>(hi - lo + 1)));
  }
}

// The direct sound: the largest |h| within kDirectSoundWindowMs of where the response first
// rises to within kOnsetBelowPeakDb of its peak.
void directSound(ImpulseResponse* r) {
  const std::vector<double>& h = r->h;
  const double peak = largestMagnitude(h);
  r->peakGainDb = 20.0 * std::log10(peak);
  const double onsetLevel = peak * std::pow(10.0, -kOnsetBelowPeakDb / 20.0);
  std::size_t onset = 0;
  while (std::fabs(h[onset]) < onsetLevel) ++onset;
  const std::size_t window =
      static_cast<std::size_t>(std::lround(kDirectSoundWindowMs * r->sampleRate / 1000.0));
  std::size_t direct = onset;
  for (std::size_t i = onset; i <= onset + window && i < h.size(); ++i)
    if (std::fabs(h[i]) > std::fabs(h[direct])) direct = i;
  r->timeOfFlightMs = 1000.0 * static_cast<double>(direct) / r->sampleRate;
}

// The harmonics of a rising sweep, compared with the linear response where they can be told
// apart from what else lands before time zero: from twice the sweep's first frequency, through
// a causal high-pass (which spreads nothing of the linear response before time zero), so that
// the energy below, of a sweep's start and a loudspeaker's subsonic products, is left out; and
// under its last frequency, above which harmonics would be divided by an excitation that holds
// nothing there. `length` samples of the whole `n` are causal, `kept` of them whole; the
// harmonics are sought up to `reach` samples before time zero.
std::optional<double> harmonicDistortion(const Spectrum& H, double binHz, const SweepFacts& sweep,
                                         std::size_t n, std::size_t length, std::size_t kept,
                                         std::size_t reach, double sampleRate) {
  const double cornerHz = std::max(binHz, kDistortionHighPassRatio * sweep.startHz);
  const BandEdges below = {0.0, sweep.endHz * std::pow(2.0, -kBandTransitionOctaves)};
  // A Butterworth high-pass: s / (s - p) for each pole p of the low-pass prototype.
  std::vector<std::complex<double>> poles;
  for (int i = 0; i < kDistortionHighPassOrder; ++i) {
    poles.push_back(std::polar(1.0, std::numbers::pi * (2.0 * i + kDistortionHighPassOrder + 1) /
                                        (2.0 * kDistortionHighPassOrder)));
  }
  Spectrum G(H.size());
  for (std::size_t k = 1; k < H.size(); ++k) {
    const std::complex<double> s(0.0, static_cast<double>(k) * binHz / cornerHz);
    std::complex<double> gain = bandWeight(static_cast<double>(k) * binHz, below);
    for (const std::complex<double>& p : poles) gain *= s * std::conj(s - p) / std::norm(s - p);
    G[k] = H[k] * gain;
  }
  const std::vector<double> g = inverseRealSpectrum(G, n, n);
  const std::size_t guard = std::max<std::size_t>(
      1, static_cast<std::size_t>(std::lround(kAcausalGuardMs * sampleRate / 1000.0)));
  reach = std::min(reach, n - length);
  if (reach <= guard) return std::nullopt;
  double harmonics = 0.0, linear = 0.0;
  for (std::size_t m = guard; m < reach; ++m) harmonics += g[n - m] * g[n - m];
  for (std::size_t i = 0; i < kept; ++i) linear += g[i] * g[i];
  const double noise = tailNoise(g, kept);
  const double noiseShare = noise * static_cast<double>(reach - guard);
  linear -= noise * static_cast<double>(kept);
  if (!(linear > 0.0) || harmonics <= noiseShare * std::pow(10.0, kDistortionAboveNoiseDb / 10.0))
    return std::nullopt;
  return dbOf((harmonics - noiseShare) / linear);
}

}  // namespace

std::string measurementProblem(const ImpulseInput& in) {
  const double peak = largestMagnitude(in.excitation);
  if (!(peak > 0.0) || 20.0 * std::log10(peak) < kSilentExcitationDb) {
    return "the excitation is silent (its largest sample lies below " +
           std::to_string(static_cast<int>(kSilentExcitationDb)) + " dB re full scale)";
  }
  if (!(largestMagnitude(in.response) > 0.0))
    return "the response is silent (all its samples are 0)";
  return "";
}

ImpulseResponse deconvolve(const ImpulseInput& in, const std::string& name) {
  ImpulseResponse r;
  r.name = name;
  r.sampleRate = in.sampleRate;
  const std::size_t length = in.excitation.size();
  // Twice the recording at least: the response to the whole excitation and what lands before
  // time zero both fit without wrapping around.
  const std::size_t n = transformLengthFor(2 * length);
  const double binHz = in.sampleRate / static_cast<double>(n);
  const Spectrum X = realSpectrum(in.excitation.data(), length, n);
  const Spectrum Y = realSpectrum(in.response.data(), length, n);
  std::vector<double> power(X.size());
  for (std::size_t k = 0; k < X.size(); ++k) power[k] = std::norm(X[k]);
  const std::vector<double> smoothed = smoothedPower(power, kBandSmoothingOctaves);
  BandEdges band = excitationBand(smoothed, binHz);
  if (in.bandLowHz && in.bandHighHz) {
    band = {*in.bandLowHz, *in.bandHighHz};
    r.bandGiven = true;
  }
  r.bandLowHz = band.lowHz;
  r.bandHighHz = band.highHz;

  const double largest = *std::max_element(smoothed.begin() + 1, smoothed.end());
  const double inBand = largest * std::pow(10.0, kInBandRegularisationDb / 10.0);
  const double outBand = largest * std::pow(10.0, kOutBandRegularisationDb / 10.0);
  Spectrum H(X.size());
  for (std::size_t k = 0; k < X.size(); ++k) {
    const double w = bandWeight(static_cast<double>(k) * binHz, band);
    if (w == 0.0) continue;
    const double regularisation = inBand * w + outBand * (1.0 - w);
    H[k] = w * Y[k] * std::conj(X[k]) / (power[k] + regularisation);
  }
  const std::vector<double> whole = inverseRealSpectrum(H, n, n);
  // The recording holds the response whole up to the lag at which the response to the
  // excitation's last sound ends with it; an excitation sounding into its last part leaves the
  // whole length.
  const ActiveSpan span = activeSpan(in.excitation);
  std::size_t kept = length - span.last;
  if (static_cast<double>(kept) < kWholeAfterShare * static_cast<double>(length)) kept = length;
  r.h.assign(whole.begin(), whole.begin() + static_cast<long>(kept));
  spectrumCurve(H, binHz, &r);
  directSound(&r);
  const double noise = tailNoise(r.h, kept);
  if (noise > 0.0) r.peakToNoiseDb = dbOf(std::pow(10.0, r.peakGainDb / 10.0) / noise);
  const SweepFacts sweep = sweepFacts(in.excitation, in.sampleRate);
  r.risingSweep = sweep.rising;
  if (sweep.rising) {
    r.distortionDb =
        harmonicDistortion(H, binHz, sweep, n, length, kept, span.last - span.first, in.sampleRate);
  }
  return r;
}

}  // namespace orvane
