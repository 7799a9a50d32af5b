// The shared FFT: worked values, round trips, accuracy against a direct DFT in double, and
// bit-for-bit agreement with the plain loops that define its arithmetic.
#include "frame/fft.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <random>
#include <vector>

namespace {

// The plain loops that define every bit of the transforms: the optimised routines must give
// exactly these results.
void plainComplexFFT(float* a, long nn, short direction) {
  const long n = 2 * nn;
  for (long k = 0; k < nn; ++k) {
    long r = 0;
    for (long b = 1, v = k; b < nn; b <<= 1, v >>= 1) r = (r << 1) | (v & 1);
    if (k < r) {
      float re = a[2 * k], im = a[2 * k + 1];
      a[2 * k] = a[2 * r];
      a[2 * k + 1] = a[2 * r + 1];
      a[2 * r] = re;
      a[2 * r + 1] = im;
    }
  }
  for (long span = 2; span < n; span *= 2) {
    const long step = 2 * span;
    const double theta = direction * (6.28318530717959 / span);
    const double s = sin(theta / 2);
    const double wpr = -2.0 * s * s;
    const double wpi = sin(theta);
    double wr = 1.0, wi = 0.0;
    for (long m = 0; m < span; m += 2) {
      for (long i = m; i < n; i += step) {
        const long j = i + span;
        const float tr = (float)(wr * a[j] - wi * a[j + 1]);
        const float ti = (float)(wr * a[j + 1] + wi * a[j]);
        a[j] = a[i] - tr;
        a[j + 1] = a[i + 1] - ti;
        a[i] += tr;
        a[i + 1] += ti;
      }
      const double wold = wr;
      wr = wr * wpr - wi * wpi + wr;
      wi = wi * wpr + wold * wpi + wi;
    }
  }
}

void plainRealFFT(float* a, long n, int direction, bool scaleInverse) {
  const float c1 = 0.5f;
  const float c2 = direction == 1 ? -0.5f : 0.5f;
  double theta = M_PI / (double)(n / 2);
  if (direction == 1) {
    plainComplexFFT(a, n / 2, 1);
  } else {
    theta = -theta;
  }
  const double s = sin(theta / 2);
  const double wpr = -2.0 * s * s;
  const double wpi = sin(theta);
  double wr = 1.0 + wpr, wi = wpi;
  for (long k = 1; k <= n / 4 - 1; ++k) {
    const long i1 = 2 * k, i2 = 2 * k + 1, i3 = n - 2 * k, i4 = n - 2 * k + 1;
    const float h1r = c1 * (a[i1] + a[i3]);
    const float h1i = c1 * (a[i2] - a[i4]);
    const float h2r = -c2 * (a[i2] + a[i4]);
    const float h2i = c2 * (a[i1] - a[i3]);
    a[i1] = (float)(h1r + wr * h2r - wi * h2i);
    a[i2] = (float)(h1i + wr * h2i + wi * h2r);
    a[i3] = (float)(h1r - wr * h2r + wi * h2i);
    a[i4] = (float)(-h1i + wr * h2i + wi * h2r);
    const double wold = wr;
    wr = wr * wpr - wi * wpi + wr;
    wi = wi * wpr + wold * wpi + wi;
  }
  const float h = a[0];
  if (direction == 1) {
    a[0] = h + a[1];
    a[1] = h - a[1];
  } else {
    a[0] = c1 * (h + a[1]);
    a[1] = c1 * (h - a[1]);
    plainComplexFFT(a, n / 2, -1);
    if (scaleInverse)
      for (long i = 0; i < n; ++i) a[i] = a[i] / (float)(n / 2);
  }
}

std::vector<float> noise(long count, unsigned seed, float amplitude = 1.0f) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-amplitude, amplitude);
  std::vector<float> x(count);
  for (float& v : x) v = u(rng);
  return x;
}

// Samples spanning many magnitudes, so that rounding differences cannot hide.
std::vector<float> wideNoise(long count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::uniform_int_distribution<int> e(-20, 20);
  std::vector<float> x(count);
  for (float& v : x) v = ldexpf(u(rng), e(rng));
  return x;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b, long* first) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (memcmp(&a[i], &b[i], sizeof(float)) != 0) {
      *first = (long)i;
      return false;
    }
  }
  return true;
}

// Direct DFT in double with the e^(+2 pi i) kernel, at selected bins of a complex signal of nn
// points. The kernel comes from an exact table indexed by j*k mod nn.
void directDft(const std::vector<double>& re, const std::vector<double>& im, long nn,
               const std::vector<long>& bins, std::vector<double>* outRe,
               std::vector<double>* outIm) {
  std::vector<double> c(nn), s(nn);
  for (long t = 0; t < nn; ++t) {
    c[t] = cos(2.0 * M_PI * t / nn);
    s[t] = sin(2.0 * M_PI * t / nn);
  }
  outRe->assign(bins.size(), 0.0);
  outIm->assign(bins.size(), 0.0);
  for (size_t b = 0; b < bins.size(); ++b) {
    const long k = bins[b];
    double sr = 0.0, si = 0.0;
    for (long j = 0; j < nn; ++j) {
      const long t = (long)(((long long)j * k) % nn);
      sr += re[j] * c[t] - im[j] * s[t];
      si += re[j] * s[t] + im[j] * c[t];
    }
    (*outRe)[b] = sr;
    (*outIm)[b] = si;
  }
}

