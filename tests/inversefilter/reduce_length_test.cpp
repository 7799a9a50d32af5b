// Re-sampling a spectrum from the response's power of two to the filter length.
#include "inversefilter/reduce_length.h"

#include <math.h>

#include <vector>

#include "designer_test_support.h"

namespace {

// Packed A-point spectrum with Re = 2f and Im = 1 - f at normalised frequency f = k/A: linear
// in f, so linear interpolation must reproduce it on any grid.
std::vector<float> linearSpectrum(long A) {
  std::vector<float> s(A);
  s[0] = 0.0f;
  s[1] = 1.0f;  // Re at f = 0.5
  for (long k = 1; k < A / 2; ++k) {
    const double f = (double)k / A;
    s[2 * k] = (float)(2.0 * f);
    s[2 * k + 1] = (float)(1.0 - f);
  }
  return s;
}

TEST(ReduceLength, InterpolatesTheRealAndImaginaryPartsOnTheCoarserGrid) {
  const long A = 1024, N = 1000;
  std::vector<float> s = linearSpectrum(A);
  DesignerRecorder recorder;
  ASSERT_TRUE(myReduceLength(s.data(), A, N));
  EXPECT_EQ(s[0], 0.0f);
  EXPECT_FLOAT_EQ(s[1], 1.0f);  // both grids end at 0.5
  for (long j = 1; j < N / 2; ++j) {
    const double f = (double)j / N;
    ASSERT_NEAR(s[2 * j], 2.0 * f, 1e-6) << j;
    ASSERT_NEAR(s[2 * j + 1], 1.0 - f, 1e-6) << j;
  }
  for (long i = N; i < A; ++i) ASSERT_EQ(s[i], linearSpectrum(A)[i]) << "beyond N: left alone";
  EXPECT_EQ(recorder.liveBlocks(), 0);
  EXPECT_TRUE(recorder.boxes.empty());

  // Equal lengths: the spectrum itself.
  std::vector<float> same = linearSpectrum(64);
  ASSERT_TRUE(myReduceLength(same.data(), 64, 64));
  EXPECT_EQ(same, linearSpectrum(64));
}

TEST(ReduceLength, RefusesALongerTargetWithItsPlainMessage) {
  DesignerRecorder recorder;
  std::vector<float> s = linearSpectrum(1024);
  s.resize(2048, 0.0f);
  const std::vector<float> before = s;
  EXPECT_FALSE(myReduceLength(s.data(), 1024, 2048));
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text, "Error, Cannot work with input vectores\n DimInp<DimOut");
  EXPECT_EQ(recorder.boxes[0].caption, "myReduceLengthI");
  EXPECT_EQ(recorder.boxes[0].type, (UINT)MB_OK);
  EXPECT_EQ(s, before);
  EXPECT_EQ(recorder.liveBlocks(), 0);
}

TEST(ReduceLength, EachFailedAllocationOrLockReleasesWhatWasObtained) {
  for (int k = 1; k <= 6; ++k) {
    for (int lock = 0; lock < 2; ++lock) {
      SCOPED_TRACE(testing::Message() << (lock ? "lock " : "allocation ") << k);
      DesignerRecorder recorder;
      std::vector<float> s = linearSpectrum(1024);
      lock ? orvane_fail_lock_at(k) : orvane_fail_alloc_at(k);
      EXPECT_FALSE(myReduceLength(s.data(), 1024, 1000));
      ASSERT_EQ(recorder.boxes.size(), 1u);
      EXPECT_EQ(recorder.boxes[0].text,
                "Failed in memory allocation\nPlease retry, better luck next time!");
      EXPECT_EQ(recorder.boxes[0].caption, "myReduceLength");
      EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
      EXPECT_EQ(s, linearSpectrum(1024));
      EXPECT_EQ(recorder.liveBlocks(), 0);
      EXPECT_EQ(recorder.lockedBlocks(), 0);
    }
  }
}

}  // namespace
