#include "frame/text_buffer.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

TEST(TextBuffer, AppendsWithinTheBuffer) {
  char text[32];
  TextBuffer b;
  initTextBuffer(&b, text, sizeof text);
  appendText(&b, "%s\t%.2f", "Mono", 116.994);
  appendText(&b, "\r\n");
  EXPECT_STREQ(text, "Mono\t116.99\r\n");
  EXPECT_EQ(b.length, strlen(text));
  EXPECT_FALSE(b.truncated);
}

TEST(TextBuffer, CutsOffWithoutWritingPastTheEnd) {
  char guard[16];
  memset(guard, 'x', sizeof guard);
  char* text = guard + 4;  // 8 usable bytes with guards on both sides
  TextBuffer b;
  initTextBuffer(&b, text, 8);
  appendText(&b, "%s", "0123456789");
  appendText(&b, "%s", "more");
  EXPECT_TRUE(b.truncated);
  EXPECT_STREQ(text, "0123456");
  EXPECT_EQ(b.length, 7u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(guard[i], 'x');
  for (int i = 12; i < 16; ++i) EXPECT_EQ(guard[i], 'x');
}

}  // namespace
