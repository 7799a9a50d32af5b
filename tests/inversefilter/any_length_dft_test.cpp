// The real transforms of any even length: exact against slow sums, one convention and one
// scaling with the frame's FFT, and their memory failure.
#include "inversefilter/any_length_dft.h"

#include <math.h>

#include <vector>

#include "designer_test_support.h"
#include "frame/fft.h"
#include "inversefilter/packed_spectrum.h"

namespace {

std::vector<float> randomSignal(long N, unsigned seed) {
  Noise noise(seed);
  std::vector<float> x(N);
  for (float& v : x) v = (float)noise.next();
  return x;
}

// Largest error of a split spectrum against the reference, relative to sum |x|, the bound of
// every |X[k]|.
double relativeError(const std::vector<float>& x, const std::vector<float>& re,
                     const std::vector<float>& im) {
  std::vector<long double> rre, rim;
  referenceDft(x, &rre, &rim);
  double bound = 0.0, worst = 0.0;
  for (float v : x) bound += fabs(v);
  for (size_t k = 0; k < re.size(); ++k) {
    worst = fmax(worst, fabs((double)(re[k] - rre[k])));
    worst = fmax(worst, fabs((double)(im[k] - rim[k])));
  }
  return worst / bound;
}

// Taking 2 pi as 6.28318, even with exact angle reduction, puts errors of 1.4e-7 (4410 points)
// to 1.5e-6 (6 points) of the bound into these spectra; float rounding of the fast transform
// stays below 5e-8.
constexpr double kFloatRounding = 8e-8;

TEST(AnyLengthDft, MatchesTheExactSumsToFloatRoundingAtLengthsThatAreNotPowersOfTwo) {
  for (long N : {6L, 10L, 12L, 30L, 1000L, 1002L, 2310L, 4410L}) {
    SCOPED_TRACE(N);
    DesignerRecorder recorder;
    const std::vector<float> x = randomSignal(N, 7u + (unsigned)N);
    std::vector<float> re(N / 2 + 1, -9.0f), im(N / 2 + 1, -9.0f);
    ASSERT_TRUE(DirectDFT(x.data(), re.data(), im.data(), N));
    EXPECT_LT(relativeError(x, re, im), kFloatRounding);
    EXPECT_EQ(im[0], 0.0f);
    EXPECT_EQ(im[N / 2], 0.0f);
    EXPECT_EQ(recorder.liveBlocks(), 0);
    EXPECT_TRUE(recorder.boxes.empty());
  }
}

TEST(AnyLengthDft, UsesTheSignConventionOfTheFrameFft) {
  // A sine at bin 1 reads +N/2 in the imaginary part of bin 1, as RealFFT gives it.
  const long N = 1000;
  std::vector<float> x(N);
  for (long n = 0; n < N; ++n) x[n] = (float)sin(2.0 * M_PI * n / N);
  std::vector<float> re(N / 2 + 1), im(N / 2 + 1);
  ASSERT_TRUE(DirectDFT(x.data(), re.data(), im.data(), N));
  EXPECT_NEAR(im[1], N / 2.0, 1e-3);
  EXPECT_NEAR(re[1], 0.0, 1e-3);
  for (long k = 2; k <= N / 2; ++k) ASSERT_NEAR(hypot(re[k], im[k]), 0.0, 1e-3) << k;

  // At a power of two it is the frame's transform itself.
  const long P = 1024;
  std::vector<float> y = randomSignal(P, 3u);
  std::vector<float> packed = y;
  RealFFT(packed.data(), P, 1, false);
  std::vector<float> fre(P / 2 + 1), fim(P / 2 + 1), dre(P / 2 + 1), dim(P / 2 + 1);
  SplitSpectrum(packed.data(), fre.data(), fim.data(), P);
  ASSERT_TRUE(DirectDFT(y.data(), dre.data(), dim.data(), P));
  EXPECT_EQ(dre, fre);
  EXPECT_EQ(dim, fim);
}

TEST(AnyLengthDft, InverseReturnsHalfTheLengthTimesTheSignalLikeTheFrameFft) {
  for (long N : {6L, 1000L, 1024L, 44100L}) {
    SCOPED_TRACE(N);
    const std::vector<float> x = randomSignal(N, 11u);
    std::vector<float> re(N / 2 + 1), im(N / 2 + 1);
    ASSERT_TRUE(DirectDFT(x.data(), re.data(), im.data(), N));
    std::vector<float> back(N);
    ASSERT_TRUE(DirectIDFT(back.data(), re.data(), im.data(), N));
    double worst = 0.0;
    for (long n = 0; n < N; ++n) worst = fmax(worst, fabs(back[n] / (N / 2.0) - x[n]));
    EXPECT_LT(worst, 2e-5);
  }
}

TEST(AnyLengthDft, PackedFormWorksInPlaceInBothDirections) {
  const long N = 1000;
  const std::vector<float> x = randomSignal(N, 5u);
  std::vector<long double> rre, rim;
  referenceDft(x, &rre, &rim);
  std::vector<float> data = x;
  ASSERT_TRUE(AnyLengthRealFFT(data.data(), N, 1, "test"));
  const std::vector<float> expected = packedOf(rre, rim);
  for (long i = 0; i < N; ++i) ASSERT_NEAR(data[i], expected[i], 2e-4) << i;
  ASSERT_TRUE(AnyLengthRealFFT(data.data(), N, 0, "test"));  // any direction but 1 is inverse
  for (long n = 0; n < N; ++n) ASSERT_NEAR(data[n], x[n] * (N / 2.0f), 2e-3) << n;
}

TEST(AnyLengthDft, MemoryFailureShowsTheMessageAndLeavesTheOutputAlone) {
  const long N = 1000;
  const std::vector<float> x = randomSignal(N, 2u);
  for (int failing = 1; failing <= 4; ++failing) {
    SCOPED_TRACE(failing);
    DesignerRecorder recorder;
    std::vector<float> re(N / 2 + 1, 7.0f), im(N / 2 + 1, 7.0f);
    orvane_fail_alloc_at(failing);
    EXPECT_FALSE(DirectDFT(x.data(), re.data(), im.data(), N));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text,
              "Failed in memory allocation\nPlease retry, better luck next time!");
    EXPECT_EQ(recorder.boxes[0].caption, "DirectDFT");
    EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
    EXPECT_EQ(re, std::vector<float>(N / 2 + 1, 7.0f));
    EXPECT_EQ(recorder.liveBlocks(), 0);

    std::vector<float> signal(N, 3.0f);
    orvane_fail_lock_at(failing);
    EXPECT_FALSE(DirectIDFT(signal.data(), re.data(), im.data(), N));
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[1].caption, "DirectIDFT");
    EXPECT_EQ(signal, std::vector<float>(N, 3.0f));
    EXPECT_EQ(recorder.liveBlocks(), 0);
    EXPECT_EQ(recorder.lockedBlocks(), 0);
  }
}

TEST(AnyLengthDft, RefusesLengthsOutsideTheRuleWithoutTouchingAnything) {
  DesignerRecorder recorder;
  std::vector<float> x(1001, 1.0f), re(502, 5.0f), im(502, 5.0f);
  EXPECT_FALSE(DirectDFT(x.data(), re.data(), im.data(), 1001));
  EXPECT_FALSE(DirectDFT(x.data(), re.data(), im.data(), 0));
  EXPECT_FALSE(DirectIDFT(x.data(), re.data(), im.data(), 1));
  EXPECT_EQ(re, std::vector<float>(502, 5.0f));
  EXPECT_EQ(x, std::vector<float>(1001, 1.0f));
  EXPECT_TRUE(recorder.boxes.empty());
}

}  // namespace
