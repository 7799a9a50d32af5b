// Spectral smoothing: the two windows, the polar conversions, the unwrapping, their guards and
// their memory failures.
#include "inversefilter/smoothing.h"

#include <math.h>

#include <vector>

#include "designer_test_support.h"
#include "inversefilter/packed_spectrum.h"

namespace {

TEST(MedioO, FlatMagnitudeStaysFlatAllTheWayToTheMirroredEnd) {
  for (float octaves : {0.01f, 0.33f, 1.0f, 3.0f}) {
    std::vector<float> x(513, 2.5f);
    ASSERT_TRUE(MedioO(x.data(), 513, octaves));
    for (float v : x) ASSERT_FLOAT_EQ(v, 2.5f) << octaves;
  }
}

TEST(MedioO, TakesThePlainMeanOverAnOctaveWindowMirroredAtTheTop) {
  // x[m] = m over 11 points, two octaves (s = 2): bin 3 averages bins 2 ... 6; bin 8 averages
  // 4 ... 16, where 11 ... 16 read the mirrored values 9 ... 4: 88 / 13.
  std::vector<float> x(11);
  for (int m = 0; m < 11; ++m) x[m] = (float)m;
  ASSERT_TRUE(MedioO(x.data(), 11, 2.0f));
  EXPECT_EQ(x[0], 0.0f);
  EXPECT_FLOAT_EQ(x[3], 4.0f);
  EXPECT_FLOAT_EQ(x[8], 88.0f / 13.0f);
}

TEST(MedioO, NarrowWindowLeavesLowBinsAlone) {
  // At 0.01 octave the window holds bin j alone for j < 144.
  Noise noise(4u);
  std::vector<float> x(1025);
  for (float& v : x) v = (float)noise.next();
  const std::vector<float> before = x;
  ASSERT_TRUE(MedioO(x.data(), 1025, 0.01f));
  for (int j = 0; j < 144; ++j) ASSERT_EQ(x[j], before[j]) << j;
  bool changed = false;
  for (int j = 144; j < 1025; ++j) changed |= x[j] != before[j];
  EXPECT_TRUE(changed);
}

TEST(MediaL, FlatArrayStaysFlatExceptNearTheEndsAndDcIsKept) {
  // Five points: weights 0, 1/2, 1, 1/2, 0 (sum 2). At both ends one non-zero weight falls on a
  // zero (DC counts as zero, so does the point past the end): 1.5 / 2.
  std::vector<float> x(100, 1.0f);
  x[0] = 5.0f;
  ASSERT_TRUE(MediaL(x.data(), 100, 5));
  EXPECT_EQ(x[0], 5.0f);
  EXPECT_NEAR(x[1], 0.75, 1e-6);
  EXPECT_NEAR(x[99], 0.75, 1e-6);
  for (int j = 2; j < 99; ++j) ASSERT_NEAR(x[j], 1.0, 1e-6) << j;
}

TEST(MediaL, WindowsOfOnePointOrWiderThanTheArrayAreGuarded) {
  Noise noise(9u);
  std::vector<float> x(11);
  for (float& v : x) v = (float)noise.next();
  // One point (or none): the identity, not 0/0.
  for (long W : {1L, 0L, -3L}) {
    std::vector<float> y = x;
    ASSERT_TRUE(MediaL(y.data(), 11, W));
    EXPECT_EQ(y, x);
  }
  // Wider than the array: the widest odd window that fits (11 points here), and nothing
  // outside the array is read: huge values around it must not change the result.
  std::vector<float> fit = x;
  ASSERT_TRUE(MediaL(fit.data(), 11, 11));
  for (long W : {12L, 1001L}) {
    std::vector<float> padded(31, 1e30f);
    for (int i = 0; i < 11; ++i) padded[10 + i] = x[i];
    ASSERT_TRUE(MediaL(padded.data() + 10, 11, W));
    for (int i = 0; i < 11; ++i) ASSERT_EQ(padded[10 + i], fit[i]) << W << " " << i;
    EXPECT_EQ(padded[9], 1e30f);
    EXPECT_EQ(padded[21], 1e30f);
  }
}

TEST(Smoothing, AllocationFailuresShowTheirMessagesAndLeaveTheDataAlone) {
  std::vector<float> x(64, 1.0f);
  x[5] = 3.0f;
  const std::vector<float> before = x;
  struct Case {
    const char *text, *caption;
  };
  const Case cases[] = {
      {"MediaL, No allocation, exit ....", "MediaL"},
      {"Sorry,Cannot  allocate vector\n becayse there is non enough memory...", "MedioO"},
      {"Sorry, cannot allocate vector\nthere is not enough memory...", "Unwrapper"},
  };
  for (int which = 0; which < 3; ++which) {
    for (int k = 1; k <= (which == 0 ? 2 : 1); ++k) {
      SCOPED_TRACE(testing::Message() << cases[which].caption << " allocation " << k);
      DesignerRecorder recorder;
      std::vector<float> y = x;
      orvane_fail_alloc_at(k);
      const bool done = which == 0   ? MediaL(y.data(), 64, 5)
                        : which == 1 ? MedioO(y.data(), 64, 0.5f)
                                     : Unwrapper(y.data(), 126);
      EXPECT_FALSE(done);
      ASSERT_EQ(recorder.boxes.size(), 1u);
      EXPECT_EQ(recorder.boxes[0].text, cases[which].text);
      EXPECT_EQ(recorder.boxes[0].caption, cases[which].caption);
      EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
      EXPECT_EQ(y, before);
      EXPECT_EQ(recorder.liveBlocks(), 0);
    }
  }
  // The smoothing of a spectrum does not stop at such a failure and reports success; the box
  // belongs to the run's window, and the run learns what failed.
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.AverageType = kAverageRealImag;
  std::vector<float> spectrum = x, w1(33), w2(33);
  DesignNotice notice = {(HWND)0x5150, kDesignDone};
  orvane_fail_alloc_at(1);
  EXPECT_TRUE(
      SmoothSpectrum(spectrum.data(), 64, &recorder.instance, &p, w1.data(), w2.data(), &notice));
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].owner, (HWND)0x5150);
  EXPECT_EQ(notice.failure, kDesignNoMemory);
}

