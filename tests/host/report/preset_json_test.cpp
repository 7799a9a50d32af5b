// Readable presets: the parameter block as JSON, every byte kept, and malformed ones refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "host/errors.h"
#include "host/host_test_support.h"
#include "host/report/preset.h"

using namespace orvane;

namespace {

PluginInfo meterInfo() {
  PluginInfo info;
  info.name = "Orvane\\levelmeter Time History Analysis";
  info.paramSize = 1460;
  info.paramTypes = "hhhhccffffcclllllllllllllffffffffffbffffffffffbbccccc";
  return info;
}

std::vector<unsigned char> sampleBlock() {
  std::vector<unsigned char> block(1460);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 13 + 5);
  float f = 94.0f;
  std::memcpy(block.data() + 18, &f, 4);
  block[16] = 'A';
  float nan = std::nanf("");
  std::memcpy(block.data() + 22, &nan, 4);  // kept through "hex"
  return block;
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string malformedReason(const std::string& path, const PluginInfo& info) {
  try {
    loadPreset(path, info);
  } catch (const HostError& e) {
    EXPECT_EQ(e.status(), kExitBadInput);
    return e.what();
  }
  ADD_FAILURE() << path << " accepted";
  return "";
}

}  // namespace

TEST(PresetJson, RoundTripKeepsEveryByteAndReadsAsFields) {
  hosttest::ScratchDir dir;
  std::vector<unsigned char> block = sampleBlock();
  savePreset(dir.file("p.json"), block, meterInfo());
  EXPECT_EQ(loadPreset(dir.file("p.json"), meterInfo()), block);

  Json j = Json::parse(std::ifstream(dir.file("p.json")));
  EXPECT_EQ(j["paramSize"], 1460);
  ASSERT_EQ(j["fields"].size(), 53u);
  EXPECT_EQ(j["fields"][4]["offset"], 16);
  EXPECT_EQ(j["fields"][4]["type"], "c");
  EXPECT_EQ(j["fields"][4]["value"], "A");
  EXPECT_EQ(j["fields"][6]["value"], 94);
  EXPECT_FALSE(j["fields"][6].contains("hex"));
  EXPECT_TRUE(j["fields"][7].contains("hex"));  // the NaN
  std::string rest;
  for (const auto& chunk : j["rest"]) rest += chunk.get<std::string>();
  EXPECT_EQ(rest.size(), 2u * (1460 - 185));
}

TEST(PresetJson, EditedValuesLoadAndRawBlocksStillDo) {
  hosttest::ScratchDir dir;
  std::vector<unsigned char> block = sampleBlock();
  Json j = presetJson(block, meterInfo());
  j["fields"][6]["value"] = 101.5;
  writeText(dir.file("edited.json"), j.dump());
  std::vector<unsigned char> loaded = loadPreset(dir.file("edited.json"), meterInfo());
  float f;
  std::memcpy(&f, loaded.data() + 18, 4);
  EXPECT_EQ(f, 101.5f);
  writePreset(dir.file("raw.bin"), block);
  EXPECT_EQ(loadPreset(dir.file("raw.bin"), meterInfo()), block);
}

TEST(PresetJson, MalformedPresetsAreRefusedNamingTheProblem) {
  hosttest::ScratchDir dir;
  Json good = presetJson(sampleBlock(), meterInfo());
  struct Case {
    const char* name;
    Json preset;
    const char* reason;
  };
  std::vector<Case> cases;
  Json j = good;
  j["paramSize"] = 124;
  cases.push_back({"size.json", j, "paramSize"});
  j = good;
  j["fields"].erase(j["fields"].begin() + 10);
  cases.push_back({"missing.json", j, "should be offset"});
  j = good;
  j["fields"][4]["value"] = "AB";
  cases.push_back({"char.json", j, "one character"});
  j = good;
  j["fields"][6]["value"] = 1e300;
  cases.push_back({"float.json", j, "32-bit float"});
  j = good;
  j["fields"][0]["value"] = -1;
  cases.push_back({"handle.json", j, "outside"});
  j = good;
  j["rest"].erase(j["rest"].begin());
  cases.push_back({"rest.json", j, "\"rest\" holds"});
  j = good;
  j["rest"][0] = "zz";
  cases.push_back({"hex.json", j, "not hex"});
  j = good;
  j["fields"][3]["offset"] = "twelve";
  cases.push_back({"kind.json", j, "should be offset"});
  for (const auto& c : cases) {
    writeText(dir.file(c.name), c.preset.dump());
    std::string why = malformedReason(dir.file(c.name), meterInfo());
    EXPECT_NE(why.find("malformed preset"), std::string::npos) << c.name << ": " << why;
    EXPECT_NE(why.find(c.reason), std::string::npos) << c.name << ": " << why;
  }
  writeText(dir.file("broken.json"), "{\"paramSize\": 1460,");
  EXPECT_NE(malformedReason(dir.file("broken.json"), meterInfo()).find("not valid JSON"),
            std::string::npos);
}

TEST(PresetJson, SavedAndLoadedThroughTheCommand) {
  hosttest::ScratchDir dir;
  std::string wav = dir.file("tone.wav");
  hosttest::writeTone(wav, 1, 8000, 4000);
  auto first = hosttest::runOrvane({"run", "levelmeter", wav, "--set", "1002=on", "--set",
                                    "1006=101", "--save-preset", dir.file("p.json"), "--quiet"});
  ASSERT_EQ(first.status, 0) << first.err;
  auto second = hosttest::runOrvane(
      {"run", "levelmeter", wav, "--preset", dir.file("p.json"), "--json", "--quiet"});
  ASSERT_EQ(second.status, 0) << second.err;
  Json r = Json::parse(second.out);
  EXPECT_EQ(hosttest::fieldAt(r["block"], 16)["value"], "W");
  EXPECT_EQ(hosttest::fieldAt(r["block"], 18)["value"], 101);

  writeText(dir.file("bad.json"), "{\"paramSize\": 12}");
  auto bad = hosttest::runOrvane({"run", "levelmeter", wav, "--preset", dir.file("bad.json")});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(hosttest::lines(bad.err).size(), 1u) << bad.err;
}
