#include "host/room/octave_filters.h"

#include <cmath>
#include <numbers>
#include <complex>

#include "host/room/room_rules.h"

namespace orvane {

namespace {

using Complex = std::complex<double>;

// An analog section K s / (s^2 + a1 s + a0) through s = c (1 - 1/z) / (1 + 1/z), c = 2 fs.
Biquad bilinear(double K, double a1, double a0, double c) {
  const double d0 = c * c + a1 * c + a0;
  return {K * c / d0, 0.0, -K * c / d0, (2.0 * a0 - 2.0 * c * c) / d0, (c * c - a1 * c + a0) / d0};
}

// The section of a conjugate pair of analog poles (p, conj p), with the gain B s.
Biquad pairSection(Complex p, double B, double c) {
  return bilinear(B, -2.0 * p.real(), std::norm(p), c);
}

}  // namespace

std::vector<OctaveBand> octaveBands() {
  static const int nominal[] = {63, 125, 250, 500, 1000, 2000, 4000, 8000};
  std::vector<OctaveBand> bands;
  for (int x = kFirstOctave; x <= kLastOctave; ++x) {
    const double mid = 1000.0 * std::pow(10.0, 0.3 * x);
    const double half = std::pow(10.0, 0.15);
    bands.push_back({nominal[x - kFirstOctave], mid, mid / half, mid * half});
  }
  return bands;
}

std::array<Biquad, 3> octaveFilter(const OctaveBand& band, double sampleRate) {
  static_assert(kOctaveFilterOrder == 3, "three sections: one real and one complex prototype pole");
  const double c = 2.0 * sampleRate;
  const double w1 = c * std::tan(std::numbers::pi * band.lowHz / sampleRate);
  const double w2 = c * std::tan(std::numbers::pi * band.highHz / sampleRate);
  const double B = w2 - w1;
  const double w0sq = w1 * w2;
  // The low-pass prototype's poles -1 and e^(+-j 2pi/3); s -> (s^2 + w0^2) / (B s) turns each
  // pole p into the roots of s^2 - p B s + w0^2.
  std::array<Biquad, 3> sections{};
  sections[0] = bilinear(B, B, w0sq, c);  // from p = -1: B s / (s^2 + B s + w0^2)
  const Complex p(-0.5, std::sqrt(3.0) / 2.0);
  const Complex root = std::sqrt(p * p * B * B - 4.0 * w0sq);
  sections[1] = pairSection((p * B + root) / 2.0, B, c);
  sections[2] = pairSection((p * B - root) / 2.0, B, c);
  return sections;
}

std::vector<double> filtered(const std::vector<double>& x, const std::array<Biquad, 3>& sections) {
  std::vector<double> y(x);
  for (const Biquad& s : sections) {
    double z1 = 0.0, z2 = 0.0;  // transposed direct form II
    for (double& v : y) {
      const double in = v;
      const double out = s.b0 * in + z1;
      z1 = s.b1 * in - s.a1 * out + z2;
      z2 = s.b2 * in - s.a2 * out;
      v = out;
    }
  }
  return y;
}

}  // namespace orvane
