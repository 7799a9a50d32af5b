// orvane run: the settings dialog as the person leaves it, the parameter block, presets and
// the files of --out. The measurement and the results dialog are levelmeter's own matter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "host/host_test_support.h"

using hosttest::runOrvane;
using hosttest::ScratchDir;
using orvane::Json;

namespace {

constexpr int kRunRate = 8000;
constexpr int kRunFrames = 4000;

struct Fixture : hosttest::ToneFiles {
  Fixture() : ToneFiles(kRunRate, kRunFrames) {}
};

Json settingsDialogOf(const Json& report) {
  for (const auto& d : report["dialogs"]) {
    if (d["resource"] == 100) return d;
  }
  return nullptr;
}

}  // namespace

TEST(RunCommand, SettingsAreAppliedAsAPersonWouldAndStoredInTheBlock) {
  Fixture f;
  auto r = runOrvane(
      {"run", "levelmeter", f.stereo, "--set", "1001=on", "--set", "1006=94", "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json report = Json::parse(r.out);

  EXPECT_EQ(report["plugin"]["paramSize"], 1460);
  EXPECT_EQ(report["calls"]["QueryXfm"], 0x489);
  EXPECT_EQ(report["calls"]["XfmInit"], 1);
  EXPECT_EQ(report["calls"]["XfmSetup"], 1);
  EXPECT_TRUE(report["calls"].contains("XfmDo"));
  EXPECT_EQ(report["calls"]["XfmDestroy"], 1);
  EXPECT_EQ(report["audio"]["channels"], 2);
  EXPECT_EQ(report["audio"]["frames"], kRunFrames);
  EXPECT_EQ(report["selection"]["first"], 0);
  EXPECT_EQ(report["selection"]["last"], kRunFrames - 1);

  Json settings = settingsDialogOf(report);
  ASSERT_FALSE(settings.is_null()) << r.out;
  EXPECT_EQ(settings["caption"], "Time History Analysis");
  EXPECT_EQ(settings["result"], 1);
  EXPECT_EQ(hosttest::controlOf(settings, 1001)["checked"], true);
  EXPECT_EQ(hosttest::controlOf(settings, 1000)["checked"], false);
  EXPECT_EQ(hosttest::controlOf(settings, 1008)["checked"], false);
  EXPECT_EQ(hosttest::controlOf(settings, 1006)["text"], "94");
  EXPECT_EQ(report["dialogInit"][0], 100);

  const Json& block = report["block"];
  EXPECT_EQ(hosttest::fieldAt(block, 16)["type"], "c");
  EXPECT_EQ(hosttest::fieldAt(block, 16)["value"], "A");
  EXPECT_EQ(hosttest::fieldAt(block, 17)["value"], "L");
  EXPECT_EQ(hosttest::fieldAt(block, 18)["type"], "f");
  EXPECT_EQ(hosttest::fieldAt(block, 18)["value"], 94.0);
  EXPECT_EQ(hosttest::fieldAt(block, 22)["value"], 120.0);
  EXPECT_EQ(block.size(), 53u);
  // XfmSetup stored the module instance: never zero after OK.
  EXPECT_NE(hosttest::fieldAt(block, 4)["value"], 0);
  EXPECT_EQ(report["memory"]["parameterBlockLocks"], 0);
}

TEST(RunCommand, ControlsCanBeNamedByTheirText) {
  Fixture f;
  auto r = runOrvane({"run", "levelmeter", f.stereo, "--set", "Leq=on", "--set", "1006=80.5",
                      "--set", "ISO=off", "--json", "--quiet"});
  // "ISO" names 1002 and 1009: ambiguous even to turn off, and the message says which.
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("1002"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1009"), std::string::npos) << r.err;

  r = runOrvane({"run", "levelmeter", f.stereo, "--set", "Leq=on", "--set", "1006=80.5", "--json",
                 "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json report = Json::parse(r.out);
  Json settings = settingsDialogOf(report);
  EXPECT_EQ(hosttest::controlOf(settings, 1234)["checked"], true);
  EXPECT_EQ(hosttest::controlOf(settings, 1232)["checked"], false);
  // In "Leq" mode the edit feeds leqCalLeft (26), and the mode is stored as 'L'.
  EXPECT_EQ(hosttest::fieldAt(report["block"], 26)["value"], 80.5);
  EXPECT_EQ(hosttest::fieldAt(report["block"], 34)["value"], "L");
}

TEST(RunCommand, MonoHidesTheRightColumn) {
  Fixture f;
  auto r = runOrvane({"run", "levelmeter", f.mono, "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json settings = settingsDialogOf(Json::parse(r.out));
  EXPECT_EQ(hosttest::controlOf(settings, 1007)["visible"], false);
  EXPECT_EQ(hosttest::controlOf(settings, 1008)["visible"], false);
  EXPECT_EQ(hosttest::controlOf(settings, 1006)["visible"], true);
}

TEST(RunCommand, PresetsRoundTrip) {
  Fixture f;
  std::string preset = f.dir.file("meter.preset");
  auto save =
      runOrvane({"run", "levelmeter", f.stereo, "--set", "1001=on", "--set", "1008=on", "--set",
                 "1006=94", "--set", "1007=101.25", "--save-preset", preset, "--json", "--quiet"});
  ASSERT_EQ(save.status, 0) << save.err;
  Json saved = Json::parse(save.out);
  EXPECT_EQ(saved["files"], Json::array({preset}));
  std::vector<unsigned char> bytes = hosttest::readBytes(preset);
  ASSERT_EQ(bytes.size(), 1460u);
  EXPECT_EQ(bytes[16], 'A');
  EXPECT_EQ(bytes[17], 'A');
  float right = 0;
  std::memcpy(&right, bytes.data() + 22, 4);
  EXPECT_EQ(right, 101.25f);

  // Loaded after XfmInit, the preset is what the settings dialog opens with.
  auto load = runOrvane({"run", "levelmeter", f.stereo, "--preset", preset, "--json", "--quiet"});
  ASSERT_EQ(load.status, 0) << load.err;
  Json loaded = Json::parse(load.out);
  Json settings = settingsDialogOf(loaded);
  EXPECT_EQ(hosttest::controlOf(settings, 1001)["checked"], true);
  EXPECT_EQ(hosttest::controlOf(settings, 1008)["checked"], true);
  EXPECT_EQ(hosttest::controlOf(settings, 1006)["text"], "94.00");
  EXPECT_EQ(hosttest::controlOf(settings, 1007)["text"], "101.25");
  EXPECT_EQ(hosttest::fieldAt(loaded["block"], 16)["value"], "A");
  EXPECT_EQ(hosttest::fieldAt(loaded["block"], 22)["value"], 101.25);
  EXPECT_TRUE(loaded["files"].empty());
}

TEST(RunCommand, OutDirectoryHoldsTheReport) {
  Fixture f;
  std::string out = f.dir.file("results/run1");
  auto r = runOrvane(
      {"run", "levelmeter", f.stereo, "--set", "1000=on", "--out", out, "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json printed = Json::parse(r.out);
  ASSERT_TRUE(hosttest::exists(out + "/report.json"));
  Json written = Json::parse(hosttest::readBytes(out + "/report.json"));
  EXPECT_EQ(written, printed);
  bool listed = false;
  for (const auto& file : printed["files"]) {
    EXPECT_TRUE(hosttest::exists(file.get<std::string>())) << file;
    if (file == out + "/report.json") listed = true;
  }
  EXPECT_TRUE(listed) << printed["files"];
  EXPECT_EQ(hosttest::fieldAt(written["block"], 16)["value"], "B");
}

TEST(RunCommand, TextReportOpensWithTheResultsTable) {
  Fixture f;
  auto r = runOrvane({"run", "levelmeter", f.mono, "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The table first, units in the labels, no row for a channel the run did not have.
  const std::vector<std::string> lines = hosttest::lines(r.out);
  ASSERT_GE(lines.size(), 20u);
  EXPECT_EQ(lines[0], "Results");
  const auto level = std::find_if(lines.begin(), lines.begin() + 20, [](const std::string& l) {
    return l.find("Active Speech Level (dB)") != std::string::npos;
  });
  EXPECT_NE(level, lines.begin() + 20) << r.out;
  EXPECT_EQ(r.out.find("- - -"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Parameter block"), std::string::npos) << r.out;
  // The dialogs, calls and block only when asked for.
  r = runOrvane({"run", "levelmeter", f.mono, "--quiet", "--details"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Dialog 100 \"Time History Analysis\" ended with 1"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("XfmSetup 1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Parameter block (1460 bytes)"), std::string::npos) << r.out;
}

// A run the plug-in ends with a message box is said with the box, not only with XfmDo's result.
TEST(RunCommand, ARunThePluginRefusesIsSaidWithItsMessage) {
  hosttest::ScratchDir dir;
  std::vector<double> pulse(4800, 0.0);
  pulse[10] = 16000;
  hosttest::writeWav(dir.file("ir.wav"), 1, 48000, pulse, false);
  // Completed: the results are numbers with their units.
  auto r = runOrvane(
      {"run", "inversefilter", dir.file("ir.wav"), "--set", "1061=8192", "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  int units = 0;
  const Json report = Json::parse(r.out);
  for (const auto& f : report["results"]) {
    units += f["name"] == "Sample Rate" && f["value"] == 48000 && f["unit"] == "Hz";
    units += f["name"] == "Low frequency" && f["value"] == 80 && f["unit"] == "Hz";
  }
  EXPECT_EQ(units, 2) << r.out.substr(0, 2000);

  r = runOrvane({"run", "inversefilter", dir.file("ir.wav"), "--set", "1061=8192", "--set",
                 "1042=0", "--quiet"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("XfmDo returned 1): \"Kirkeby plus\": The IN-band"), std::string::npos)
      << r.err;
}

TEST(RunCommand, APlugInWhoseXfmInitFailsDidNotCompleteItsRun) {
  Fixture f;
  setenv("ORVANE_BROKEN_FAULT", "noinit", 1);
  auto r = runOrvane({"run", ORVANE_BROKEN_PLUGIN, f.mono, "--json", "--quiet"});
  auto batch = runOrvane({"run", ORVANE_BROKEN_PLUGIN, f.mono, f.stereo, "--json", "--quiet"});
  unsetenv("ORVANE_BROKEN_FAULT");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("XfmInit returned 0"), std::string::npos) << r.err;
  const Json report = Json::parse(r.out);
  EXPECT_TRUE(report["results"].empty());
  EXPECT_NE(report.value("notCompleted", "").find("XfmInit returned 0"), std::string::npos);
  EXPECT_EQ(batch.status, 3);
  const Json summary = Json::parse(batch.out)["summary"];
  for (const Json& row : summary["rows"])
    EXPECT_NE(row.value("error", "").find("XfmInit returned 0"), std::string::npos) << row;
}

TEST(RunCommand, SelectionIsPassedInTheRecord) {
  Fixture f;
  auto r = runOrvane({"run", "levelmeter", f.stereo, "--select", "1000:2999", "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json report = Json::parse(r.out);
  EXPECT_EQ(report["selection"]["first"], 1000);
  EXPECT_EQ(report["selection"]["last"], 2999);
  EXPECT_EQ(report["selection"]["frames"], 2000);
}

// A WAVE file whose data chunk stops short of what its header says is measured as far as it
// goes, and the person is told.
TEST(RunCommand, AWaveFileCutShortIsMeasuredWithAWarning) {
  hosttest::ScratchDir dir;
  const std::string wav = dir.file("cut.wav");
  hosttest::writeTone(wav, 1, 48000, 4800);
  std::filesystem::resize_file(wav, std::filesystem::file_size(wav) - 2 * 1200);
  auto r = runOrvane({"run", "levelmeter", wav, "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("data cut: 3600 of 4800 frames"), std::string::npos) << r.err;
  const Json report = Json::parse(r.out);
  EXPECT_EQ(report["audio"]["frames"], 3600);
  EXPECT_EQ(report["warnings"], Json::array({"data cut: 3600 of 4800 frames"}));
}