TEST(Unwrapper, WrappedRampComesOutContinuousShiftedByWholeTurns) {
  const long N = 2048, M = N / 2;
  std::vector<float> phase(M + 1);
  for (long k = 0; k < M; ++k) phase[k] = (float)atan2(sin(-0.3 * k + 1.0), cos(-0.3 * k + 1.0));
  phase[M] = 7.5f;
  ASSERT_TRUE(Unwrapper(phase.data(), N));
  EXPECT_EQ(phase[M], 7.5f);  // the Nyquist entry is not touched
  const double turns = (phase[0] - 1.0) / 6.28318;
  EXPECT_NEAR(turns, round(turns), 1e-6);
  for (long k = 1; k < M; ++k) ASSERT_NEAR(phase[k] - phase[k - 1], -0.3, 2e-5) << k;
}

TEST(PolarConversions, RoundTripBinsAndTheSignRuleAtDcAndNyquist) {
  const std::vector<float> packed = {-2.0f, 3.0f, 1.0f, -1.0f, 0.0f, 2.0f};
  std::vector<float> m(4), phi(4);
  MagnitudePhase(packed.data(), m.data(), phi.data(), 6);
  EXPECT_EQ(m[0], 2.0f);
  EXPECT_EQ(phi[0], 3.14159f);  // negative DC
  EXPECT_EQ(m[3], 3.0f);
  EXPECT_EQ(phi[3], 0.0f);
  EXPECT_FLOAT_EQ(m[1], sqrtf(2.0f));
  EXPECT_FLOAT_EQ(phi[1], (float)(-M_PI / 4));
  EXPECT_FLOAT_EQ(phi[2], (float)(M_PI / 2));

  std::vector<float> back(6);
  PolarToPacked(back.data(), m.data(), phi.data(), 6);
  EXPECT_NEAR(back[2], 1.0f, 1e-6);
  EXPECT_NEAR(back[3], -1.0f, 1e-6);
  EXPECT_NEAR(back[4], 0.0f, 1e-6);
  EXPECT_NEAR(back[5], 2.0f, 1e-6);
  // A phase of exactly 3.14159 leaves fmod(phase, 3.14159) near 0: the sign is not restored.
  EXPECT_EQ(back[0], 2.0f);
  // It is restored when the phase (after unwrapping and smoothing) lies 1 ... 3 above a
  // multiple of 3.14159, and not for negative remainders.
  phi[0] = 2.0f;
  phi[3] = 3.14159f + 1.5f;
  PolarToPacked(back.data(), m.data(), phi.data(), 6);
  EXPECT_EQ(back[0], -2.0f);
  EXPECT_EQ(back[1], -3.0f);
  phi[0] = -2.0f;
  PolarToPacked(back.data(), m.data(), phi.data(), 6);
  EXPECT_EQ(back[0], 2.0f);
}

