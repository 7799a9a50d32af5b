// Numbers typed into the dialogs read the same on every system, and never as infinite or not a
// number: what the Windows C library reads, not what another one also takes.
#include "frame/dialog_numbers.h"

#include <gtest/gtest.h>

#include <float.h>
#include <math.h>

namespace {

TEST(DialogNumbers, OnlyTheLeadingDecimalNumberIsRead) {
  EXPECT_EQ(ParseLeadingDecimal(" -2.5e1x"), -25.0);
  EXPECT_EQ(ParseLeadingDecimal("1/3"), 1.0);
  EXPECT_EQ(ParseLeadingDecimal(".5"), 0.5);
  EXPECT_EQ(ParseLeadingDecimal("94.3e"), 94.3);  // an exponent without digits is no exponent
  EXPECT_EQ(ParseLeadingDecimal("0.1"), 0.1);     // correctly rounded
  // What glibc would also read, and msvcrt reads as 0.
  for (const char* text : {"nan", "NAN(1)", "inf", "-Infinity", "0x1p3", "", "abc", "-", "."})
    EXPECT_EQ(ParseLeadingDecimal(text), 0.0) << text;
  EXPECT_EQ(ParseLeadingDecimal("1e999"), DBL_MAX);
  EXPECT_EQ(ParseLeadingDecimal("-1e999"), -DBL_MAX);
  EXPECT_EQ(ParseLeadingDecimal("1e-999"), 0.0);
}

TEST(DialogNumbers, IntegersStayWithinThirtyTwoBitsOnEverySystem) {
  EXPECT_EQ(ParseLeadingInteger("250%"), 250);
  EXPECT_EQ(ParseLeadingInteger(" -7"), -7);
  EXPECT_EQ(ParseLeadingInteger("x5"), 0);
  EXPECT_EQ(ParseLeadingInteger("0x10"), 0);
  EXPECT_EQ(ParseLeadingInteger("5000000000"), 2147483647);
  EXPECT_EQ(ParseLeadingInteger("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
