// Running means of the averaged spectra and the following filter's band.
#include "crossanalyser/running_mean.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <random>
#include <vector>

namespace {

std::vector<float> spectrum(long n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-3.0f, 3.0f);
  std::vector<float> x(n);
  for (float& v : x) v = u(rng);
  return x;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(AccumulateAuto, FirstBlockIsItsPowerAndSecondEntersWithHalfWeight) {
  const long n = 16;
  const std::vector<float> x1 = spectrum(n, 1), x2 = spectrum(n, 2);
  std::vector<float> g(n, 9.0f);
  AccumulateAuto(g.data(), x1.data(), n, 0, 0, n / 2);
  EXPECT_EQ(g[0], x1[0] * x1[0]);
  EXPECT_EQ(g[1], x1[1] * x1[1]);
  for (long k = 1; k < n / 2; ++k) {
    EXPECT_FLOAT_EQ(g[2 * k], x1[2 * k] * x1[2 * k] + x1[2 * k + 1] * x1[2 * k + 1]);
    EXPECT_EQ(g[2 * k + 1], 0.0f);
  }
  AccumulateAuto(g.data(), x2.data(), n, 1, 0, n / 2);
  for (long k = 1; k < n / 2; ++k) {
    const float p1 = x1[2 * k] * x1[2 * k] + x1[2 * k + 1] * x1[2 * k + 1];
    const float p2 = x2[2 * k] * x2[2 * k] + x2[2 * k + 1] * x2[2 * k + 1];
    EXPECT_FLOAT_EQ(g[2 * k], (p1 + p2) / 2);
  }
}

TEST(AccumulateCross, AveragesXRTimesTheConjugateOfXL) {
  const long n = 8;
  const std::vector<float> xl = spectrum(n, 3), xr = spectrum(n, 4);
  std::vector<float> g(n, 0.0f);
  AccumulateCross(g.data(), xr.data(), xl.data(), n, 0, 0, n / 2);
  EXPECT_EQ(g[0], xr[0] * xl[0]);
  EXPECT_EQ(g[1], xr[1] * xl[1]);
  EXPECT_FLOAT_EQ(g[2], xr[2] * xl[2] + xr[3] * xl[3]);
  EXPECT_FLOAT_EQ(g[3], xr[3] * xl[2] - xr[2] * xl[3]);
}

TEST(AccumulatePhase, InBandValuesHaveUnitMagnitudeAndAZeroProductGivesZero) {
  const long n = 16;
  std::vector<float> xl = spectrum(n, 5), xr = spectrum(n, 6);
  xl[6] = xl[7] = 0.0f;  // bin 3 has no phase
  std::vector<float> g(n, 0.0f);
  AccumulatePhase(g.data(), xr.data(), xl.data(), n, 0, 0, n / 2);
  for (long k = 1; k < n / 2; ++k) {
    const double m = hypot(g[2 * k], g[2 * k + 1]);
    if (k == 3) {
      EXPECT_EQ(g[6], 0.0f);
      EXPECT_EQ(g[7], 0.0f);
    } else {
      EXPECT_NEAR(m, 1.0, 1e-6) << k;
    }
  }
  EXPECT_EQ(g[0], xr[0] * xl[0]);  // the ends are plain products
}

TEST(AccumulateAuto, OutOfBandBinsDecayAndEndsFreezeWhenTheBandStartsAboveZero) {
  const long n = 512;
  std::vector<float> g(n, 0.0f);
  for (long k = 0; k < n; k += 2) g[k] = 6.0f;
  g[0] = 5.0f, g[1] = 7.0f;
  const std::vector<float> x = spectrum(n, 7);
  AccumulateAuto(g.data(), x.data(), n, 2, 89, 112);
  EXPECT_EQ(g[0], 5.0f);
  EXPECT_EQ(g[1], 7.0f);
  for (long k = 1; k < n / 2; ++k) {
    const float p = x[2 * k] * x[2 * k] + x[2 * k + 1] * x[2 * k + 1];
    const float want = (k >= 90 && k <= 111) ? (p + 2.0f * 6.0f) / 3.0f : 2.0f * 6.0f / 3.0f;
    ASSERT_FLOAT_EQ(g[2 * k], want) << k;
  }
}

TEST(AccumulateAuto, AnEmptyBandDecaysThePeakBinTwice) {
  const long n = 64;
  std::vector<float> g(n, 0.0f);
  for (long k = 2; k < n; k += 2) g[k] = 9.0f;
  const std::vector<float> x = spectrum(n, 8);
  AccumulateAuto(g.data(), x.data(), n, 2, 20, 20);
  EXPECT_FLOAT_EQ(g[40], 2.0f * (2.0f * 9.0f / 3.0f) / 3.0f);
  EXPECT_FLOAT_EQ(g[42], 6.0f);
}

TEST(AccumulateBlock, IsBitForBitTheFourPlainAccumulations) {
  const long n = 1024;
  const std::vector<float> xl = spectrum(n, 9), xr = spectrum(n, 10);
  const long bands[][2] = {{0, 512},   {0, 0},     {89, 112}, {100, 100}, {300, 40},
                           {-5, 9999}, {511, 512}, {1, 2},    {0, 3},     {7, 511}};
  for (const auto& band : bands) {
    for (long b : {0L, 1L, 7L, 40000L}) {
      SCOPED_TRACE(testing::Message() << "band " << band[0] << "-" << band[1] << " block " << b);
      std::vector<float> gll = spectrum(n, 11), grr = spectrum(n, 12), glr = spectrum(n, 13),
                         csp = spectrum(n, 14);
      std::vector<float> wll = gll, wrr = grr, wlr = glr, wsp = csp;
      AccumulateAuto(wll.data(), xl.data(), n, b, band[0], band[1]);
      AccumulateAuto(wrr.data(), xr.data(), n, b, band[0], band[1]);
      AccumulateCross(wlr.data(), xr.data(), xl.data(), n, b, band[0], band[1]);
      AccumulatePhase(wsp.data(), xr.data(), xl.data(), n, b, band[0], band[1]);
      AccumulateBlock(gll.data(), grr.data(), glr.data(), csp.data(), xl.data(), xr.data(), n, b,
                      band[0], band[1]);
      EXPECT_TRUE(sameBits(gll, wll));
      EXPECT_TRUE(sameBits(grr, wrr));
      EXPECT_TRUE(sameBits(glr, wlr));
      EXPECT_TRUE(sameBits(csp, wsp));
    }
  }
}

TEST(AccumulateBlock, BandEdgesBeyondTheSpectrumNeverWritePastIt) {
  const long n = 64;
  // Guard floats after each spectrum.
  std::vector<float> gll(n + 8, 1.0f), grr(n + 8, 1.0f), glr(n + 8, 1.0f), csp(n + 8, 1.0f);
  const std::vector<float> xl = spectrum(n, 15), xr = spectrum(n, 16);
  const long edges[][2] = {{32, 32}, {40, 90}, {1000, -1000}, {-7, 33}};
  for (const auto& e : edges) {
    AccumulateBlock(gll.data(), grr.data(), glr.data(), csp.data(), xl.data(), xr.data(), n, 3,
                    e[0], e[1]);
    AccumulateAuto(gll.data(), xl.data(), n, 3, e[0], e[1]);
    AccumulateCross(glr.data(), xr.data(), xl.data(), n, 3, e[0], e[1]);
    AccumulatePhase(csp.data(), xr.data(), xl.data(), n, 3, e[0], e[1]);
  }
  for (long i = n; i < n + 8; ++i) {
    EXPECT_EQ(gll[i], 1.0f);
    EXPECT_EQ(grr[i], 1.0f);
    EXPECT_EQ(glr[i], 1.0f);
    EXPECT_EQ(csp[i], 1.0f);
  }
}

TEST(FindFollowPeak, TakesTheLowestStrongestBinFromElevenUp) {
  const long n = 256;
  std::vector<float> x(n, 0.0f);
  long peak = 0;
  FindFollowPeak(x.data(), n, &peak);
  EXPECT_EQ(peak, 0);  // no power: unchanged
  x[2 * 5] = 100.0f;   // below bin 11: never taken
  x[2 * 40 + 1] = 3.0f;
  x[2 * 70] = 3.0f;  // equal power, higher bin
  FindFollowPeak(x.data(), n, &peak);
  EXPECT_EQ(peak, 40);
  std::vector<float> quiet(n, 0.0f);
  quiet[0] = quiet[1] = 50.0f;
  FindFollowPeak(quiet.data(), n, &peak);
  EXPECT_EQ(peak, 40);
}

TEST(FollowBandEdges, ThirdOctaveAroundBin100Is89To112) {
  long lo, hi;
  FollowBandEdges(MakeFollowBand(1.0f / 3.0f), 100, 16384, &lo, &hi);
  EXPECT_EQ(lo, 89);
  EXPECT_EQ(hi, 112);
  FollowBandEdges(MakeFollowBand(0.0f), 100, 16384, &lo, &hi);
  EXPECT_EQ(lo, 100);
  EXPECT_EQ(hi, 100);
}

TEST(FollowBandEdges, NegativeHugeAndInfiniteBandwidthsStayOnTheSpectrum) {
  long lo, hi;
  FollowBandEdges(MakeFollowBand(-4.0f), 100, 1024, &lo, &hi);
  EXPECT_EQ(lo, 400);
  EXPECT_EQ(hi, 25);
  FollowBandEdges(MakeFollowBand(-40.0f), 100, 1024, &lo, &hi);
  EXPECT_EQ(lo, 512);
  EXPECT_EQ(hi, 0);
  FollowBandEdges(MakeFollowBand(40.0f), 100, 1024, &lo, &hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 512);
  FollowBandEdges(MakeFollowBand(INFINITY), 0, 1024, &lo, &hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 0);
  FollowBandEdges(MakeFollowBand(INFINITY), 300, 1024, &lo, &hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 512);
}

}  // namespace
