#include "host/room/impulse_response.h"

#include <algorithm>
#include <cmath>

#include "host/assess/fft_convolution.h"
#include "host/room/excitation_band.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

double dbOf(double power) { return power > 0.0 ? 10.0 * std::log10(power) : -INFINITY; }

double largestMagnitude(const std::vector<double>& x) {
  double peak = 0.0;
  for (double v : x) peak = std::max(peak, std::fabs(v));
  return peak;
}

// The samples of `x` from the first to the last whose magnitude lies within
// kActiveBelowPeakDb of its peak: [first, last).
std::pair<std::size_t, std::size_t> activeSpan(const std::vector<double>& x) {
  const double floor = largestMagnitude(x) * std::pow(10.0, -kActiveBelowPeakDb / 20.0);
  std::size_t first = 0, last = x.size();
  while (first < last && std::fabs(x[first]) < floor) ++first;
  while (last > first && std::fabs(x[last - 1]) < floor) --last;
  return {first, last};
}

// A rising sweep crosses zero more and more often (room_rules.h).
bool isRisingSweep(const std::vector<double>& x) {
  const auto [first, last] = activeSpan(x);
  const std::size_t length = (last - first) / kSweepSegments;
  if (length < 2) return false;
  std::vector<double> crossings;
  for (int s = 0; s < kSweepSegments; ++s) {
    const std::size_t from = first + s * length;
    double count = 0;
    for (std::size_t i = from + 1; i < from + length; ++i) count += x[i] * x[i - 1] < 0.0;
    crossings.push_back(count);
  }
  for (std::size_t s = 1; s < crossings.size(); ++s)
    if (crossings[s] < crossings[s - 1]) return false;
  return crossings.back() >= kSweepRiseFactor * std::max(1.0, crossings.front());
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

// Time of flight, peak to noise and, for a rising sweep, the harmonics before time zero
// (`acausal`: the samples at -1, -2, ... in that order).
void figures(const std::vector<double>& acausal, std::size_t sweepLength, ImpulseResponse* r) {
  const std::vector<double>& h = r->h;
  const double fs = r->sampleRate;
  const double peak = largestMagnitude(h);
  r->peakGainDb = 20.0 * std::log10(peak);
  const double onsetLevel = peak * std::pow(10.0, -kOnsetBelowPeakDb / 20.0);
  std::size_t onset = 0;
  while (std::fabs(h[onset]) < onsetLevel) ++onset;
  const std::size_t window = static_cast<std::size_t>(std::lround(kDirectSoundWindowMs * fs / 1000.0));
  std::size_t direct = onset;
  for (std::size_t i = onset; i <= onset + window && i < h.size(); ++i)
    if (std::fabs(h[i]) > std::fabs(h[direct])) direct = i;
  r->timeOfFlightMs = 1000.0 * static_cast<double>(direct) / fs;

  const std::size_t tail = std::max<std::size_t>(1, std::lround(kNoiseTailShare * h.size()));
  double noise = 0.0, whole = 0.0;
  for (std::size_t i = h.size() - tail; i < h.size(); ++i) noise += h[i] * h[i];
  noise /= static_cast<double>(tail);
  for (double v : h) whole += v * v;
  if (noise > 0.0) r->peakToNoiseDb = dbOf(peak * peak / noise);
  if (!r->risingSweep) return;

  const std::size_t guard = static_cast<std::size_t>(std::lround(kAcausalGuardMs * fs / 1000.0));
  const std::size_t reach = std::min(sweepLength, acausal.size());
  if (reach <= guard) return;
  double harmonics = 0.0;
  for (std::size_t m = guard; m < reach; ++m) harmonics += acausal[m] * acausal[m];
  const double noiseShare = noise * static_cast<double>(reach - guard);
  const double linear = whole - noise * static_cast<double>(h.size());
  if (linear > 0.0 && harmonics > noiseShare * std::pow(10.0, kDistortionAboveNoiseDb / 10.0))
    r->distortionDb = dbOf((harmonics - noiseShare) / linear);
}

}  // namespace

std::string measurementProblem(const ImpulseInput& in) {
  const double peak = largestMagnitude(in.excitation);
  if (!(peak > 0.0) || 20.0 * std::log10(peak) < kSilentExcitationDb) {
    return "the excitation is silent (its largest sample lies below " +
           std::to_string(static_cast<int>(kSilentExcitationDb)) + " dB re full scale)";
  }
  if (!(largestMagnitude(in.response) > 0.0)) return "the response is silent (all its samples are 0)";
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
  r.h.assign(whole.begin(), whole.begin() + static_cast<long>(length));
  std::vector<double> acausal(whole.rbegin(), whole.rbegin() + static_cast<long>(n - length));
  spectrumCurve(H, binHz, &r);
  r.risingSweep = isRisingSweep(in.excitation);
  const auto [first, last] = activeSpan(in.excitation);
  figures(acausal, last - first, &r);
  return r;
}

}  // namespace orvane
