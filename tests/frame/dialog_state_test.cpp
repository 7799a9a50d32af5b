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

// Three signed decimals of an address's width: "%ld,%d,%ld" on x86 32-bit, where an address at
// 2 GiB reads negative; the whole 64-bit value on x86-64, within the 79 characters read back.
TEST(DialogState, TextIsThreeSignedDecimalsOfTheAddressWidth) {
  char text[80];
  if (sizeof(void*) == 4) {
    formatDialogState(text, sizeof text, {(void*)0x80000000u, (HGLOBAL)7, (XFMINSTANCE*)0x1000});
    EXPECT_STREQ(text, "-2147483648,7,4096");
    return;
  }
  const uintptr_t high = (uintptr_t)0x7FFF12345678ull, top = ~(uintptr_t)0;
  formatDialogState(text, sizeof text, {(void*)0x80000000u, (HGLOBAL)7, (XFMINSTANCE*)high});
  EXPECT_STREQ(text, "2147483648,7,140733498807928");
  const DialogState widest{(void*)(top / 2 + 1), (HGLOBAL)top, (XFMINSTANCE*)(top / 2)};
  formatDialogState(text, sizeof text, widest);
  EXPECT_STREQ(text, "-9223372036854775808,-1,9223372036854775807");
  const DialogState back = parseDialogState(text);
  EXPECT_EQ(back.block, widest.block);
  EXPECT_EQ(back.blockHandle, widest.blockHandle);
  EXPECT_EQ(back.instance, widest.instance);
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
