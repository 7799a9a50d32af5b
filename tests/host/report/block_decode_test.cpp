// The parameter block read field by field from paramTypes.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "host/report/block_decode.h"

using namespace orvane;

namespace {

template <typename T>
void put(std::vector<unsigned char>& b, size_t offset, T value) {
  std::memcpy(b.data() + offset, &value, sizeof value);
}

}  // namespace

TEST(BlockDecode, EveryLetterAtItsOffset) {
  // c c i l f d h b s: 1 1 2 4 4 8 4 4 256 bytes.
  std::vector<unsigned char> b(284 + 10, 0xEE);
  b[0] = 'A';
  b[1] = 7;  // a flag, not a printable character
  put<int16_t>(b, 2, -1234);
  put<int32_t>(b, 4, -70000);
  put<float>(b, 8, 94.0f);
  put<double>(b, 12, -0.125);
  put<uint32_t>(b, 20, 0xDEADBEEF);
  put<int32_t>(b, 24, 1);
  std::memset(b.data() + 28, 0, 256);
  std::strcpy(reinterpret_cast<char*>(b.data() + 28), "C:\\");

  DecodedBlock d = decodeBlock(b, "ccilfdhbs");
  ASSERT_TRUE(d.problem.empty()) << d.problem;
  ASSERT_EQ(d.fields.size(), 9u);
  unsigned long offsets[] = {0, 1, 2, 4, 8, 12, 20, 24, 28};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(d.fields[i].offset, offsets[i]) << i;
  EXPECT_EQ(d.fields[0].value, "A");
  EXPECT_EQ(d.fields[1].value, 7);
  EXPECT_EQ(d.fields[2].value, -1234);
  EXPECT_EQ(d.fields[3].value, -70000);
  EXPECT_EQ(d.fields[4].value, 94.0);
  EXPECT_EQ(d.fields[5].value, -0.125);
  EXPECT_EQ(d.fields[6].value, 0xDEADBEEFu);
  EXPECT_EQ(d.fields[7].value, 1);
  EXPECT_EQ(d.fields[8].value, "C:\\");
  EXPECT_EQ(d.fields[8].type, 's');
  EXPECT_EQ(d.covered, 284u);
}

TEST(BlockDecode, StopsWhereTheLettersLeaveTheBlock) {
  std::vector<unsigned char> b(6, 0);
  DecodedBlock d = decodeBlock(b, "lf");
  ASSERT_EQ(d.fields.size(), 1u);
  EXPECT_NE(d.problem.find("offset 4"), std::string::npos) << d.problem;

  d = decodeBlock(b, "cxc");
  ASSERT_EQ(d.fields.size(), 1u);
  EXPECT_NE(d.problem.find("'x'"), std::string::npos) << d.problem;

  // A string without its zero ends at the field's 256 bytes.
  std::vector<unsigned char> s(256, 'z');
  d = decodeBlock(s, "s");
  EXPECT_EQ(d.fields[0].value.get<std::string>().size(), 256u);
}

TEST(BlockDecode, FloatsAsTheirShortestDecimal) {
  EXPECT_EQ(floatJson(0.1f).dump(), "0.1");
  EXPECT_EQ(floatJson(94.0f).dump(), "94.0");
  EXPECT_EQ(floatJson(3.0518509e-05f).dump(), "3.051851e-05");  // 1/32767 as a float
  EXPECT_EQ(floatJson(-200.0f).dump(), "-200.0");
  EXPECT_TRUE(floatJson(std::numeric_limits<float>::quiet_NaN()).is_null());
  EXPECT_TRUE(floatJson(std::numeric_limits<float>::infinity()).is_null());
  // Read back, the decimal is the same float.
  float odd = 123.456789f;
  EXPECT_EQ(static_cast<float>(floatJson(odd).get<double>()), odd);
}
