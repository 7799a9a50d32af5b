// Raw-byte presets.
#include <gtest/gtest.h>

#include <fstream>

#include "host/errors.h"
#include "host/host_test_support.h"
#include "host/report/preset.h"

using namespace orvane;

TEST(Preset, RoundTripKeepsEveryByte) {
  hosttest::ScratchDir dir;
  std::vector<unsigned char> block(1460);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 7 + 3);
  writePreset(dir.file("p.bin"), block);
  EXPECT_EQ(hosttest::readBytes(dir.file("p.bin")), block);
  EXPECT_EQ(readPreset(dir.file("p.bin"), 1460), block);
}

TEST(Preset, WrongSizeIsMalformed) {
  hosttest::ScratchDir dir;
  writePreset(dir.file("short.bin"), std::vector<unsigned char>(1459, 1));
  writePreset(dir.file("long.bin"), std::vector<unsigned char>(1461, 1));
  writePreset(dir.file("empty.bin"), {});
  for (const char* name : {"short.bin", "long.bin", "empty.bin"}) {
    try {
      readPreset(dir.file(name), 1460);
      ADD_FAILURE() << name << " accepted";
    } catch (const HostError& e) {
      EXPECT_EQ(e.status(), kExitBadInput);
      EXPECT_NE(std::string(e.what()).find("malformed preset"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("1460"), std::string::npos) << e.what();
    }
  }
}

TEST(Preset, MissingFileAndUnwritablePath) {
  try {
    readPreset("/nonexistent/preset.bin", 4);
    ADD_FAILURE() << "accepted";
  } catch (const HostError& e) {
    EXPECT_EQ(e.status(), kExitBadInput);
  }
  try {
    writePreset("/nonexistent/preset.bin", {1, 2});
    ADD_FAILURE() << "written";
  } catch (const HostError& e) {
    EXPECT_EQ(e.status(), kExitFailure);
  }
}
