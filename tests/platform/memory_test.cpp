// Movable global blocks: handles, lock counts, zero-fill, invalid handles, injected faults
// and the accounting the other tests rely on.
#include <orvane_platform.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

OrvaneMemoryStats stats() {
  OrvaneMemoryStats s{};
  orvane_memory_stats(&s);
  return s;
}

class GlobalMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    orvane_reset();
    before_ = stats();
  }
  void TearDown() override {
    for (HGLOBAL h : blocks_) GlobalFree(h);
    orvane_reset();
  }
  HGLOBAL alloc(UINT flags, SIZE_T bytes) {
    HGLOBAL h = GlobalAlloc(flags, bytes);
    if (h) blocks_.push_back(h);
    return h;
  }
  OrvaneMemoryStats before_{};
  std::vector<HGLOBAL> blocks_;
};

TEST_F(GlobalMemory, LockCountRisesAndFallsAndUnlockReportsTheLastUnlock) {
  HGLOBAL h = alloc(GMEM_MOVEABLE | GMEM_SHARE, 64);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(orvane_lock_count(h), 0);
  void* a = GlobalLock(h);
  void* b = GlobalLock(h);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(orvane_lock_count(h), 2);
  EXPECT_EQ(GlobalFlags(h) & 0xFF, 2u);
  EXPECT_NE(GlobalUnlock(h), FALSE);  // still locked once
  SetLastError(12345);
  EXPECT_EQ(GlobalUnlock(h), FALSE);  // now unlocked: 0 with no error
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(orvane_lock_count(h), 0);
  // One unlock too many is an error, not a lock count below zero.
  EXPECT_EQ(GlobalUnlock(h), FALSE);
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(orvane_lock_count(h), 0);
}

TEST_F(GlobalMemory, MovableHandleIsNotTheAddressAndAnAddressIsNotAHandle) {
  HGLOBAL h = alloc(GMEM_MOVEABLE, 16);
  void* p = GlobalLock(h);
  ASSERT_NE(p, nullptr);
  EXPECT_NE(static_cast<void*>(h), p);
  EXPECT_EQ(GlobalLock(static_cast<HGLOBAL>(p)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(orvane_lock_count(static_cast<HGLOBAL>(p)), -1);
  GlobalUnlock(h);
}

TEST_F(GlobalMemory, FixedBlockHandleIsItsAddress) {
  HGLOBAL h = alloc(GMEM_FIXED, 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalLock(h), static_cast<void*>(h));
  GlobalUnlock(h);
  EXPECT_EQ(GlobalSize(h), 16u);
}

TEST_F(GlobalMemory, ZeroSizeMovableBlockExistsButCannotBeLocked) {
  HGLOBAL h = alloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(stats().liveBlocks, before_.liveBlocks + 1);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(orvane_lock_count(h), 0);
  EXPECT_EQ(stats().lockedBlocks, before_.lockedBlocks);
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_NE(GlobalFlags(h) & 0x4000u, 0u);  // GMEM_DISCARDED
  EXPECT_EQ(GlobalFree(h), nullptr);
  blocks_.clear();
}

TEST_F(GlobalMemory, ZeroInitClearsWhatAnEarlierBlockLeftBehind) {
  constexpr SIZE_T kBytes = 4096;
  for (int round = 0; round < 4; ++round) {
    HGLOBAL dirty = GlobalAlloc(GMEM_MOVEABLE, kBytes);
    std::memset(GlobalLock(dirty), 0xA5, kBytes);
    GlobalUnlock(dirty);
    GlobalFree(dirty);
    HGLOBAL h = alloc(GHND, kBytes);
    const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    std::vector<unsigned char> zeros(kBytes, 0);
    EXPECT_EQ(std::memcmp(p, zeros.data(), kBytes), 0) << "round " << round;
    GlobalUnlock(h);
  }
}

TEST_F(GlobalMemory, BlockWithoutZeroInitIsNotSilentlyZero) {
  // Code that forgets GMEM_ZEROINIT must not be saved by fresh zero pages.
  HGLOBAL h = alloc(GMEM_MOVEABLE, 256);
  const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  int zeros = 0;
  for (int i = 0; i < 256; ++i) zeros += p[i] == 0;
  EXPECT_LT(zeros, 256);
  GlobalUnlock(h);
}

TEST_F(GlobalMemory, FreedAndMadeUpHandlesAreRejectedWithoutHarm) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 32);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalFree(h), nullptr);
  const HGLOBAL bad[] = {h, reinterpret_cast<HGLOBAL>(0x1234), reinterpret_cast<HGLOBAL>(-1),
                         nullptr};
  for (HGLOBAL b : bad) {
    SetLastError(0);
    EXPECT_EQ(GlobalLock(b), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(GlobalUnlock(b), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(GlobalFree(b), b);  // the handle back: failure
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalSize(b), 0u);
    EXPECT_EQ(GlobalFlags(b), 0x8000u);  // GMEM_INVALID_HANDLE
    EXPECT_EQ(orvane_lock_count(b), -1);
  }
  // A new block never takes over the freed handle's identity at once.
  HGLOBAL next = alloc(GMEM_MOVEABLE, 32);
  EXPECT_NE(next, h);
}

