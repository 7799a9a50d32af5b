// Complex bin arithmetic and the spectral quotients behind the transfer functions.
#include "crossanalyser/complex_bins.h"

#include <gtest/gtest.h>

#include <complex>
#include <vector>

namespace {

TEST(ConjugateProduct, IsAtimesTheConjugateOfB) {
  const ComplexBin c = ConjugateProduct({1.0f, 2.0f}, {3.0f, -4.0f});
  // (1 + 2j)(3 + 4j) = 3 + 4j + 6j - 8 = -5 + 10j
  EXPECT_EQ(c.re, -5.0f);
  EXPECT_EQ(c.im, 10.0f);
}

TEST(RegularisedDivide, DividesAndStaysFiniteForAZeroDivisor) {
  const ComplexBin q = RegularisedDivide({-5.0f, 10.0f}, {1.0f, 2.0f});
  // (-5 + 10j)(1 - 2j) / 5 = (-5 + 10j + 10j + 20) / 5 = 3 + 4j
  EXPECT_FLOAT_EQ(q.re, 3.0f);
  EXPECT_FLOAT_EQ(q.im, 4.0f);
  const ComplexBin z = RegularisedDivide({1.0f, 1.0f}, {0.0f, 0.0f});
  EXPECT_EQ(z.re, 0.0f);
  EXPECT_EQ(z.im, 0.0f);
}

TEST(DivideSpectra, DividesEndsAsRealsAndBinsAsComplexQuotients) {
  const float num[8] = {6.0f, -3.0f, 1.0f, 2.0f, 0.0f, 4.0f, 5.0f, 0.0f};
  const float den[8] = {2.0f, 0.0f, 1.0f, -1.0f, 2.0f, 0.0f, 0.0f, 0.0f};
  float out[8];
  DivideSpectra(out, num, den, 8);
  EXPECT_FLOAT_EQ(out[0], 3.0f);
  EXPECT_FLOAT_EQ(out[1], -3.0f / 1e-12f);
  const std::complex<float> q = std::complex<float>(1, 2) / std::complex<float>(1, -1);
  EXPECT_FLOAT_EQ(out[2], q.real());
  EXPECT_FLOAT_EQ(out[3], q.imag());
  EXPECT_FLOAT_EQ(out[4], 0.0f);
  EXPECT_FLOAT_EQ(out[5], 2.0f);
  EXPECT_EQ(out[6], 0.0f);  // zero divisor: regularised
  EXPECT_EQ(out[7], 0.0f);
}

TEST(TransferH2, DividesByTheConjugateOfTheCrossSpectrum) {
  // One bin with XL = 2 - 1j and XR = H XL, H = 0.5 + 0.8j: GLR = XR conj(XL), GRR = |XR|^2.
  const std::complex<float> xl(2.0f, -1.0f), h(0.5f, 0.8f), xr = h * xl;
  const std::complex<float> glr = xr * std::conj(xl);
  const float grr[4] = {1.0f, 1.0f, std::norm(xr), 0.0f};
  const float glrPacked[4] = {1.0f, 1.0f, glr.real(), glr.imag()};
  const float gll[4] = {1.0f, 1.0f, std::norm(xl), 0.0f};
  float h2[4], h1[4];
  TransferH2(h2, grr, glrPacked, 4);
  DivideSpectra(h1, glrPacked, gll, 4);
  EXPECT_NEAR(h2[2], h.real(), 1e-6);
  EXPECT_NEAR(h2[3], h.imag(), 1e-6);  // GRR / GLR would give -0.8
  EXPECT_NEAR(h1[2], h.real(), 1e-6);
  EXPECT_NEAR(h1[3], h.imag(), 1e-6);
}

}  // namespace
