// The processing functions end to end on known signals: identical, delayed and leading
// channels, a known filter with a little noise, independent noise, a silent channel, and the
// probe functions' band and guards.
#include "crossanalyser/process_function.h"

#include <gtest/gtest.h>
#include <math.h>

#include <complex>
#include <vector>

#include "analyser_host.h"
#include "crossanalyser/run_outputs.h"
#include "crossanalyser/spectral_functions.h"

namespace {

constexpr long kFunctionN = 4096;

struct Analysis {
  bool completed;
  SpectraStatistics statistics;
  FunctionResults results;
};

// Averages the host's selection with Hann and no options, then runs the function.
Analysis analyse(AnalyserHost* host, const FunctionSettings& f) {
  Analysis a = {};
  EXPECT_TRUE(host->allocate(f.fftSize));
  const SpectraSettings s = plainSpectraSettings(f.fftSize, f.function);
  EXPECT_TRUE(AverageSpectra(&host->buffers, &s, &host->record, &a.statistics));
  a.completed = ProcessFunction(&host->buffers, &f, &host->record, &a.results);
  if (a.completed) FinishFunction(&host->buffers, &a.statistics, &f, &a.results);
  return a;
}

void useChannels(AnalyserHost* host, const std::vector<float>& left,
                 const std::vector<float>& right) {
  host->wave = interleave(left, right);
  host->select(0, (long)left.size());
}

std::complex<double> bin(const float* spectrum, long k) {
  return {spectrum[2 * k], spectrum[2 * k + 1]};
}

TEST(ProcessFunction, IdenticalChannelsGiveUnitTransferFunctionsAndCoherence) {
  const std::vector<float> x = whiteNoise(20 * kFunctionN, 21);
  for (int function : {kFnTransferH1, kFnTransferH2, kFnTransferH3}) {
    SCOPED_TRACE(function);
    AnalyserHost host;
    useChannels(&host, x, x);
    const Analysis a = analyse(&host, plainFunctionSettings(kFunctionN, function));
    ASSERT_TRUE(a.completed);
    for (long k = 1; k < kFunctionN / 2; ++k) {
      ASSERT_NEAR(host.buffers.display1[2 * k], 1.0, 1e-5) << k;
      ASSERT_NEAR(host.buffers.display1[2 * k + 1], 0.0, 1e-5) << k;
      ASSERT_NEAR(host.buffers.display2[2 * k], 1.0, 1e-5) << k;
    }
  }
}

TEST(ProcessFunction, IdenticalChannelsCorrelateAtLagZeroWithOrWithoutTheHalfShift) {
  const std::vector<float> x = whiteNoise(20 * kFunctionN, 22);
  for (bool shift : {false, true}) {
    AnalyserHost host;
    useChannels(&host, x, x);
    FunctionSettings f = plainFunctionSettings(kFunctionN, kFnCrossCorrelation);
    f.shiftHalf = shift;
    const Analysis a = analyse(&host, f);
    ASSERT_TRUE(a.completed);
    EXPECT_EQ(a.results.peakIndex, shift ? kFunctionN / 2 : 0);
    EXPECT_EQ(a.results.flightSamples, 0);
  }
}

TEST(ProcessFunction, ADelayedRightChannelPeaksAtTheDelayInEveryCorrelationFunction) {
  const long d = 37;
  const std::vector<float> x = whiteNoise(30 * kFunctionN, 23);
  for (int function : {kFnCrossCorrelation, kFnTransferH1, kFnTransferH2, kFnWhiteCrossCorrelation,
                       kFnCrossPowerPhase}) {
    SCOPED_TRACE(function);
    AnalyserHost host;
    useChannels(&host, x, delayed(x, d));
    const Analysis a = analyse(&host, plainFunctionSettings(kFunctionN, function));
    ASSERT_TRUE(a.completed);
    EXPECT_EQ(a.results.peakIndex, d);
    EXPECT_EQ(a.results.flightSamples, d);
    // White noise delayed by 37 samples at 48 kHz: 37/48 ms.
    EXPECT_NEAR(TimeOfFlightMs(a.results.flightSamples, 48000), 37.0 / 48.0, 1e-6);
  }
}

TEST(ProcessFunction, H2EqualsH1InMagnitudeAndPhaseForADelay) {
  const std::vector<float> x = whiteNoise(30 * kFunctionN, 24);
  std::vector<float> h1, h2;
  for (int function : {kFnTransferH1, kFnTransferH2}) {
    AnalyserHost host;
    useChannels(&host, x, delayed(x, 5));
    ASSERT_TRUE(analyse(&host, plainFunctionSettings(kFunctionN, function)).completed);
    (function == kFnTransferH1 ? h1 : h2)
        .assign(host.buffers.display1, host.buffers.display1 + kFunctionN);
  }
  for (long k = 1; k < kFunctionN / 2; ++k) {
    ASSERT_LT(std::abs(bin(h1.data(), k) - bin(h2.data(), k)), 0.02) << k;
    // Both read the delay's phase, +2 pi 5 k / N in this transform's sign convention.
    const double phase =
        std::arg(bin(h1.data(), k) * std::polar(1.0, -2 * M_PI * 5 * k / kFunctionN));
    ASSERT_LT(fabs(phase), 0.02) << k;
  }
}

TEST(ProcessFunction, TimeReversalAndALeadingChannelReadNegativeLags) {
  const long d = 37;
  const std::vector<float> x = whiteNoise(30 * kFunctionN, 25);
  {
    AnalyserHost host;
    useChannels(&host, x, delayed(x, d));
    FunctionSettings f = plainFunctionSettings(kFunctionN, kFnCrossCorrelation);
    f.timeReversal = true;
    const Analysis a = analyse(&host, f);
    EXPECT_EQ(a.results.flightSamples, -d);
    // Frame i holds sample N-1-i: the peak sits at frame N-1-d.
    long at = 0;
    for (long i = 0; i < kFunctionN; ++i)
      if (fabsf(host.buffers.samples[2 * i]) > fabsf(host.buffers.samples[2 * at])) at = i;
    EXPECT_EQ(at, kFunctionN - 1 - d);
  }
  {
    AnalyserHost host;
    useChannels(&host, x, delayed(x, -d));
    const Analysis a = analyse(&host, plainFunctionSettings(kFunctionN, kFnCrossCorrelation));
    EXPECT_EQ(a.results.peakIndex, kFunctionN - d);
    EXPECT_EQ(a.results.flightSamples, -d);
  }
}

TEST(ProcessFunction, IdenticalChannelsGiveANormalisedCorrelationOfOne) {
  const std::vector<float> x = whiteNoise(20 * kFunctionN, 26);
  for (bool normalize : {true, false}) {
    SCOPED_TRACE(normalize);
    AnalyserHost host;
    useChannels(&host, x, x);
    FunctionSettings f = plainFunctionSettings(kFunctionN, kFnCrossCorrelation);
    f.normalize = normalize;
    const Analysis a = analyse(&host, f);
    EXPECT_NEAR(a.results.nccMax, 1.0, 1e-3);
    EXPECT_LE(a.results.nccMax, 1.0f);
    float peak = 0.0f;
    for (long i = 0; i < kFunctionN; ++i) peak = std::max(peak, fabsf(host.buffers.samples[2 * i]));
    if (normalize) {
      EXPECT_NEAR(peak, 32767.0f, 0.01f);
    } else {
      EXPECT_NEAR(peak, 32767.0f * a.results.nccMax, 0.5f);
    }
  }
}

// The normalised cross-correlation is a property of the signal and N, not of how long it was
// recorded: the same delayed noise over one minute and over ten (450,000 blocks at N 256).
TEST(ProcessFunction, TheNormalisedCorrelationDoesNotDependOnTheRecordingsLength) {
  const long rate = 48000;
  const std::vector<float> x = whiteNoise(600 * rate, 31);
  AnalyserHost host;
  host.wave = interleave(x, delayed(x, 5));
  for (long n : {256L, 16384L}) {
    float ncc[2];
    for (int i = 0; i < 2; ++i) {
      host.select(0, (i == 0 ? 60 : 600) * rate);
      ncc[i] = analyse(&host, plainFunctionSettings(n, kFnCrossCorrelation, rate)).results.nccMax;
      EXPECT_LE(ncc[i], 1.0f);
    }
    EXPECT_NEAR(ncc[0], ncc[1], 1e-3) << "N " << n;
  }
}

TEST(ProcessFunction, H1OfAKnownFilterWithALittleNoiseIsItsTrueResponse) {
  const double h[5] = {0.6, -0.3, 0.25, 0.1, -0.05};
  const std::vector<float> x = whiteNoise(60 * kFunctionN, 27),
                           noise = whiteNoise(60 * kFunctionN, 28, 80.0f);
  std::vector<float> y(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    double acc = noise[i];
    for (int m = 0; m < 5; ++m)
      if (i >= (size_t)m) acc += h[m] * x[i - m];
    y[i] = (float)acc;
  }
  AnalyserHost host;
  useChannels(&host, x, y);
  ASSERT_TRUE(analyse(&host, plainFunctionSettings(kFunctionN, kFnTransferH1)).completed);
  long checked = 0;
  for (long k = 1; k < kFunctionN / 2; ++k) {
    if (host.buffers.display2[2 * k] <= 0.9f) continue;
    std::complex<double> truth = 0.0;  // this transform's kernel is e^(+2 pi i j k / N)
    for (int m = 0; m < 5; ++m) truth += h[m] * std::polar(1.0, 2 * M_PI * m * k / kFunctionN);
    const std::complex<double> got = bin(host.buffers.display1, k);
    ASSERT_NEAR(20 * log10(std::abs(got) / std::abs(truth)), 0.0, 0.4) << k;
    ASSERT_LT(fabs(std::arg(got / truth)), 0.05) << k;
    ++checked;
  }
  EXPECT_GT(checked, kFunctionN / 4);
}

TEST(ProcessFunction, IndependentNoiseHasSmallCoherence) {
  AnalyserHost host;
  useChannels(&host, whiteNoise(60 * kFunctionN, 29), whiteNoise(60 * kFunctionN, 30));
  ASSERT_TRUE(analyse(&host, plainFunctionSettings(kFunctionN, kFnTransferH1)).completed);
  double sum = 0.0;
  for (long k = 1; k < kFunctionN / 2; ++k) sum += host.buffers.display2[2 * k];
  EXPECT_LT(sum / (kFunctionN / 2 - 1), 0.15);
}

TEST(ProcessFunction, ASilentRightChannelGivesFiniteOutputsAndFloorLevels) {
  const std::vector<float> x = whiteNoise(8 * kFunctionN, 31), silence(8 * kFunctionN, 0.0f);
  for (int function : {kFnCrossCorrelation, kFnTransferH1, kFnTransferH2, kFnTransferH3,
                       kFnAutoCorrelations, kFnWhiteCrossCorrelation, kFnTubeCalibration,
                       kFnAbsorption, kFnFreeFieldCalibration, kFnCrossPowerPhase}) {
    for (bool normalize : {true, false}) {
      SCOPED_TRACE(testing::Message() << function << " normalize " << normalize);
      AnalyserHost host;
      useChannels(&host, x, silence);
      FunctionSettings f = plainFunctionSettings(kFunctionN, function);
      f.normalize = normalize;
      const Analysis a = analyse(&host, f);
      ASSERT_TRUE(a.completed);
      EXPECT_TRUE(isfinite(a.results.nccMax));
      EXPECT_EQ(a.results.nccMax, 0.0f);
      EXPECT_TRUE(isfinite(a.results.leftDivisor));
      EXPECT_NE(a.results.leftDivisor, 0.0f);
      for (long i = 0; i < 2 * kFunctionN; ++i) ASSERT_TRUE(isfinite(host.buffers.samples[i])) << i;
      const StatisticsLevels levels = LevelsOf(&a.statistics);
      EXPECT_EQ(levels.rmsRightDb, -200.0f);
      EXPECT_EQ(levels.rmsCrossDb, -200.0f);
      EXPECT_GT(levels.rmsLeftDb, -40.0f);
    }
  }
}

TEST(ProcessFunction, AutoCorrelationsNormaliseBothOutputsToFullScale) {
  AnalyserHost host;
  const std::vector<float> x = whiteNoise(10 * kFunctionN, 32);
  useChannels(&host, x, delayed(x, 3));
  FunctionSettings f = plainFunctionSettings(kFunctionN, kFnAutoCorrelations);
  f.normalize = true;
  const Analysis a = analyse(&host, f);
  float left = 0.0f, right = 0.0f;
  for (long i = 0; i < kFunctionN; ++i) {
    left = std::max(left, fabsf(host.buffers.samples[2 * i]));
    right = std::max(right, fabsf(host.buffers.samples[2 * i + 1]));
  }
  EXPECT_NEAR(left, 32767.0f, 0.01f);
  EXPECT_NEAR(right, 32767.0f, 0.01f);
  EXPECT_GT(a.results.rightDivisor, 1.0f);
}

TEST(ProcessFunction, SquaredHilbertEnvelopeIsNonNegativeWithoutMeanRemoval) {
  AnalyserHost host;
  const std::vector<float> x = whiteNoise(10 * kFunctionN, 33);
  useChannels(&host, x, delayed(x, 11));
  FunctionSettings f = plainFunctionSettings(kFunctionN, kFnCrossCorrelation);
  f.squaredHilbert = true;
  const Analysis a = analyse(&host, f);
  ASSERT_TRUE(a.completed);
  EXPECT_EQ(a.results.peakIndex, 11);
  for (long i = 0; i < kFunctionN; ++i) ASSERT_GE(host.buffers.samples[2 * i], 0.0f) << i;
}

TEST(ProcessFunction, TubeFunctionMasksBins9To648At48kHz) {
  const long n = 16384;
  AnalyserHost host;
  const std::vector<float> x = whiteNoise(n, 34);
  useChannels(&host, x, delayed(x, 2));
  const Analysis a = analyse(&host, plainFunctionSettings(n, kFnTubeCalibration));
  ASSERT_TRUE(a.completed);
  const float* mask = host.buffers.display1;
  const float* filter = host.buffers.display2;
  EXPECT_EQ(mask[0], 1.0f);
  EXPECT_EQ(mask[1], 1.0f);
  EXPECT_EQ(filter[0], 0.0f);
  EXPECT_EQ(filter[1], 0.0f);
  for (long k = 1; k < n / 2; ++k) {
    const bool in = k >= 9 && k <= 648;
    ASSERT_EQ(mask[2 * k], in ? 1.0f : 0.0f) << k;
    ASSERT_EQ(mask[2 * k + 1], 0.0f) << k;
    if (!in) {
      ASSERT_EQ(filter[2 * k], 0.0f) << k;
      ASSERT_EQ(filter[2 * k + 1], 0.0f) << k;
    }
  }
  EXPECT_NE(filter[2 * 100], 0.0f);
  EXPECT_EQ(a.results.leftDivisor, 1.0f);
}

TEST(ProcessFunction, ACancelAtTheFirstStepStopsAtOnceAndALaterOneAfterTheTransforms) {
  const std::vector<float> x = whiteNoise(4 * kFunctionN, 35);
  for (int at : {1, 2, 3}) {
    SCOPED_TRACE(at);
    AnalyserHost host;
    useChannels(&host, x, x);
    ASSERT_TRUE(host.allocate(kFunctionN));
    const SpectraSettings s = plainSpectraSettings(kFunctionN);
    SpectraStatistics st;
    ASSERT_TRUE(AverageSpectra(&host.buffers, &s, &host.record, &st));
    host.progress.clear();
    host.cancelAtProgress = at;
    const FunctionSettings f = plainFunctionSettings(kFunctionN, kFnCrossCorrelation);
    FunctionResults r;
    EXPECT_FALSE(ProcessFunction(&host.buffers, &f, &host.record, &r));
    EXPECT_EQ(host.progress.size(), at == 1 ? 1u : 3u);
    // The display copies are made only past the first step.
    EXPECT_EQ(host.buffers.display1[4] == 0.0f, at == 1);
  }
}

TEST(SpectralFunctions, BandMaskFrequenciesDoNotWrapAtLargeSizesAndRates) {
  // k fs passes 2^32 from bin 22370 on at 192 kHz; wrapped, bin 22500 would read 24 Hz.
  const long n = 1048576;
  std::vector<float> mask(n);
  BandMask(mask.data(), n, 192000, 1900.0f);
  long last = 0, first = 0;
  for (long k = 1; k < n / 2; ++k) {
    if (mask[2 * k] == 1.0f) {
      if (first == 0) first = k;
      last = k;
    }
  }
  EXPECT_EQ(first, 132);   // (131 * 192000) div 1048576 = 23, bin 132 gives 24 Hz
  EXPECT_EQ(last, 10381);  // the last bin whose integer frequency is 1900 Hz
}

TEST(SpectralFunctions, WhiteningZeroesBinsAtExactlyOnePercentOfTheLargest) {
  const long n = 16;
  std::vector<float> gll(n, 1.0f), grr(n, 1.0f), gamma(n), glr(n, 0.0f);
  glr[0] = 5.0f, glr[1] = 6.0f;
  glr[2] = 60.0f, glr[3] = 80.0f;  // |100|: the largest
  glr[4] = 0.6f, glr[5] = 0.8f;    // exactly 1 %
  glr[6] = 0.0f, glr[7] = 1.01f;   // just above
  WhitenCrossSpectrum(gamma.data(), gll.data(), grr.data(), glr.data(), n);
  EXPECT_EQ(glr[0], 0.0f);
  EXPECT_EQ(glr[1], 0.0f);
  EXPECT_FLOAT_EQ(glr[2], 0.6f);
  EXPECT_FLOAT_EQ(glr[3], 0.8f);
  EXPECT_EQ(glr[4], 0.0f);
  EXPECT_EQ(glr[5], 0.0f);
  EXPECT_FLOAT_EQ(glr[7], 1.0f);
  EXPECT_NEAR(gamma[2], 100.0f, 1e-3);  // the coherence is formed before the whitening
}

TEST(SpectralFunctions, ProbeFunctionsStayFiniteWhereTheirDivisorsVanish) {
  const long n = 64;
  // z = -GLR / GRR = -1 exactly in bin 5 (GRR large enough that eps12d does not change it).
  std::vector<float> grr(n, 0.0f), glr(n, 0.0f), out(n);
  grr[10] = 1099511627776.0f, glr[10] = 1099511627776.0f;
  SurfaceImpedance(out.data(), grr.data(), glr.data(), n, 343.0f, 40.0f, 48000);
  for (float v : out) ASSERT_TRUE(isfinite(v));
  EXPECT_EQ(out[10], -1.0f);
  EXPECT_EQ(out[11], 0.0f);
  // A zero GRR inside the band.
  std::vector<float> glr2(n, 3.0f), grr2(n, 0.0f);
  FreeFieldCalibration(out.data(), glr2.data(), grr2.data(), n, 343.0f, 40.0f, 1000, 400.0f);
  for (float v : out) ASSERT_TRUE(isfinite(v));
  // Bins of a non-zero GRR: -(1 + j / theta) conj(GLR / GRR) (probe_physics_test.cpp has why).
  grr2.assign(n, 2.0f);
  FreeFieldCalibration(out.data(), glr2.data(), grr2.data(), n, 343.0f, 40.0f, 1000, 400.0f);
  const long k = 3;  // f = 3 * 1000 / 64 = 46 Hz
  const double theta = 2 * M_PI * 0.04f * 1000 * k / (343.0 * n);
  const std::complex<double> want =
      -std::complex<double>(1, 1 / theta) * std::conj(std::complex<double>(1.5, 1.5));
  EXPECT_NEAR(out[2 * k], want.real(), 1e-4 * std::abs(want));
  EXPECT_NEAR(out[2 * k + 1], want.imag(), 1e-4 * std::abs(want));
}

TEST(SpectralFunctions, SurfaceImpedanceOfAMatchedProbeIsOne) {
  // u = 1, v = 0 (z = 1: R = 0): the impedance is 1 whatever the distance.
  const long n = 32;
  std::vector<float> grr(n, 0.0f), glr(n, 0.0f), out(n);
  for (long i = 0; i < n; i += 2) grr[i] = 1024.0f, glr[i] = -1024.0f;
  SurfaceImpedance(out.data(), grr.data(), glr.data(), n, 343.0f, 40.0f, 48000);
  for (long k = 1; k < n / 2; ++k) {
    EXPECT_NEAR(out[2 * k], 1.0f, 1e-6) << k;
    EXPECT_NEAR(out[2 * k + 1], 0.0f, 1e-6) << k;
  }
}

TEST(SpectralFunctions, FindPeakTakesTheFirstLargestAndReportsNForAZeroSignal) {
  std::vector<float> x = {1.0f, -4.0f, 4.0f, 2.0f};
  float peak = 0.0f;
  long index = -1;
  FindPeak(x.data(), 4, &peak, &index, false);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(peak, 4.0f);
  std::vector<float> zero(8, 0.0f);
  float kept = 7.0f;
  FindPeak(zero.data(), 8, &kept, &index, true);
  EXPECT_EQ(index, 8);
  EXPECT_EQ(kept, 7.0f);
  std::vector<float> offset = {3.0f, 3.0f, 3.0f, 7.0f};
  peak = 0.0f;
  FindPeak(offset.data(), 4, &peak, &index, true);  // mean 4 removed
  EXPECT_EQ(index, 3);
  EXPECT_EQ(peak, 3.0f);
  EXPECT_EQ(offset[0], -1.0f);
}

TEST(SpectralFunctions, RotateQuarterAndSwapHalves) {
  std::vector<float> x = {1, 2, 3, 4, 5, 6, 7, 8};
  RotateQuarter(x.data(), 8);
  EXPECT_EQ(x, (std::vector<float>{0, 0, 4, -3, 6, -5, 8, -7}));
  SwapHalves(x.data(), 4);
  EXPECT_EQ(x, (std::vector<float>{6, -5, 8, -7, 0, 0, 4, -3}));
}

}  // namespace
