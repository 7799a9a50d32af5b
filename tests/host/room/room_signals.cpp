#include "room_signals.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>

#include "host/assess/fft_convolution.h"

namespace roomtest {

namespace {

using orvane::inverseRealSpectrum;
using orvane::realSpectrum;
using orvane::transformLengthFor;

double rms(const std::vector<double>& x) {
  double s = 0.0;
  for (double v : x) s += v * v;
  return std::sqrt(s / x.size());
}

// The share of a frequency (octaves re 1 kHz) below an edge between two bands: handed over by
// a raised cosine within an eighth of an octave each way.
double belowEdge(double octave, double edge) {
  const double x = std::clamp((octave - edge) / 0.25 + 0.5, 0.0, 1.0);
  return std::pow(std::cos(M_PI * x / 2.0), 2);
}

}  // namespace

std::vector<double> trueRoom(const std::vector<double>& decayS, double lengthS) {
  const std::size_t n = static_cast<std::size_t>(lengthS * kRate), N = transformLengthFor(n);
  std::vector<double> h(n, 0.0);
  const double direct = 0.25;
  const double reflections[][2] = {{0.0073, -0.5}, {0.0098, 0.4}, {0.0131, -0.3}};
  h[static_cast<std::size_t>(kDelayS * kRate)] = direct;
  for (const auto& r : reflections) h[static_cast<std::size_t>(r[0] * kRate)] += direct * r[1];
  std::mt19937 random(30);
  std::normal_distribution<double> normal;
  std::vector<double> white(N);
  for (double& v : white) v = normal(random);
  const orvane::Spectrum W = realSpectrum(white.data(), N, N);
  // Bands 31.5 Hz ... 16 kHz, the outer ones decaying as their neighbours.
  std::vector<double> octaves, times;
  for (int b = -1; b <= 8; ++b) {
    octaves.push_back(0.3 * (b - 4) / std::log10(2.0));
    times.push_back(decayS[std::clamp(b, 0, 7)]);
  }
  const double start = kDelayS + 0.003;
  for (std::size_t b = 0; b < octaves.size(); ++b) {
    orvane::Spectrum part(W.size());
    for (std::size_t k = 1; k < W.size(); ++k) {
      const double octave = std::log2(k * double(kRate) / N / 1000.0);
      double w =
          b + 1 < octaves.size() ? belowEdge(octave, (octaves[b] + octaves[b + 1]) / 2) : 1.0;
      if (b > 0) w *= 1.0 - belowEdge(octave, (octaves[b - 1] + octaves[b]) / 2);
      part[k] = W[k] * w;
    }
    const std::vector<double> tail = inverseRealSpectrum(part, N, n);
    for (std::size_t i = 0; i < n; ++i) {
      const double t = double(i) / kRate - start;
      if (t > 0.0)
        h[i] += direct * 0.05 * tail[i] * std::min(1.0, t / 0.004) *
                std::pow(10.0, -3.0 * t / times[b]);
    }
  }
  return h;
}

std::vector<double> sweep(double soundS, double silenceS) {
  const std::size_t n = static_cast<std::size_t>(soundS * kRate), fade = kRate / 200;
  std::vector<double> x(n + static_cast<std::size_t>(silenceS * kRate), 0.0);
  const double rate = soundS / std::log(1000.0);
  for (std::size_t i = 0; i < n; ++i) {
    const double ramp = std::min({1.0, double(i) / fade, double(n - 1 - i) / fade});
    x[i] = 0.5 * ramp * std::sin(2 * M_PI * 20.0 * rate * (std::exp(double(i) / kRate / rate) - 1));
  }
  return x;
}

std::vector<double> noise(double soundS, double silenceS) {
  std::mt19937 random(7);
  std::normal_distribution<double> normal(0.0, 0.5 / std::sqrt(2.0));
  std::vector<double> x(static_cast<std::size_t>((soundS + silenceS) * kRate), 0.0);
  for (std::size_t i = 0; i < static_cast<std::size_t>(soundS * kRate); ++i) x[i] = normal(random);
  return x;
}

std::vector<double> recorded(const std::vector<double>& x, const std::vector<double>& room) {
  const std::size_t n = x.size(), N = transformLengthFor(n);
  // Up to twice the rate (the transform over 2N points halves what it samples), the
  // loudspeaker's powers, and back, the bins above half the rate left out (the transform over
  // N points doubles).
  orvane::Spectrum fine(N + 1);
  const orvane::Spectrum X = realSpectrum(x.data(), n, N);
  std::copy(X.begin(), X.end(), fine.begin());
  std::vector<double> driven = inverseRealSpectrum(fine, 2 * N, 2 * N);
  for (double& v : driven) {
    const double u = 2.0 * v;
    v = u + 0.02 * u * u + 0.01 * u * u * u;
  }
  const orvane::Spectrum D = realSpectrum(driven.data(), 2 * N, 2 * N);
  std::vector<double> speaker =
      inverseRealSpectrum(orvane::Spectrum(D.begin(), D.begin() + N / 2 + 1), N, n);
  for (double& v : speaker) v *= 0.5;
  const std::size_t M = transformLengthFor(n + room.size());
  std::vector<double> y =
      inverseRealSpectrum(orvane::multiplySpectra(realSpectrum(speaker.data(), n, M),
                                                  realSpectrum(room.data(), room.size(), M)),
                          M, n);
  std::mt19937 random(11);
  std::normal_distribution<double> normal(0.0, rms(x) * 1e-4);
  for (double& v : y) v += normal(random);
  return y;
}

std::vector<double> bandLimited(const std::vector<double>& h, double lowHz, double highHz) {
  const std::size_t N = transformLengthFor(2 * h.size());
  orvane::Spectrum H = realSpectrum(h.data(), h.size(), N);
  for (std::size_t k = 0; k < H.size(); ++k) {
    const double f = double(k) * kRate / N;
    if (f < lowHz || f > highHz) H[k] = 0.0;
  }
  return inverseRealSpectrum(H, N, h.size());
}

Reference schroeder(const std::vector<double>& h, double midbandHz) {
  // The analog order-3 Butterworth band-pass between the IEC edges: s -> (s^2 + w0^2) / (B s)
  // in each low-pass pole's -p / (S - p).
  const double w1 = 2 * M_PI * midbandHz * std::pow(10.0, -0.15);
  const double w2 = 2 * M_PI * midbandHz * std::pow(10.0, 0.15);
  const std::complex<double> poles[] = {-1.0, std::polar(1.0, 2 * M_PI / 3),
                                        std::polar(1.0, -2 * M_PI / 3)};
  const std::size_t N = transformLengthFor(2 * h.size());
  orvane::Spectrum H = realSpectrum(h.data(), h.size(), N);
  for (std::size_t k = 0; k < H.size(); ++k) {
    const std::complex<double> s(0.0, 2 * M_PI * k * double(kRate) / N);
    const std::complex<double> S =
        k == 0 ? std::complex<double>(1e300) : (s * s + w1 * w2) / ((w2 - w1) * s);
    for (const auto& p : poles) H[k] *= -p / (S - p);
  }
  const std::vector<double> band = inverseRealSpectrum(H, N, h.size());
  std::vector<double> e;
  double peak = 0.0;
  for (double v : band) peak = std::max(peak, v * v);
  std::size_t onset = 0;
  while (band[onset] * band[onset] < peak / 100.0) ++onset;
  for (std::size_t i = onset; i < band.size(); ++i) e.push_back(band[i] * band[i]);
  std::vector<double> S(e.size() + 1, 0.0);
  for (std::size_t i = e.size(); i-- > 0;) S[i] = S[i + 1] + e[i];
  auto decay = [&](double top, double bottom) {
    std::size_t i = 0;
    while (10 * std::log10(S[i] / S[0]) > top) ++i;
    double n = 0, st = 0, sl = 0, stt = 0, stl = 0;
    for (; 10 * std::log10(S[i] / S[0]) > bottom; ++i) {
      const double t = double(i) / kRate, l = 10 * std::log10(S[i] / S[0]);
      n += 1, st += t, sl += l, stt += t * t, stl += t * l;
    }
    return -60.0 / ((n * stl - st * sl) / (n * stt - st * st));
  };
  auto clarity = [&](double ms) {
    const double late = S[static_cast<std::size_t>(ms / 1000 * kRate)];
    return 10 * std::log10((S[0] - late) / late);
  };
  return {decay(0, -10), decay(-5, -25), decay(-5, -35), clarity(50), clarity(80)};
}

const SweepMeasurement& sweepMeasurement() {
  static const SweepMeasurement made = [] {
    SweepMeasurement m;
    m.room = trueRoom({0.5, 0.45, 0.42, 0.4, 0.38, 0.35, 0.3, 0.25}, 0.8);
    orvane::ImpulseInput in;
    in.excitation = sweep(1.0, 0.8);
    in.response = recorded(in.excitation, m.room);
    in.sampleRate = kRate;
    m.measured = orvane::deconvolve(in, "sweep");
    return m;
  }();
  return made;
}

}  // namespace roomtest
