#include "frame/dialog_state.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

TEST(DialogState, TextRoundTripKeepsEveryAddress) {
  // Addresses above 2 GiB read as negative 32-bit numbers and must survive the text form.
  const uintptr_t samples[][3] = {{0x00401000u, 0x1234u, 0x0012FF00u},
                                  {0x80001000u, 0xFFFFFFF0u, 0xC0000000u},
                                  {0, 0, 0},
                                  {1, 2, 3}};
  for (const auto& s : samples) {
    DialogState in{(void*)s[0], (HGLOBAL)s[1], (XFMINSTANCE*)s[2]};
    char text[80];
    formatDialogState(text, sizeof text, in);
    DialogState out = parseDialogState(text);
    EXPECT_EQ(out.block, in.block) << text;
    EXPECT_EQ(out.blockHandle, in.blockHandle) << text;
    EXPECT_EQ(out.instance, in.instance) << text;
  }
}

TEST(DialogState, TextIsThreeSignedDecimals) {
  DialogState in{(void*)0x80000000u, (HGLOBAL)7, (XFMINSTANCE*)0x1000};
  char text[80];
  formatDialogState(text, sizeof text, in);
  EXPECT_STREQ(text, "-2147483648,7,4096");
}

TEST(DialogState, EmptyOrBrokenTextYieldsZeros) {
  for (const char* text : {"", "abc", ",,"}) {
    DialogState s = parseDialogState(text);
    EXPECT_EQ(s.block, nullptr) << text;
    EXPECT_EQ(s.blockHandle, nullptr) << text;
    EXPECT_EQ(s.instance, nullptr) << text;
  }
  // A partial text keeps what it has.
  DialogState s = parseDialogState("12,34");
  EXPECT_EQ(s.block, (void*)12);
  EXPECT_EQ(s.blockHandle, (HGLOBAL)34);
  EXPECT_EQ(s.instance, nullptr);
}

}  // namespace