// Every bin for small sizes; for large ones the edges and an even spread of 512 bins, which
// keeps the direct sums affordable while touching every stage's rounding.
std::vector<long> checkedBins(long count) {
  std::vector<long> bins;
  if (count <= 4096) {
    for (long k = 0; k < count; ++k) bins.push_back(k);
    return bins;
  }
  std::mt19937 rng(7);
  std::uniform_int_distribution<long> u(0, count - 1);
  for (long k : {0L, 1L, 2L, count / 4, count / 2 - 1, count / 2, count / 2 + 1, count - 1})
    bins.push_back(k);
  while (bins.size() < 512) bins.push_back(u(rng));
  return bins;
}

TEST(ComplexFFT, MatchesADirectDftInDoubleUpTo65536Points) {
  for (long nn = 1; nn <= 65536; nn *= 2) {
    for (short direction : {1, -1}) {
      SCOPED_TRACE(testing::Message() << "nn " << nn << " direction " << direction);
      std::vector<float> a = noise(2 * nn, (unsigned)nn);
      std::vector<double> re(nn), im(nn);
      double energy = 0.0;
      for (long j = 0; j < nn; ++j) {
        re[j] = a[2 * j];
        im[j] = direction == 1 ? a[2 * j + 1] : -(double)a[2 * j + 1];
        energy += re[j] * re[j] + im[j] * im[j];
      }
      const std::vector<long> bins = checkedBins(nn);
      std::vector<double> xr, xi;
      directDft(re, im, nn, bins, &xr, &xi);
      ComplexFFT(a.data(), nn, direction);
      // Relative RMS error over the checked bins; Parseval gives the spectrum's mean power.
      double err = 0.0;
      for (size_t b = 0; b < bins.size(); ++b) {
        const double wantIm = direction == 1 ? xi[b] : -xi[b];
        const double dr = a[2 * bins[b]] - xr[b], di = a[2 * bins[b] + 1] - wantIm;
        err += dr * dr + di * di;
      }
      const double relative = sqrt(err / bins.size() / energy);
      EXPECT_LE(relative, 2e-7);
    }
  }
}

TEST(RealFFT, MatchesADirectDftInDoubleUpTo65536Points) {
  for (long n = 2; n <= 65536; n *= 2) {
    SCOPED_TRACE(testing::Message() << "n " << n);
    std::vector<float> a = noise(n, (unsigned)n + 1);
    std::vector<double> re(a.begin(), a.end()), im(n, 0.0);
    double energy = 0.0;
    for (float v : a) energy += (double)v * v;
    std::vector<long> bins;
    for (long k : checkedBins(n))
      if (k <= n / 2) bins.push_back(k);
    std::vector<double> xr, xi;
    directDft(re, im, n, bins, &xr, &xi);
    RealFFT(a.data(), n, 1, false);
    double err = 0.0;
    for (size_t b = 0; b < bins.size(); ++b) {
      const long k = bins[b];
      double gotRe, gotIm;
      if (k == 0) {
        gotRe = a[0], gotIm = 0.0;
      } else if (k == n / 2) {
        gotRe = a[1], gotIm = 0.0;
      } else {
        gotRe = a[2 * k], gotIm = a[2 * k + 1];
      }
      err += (gotRe - xr[b]) * (gotRe - xr[b]) + (gotIm - xi[b]) * (gotIm - xi[b]);
    }
    EXPECT_LE(sqrt(err / bins.size() / energy), 2e-7);
  }
}

TEST(RealFFT, TwoPointsGiveSumAndDifferenceAndComeBack) {
  float a[2] = {3.0f, 1.25f};
  RealFFT(a, 2, 1, true);
  EXPECT_EQ(a[0], 4.25f);
  EXPECT_EQ(a[1], 1.75f);
  RealFFT(a, 2, -1, true);
  EXPECT_EQ(a[0], 3.0f);
  EXPECT_EQ(a[1], 1.25f);
}

TEST(RealFFT, UnitImpulseHasAFlatRealSpectrum) {
  for (long n : {4L, 8L, 256L, 16384L}) {
    std::vector<float> a(n, 0.0f);
    a[0] = 1.0f;
    RealFFT(a.data(), n, 1, true);
    EXPECT_EQ(a[0], 1.0f);
    EXPECT_EQ(a[1], 1.0f);
    for (long k = 1; k < n / 2; ++k) {
      ASSERT_FLOAT_EQ(a[2 * k], 1.0f) << "n " << n << " bin " << k;
      ASSERT_NEAR(a[2 * k + 1], 0.0f, 1e-6f) << "n " << n << " bin " << k;
    }
  }
}