TEST_F(GlobalMemory, StatsCountLiveAndLockedBlocksAndCalls) {
  orvane_memory_reset_counters();
  HGLOBAL a = alloc(GMEM_MOVEABLE, 8);
  HGLOBAL b = alloc(GMEM_MOVEABLE, 8);
  GlobalLock(a);
  GlobalLock(a);
  GlobalLock(b);
  OrvaneMemoryStats s = stats();
  EXPECT_EQ(s.liveBlocks, before_.liveBlocks + 2);
  EXPECT_EQ(s.lockedBlocks, before_.lockedBlocks + 2);
  EXPECT_EQ(s.allocCalls, 2);
  EXPECT_EQ(s.lockCalls, 3);
  EXPECT_EQ(s.failedCalls, 0);
  GlobalUnlock(b);
  EXPECT_EQ(stats().lockedBlocks, before_.lockedBlocks + 1);
  GlobalUnlock(a);
  GlobalUnlock(a);
  GlobalFree(a);
  GlobalFree(b);
  blocks_.clear();
  s = stats();
  EXPECT_EQ(s.liveBlocks, before_.liveBlocks);
  EXPECT_EQ(s.lockedBlocks, before_.lockedBlocks);
  orvane_memory_reset_counters();
  s = stats();
  EXPECT_EQ(s.allocCalls, 0);
  EXPECT_EQ(s.lockCalls, 0);
}

TEST_F(GlobalMemory, KthAllocationFailsOnceCountedFromOne) {
  orvane_memory_reset_counters();
  orvane_fail_alloc_at(3);
  EXPECT_NE(alloc(GMEM_MOVEABLE, 8), nullptr);
  EXPECT_NE(alloc(GMEM_MOVEABLE, 8), nullptr);
  SetLastError(0);
  EXPECT_EQ(alloc(GMEM_MOVEABLE, 8), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_NE(alloc(GMEM_MOVEABLE, 8), nullptr);  // one-shot
  const OrvaneMemoryStats s = stats();
  EXPECT_EQ(s.allocCalls, 4);
  EXPECT_EQ(s.failedCalls, 1);
  EXPECT_EQ(s.liveBlocks, before_.liveBlocks + 3);
}

TEST_F(GlobalMemory, KthLockFailsOnceAndLeavesTheCountAlone) {
  HGLOBAL a = alloc(GMEM_MOVEABLE, 8);
  HGLOBAL b = alloc(GMEM_MOVEABLE, 8);
  orvane_memory_reset_counters();
  orvane_fail_lock_at(2);
  EXPECT_NE(GlobalLock(a), nullptr);
  SetLastError(0);
  EXPECT_EQ(GlobalLock(b), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(orvane_lock_count(b), 0);
  EXPECT_NE(GlobalLock(b), nullptr);
  EXPECT_EQ(stats().failedCalls, 1);
  EXPECT_EQ(stats().lockCalls, 3);
  GlobalUnlock(a);
  GlobalUnlock(b);
}

TEST_F(GlobalMemory, ResettingCountersClearsAPendingFault) {
  orvane_fail_alloc_at(1);
  orvane_fail_lock_at(1);
  orvane_memory_reset_counters();
  HGLOBAL h = alloc(GMEM_MOVEABLE, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_NE(GlobalLock(h), nullptr);
  GlobalUnlock(h);
  EXPECT_EQ(stats().failedCalls, 0);
}

TEST_F(GlobalMemory, OneBlockCanBeMadeUnlockable) {
  HGLOBAL param = alloc(GMEM_MOVEABLE, 8);
  HGLOBAL other = alloc(GMEM_MOVEABLE, 8);
  orvane_fail_lock_of(param, 1);
  EXPECT_EQ(GlobalLock(param), nullptr);
  EXPECT_EQ(GlobalLock(param), nullptr);  // from now on, not once
  EXPECT_NE(GlobalLock(other), nullptr);
  EXPECT_EQ(orvane_lock_count(param), 0);
  orvane_fail_lock_of(param, 0);
  EXPECT_NE(GlobalLock(param), nullptr);
  GlobalUnlock(param);
  GlobalUnlock(other);
  // orvane_reset lifts it too.
  orvane_fail_lock_of(param, 1);
  orvane_reset();
  EXPECT_NE(GlobalLock(param), nullptr);
  GlobalUnlock(param);
}

TEST_F(GlobalMemory, SizeAndShareFlagAreReported) {
  HGLOBAL h = alloc(GMEM_MOVEABLE | GMEM_SHARE, 1000);
  EXPECT_EQ(GlobalSize(h), 1000u);
  EXPECT_EQ(GlobalFlags(h), static_cast<UINT>(GMEM_SHARE));
}

TEST_F(GlobalMemory, FreeingALockedBlockReleasesIt) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
  GlobalLock(h);
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(orvane_lock_count(h), -1);
  EXPECT_EQ(stats().lockedBlocks, before_.lockedBlocks);
}

}  // namespace
