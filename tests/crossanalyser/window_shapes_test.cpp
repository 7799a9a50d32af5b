// The six analysis windows: their defining values, mirrored halves and odd lengths.
#include "crossanalyser/window_shapes.h"

#include <gtest/gtest.h>

#include <math.h>

#include <vector>

namespace {

constexpr float kScale = 3.0517578125e-05f;  // 2^-15

std::vector<float> window(int shape, long n, float fill = -7.0f) {
  std::vector<float> w(n, fill);
  MakeWindow(w.data(), shape, n);
  return w;
}

TEST(MakeWindow, RectIsTheSixteenBitScaleFactor) {
  for (float v : window(kWindowRect, 256)) EXPECT_EQ(v, kScale);
}

TEST(MakeWindow, HanningRisesFromZeroToTheScaleAtTheCentreOverLengthN) {
  const std::vector<float> w = window(kWindowHanning, 1024);
  EXPECT_EQ(w[0], 0.0f);
  EXPECT_FLOAT_EQ(w[512], kScale);
  EXPECT_FLOAT_EQ(w[256], 0.5f * kScale);
  // Denominator n, not n-1: periodic, so w[i] = w[n-i] and the last value is not 0.
  for (long i = 1; i < 1024; ++i) ASSERT_FLOAT_EQ(w[i], w[1024 - i]) << i;
  EXPECT_GT(w[1023], 0.0f);
}

TEST(MakeWindow, BlackmanIsNormalisedToPeakAtTheScaleTimesOneOverA0) {
  const std::vector<float> w = window(kWindowBlackman, 2048);
  // 0.35875 + 0.48829 + 0.14128 + 0.01168 = 1, times 1/0.35875.
  EXPECT_NEAR(w[1024] / kScale, 2.787456445993031, 1e-6);
  EXPECT_NEAR(w[0] / kScale, (0.35875 - 0.48829 + 0.14128 - 0.01168) * 2.787456445993031, 1e-6);
}

TEST(MakeWindow, FlatTopHasSineFlanksAndAFlatMiddle) {
  const std::vector<float> w = window(kWindowFlatTop, 1000);
  EXPECT_EQ(w[0], 0.0f);
  EXPECT_FLOAT_EQ(w[125], (float)(sin(6.28318530717958 * 125 / 1000) * kScale));
  for (long i = 250; i < 750; ++i) ASSERT_EQ(w[i], kScale) << i;
  for (long i = 750; i < 1000; ++i) ASSERT_EQ(w[i], w[999 - i]) << i;
}

TEST(MakeWindow, TriangularRisesToTheScaleLikeTheOtherShapes) {
  const std::vector<float> w = window(kWindowTriangular, 512);
  EXPECT_EQ(w[0], 0.0f);
  EXPECT_EQ(w[128], 0.5f * kScale);
  EXPECT_FLOAT_EQ(w[255], 255.0f / 256.0f * kScale);
  for (long i = 256; i < 512; ++i) ASSERT_EQ(w[i], w[511 - i]) << i;
}

TEST(MakeWindow, OddTriangularCentreContinuesTheRisingRule) {
  // The mirror rule would point the centre at itself; it must not keep a stale value.
  const std::vector<float> w = window(kWindowTriangular, 7, 123.0f);
  const float want[7] = {0, 2.0f / 7, 4.0f / 7, 6.0f / 7, 4.0f / 7, 2.0f / 7, 0};
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(w[i], want[i] * kScale) << i;
  EXPECT_EQ(window(kWindowTriangular, 1, 123.0f)[0], 0.0f);
  EXPECT_EQ(window(kWindowFlatTop, 1, 123.0f)[0], kScale);
}

TEST(MakeWindow, HalfSineAndUnknownShapes) {
  const std::vector<float> w = window(kWindowHalfSine, 100);
  EXPECT_EQ(w[0], 0.0f);
  EXPECT_FLOAT_EQ(w[50], kScale);
  EXPECT_FLOAT_EQ(w[25], (float)(sin(3.14159265358979 * 25 / 100) * kScale));
  for (float v : window(6, 16)) EXPECT_EQ(v, -7.0f);
  for (float v : window(-1, 16)) EXPECT_EQ(v, -7.0f);
}

TEST(MakeWindow, APartialLengthOverwritesOnlyItsOwnCoefficients) {
  std::vector<float> w = window(kWindowHanning, 256);
  const float tail = w[250];
  MakeWindow(w.data(), kWindowHanning, 224);
  EXPECT_FLOAT_EQ(w[112], kScale);
  EXPECT_EQ(w[250], tail);
}

}  // namespace
