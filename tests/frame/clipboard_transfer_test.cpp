#include "frame/clipboard_transfer.h"

#include <gtest/gtest.h>
#include <orvane_platform.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

struct Seen {
  std::vector<std::string> captions, texts;
  std::vector<UINT> types;
  int beeps = 0;
};
Seen* seen;

int WINAPI onMessage(void*, HWND, LPCSTR text, LPCSTR caption, UINT type) {
  seen->texts.push_back(text);
  seen->captions.push_back(caption);
  seen->types.push_back(type);
  return IDOK;
}
void WINAPI onBeep(void*, UINT) { ++seen->beeps; }

class ClipboardTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orvane_reset();
    seen = &seen_;
    OrvaneUser user = {};
    user.messageBox = onMessage;
    user.beep = onBeep;
    orvane_set_user(&user);
    orvane_memory_stats(&before_);
  }
  void TearDown() override { orvane_reset(); }
  int liveBlocks() {
    OrvaneMemoryStats s;
    orvane_memory_stats(&s);
    return s.liveBlocks - before_.liveBlocks;
  }
  bool copy(const char* text) {
    HGLOBAL block;
    char* p = beginClipboardText(64, &block);
    if (p == nullptr) return false;
    strcpy(p, text);
    return finishClipboardText(nullptr, block, "ITU-T P.56");
  }
  Seen seen_;
  OrvaneMemoryStats before_;
};

TEST_F(ClipboardTransferTest, TextReachesTheClipboardWhichOwnsTheBlock) {
  EXPECT_TRUE(copy("Mono\t90.97"));
  size_t size = 0;
  const char* data = (const char*)orvane_clipboard_data(CF_TEXT, &size);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(data, "Mono\t90.97");
  EXPECT_EQ(size, 64u);
  EXPECT_EQ(liveBlocks(), 0);  // the clipboard's, not ours
  EXPECT_TRUE(seen_.texts.empty());
  EXPECT_EQ(seen_.beeps, 1);
}

TEST_F(ClipboardTransferTest, BusyClipboardShowsTheMessageAndFreesTheBlock) {
  orvane_clipboard_busy(1);
  EXPECT_FALSE(copy("lost"));
  ASSERT_EQ(seen_.texts.size(), 1u);
  EXPECT_EQ(seen_.texts[0],
            "Can not access Clipboard Data.\nAnother application or window\nhas the Clipboard "
            "opened.");
  EXPECT_EQ(seen_.captions[0], "ITU-T P.56");
  EXPECT_EQ(seen_.types[0] & MB_ICONMASK, (UINT)MB_ICONERROR);
  EXPECT_EQ(liveBlocks(), 0);
  size_t none = 0;
  EXPECT_EQ(orvane_clipboard_data(CF_TEXT, &none), nullptr);
  EXPECT_EQ(seen_.beeps, 1);  // the beep sounds in either case
}

TEST_F(ClipboardTransferTest, FailedCloseIsReportedButTheClipboardKeepsTheBlock) {
  orvane_clipboard_close_fails(1);
  EXPECT_FALSE(copy("kept"));
  EXPECT_EQ(seen_.texts.size(), 1u);
  EXPECT_EQ(liveBlocks(), 0);
}

TEST_F(ClipboardTransferTest, NoMemoryMeansNoTextAndNoMessage) {
  orvane_fail_alloc_at(1);
  HGLOBAL block = (HGLOBAL)1;
  EXPECT_EQ(beginClipboardText(64, &block), nullptr);
  EXPECT_EQ(block, nullptr);
  orvane_fail_lock_at(1);
  EXPECT_EQ(beginClipboardText(64, &block), nullptr);
  EXPECT_EQ(liveBlocks(), 0);
  EXPECT_TRUE(seen_.texts.empty());
}

}  // namespace
