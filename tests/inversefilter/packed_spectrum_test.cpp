// The packed and split forms and the per-bin operations on them.
#include "inversefilter/packed_spectrum.h"

#include <math.h>

#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(PackedSpectrum, SplitPutsTheEndsIntoTheirOwnBinsAndPackRestoresTheLayout) {
  const std::vector<float> packed = {10.0f, -3.0f, 1.0f, 2.0f, 4.0f, 5.0f};
  std::vector<float> re(4, 9.0f), im(4, 9.0f);
  SplitSpectrum(packed.data(), re.data(), im.data(), 6);
  EXPECT_EQ(re, (std::vector<float>{10.0f, 1.0f, 4.0f, -3.0f}));
  EXPECT_EQ(im, (std::vector<float>{0.0f, 2.0f, 5.0f, 0.0f}));
  im[0] = 7.0f;  // imaginary parts at the ends are dropped
  im[3] = 7.0f;
  std::vector<float> again(6, 0.0f);
  PackSpectrum(re.data(), im.data(), again.data(), 6);
  EXPECT_EQ(again, packed);
}

TEST(PackedSpectrum, SwapHalvesMovesTimeZeroToTheMiddle) {
  std::vector<float> s = {1, 2, 3, 4, 5, 6, 7, 8}, scratch(8);
  SwapHalves(s.data(), scratch.data(), 4);
  EXPECT_EQ(s, (std::vector<float>{5, 6, 7, 8, 1, 2, 3, 4}));
  std::vector<float> two = {1, 2}, scratch2(2);
  SwapHalves(two.data(), scratch2.data(), 1);
  EXPECT_EQ(two, (std::vector<float>{2, 1}));
}

TEST(PackedSpectrum, ProductAndQuotientAreComplexPerBinAndRealAtTheEnds) {
  const std::vector<float> a = {2.0f, -1.0f, 1.0f, 2.0f, 5.0f, 0.0f};
  const std::vector<float> b = {3.0f, 4.0f, 3.0f, 4.0f, 0.0f, 0.0f};
  std::vector<float> p(6);
  SpectrumProduct(a.data(), b.data(), p.data(), 6);
  EXPECT_EQ(p, (std::vector<float>{6.0f, -4.0f, -5.0f, 10.0f, 0.0f, 0.0f}));

  std::vector<float> q(6);
  SpectrumQuotient(p.data(), b.data(), q.data(), 6);
  EXPECT_FLOAT_EQ(q[0], 2.0f);
  EXPECT_FLOAT_EQ(q[1], -1.0f);
  EXPECT_FLOAT_EQ(q[2], 1.0f);  // (-5 + 10i) / (3 + 4i) = 1 + 2i
  EXPECT_FLOAT_EQ(q[3], 2.0f);
  EXPECT_EQ(q[4], 0.0f);  // divisor exactly 0 + 0j
  EXPECT_EQ(q[5], 0.0f);

  // A zero divisor at DC or Nyquist is taken as e^-32.
  const std::vector<float> zeroEnds = {0.0f, 0.0f, 1.0f, 0.0f};
  const std::vector<float> num = {1.0f, -2.0f, 1.0f, 0.0f};
  std::vector<float> r(4);
  SpectrumQuotient(num.data(), zeroEnds.data(), r.data(), 4);
  EXPECT_FLOAT_EQ(r[0], (float)(1.0 / exp(-32.0)));
  EXPECT_FLOAT_EQ(r[1], (float)(-2.0 / exp(-32.0)));

  // In place over either operand.
  std::vector<float> c = a;
  SpectrumProduct(c.data(), b.data(), c.data(), 6);
  EXPECT_EQ(c, p);
}

}  // namespace
