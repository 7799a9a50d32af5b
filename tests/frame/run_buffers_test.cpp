#include "frame/run_buffers.h"

#include <gtest/gtest.h>
#include <orvane_platform.h>

namespace {

class RunBuffersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orvane_reset();
    orvane_memory_reset_counters();
    orvane_memory_stats(&before_);
  }
  void TearDown() override { orvane_reset(); }
  void expectNothingHeld() {
    OrvaneMemoryStats now;
    orvane_memory_stats(&now);
    EXPECT_EQ(now.liveBlocks, before_.liveBlocks);
    EXPECT_EQ(now.lockedBlocks, before_.lockedBlocks);
  }
  OrvaneMemoryStats before_;
};

TEST_F(RunBuffersTest, AllocatesZeroedLockedBlocksAndReleasesThem) {
  RunBuffers b;
  initRunBuffers(&b);
  float* a = (float*)allocRunBuffer(&b, 100 * sizeof(float));
  char* c = (char*)allocRunBuffer(&b, 7);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(c, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(a[i], 0.0f);
  EXPECT_EQ(b.failedStep, 0);
  EXPECT_EQ(orvane_lock_count(b.handles[0]), 1);
  releaseRunBuffers(&b);
  expectNothingHeld();
}

// Every allocation and every lock of a run of five buffers fails in turn: the failing step is
// numbered, later requests are refused, and the release leaves nothing allocated or locked.
TEST_F(RunBuffersTest, EveryStepFailingInTurnIsCleanedUpExactly) {
  for (int step = 1; step <= 10; ++step) {
    orvane_memory_reset_counters();
    int k = (step + 1) / 2;
    if (step % 2 == 1)
      orvane_fail_alloc_at(k);
    else
      orvane_fail_lock_at(k);
    RunBuffers b;
    initRunBuffers(&b);
    int obtained = 0;
    for (int i = 0; i < 5; ++i)
      if (allocRunBuffer(&b, 64) != nullptr) ++obtained;
    EXPECT_EQ(b.failedStep, step);
    EXPECT_EQ(obtained, k - 1);
    releaseRunBuffers(&b);
    expectNothingHeld();
  }
}

TEST_F(RunBuffersTest, ZeroSizeBlockCountsAsAFailedLock) {
  RunBuffers b;
  initRunBuffers(&b);
  ASSERT_NE(allocRunBuffer(&b, 16), nullptr);
  EXPECT_EQ(allocRunBuffer(&b, 0), nullptr);
  EXPECT_EQ(b.failedStep, 4);
  releaseRunBuffers(&b);
  expectNothingHeld();
}

}  // namespace
