// The channel conditioning: mean removal, the three weightings and their sections.
#include "levelmeter/filters.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <vector>

namespace {

constexpr long kFilterRate = 48000;

std::vector<float> sine(double frequency, double amplitude, long n) {
  std::vector<float> s(n);
  for (long i = 0; i < n; ++i)
    s[i] = (float)(amplitude * sin(2.0 * M_PI * frequency * i / kFilterRate));
  return s;
}

double meanSquare(const float* x, long n) {
  double sum = 0.0;
  for (long i = 0; i < n; ++i) sum += (double)x[i] * x[i];
  return sum / n;
}

// Level change (dB) of a steady sine through a weighting, measured over the last whole periods
// (at least two seconds) of a signal that has had `settle` seconds to lose its start-up transient.
double steadyGainDb(char code, double frequency, double settle) {
  const double periods = ceil(2.0 * frequency);
  const long window = lround(periods * kFilterRate / frequency);
  const long n = lround(settle * kFilterRate) + window;
  std::vector<float> input = sine(frequency, 0.5, n);
  std::vector<float> output = input;
  applyWeighting(code, output.data(), n, kFilterRate);
  const long from = n - window;
  return 10.0 * log10(meanSquare(&output[from], window) / meanSquare(&input[from], window));
}

struct SteadySine {
  char code;
  double frequency;
  double gainDb;
};

TEST(Weighting, SteadySinesAt48kHzChangeLevelAsTheWeightingsDefine) {
  const SteadySine cases[] = {
      {'A', 31.5, -39.7}, {'A', 125, -16.4},  {'A', 1000, -0.2},   {'A', 2000, 1.1},
      {'A', 8000, -0.6},  {'A', 16000, -4.0}, {'B', 63, -19.0},    {'B', 125, -1.1},
      {'B', 1000, 0.0},   {'B', 8000, -5.9},  {'B', 16000, -51.2}, {'W', 1, -2.8},
      {'W', 2, -0.3},     {'W', 8, -3.4},     {'W', 63, -22.3},
  };
  for (const SteadySine& c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " at " << c.frequency << " Hz");
    // The whole-body high-passes at 0.79 Hz need seconds to settle; the others milliseconds.
    const double settle = c.code == 'W' ? 6.0 : 1.0;
    EXPECT_NEAR(steadyGainDb(c.code, c.frequency, settle), c.gainDb, 0.1);
  }
}

TEST(Weighting, UnitImpulseGivesTheWorkedFirstSample) {
  const float fs = (float)kFilterRate;
  std::vector<float> impulse(16, 0.0f);
  impulse[0] = 1.0f;

  std::vector<float> a = impulse;
  aWeighting(a.data(), (long)a.size(), kFilterRate);
  const double a4 = 1.0 - exp(-76654.86074759095 / fs);
  EXPECT_FLOAT_EQ(a[0], (float)(1.1655011655011656 * a4 * a4));

  std::vector<float> w = impulse;
  wholeBodyWeighting(w.data(), (long)w.size(), kFilterRate);
  const double b2 = 1.0 - exp(-35.71362528600877 / fs);
  const double b3 = 1.0 - exp(-628.3185307179587 / fs);
  EXPECT_FLOAT_EQ(w[0], (float)(1.19 * b2 * b3 * b3));
}

// Every operation with n <= 0 must leave the array alone.
TEST(Weighting, EmptyOrNegativeLengthLeavesTheSignalUntouched) {
  const std::vector<float> original = {0.25f, -0.5f, 0.125f, 1.0f};
  for (long n : {0L, -1L}) {
    SCOPED_TRACE(n);
    std::vector<float> s = original;
    removeMean(s.data(), n);
    for (char code : {'A', 'B', 'W', 'L'}) applyWeighting(code, s.data(), n, kFilterRate);
    secondOrderSection(s.data(), n, 0.3, 0.1, 0.2, -2.0, 1.0);
    highPassSection(110.0f, 0.7f, s.data(), kFilterRate, n);
    lowPassSection(6500.0f, 0.8f, s.data(), kFilterRate, n);
    bandPassSection(1100.0f, 0.11f, s.data(), kFilterRate, n);
    applyGainDb(-0.15f, s.data(), n);
    EXPECT_EQ(s, original);
  }
}

// One sample: a section yields y[0] = 2 alpha x[0] and writes nothing past the array.
TEST(Weighting, OneSampleThroughASectionIsTwiceAlphaTimesTheSample) {
  std::vector<float> s = {0.75f, 123.0f};
  secondOrderSection(s.data(), 1, 0.3, 0.1, 0.2, -2.0, 1.0);
  EXPECT_EQ(s[0], (float)(2.0 * 0.3 * 0.75f));
  EXPECT_EQ(s[1], 123.0f);

  // The high-pass design at 110 Hz, q 0.7: alpha = (0.5 + beta + gamma) / 4.
  const double theta = 6.283185307179586 * 110.0 / 48000.0;
  const double k = tan(theta / (2.0 * 0.7f));
  const double beta = 0.5 * (1.0 - k) / (1.0 + k);
  const double gamma = (0.5 + beta) * cos(theta);
  const double alpha = (0.5 + beta + gamma) / 4.0;
  s = {0.75f, 123.0f};
  highPassSection(110.0f, 0.7f, s.data(), kFilterRate, 1);
  EXPECT_FLOAT_EQ(s[0], (float)(2.0 * alpha * 0.75));
  EXPECT_EQ(s[1], 123.0f);
}