TEST(RealFFT, SineAtBinOneReadsPlusHalfNInElementThree) {
  for (long n : {8L, 1024L, 65536L}) {
    std::vector<float> a(n);
    for (long j = 0; j < n; ++j) a[j] = (float)sin(2.0 * M_PI * j / n);
    RealFFT(a.data(), n, 1, true);
    EXPECT_NEAR(a[3], n / 2.0, n * 1e-6) << "n " << n;
    EXPECT_NEAR(a[2], 0.0, n * 1e-6) << "n " << n;
  }
}

TEST(RealFFT, RoundTripRestoresTheSignalOrHalfNTimesIt) {
  for (long n : {4L, 64L, 4096L, 1048576L}) {
    SCOPED_TRACE(testing::Message() << "n " << n);
    const std::vector<float> x = noise(n, 3);
    std::vector<float> scaled = x, unscaled = x;
    RealFFT(scaled.data(), n, 1, true);
    RealFFT(scaled.data(), n, -1, true);
    RealFFT(unscaled.data(), n, 1, false);
    RealFFT(unscaled.data(), n, -1, false);
    double errScaled = 0.0, errUnscaled = 0.0, energy = 0.0;
    for (long i = 0; i < n; ++i) {
      errScaled += (scaled[i] - x[i]) * (double)(scaled[i] - x[i]);
      const double d = unscaled[i] - (n / 2.0) * x[i];
      errUnscaled += d * d;
      energy += (double)x[i] * x[i];
    }
    EXPECT_LE(sqrt(errScaled / energy), 1e-6);
    EXPECT_LE(sqrt(errUnscaled / energy) / (n / 2.0), 1e-6);
  }
}

TEST(RealFFT, EveryDirectionButOneIsTheInverse) {
  const std::vector<float> x = noise(512, 5);
  std::vector<float> minusOne = x, zero = x, two = x;
  RealFFT(minusOne.data(), 512, -1, true);
  RealFFT(zero.data(), 512, 0, true);
  RealFFT(two.data(), 512, 2, true);
  long first = -1;
  EXPECT_TRUE(sameBits(minusOne, zero, &first)) << first;
  EXPECT_TRUE(sameBits(minusOne, two, &first)) << first;
  std::vector<float> forward = x;
  RealFFT(forward.data(), 512, 1, true);
  EXPECT_FALSE(sameBits(minusOne, forward, &first));
}

TEST(ComplexFFT, IsBitForBitThePlainLoops) {
  for (long nn = 1; nn <= (1L << 20); nn *= 2) {
    for (short direction : {1, -1}) {
      SCOPED_TRACE(testing::Message() << "nn " << nn << " direction " << direction);
      std::vector<float> want = wideNoise(2 * nn, (unsigned)(nn * 3 + direction));
      std::vector<float> got = want;
      plainComplexFFT(want.data(), nn, direction);
      ComplexFFT(got.data(), nn, direction);
      long first = -1;
      EXPECT_TRUE(sameBits(want, got, &first)) << "first differing float " << first;
    }
  }
}

TEST(RealFFT, IsBitForBitThePlainLoops) {
  for (long n = 2; n <= (1L << 21); n *= 2) {
    for (int direction : {1, -1}) {
      for (bool scale : {false, true}) {
        if (direction == 1 && scale) continue;  // the forward transform ignores the flag
        SCOPED_TRACE(testing::Message()
                     << "n " << n << " direction " << direction << " scale " << scale);
        std::vector<float> want = wideNoise(n, (unsigned)(n + direction * 7 + scale));
        std::vector<float> got = want;
        plainRealFFT(want.data(), n, direction, scale);
        RealFFT(got.data(), n, direction, scale);
        long first = -1;
        EXPECT_TRUE(sameBits(want, got, &first)) << "first differing float " << first;
      }
    }
  }
}

TEST(RealFFTPair, IsBitForBitTwoSeparateTransforms) {
  for (long n = 2; n <= (1L << 18); n *= 4) {
    for (int direction : {1, 0}) {
      for (bool scale : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << "n " << n << " direction " << direction << " scale " << scale);
        std::vector<float> a = wideNoise(n, 11), b = wideNoise(n, 12);
        std::vector<float> wantA = a, wantB = b;
        RealFFT(wantA.data(), n, direction, scale);
        RealFFT(wantB.data(), n, direction, scale);
        RealFFTPair(a.data(), b.data(), n, direction, scale);
        long first = -1;
        EXPECT_TRUE(sameBits(wantA, a, &first)) << "first array, float " << first;
        EXPECT_TRUE(sameBits(wantB, b, &first)) << "second array, float " << first;
      }
    }
  }
}

TEST(ZeroFill, ClearsExactlyTheCountAndNothingForNoCount) {
  std::vector<float> a(10, 7.0f);
  ZeroFill(a.data() + 2, 5);
  const float want[10] = {7, 7, 0, 0, 0, 0, 0, 7, 7, 7};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(a[i], want[i]) << i;
  ZeroFill(a.data(), 0);
  ZeroFill(a.data(), -3);
  EXPECT_EQ(a[0], 7.0f);
  EXPECT_EQ(a[1], 7.0f);
}

}  // namespace
