// Band edges and the regularised inversions.
#include "inversefilter/kirkeby.h"

#include <math.h>

#include <vector>

#include "designer_test_support.h"

namespace {

TEST(BandEdges, DefaultSettingsAt8192PointsAnd48kHz) {
  // 8192 * 80 * 2^(-0.165) / 48000 = 12.18 and so on, truncated.
  const BandEdgeBins e = BandEdges(8192, 80, 16000, 0.33f, 48000);
  EXPECT_EQ(e.kL1, 12);
  EXPECT_EQ(e.kL2, 15);
  EXPECT_EQ(e.kH1, 2435);
  EXPECT_EQ(e.kH2, 3061);
}

TEST(BandEdges, ZeroTransitionWidthGivesNoTransitionBins) {
  const BandEdgeBins e = BandEdges(8192, 80, 16000, 0.0, 48000);
  EXPECT_EQ(e.kL1, e.kL2);
  EXPECT_EQ(e.kH1, e.kH2);
  EXPECT_EQ(e.kL1, 13);    // 13.65
  EXPECT_EQ(e.kH1, 2730);  // 2730.67
}

TEST(BandEdges, EveryEdgeStaysInsideBins1ToHalfMinus1) {
  // A lower cut near fs/2 with a two-octave transition: kL2 would be 853 on a 512-bin grid.
  BandEdgeBins e = BandEdges(1024, 20000, 23000, 2.0, 48000);
  EXPECT_EQ(e.kL1, 213);
  EXPECT_EQ(e.kL2, 511);
  EXPECT_EQ(e.kH1, 245);  // 245.33
  EXPECT_EQ(e.kH2, 511);
  // Below one bin spacing, and edges that are not numbers.
  e = BandEdges(1024, 10, 0, 0.33, 48000);
  EXPECT_EQ(e.kL1, 1);
  EXPECT_EQ(e.kL2, 1);
  EXPECT_EQ(e.kH1, 1);
  EXPECT_EQ(e.kH2, 1);
  e = BandEdges(1024, 80, 16000, NAN, 48000);
  EXPECT_EQ(e.kL1, 1);
  EXPECT_EQ(e.kH2, 1);
  e = BandEdges(1024, 80, 16000, 0.33, 0);  // no sample rate: infinitely high edges
  EXPECT_EQ(e.kL1, 511);
  EXPECT_EQ(e.kH2, 511);
  e = BandEdges(2, 80, 16000, 0.33, 48000);  // one bin pair only: nothing between the ends
  EXPECT_EQ(e.kL1, 1);
  EXPECT_EQ(e.kH2, 1);
}

TEST(Regularisation, OnlyFinitePositiveValuesAreUsable) {
  EXPECT_TRUE(ValidRegularisation(0.001f, 1.0f));
  EXPECT_TRUE(ValidRegularisation(1e-30f, 1e30f));
  EXPECT_FALSE(ValidRegularisation(0.0f, 1.0f));
  EXPECT_FALSE(ValidRegularisation(0.001f, -1.0f));
  EXPECT_FALSE(ValidRegularisation(NAN, 1.0f));
  EXPECT_FALSE(ValidRegularisation(0.001f, INFINITY));
}

// The regularisation each bin received, read back from the inverse of a spectrum so small
// (1e-4 in every bin) that the denominator is eps(k) itself to seven digits.
std::vector<double> profileOf(long N, float epsIn, float epsOut, const BandEdgeBins& e,
                              double* dc = nullptr) {
  const float h = 1e-4f;
  std::vector<float> spectrum(N, h), scratch(N, -1.0f);
  for (long k = 1; k < N / 2; ++k) spectrum[2 * k + 1] = 0.0f;
  InvertRegularised(spectrum.data(), scratch.data(), N / 2, epsIn, epsOut, e.kL1, e.kL2, e.kH1,
                    e.kH2);
  std::vector<double> eps(N / 2, 0.0);
  for (long k = 1; k < N / 2; ++k) {
    EXPECT_EQ(spectrum[2 * k + 1], 0.0f) << k;
    eps[k] = h / spectrum[2 * k] - (double)h * h;
  }
  if (dc) *dc = h / spectrum[0] - (double)h * h;
  return eps;
}

TEST(InvertRegularised, ProfileIsOutBandInBandWithGeometricTransitions) {
  const long N = 1024;
  BandEdgeBins e = {10, 20, 300, 400};
  double dc = 0.0;
  const std::vector<double> eps = profileOf(N, 0.001f, 1.0f, e, &dc);
  EXPECT_NEAR(dc, 1.0, 1e-6);
  for (long k = 1; k < 10; ++k) EXPECT_NEAR(eps[k], 1.0, 1e-6) << k;
  for (long k = 10; k < 20; ++k)  // 1 -> 0.001 in ten log-equal steps
    EXPECT_NEAR(eps[k] / pow(0.001, (k - 10) / 10.0), 1.0, 1e-5) << k;
  for (long k = 20; k < 300; ++k) EXPECT_NEAR(eps[k] / 0.001, 1.0, 1e-5) << k;
  for (long k = 300; k < 400; ++k)
    EXPECT_NEAR(eps[k] / (0.001 * pow(1000.0, (k - 300) / 100.0)), 1.0, 1e-5) << k;
  for (long k = 400; k < N / 2; ++k) EXPECT_NEAR(eps[k], 1.0, 1e-6) << k;

  // Without transition bins the profile switches at once; equal values give one constant.
  e = BandEdges(N, 1000, 8000, 0.0, 48000);  // 21 and 170
  std::vector<double> sharp = profileOf(N, 0.01f, 2.0f, e);
  EXPECT_NEAR(sharp[20], 2.0, 1e-6);
  EXPECT_NEAR(sharp[21] / 0.01, 1.0, 1e-5);
  EXPECT_NEAR(sharp[169] / 0.01, 1.0, 1e-5);
  EXPECT_NEAR(sharp[170], 2.0, 1e-6);
  const std::vector<double> flat = profileOf(N, 0.5f, 0.5f, BandEdges(N, 80, 16000, 0.33, 48000));
  for (long k = 1; k < N / 2; ++k) ASSERT_NEAR(flat[k], 0.5, 1e-6) << k;
}

TEST(InvertRegularised, NarrowPassBandLetsTheUpperTransitionOverwriteTheLowerOne) {
  // fL 1000, fH 1100, two octaves: a = 10, b = 42, c = 11, d = 46.
  const long N = 1024;
  const BandEdgeBins e = BandEdges(N, 1000, 1100, 2.0, 48000);
  ASSERT_EQ(e.kL1, 10);
  ASSERT_EQ(e.kL2, 42);
  ASSERT_EQ(e.kH1, 11);
  ASSERT_EQ(e.kH2, 46);
  const std::vector<double> eps = profileOf(N, 0.001f, 1.0f, e);
  EXPECT_NEAR(eps[10], 1.0, 1e-6);  // the lower transition's first bin, epsOut
  for (long k = 11; k < 46; ++k)
    EXPECT_NEAR(eps[k] / (0.001 * pow(1000.0, (k - 11) / 35.0)), 1.0, 1e-5) << k;
  EXPECT_NEAR(eps[46], 1.0, 1e-6);
}

TEST(InvertRegularised, EdgesBeyondTheSpectrumNeverWritePastIt) {
  const long N = 1024;
  std::vector<float> spectrum(N + 64, 1.0f), scratch(N + 64, 1.0f);
  for (long i = N; i < N + 64; ++i) spectrum[i] = scratch[i] = 123.0f;
  // Unclamped edges as the old band-edge computation gave them for fL 20000 Hz, TW 2.
  InvertRegularised(spectrum.data(), scratch.data(), N / 2, 0.001f, 1.0f, 213, 853, 980, 1100);
  for (long i = N; i < N + 64; ++i) {
    ASSERT_EQ(spectrum[i], 123.0f) << i;
    ASSERT_EQ(scratch[i], 123.0f) << i;
  }
  for (long i = 0; i < N; ++i) ASSERT_TRUE(isfinite(spectrum[i])) << i;
  EXPECT_FLOAT_EQ(spectrum[0], 0.5f);  // DC and Nyquist keep epsOut: 1 / (1 + 1)
  EXPECT_FLOAT_EQ(spectrum[1], 0.5f);
}

TEST(InvertRegularised, ComplexBinsBecomeConjugateOverPowerPlusEps) {
  std::vector<float> s = {2.0f, -4.0f, 3.0f, 4.0f}, scratch(4);
  InvertRegularised(s.data(), scratch.data(), 2, 0.5f, 0.25f, 1, 1, 1, 1);
  // Bin 1 is in the upper out-band region (d = 1): eps = 0.25.
  EXPECT_FLOAT_EQ(s[0], (float)(2.0 / (4.0 + 0.25)));
  EXPECT_FLOAT_EQ(s[1], (float)(-4.0 / (16.0 + 0.25)));
  EXPECT_FLOAT_EQ(s[2], (float)(3.0 / 25.25));
  EXPECT_FLOAT_EQ(s[3], (float)(-4.0 / 25.25));
}

TEST(InvertRegularisedRatio, GivesMinusTheRegularisedRatio) {
  std::vector<float> x = {2.0f, 1.0f, 2.0f, 1.0f}, y = {4.0f, -2.0f, 3.0f, 4.0f}, scratch(4);
  const std::vector<float> yBefore = y;
  InvertRegularisedRatio(x.data(), y.data(), scratch.data(), 2, 0.5f, 0.25f, 1, 1, 1, 1);
  EXPECT_FLOAT_EQ(x[0], (float)(-8.0 / 16.25));
  EXPECT_FLOAT_EQ(x[1], (float)(2.0 / 4.25));
  // (2 + i)(3 - 4i) = 10 - 5i
  EXPECT_FLOAT_EQ(x[2], (float)(-10.0 / 25.25));
  EXPECT_FLOAT_EQ(x[3], (float)(5.0 / 25.25));
  EXPECT_EQ(y, yBefore);
}

}  // namespace