TEST(SmoothSpectrum, MagPhaseKeepsADelaysLinearPhaseAndFlatMagnitudeInside) {
  // A delay of 37 samples at 1000 points: magnitude 1, phase ramp 2 pi 37 k / N.
  const long N = 1000, d = 37;
  std::vector<float> spectrum(N);
  spectrum[0] = 1.0f;
  spectrum[1] = (float)cos(M_PI * d);
  for (long k = 1; k < N / 2; ++k) {
    spectrum[2 * k] = (float)cos(2.0 * M_PI * d * k / N);
    spectrum[2 * k + 1] = (float)sin(2.0 * M_PI * d * k / N);
  }
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.AverageType = kAverageMagPhase;
  p.WindowType = kWindowLinear;
  p.WindowWidth = 5.0f;
  std::vector<float> w1(N / 2 + 1), w2(N / 2 + 1), smoothed = spectrum;
  ASSERT_TRUE(SmoothSpectrum(smoothed.data(), N, &recorder.instance, &p, w1.data(), w2.data()));
  for (long k = 3; k < N / 2 - 3; ++k) {
    ASSERT_NEAR(smoothed[2 * k], spectrum[2 * k], 2e-3) << k;
    ASSERT_NEAR(smoothed[2 * k + 1], spectrum[2 * k + 1], 2e-3) << k;
  }
  // Average type 0 (or an unknown one) changes nothing.
  for (int type : {0, 7}) {
    p.AverageType = type;
    std::vector<float> same = spectrum;
    ASSERT_TRUE(SmoothSpectrum(same.data(), N, &recorder.instance, &p, w1.data(), w2.data()));
    EXPECT_EQ(same, spectrum);
  }
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(recorder.liveBlocks(), 0);
}

TEST(SmoothSpectrum, RealImagWithOctaveWindowKeepsAFlatSpectrumFlat) {
  const long N = 4096;
  std::vector<float> spectrum(N, 0.0f);
  spectrum[0] = spectrum[1] = 1.0f;
  for (long k = 1; k < N / 2; ++k) spectrum[2 * k] = 1.0f;
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.AverageType = kAverageRealImag;
  p.WindowType = kWindowOctaves;
  p.WindowWidth = 0.5f;
  std::vector<float> w1(N / 2 + 1), w2(N / 2 + 1), smoothed = spectrum;
  ASSERT_TRUE(SmoothSpectrum(smoothed.data(), N, &recorder.instance, &p, w1.data(), w2.data()));
  for (long i = 0; i < N; ++i) ASSERT_FLOAT_EQ(smoothed[i], spectrum[i]) << i;
}

}  // namespace
