// The lengths a run works with and the responses it prepares for the designs.
#include "inversefilter/design_lengths.h"

#include <limits.h>

#include <algorithm>

#include <vector>

#include "designer_test_support.h"

namespace {

TEST(FilterLengthRule, LengthsAreEvenAtLeastTwoAndBounded) {
  EXPECT_EQ(FilterLengthRule(1000), 1000);
  EXPECT_EQ(FilterLengthRule(1024), 1024);
  EXPECT_EQ(FilterLengthRule(1001), 1002);
  EXPECT_EQ(FilterLengthRule(3), 4);
  EXPECT_EQ(FilterLengthRule(2), 2);
  EXPECT_EQ(FilterLengthRule(1), 2);
  EXPECT_EQ(FilterLengthRule(0), 2);
  EXPECT_EQ(FilterLengthRule(-7), 2);
  EXPECT_EQ(FilterLengthRule(kMaxFilterLength + 1), kMaxFilterLength);
  EXPECT_EQ(FilterLengthRule(LONG_MAX), kMaxFilterLength);
  // The largest 2x2 working length stays a valid transform length, and its bytes fit 32 bits.
  EXPECT_TRUE(IsDesignLength(4 * kMaxFilterLength));
  EXPECT_LT(4.0 * 4 * kMaxFilterLength * 2, 2147483648.0);
}

XFMINSTANCE selection(int channels, long first, long last) {
  XFMINSTANCE r = {};
  r.channels = (WORD)channels;
  r.sampleRate = 48000;
  r.selFirst = first;
  r.selLast = last;
  return r;
}

TEST(DesignerWorkingLengths, PerModeFor600FramesAndA1000SampleFilter) {
  struct Expected {
    int channels, requestedMode, mode;
    long selectionFrames, transformLength, responsePow2, allocLength, designLength, designPow2;
  };
  const Expected cases[] = {
      {1, kMode2x2, kModeMono, 600, 1000, 1024, 1024, 1000, 1024},  // mono runs as Mono
      {2, kModeDualMono, kModeDualMono, 600, 2000, 1024, 2000, 1000, 1024},
      {2, kModeStereo, kModeStereo, 1200, 2000, 2048, 2048, 2000, 1024},
      {2, kMode2x2, kMode2x2, 600, 4000, 1024, 4000, 2000, 512},
      {2, kModeMono, kModeDualMono, 600, 2000, 1024, 2000, 1000, 1024},  // as the dialog stores it
      {2, 9, kModeDualMono, 600, 2000, 1024, 2000, 1000, 1024},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, mode " << c.requestedMode);
    DesignerParams p = defaultParams();
    p.Mode = (int16_t)c.requestedMode;
    p.InverseFilterLength = 1000;
    const XFMINSTANCE r = selection(c.channels, 100, 699);
    DesignerLengths l;
    ASSERT_TRUE(DesignerWorkingLengths(&p, &r, &l));
    EXPECT_EQ(l.mode, c.mode);
    EXPECT_EQ(l.channels, c.channels);
    EXPECT_EQ(l.selectionFrames, c.selectionFrames);
    EXPECT_EQ(l.framesToRead, 600);
    EXPECT_EQ(l.filterLength, 1000);
    EXPECT_EQ(l.transformLength, c.transformLength);
    EXPECT_TRUE(l.nonPow2);
    EXPECT_EQ(l.responsePow2, c.responsePow2);
    EXPECT_EQ(l.allocLength, c.allocLength);
    EXPECT_EQ(l.designLength, c.designLength);
    EXPECT_EQ(l.designFilterLength, 1000);
    EXPECT_EQ(l.designPow2, c.designPow2);
    // Every response buffer holds what its design transforms.
    EXPECT_GE(l.allocLength, std::max(l.designFilterLength, l.designPow2));
  }
}

TEST(DesignerWorkingLengths, PowerOfTwoAndOddFilterLengths) {
  DesignerParams p = defaultParams();
  p.Mode = kMode2x2;
  p.InverseFilterLength = 1024;
  XFMINSTANCE r = selection(2, 0, 0);  // one frame: no whole pair in 2x2
  DesignerLengths l;
  ASSERT_TRUE(DesignerWorkingLengths(&p, &r, &l));
  EXPECT_FALSE(l.nonPow2);
  EXPECT_EQ(l.responsePow2, 1);
  EXPECT_EQ(l.designPow2, 1);
  p.InverseFilterLength = 1001;
  ASSERT_TRUE(DesignerWorkingLengths(&p, &r, &l));
  EXPECT_EQ(l.filterLength, 1002);
  EXPECT_EQ(l.designFilterLength, 1002);
  EXPECT_EQ(l.transformLength, 4008);
}

TEST(DesignerWorkingLengths, EmptyOrOverlongSelectionsCannotBeDesigned) {
  DesignerParams p = defaultParams();
  DesignerLengths l;
  XFMINSTANCE r = selection(1, 10, 9);
  EXPECT_FALSE(DesignerWorkingLengths(&p, &r, &l));
  r = selection(1, -2147483647 - 1, 2147483647);  // more frames than 32 bits count
  EXPECT_FALSE(DesignerWorkingLengths(&p, &r, &l));
  r = selection(1, 0, kMaxTransformLength - 1);
  EXPECT_TRUE(DesignerWorkingLengths(&p, &r, &l));
  EXPECT_EQ(l.responsePow2, kMaxTransformLength);
  r = selection(1, 0, kMaxTransformLength);
  EXPECT_FALSE(DesignerWorkingLengths(&p, &r, &l));
  p.Mode = kModeStereo;  // the Stereo mode doubles the transform length
  r = selection(2, 0, kMaxTransformLength / 2);
  EXPECT_FALSE(DesignerWorkingLengths(&p, &r, &l));
}

TEST(PrepareResponses, SplitsAndScalesTheSamplesPerMode) {
  // Six stereo frames, left 1000 * (frame + 1), right -1000 * (frame + 1), at 16-bit scale.
  std::vector<float> samples;
  for (int i = 0; i < 6; ++i) {
    samples.push_back(1000.0f * (i + 1));
    samples.push_back(-1000.0f * (i + 1));
  }
  auto scaled = [](float v) { return v * 0.000030517578125f; };
  DesignerParams p = defaultParams();
  p.InverseFilterLength = 8;
  const XFMINSTANCE r = selection(2, 0, 5);
  for (int mode : {kModeDualMono, kModeStereo, kMode2x2}) {
    SCOPED_TRACE(mode);
    p.Mode = (int16_t)mode;
    DesignerLengths l;
    ASSERT_TRUE(DesignerWorkingLengths(&p, &r, &l));
    std::vector<float> C(l.allocLength, 9.0f), D = C, E = C, F = C;
    PrepareResponses(samples.data(), &l, C.data(), D.data(), E.data(), F.data());
    const long n = mode == kMode2x2 ? 3 : 6;
    for (long i = 0; i < l.allocLength; ++i) {
      const float left = i < n ? scaled(1000.0f * (i + 1)) : 0.0f;
      const float right = -left;
      ASSERT_EQ(C[i], left) << i;
      ASSERT_EQ(D[i], right) << i;
      if (mode == kModeStereo) {
        ASSERT_EQ(E[i], right) << i;
        ASSERT_EQ(F[i], left) << i;
      } else if (mode == kMode2x2) {
        const float later = i < n ? scaled(1000.0f * (i + 4)) : 0.0f;
        ASSERT_EQ(E[i], later) << i;
        ASSERT_EQ(F[i], -later) << i;
      } else {
        ASSERT_EQ(E[i], 9.0f) << "unused buffers are left alone";
      }
    }
  }
  // Mono: the samples themselves.
  const XFMINSTANCE mono = selection(1, 0, 2);
  const float m[3] = {32768.0f, -16384.0f, 1.0f};
  DesignerLengths l;
  ASSERT_TRUE(DesignerWorkingLengths(&p, &mono, &l));
  std::vector<float> C(l.allocLength, 9.0f);
  PrepareResponses(m, &l, C.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(C[0], 1.0f);
  EXPECT_EQ(C[1], -0.5f);
  EXPECT_EQ(C[2], 0.000030517578125f);
  for (long i = 3; i < l.allocLength; ++i) EXPECT_EQ(C[i], 0.0f);
}

}  // namespace
