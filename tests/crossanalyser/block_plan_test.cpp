// The block plan: full blocks at hop N/4, the partial block, and selections that are long,
// short, or just short of N.
#include "crossanalyser/block_plan.h"

#include <gtest/gtest.h>

#include "crossanalyser/analyser_params.h"

namespace {

TEST(PlanBlocks, ExactlyNSamplesIsOneFullBlock) {
  const BlockPlan p = PlanBlocks(1000, 1000 + 4096 - 1, 4096);
  EXPECT_EQ(p.fullBlocks, 1);
  EXPECT_EQ(p.covered, 4096);
  EXPECT_EQ(p.partialLength, 0);
  EXPECT_EQ(p.blockCount, 1);
}

TEST(PlanBlocks, NPlusAnEighthAddsAPartialBlockOfSevenEighths) {
  const long n = 16384;
  const BlockPlan p = PlanBlocks(50, 50 + n + n / 8 - 1, n);
  EXPECT_EQ(p.fullBlocks, 1);
  EXPECT_EQ(p.partialStart, 50 + n / 4);
  EXPECT_EQ(p.partialLength, 7 * n / 8);
  EXPECT_EQ(p.blockCount, 2);
}

TEST(PlanBlocks, FullBlocksAdvanceByAQuarterAndStayInsideTheSelection) {
  const long n = 1024, first = 77, m = 10 * n + 300;
  const BlockPlan p = PlanBlocks(first, first + m - 1, n);
  EXPECT_EQ(p.fullBlocks, (m - n) / (n / 4) + 1);
  for (long j = 0; j < p.fullBlocks; ++j) {
    EXPECT_EQ(FullBlockStart(first, n, j), first + j * n / 4);
    EXPECT_LE(FullBlockStart(first, n, j) + n, first + m);
  }
  EXPECT_EQ(p.covered, n + (long long)n * (p.fullBlocks - 1) / 4);
  EXPECT_EQ(p.partialStart + p.partialLength, first + m);
  EXPECT_GT(p.partialLength, 3 * n / 4);
  EXPECT_LT(p.partialLength, n);
}

TEST(PlanBlocks, SelectionsShorterThanNAreOnePartialBlockNeverAFullOne) {
  const long n = 4096;
  // More than 3N/4 but fewer than N: the truncating division would make a full block that reads
  // past the selection.
  for (long m : {n - 1, 3 * n / 4 + 1, 3 * n / 4, 100L, 1L}) {
    SCOPED_TRACE(m);
    const BlockPlan p = PlanBlocks(10, 10 + m - 1, n);
    EXPECT_EQ(p.fullBlocks, 0);
    EXPECT_EQ(p.partialStart, 10);
    EXPECT_EQ(p.partialLength, m);
    EXPECT_EQ(p.blockCount, 1);
  }
  EXPECT_EQ(PlanBlocks(10, 9, n).blockCount, 0);
}

TEST(PlanBlocks, LongSelectionsCountBeyondSixteenBitsWithoutOverflow) {
  // 44 s at 48 kHz and N 256 needs more than 32767 blocks.
  const BlockPlan p = PlanBlocks(0, 44 * 48000 - 1, 256);
  EXPECT_GT(p.fullBlocks, 32767);
  EXPECT_EQ(p.fullBlocks, (44 * 48000 - 256) / 64 + 1);
  // N 1048576 over 2^31 - 1 frames: N j / 4 exceeds 32 bits.
  const long last = 2147483646L;
  const BlockPlan q = PlanBlocks(0, last, 1048576);
  EXPECT_EQ(q.fullBlocks, (2147483647LL - 1048576) / 262144 + 1);
  EXPECT_EQ(FullBlockStart(0, 1048576, q.fullBlocks - 1), 262144L * (q.fullBlocks - 1));
  EXPECT_EQ(q.partialStart + q.partialLength - 1, last);
}

TEST(SaturatedBlockCount, StoresTheCountUpTo32767) {
  EXPECT_EQ(saturatedBlockCount(0), 0);
  EXPECT_EQ(saturatedBlockCount(32767), 32767);
  EXPECT_EQ(saturatedBlockCount(32768), 32767);
  EXPECT_EQ(saturatedBlockCount(5000000), 32767);
}

}  // namespace
