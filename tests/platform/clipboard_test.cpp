// The clipboard: opening and closing, failures a test can arrange, ownership of the blocks
// handed over, and reading back what was put there.
#include <orvane_platform.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr DWORD kErrorClipboardNotOpen = 1418;

int liveBlocks() {
  OrvaneMemoryStats s{};
  orvane_memory_stats(&s);
  return s.liveBlocks;
}

HGLOBAL textBlock(const char* text, SIZE_T size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size);
  char* p = static_cast<char*>(GlobalLock(h));
  std::strcpy(p, text);
  GlobalUnlock(h);
  return h;
}

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override { orvane_reset(); }
  void TearDown() override { orvane_reset(); }
};

TEST_F(Clipboard, HandedOverBlockBelongsToTheClipboardUntilEmptied) {
  const int before = liveBlocks();
  HGLOBAL h = textBlock("Leq\t61.2\r\n", 64);
  EXPECT_EQ(liveBlocks(), before + 1);
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(liveBlocks(), before);
  EXPECT_EQ(orvane_lock_count(h), -1);
  // No longer the caller's to free.
  EXPECT_EQ(GlobalFree(h), h);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_WAVE));
  size_t size = 0;
  const char* text = static_cast<const char*>(orvane_clipboard_data(CF_TEXT, &size));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(size, 64u);
  EXPECT_STREQ(text, "Leq\t61.2\r\n");
  EXPECT_EQ(orvane_clipboard_data(CF_WAVE, &size), nullptr);
  EXPECT_EQ(size, 0u);
  // The next owner's EmptyClipboard frees it.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(GetClipboardData(CF_TEXT), h);
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(orvane_clipboard_data(CF_TEXT, nullptr), nullptr);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(liveBlocks(), before);
}

TEST_F(Clipboard, NewDataForAFormatReplacesAndFreesTheOld) {
  HGLOBAL first = textBlock("first", 16);
  HGLOBAL second = textBlock("second", 16);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(SetClipboardData(CF_TEXT, first), first);
  EXPECT_EQ(SetClipboardData(CF_TEXT, second), second);
  CloseClipboard();
  EXPECT_STREQ(static_cast<const char*>(orvane_clipboard_data(CF_TEXT, nullptr)), "second");
  EXPECT_EQ(GlobalSize(first), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  orvane_clipboard_clear();
  EXPECT_EQ(GlobalSize(second), 0u);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(Clipboard, BusyClipboardCannotBeOpened) {
  orvane_clipboard_busy(1);
  EXPECT_FALSE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));
  orvane_clipboard_busy(0);
  EXPECT_TRUE(OpenClipboard(nullptr));
  // Nor twice at once.
  EXPECT_FALSE(OpenClipboard(nullptr));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GetLastError(), kErrorClipboardNotOpen);
}

TEST_F(Clipboard, ClosingCanBeMadeToFailWithoutLeavingItOpen) {
  orvane_clipboard_close_fails(1);
  HGLOBAL h = textBlock("text", 8);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
  EXPECT_FALSE(CloseClipboard());
  // The block was handed over before the close failed: the clipboard still has it.
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(CloseClipboard());
  orvane_clipboard_close_fails(0);
  EXPECT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, EveryChangeNeedsTheClipboardOpen) {
  HGLOBAL h = textBlock("text", 8);
  const int before = liveBlocks();
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(GetLastError(), kErrorClipboardNotOpen);
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);
  EXPECT_EQ(GetLastError(), kErrorClipboardNotOpen);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  // The refused block is still the caller's.
  EXPECT_EQ(liveBlocks(), before);
  EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(Clipboard, OnlyUnlockedLiveBlocksAreTakenOver) {
  HGLOBAL locked = textBlock("locked", 8);
  GlobalLock(locked);
  HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 8);
  GlobalFree(freed);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(SetClipboardData(CF_TEXT, locked), nullptr);
  EXPECT_EQ(SetClipboardData(CF_TEXT, freed), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();
  EXPECT_EQ(orvane_lock_count(locked), 1);
  GlobalUnlock(locked);
  EXPECT_EQ(GlobalFree(locked), nullptr);
}

TEST_F(Clipboard, ResetEmptiesClosesAndClearsFaults) {
  HGLOBAL h = textBlock("text", 8);
  const int before = liveBlocks();
  ASSERT_TRUE(OpenClipboard(nullptr));
  SetClipboardData(CF_WAVE, h);
  orvane_clipboard_busy(1);
  orvane_clipboard_close_fails(1);
  orvane_reset();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_WAVE));
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_EQ(liveBlocks(), before - 1);  // it left the count when handed over
  EXPECT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(CloseClipboard());
}

}  // namespace
