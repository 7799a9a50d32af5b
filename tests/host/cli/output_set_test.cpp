// What `orvane run` leaves in its folders: one run's outputs whole, never a mix of two, and
// never less than was there when a write fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "host/host_test_support.h"

using hosttest::readBytes;
using hosttest::runOrvane;
using orvane::Json;

namespace fs = std::filesystem;

namespace {

Json reportIn(const std::string& folder) {
  std::ifstream in(folder + "/report.json");
  return Json::parse(in);
}

// Entries of a folder whose names start with a dot: staging folders and temporary files.
std::vector<std::string> hiddenIn(const std::string& folder) {
  std::vector<std::string> hidden;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string()[0] == '.') hidden.push_back(e.path().string());
  return hidden;
}

}  // namespace

TEST(OutputSet, AFailedWriteLeavesTheEarlierFilesByteForByte) {
  hosttest::ToneFiles tone(48000, 96000);
  const std::string out = tone.dir.file("out"), preset = tone.dir.file("preset.json");
  auto first = runOrvane({"run", "levelmeter", tone.stereo, "--keep", "--out", out, "--save-preset",
                          preset, "--quiet"});
  ASSERT_EQ(first.status, 0) << first.err;
  const auto report = readBytes(out + "/report.json");
  const auto waveform = readBytes(out + "/waveform.wav");
  const auto presetBytes = readBytes(preset);

  // The written-back waveform (768 kB) cannot grow past 64 kB: the host fails to write (1), and
  // says why.
  auto full = runOrvane(
      {"run", "levelmeter", tone.stereo, "--set", "1001=on", "--keep", "--out", out, "--quiet"}, "",
      "", 65536);
  EXPECT_EQ(full.status, 1) << full.err;
  EXPECT_NE(full.err.find("waveform.wav: File too large"), std::string::npos) << full.err;
  // Neither can the preset grow past 1 kB.
  full = runOrvane(
      {"run", "levelmeter", tone.stereo, "--set", "1001=on", "--save-preset", preset, "--quiet"},
      "", "", 1024);
  EXPECT_EQ(full.status, 1) << full.err;
  EXPECT_NE(full.err.find("preset.json: File too large"), std::string::npos) << full.err;

  EXPECT_EQ(readBytes(out + "/report.json"), report);
  EXPECT_EQ(readBytes(out + "/waveform.wav"), waveform);
  EXPECT_EQ(readBytes(preset), presetBytes);
  EXPECT_TRUE(hiddenIn(tone.dir.path()).empty());
  EXPECT_TRUE(hiddenIn(out).empty());
}

TEST(OutputSet, ALaterRunReplacesTheEarlierSetWholeAndRunsAtOnceNeverMix) {
  hosttest::ToneFiles tone(48000, 48000);
  const std::string out = tone.dir.file("out");
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.stereo, "--keep", "--out", out, "--quiet"}).status,
            0);
  ASSERT_TRUE(hosttest::exists(out + "/waveform.wav"));
  // Without --keep nothing is written back: the earlier waveform must not stay beside the new
  // report.
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.mono, "--out", out, "--quiet"}).status, 0);
  EXPECT_FALSE(hosttest::exists(out + "/waveform.wav"));
  EXPECT_EQ(reportIn(out)["audio"]["file"], tone.mono);

  // Two runs into one folder at once: the report and the waveform are of one of them.
  for (int round = 0; round < 3; ++round) {
    auto mono = std::async(std::launch::async, [&] {
      return runOrvane({"run", "levelmeter", tone.mono, "--keep", "--out", out, "--quiet"});
    });
    auto stereo = runOrvane({"run", "levelmeter", tone.stereo, "--keep", "--out", out, "--quiet"});
    ASSERT_EQ(stereo.status, 0) << stereo.err;
    ASSERT_EQ(mono.get().status, 0);
    const Json report = reportIn(out);
    const auto wav = readBytes(out + "/waveform.wav");
    ASSERT_GT(wav.size(), 24u);
    EXPECT_EQ(report["audio"]["channels"], wav[22]) << "round " << round;
    EXPECT_TRUE(hiddenIn(tone.dir.path()).empty());
  }

  // A folder of a person's own files is never replaced.
  fs::create_directory(tone.dir.file("mine"));
  std::ofstream(tone.dir.file("mine/notes.txt")) << "keep";
  auto refused = runOrvane({"run", "levelmeter", tone.mono, "--out", tone.dir.file("mine")});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(hosttest::lines(refused.err).size(), 1u) << refused.err;
  EXPECT_TRUE(hosttest::exists(tone.dir.file("mine/notes.txt")));
}

// What a killed run leaves (its staging folder beside the output folder, an older version's
// ".partial" waveform in it) goes with the next run into that folder.
TEST(OutputSet, ThePartsAKilledRunLeftAreRemovedByTheNext) {
  hosttest::ToneFiles tone(48000, 4800);
  const std::string out = tone.dir.file("out");
  fs::create_directories(tone.dir.file(".out.orvane-999999999-1/deep"));
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.mono, "--out", out, "--quiet"}).status, 0);
  std::ofstream(out + "/waveform.wav.partial") << "half";
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.mono, "--out", out, "--quiet"}).status, 0);
  EXPECT_TRUE(hiddenIn(tone.dir.path()).empty());
  EXPECT_FALSE(hosttest::exists(out + "/waveform.wav.partial"));
}
