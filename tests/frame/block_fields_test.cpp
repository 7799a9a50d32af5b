// Handles and run buffers in a parameter block's 32-bit fields, on every build: what the
// platform issues survives them, what would not is stored as none, and a buffer field reaches
// its block only while the block lives.
#include "frame/block_fields.h"

#include <gtest/gtest.h>
#include <orvane_platform.h>

#include "frame/run_buffers.h"

namespace {

class BlockFields : public ::testing::Test {
 protected:
  void SetUp() override { orvane_reset(); }
  void TearDown() override { orvane_reset(); }
};

// Win64's rule: the low 32 bits stored, widened with their sign when loaded back.
TEST_F(BlockFields, HandlesComeBackSignWidenedAndTooWideOnesAreStoredAsNone) {
  BlockHandle field;
  storeHandle(&field, (HWND)(intptr_t)-16);
  EXPECT_EQ(field.bits, 0xFFFFFFF0u);
  EXPECT_EQ(loadHandle<HWND>(field), (HWND)(intptr_t)-16);
  storeHandle(&field, (HINSTANCE)0x7FFF0000);
  EXPECT_EQ(loadHandle<HINSTANCE>(field), (HINSTANCE)0x7FFF0000);
  if (sizeof(void*) == 8) {
    // A module loaded above 4 GiB, or just above 2 GiB: neither comes back, so neither is kept.
    for (uintptr_t high : {(uintptr_t)0x180000000ull, (uintptr_t)0x80000000u}) {
      storeHandle(&field, (HINSTANCE)high);
      EXPECT_EQ(field.bits, 0u) << std::hex << high;
    }
  }
}

// Every handle the platform layer gives a plug-in fits such a field: windows, modules, blocks.
TEST_F(BlockFields, ThePlatformsHandlesFitThirtyTwoBits) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
  HMODULE module = LoadLibraryA(ORVANE_BIN_DIR "/liborvanewin32.so");
  WNDCLASSA c = {};
  c.lpfnWndProc = DefWindowProcA;
  c.lpszClassName = "BlockFieldsTest";
  RegisterClassA(&c);
  HWND window =
      CreateWindowExA(0, "BlockFieldsTest", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  for (const void* h : {(const void*)block, (const void*)module, (const void*)window}) {
    ASSERT_NE(h, nullptr);
    EXPECT_NE(handleBits(h), 0u) << h;
  }
  DestroyWindow(window);
  FreeLibrary(module);
  GlobalFree(block);
}

TEST_F(BlockFields, ABufferFieldReachesTheRunsBlockOnlyWhileItLives) {
  RunBuffers buffers;
  initRunBuffers(&buffers);
  allocRunBuffer(&buffers, 8);
  float* second = (float*)allocRunBuffer(&buffers, 4 * sizeof(float));
  second[3] = 2.5f;
  const BlockBuffer field = runBufferField(&buffers, second);
  EXPECT_EQ(runBufferField(&buffers, second + 1).bits, 0u);  // not a block's start
  const float* read = (const float*)lockBlockBuffer(field);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read[3], 2.5f);
  EXPECT_EQ(orvane_lock_count(buffers.handles[1]), 2);  // the run's lock and the reader's
  unlockBlockBuffer(field);
  releaseRunBuffers(&buffers);
  EXPECT_EQ(lockBlockBuffer(field), nullptr);  // stale: the run has freed its block
  EXPECT_EQ(lockBlockBuffer(BlockBuffer{0}), nullptr);
}

}  // namespace
