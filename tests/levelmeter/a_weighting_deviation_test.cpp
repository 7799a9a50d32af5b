// The A-weighting as built (first-order sections, gain 1/0.858) against the IEC 61672-1 nominal
// A curve, through steady tones at the two common sample rates. The deviations are pinned so
// that any change to the weighting is deliberate; the README quotes them.
#include "levelmeter/filters.h"

#include <gtest/gtest.h>

#include <math.h>

#include <vector>

namespace {

// What the deviation may move by before the pinned value no longer describes the filter (dB).
constexpr double kPinnedToleranceDb = 0.02;

// IEC 61672-1 nominal A-weighting at f Hz, dB (its analytic form, 0.00 dB at 1 kHz).
double nominalADb(double f) {
  const double f1 = 20.598997, f2 = 107.65265, f3 = 737.86223, f4 = 12194.217;
  const double f2sq = f * f;
  const double ra =
      f4 * f4 * f2sq * f2sq /
      ((f2sq + f1 * f1) * sqrt((f2sq + f2 * f2) * (f2sq + f3 * f3)) * (f2sq + f4 * f4));
  return 20.0 * log10(ra) + 2.0;
}

// Level change of a steady tone through the A-weighting, dB, over its last two seconds after one
// second to settle.
double measuredADb(double f, long rate) {
  const long settle = rate, window = 2 * rate, n = settle + window;
  std::vector<float> x(n);
  for (long i = 0; i < n; ++i) x[i] = (float)(0.5 * sin(2.0 * M_PI * f * i / rate));
  std::vector<float> y = x;
  aWeighting(y.data(), n, rate);
  double in = 0.0, out = 0.0;
  for (long i = settle; i < n; ++i) {
    in += (double)x[i] * x[i];
    out += (double)y[i] * y[i];
  }
  return 10.0 * log10(out / in);
}

struct Deviation {
  double frequency;  // Hz
  double at44100;    // measured minus nominal, dB
  double at48000;
};

TEST(AWeighting, DeviatesFromTheNominalCurveByThePinnedAmounts) {
  const Deviation pinned[] = {
      {31.5, -0.13, -0.17}, {63, -0.13, -0.17},   {125, -0.13, -0.17},  {250, -0.13, -0.17},
      {500, -0.12, -0.17},  {1000, -0.11, -0.16}, {2000, -0.07, -0.13}, {4000, 0.08, 0.01},
      {8000, 0.70, 0.54},   {12500, 1.89, 1.57},  {16000, 3.20, 2.70},  {20000, 5.13, 4.37},
  };
  for (const Deviation& d : pinned) {
    SCOPED_TRACE(testing::Message() << d.frequency << " Hz");
    EXPECT_NEAR(measuredADb(d.frequency, 44100) - nominalADb(d.frequency), d.at44100,
                kPinnedToleranceDb);
    EXPECT_NEAR(measuredADb(d.frequency, 48000) - nominalADb(d.frequency), d.at48000,
                kPinnedToleranceDb);
  }
}

}  // namespace