// The recursion feeds back the outputs as stored floats, the inputs exactly.
TEST(Weighting, SectionFeedsBackStoredOutputsAndExactInputs) {
  const double alpha = 0.0123456789, beta = 0.3987654321, gamma = 0.7654321987;
  const double d = -2.0, e = 1.0;
  std::vector<float> x = sine(700.0, 0.8, 2000);
  std::vector<float> y = x;
  secondOrderSection(y.data(), (long)y.size(), alpha, beta, gamma, d, e);

  std::vector<float> expected(x.size());
  std::vector<double> unrounded(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const double x1 = i >= 1 ? x[i - 1] : 0.0, x2 = i >= 2 ? x[i - 2] : 0.0;
    const double y1 = i >= 1 ? expected[i - 1] : 0.0, y2 = i >= 2 ? expected[i - 2] : 0.0;
    expected[i] = (float)(2.0 * (alpha * (x[i] + d * x1 + e * x2) + gamma * y1 - beta * y2));
    const double u1 = i >= 1 ? unrounded[i - 1] : 0.0, u2 = i >= 2 ? unrounded[i - 2] : 0.0;
    unrounded[i] = 2.0 * (alpha * (x[i] + d * x1 + e * x2) + gamma * u1 - beta * u2);
  }
  EXPECT_EQ(y, expected);
  // The distinction is observable: feeding back unrounded outputs drifts off the floats.
  long differing = 0;
  for (size_t i = 0; i < x.size(); ++i) differing += (float)unrounded[i] != expected[i];
  EXPECT_GT(differing, 0);
}

TEST(Weighting, RemoveMeanSubtractsTheArithmeticMean) {
  std::vector<float> s = {1.0f, 2.0f, 3.0f, 6.0f};
  removeMean(s.data(), 4);
  EXPECT_EQ(s, (std::vector<float>{-2.0f, -1.0f, 0.0f, 3.0f}));
}

TEST(Weighting, ConstantSignalBecomesZerosThroughEveryWeighting) {
  for (char code : {'L', 'A', 'B', 'W'}) {
    SCOPED_TRACE(code);
    std::vector<float> s(4800, 0.3f);
    removeMean(s.data(), (long)s.size());
    applyWeighting(code, s.data(), (long)s.size(), kFilterRate);
    for (float v : s) ASSERT_LT(fabs(v), 1e-9);
  }
}

TEST(Weighting, WideBandAndUnknownCodesPassTheSignalUnchanged) {
  const std::vector<float> original = sine(440.0, 0.5, 1000);
  for (char code : {'L', 'x', 'a', '\0'}) {
    SCOPED_TRACE((int)code);
    std::vector<float> s = original;
    applyWeighting(code, s.data(), (long)s.size(), kFilterRate);
    EXPECT_EQ(s, original);
  }
}

TEST(Weighting, FilteringTwiceGivesIdenticalOutput) {
  std::vector<float> original = sine(97.0, 0.4, 20000);
  for (size_t i = 0; i < original.size(); i += 7) original[i] += 0.25f;  // broadband content
  for (char code : {'A', 'B', 'W'}) {
    SCOPED_TRACE(code);
    std::vector<float> first = original, second = original;
    applyWeighting(code, first.data(), (long)first.size(), kFilterRate);
    applyWeighting(code, second.data(), (long)second.size(), kFilterRate);
    EXPECT_EQ(memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
    EXPECT_NE(first, original);
  }
}

TEST(Weighting, GainIsAppliedAsAFloatFactor) {
  std::vector<float> s = {1.0f, -2.0f, 0.5f};
  applyGainDb(-0.15f, s.data(), 3);
  const float factor = (float)pow(10.0, -0.15f * 0.05);
  EXPECT_NEAR(factor, 0.982879, 1e-6);
  EXPECT_EQ(s, (std::vector<float>{factor, -2.0f * factor, 0.5f * factor}));
}

}  // namespace

namespace {

// The band-pass runs its stages in one pass; every output bit must be that of the stages run
// one after the other over the whole array.
TEST(Weighting, BandPassInOnePassEqualsItsStagesOneAfterTheOther) {
  for (long rate : {8000L, 44100L, 48000L, 96000L}) {
    std::vector<float> x(20000);
    unsigned r = 12345;
    for (float& v : x) {
      r = r * 1664525u + 1013904223u;
      v = (float)((int)(r >> 8) - (1 << 23)) / (1 << 23);
    }
    std::vector<float> stages = x;
    highPassSection(110.0f, 0.7f, stages.data(), rate, (long)stages.size());
    highPassSection(90.0f, 1.5f, stages.data(), rate, (long)stages.size());
    lowPassSection(6500.0f, 0.8f, stages.data(), rate, (long)stages.size());
    lowPassSection(7500.0f, 1.8f, stages.data(), rate, (long)stages.size());
    bandPassSection(1100.0f, 0.11f, stages.data(), rate, (long)stages.size());
    applyGainDb(-0.15f, stages.data(), (long)stages.size());
    ituBandPass(x.data(), (long)x.size(), rate);
    EXPECT_EQ(memcmp(x.data(), stages.data(), x.size() * sizeof(float)), 0) << rate;
  }
}

}  // namespace
