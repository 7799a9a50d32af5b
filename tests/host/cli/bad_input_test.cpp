// Bad input: one line "orvane: ..." on stderr, exit status 2, nothing on stdout and nothing
// written: no report, no preset, no --out directory.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>

#include "host/host_test_support.h"

using hosttest::runOrvane;
using hosttest::ScratchDir;

namespace {

struct BadCase {
  const char* what;
  std::vector<std::string> args;  // after "run" ... "--out OUT --save-preset PRESET"
  std::vector<std::string> mustName;
};

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    hosttest::writeTone(dir.file("stereo.wav"), 2, 8000, 4000);
    hosttest::writeTone(dir.file("mono.wav"), 1, 8000, 4000);
    hosttest::writeWav(dir.file("three.wav"), 3, 8000, std::vector<double>(300, 10.0), false);
    std::ofstream(dir.file("garbage.wav")) << "RIFF but not really\n";
    std::ofstream(dir.file("short.preset")) << "too short";
  }

  // Runs and checks the refusal; returns stderr's line.
  std::string refused(const std::vector<std::string>& args) {
    std::string out = dir.file("out");
    std::string preset = dir.file("saved.preset");
    std::vector<std::string> all = args;
    if (!args.empty() && args[0] == "run") {
      all.insert(all.end(), {"--out", out, "--save-preset", preset, "--quiet"});
    }
    auto r = runOrvane(all, dir.path());
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    auto lines = hosttest::lines(r.err);
    EXPECT_EQ(lines.size(), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("orvane: ", 0), 0u) << r.err;
    EXPECT_FALSE(hosttest::exists(out)) << "the --out directory was created";
    EXPECT_FALSE(hosttest::exists(preset)) << "the preset was written";
    return lines.empty() ? "" : lines[0];
  }

  ScratchDir dir;
};

void expectNames(const std::string& line, std::initializer_list<const char*> words) {
  for (const char* w : words) EXPECT_NE(line.find(w), std::string::npos) << line;
}

}  // namespace

TEST_F(BadInput, AudioFiles) {
  expectNames(refused({"run", "levelmeter", "missing.wav"}), {"missing.wav", "no such file"});
  expectNames(refused({"run", "levelmeter", "garbage.wav"}), {"garbage.wav"});
  expectNames(refused({"run", "levelmeter", "three.wav"}), {"three.wav", "3 channels"});
  expectNames(refused({"run", "levelmeter", dir.path()}), {"directory"});
  // Opened twice, a pipe would hang the second open for good.
  ASSERT_EQ(mkfifo(dir.file("pipe.wav").c_str(), 0644), 0);
  expectNames(refused({"run", "levelmeter", "pipe.wav"}), {"pipe.wav", "not a regular file"});
}

TEST_F(BadInput, Selections) {
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--select", "10:5"}),
              {"empty selection", "10:5"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--select", "0:4000"}),
              {"0:4000", "outside", "3999"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--select", "-1:10"}),
              {"-1:10", "outside"});
}

TEST_F(BadInput, Plugins) {
  expectNames(refused({"run", "nosuchplugin", "stereo.wav"}), {"nosuchplugin"});
  expectNames(refused({"run", "./nosuch.xfm", "stereo.wav"}), {"nosuch.xfm"});
  expectNames(refused({"describe", "nosuchplugin"}), {"nosuchplugin"});
}

TEST_F(BadInput, SettingsThatAPersonCannotMake) {
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "IEC=on"}),
              {"IEC", "1001", "1008", "ambiguous"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "9999=on"}),
              {"9999", "no control"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "Volume=3"}),
              {"Volume", "no control"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "1000=maybe"}),
              {"1000", "on or off"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "1232=off"}),
              {"1232", "cannot be turned off"});
  expectNames(refused({"run", "levelmeter", "mono.wav", "--set", "1007=3"}), {"1007", "hidden"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "1245=x"}),
              {"1245", "takes no value"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "Cancel=on"}),
              {"Cancel", "push button"});
  // A later bad setting refuses the whole run, even after good ones.
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--set", "1001=on", "--set", "1006=94",
                       "--set", "1009=sure"}),
              {"--set 1009=sure"});
}

TEST_F(BadInput, TextThatIsNoNumberIntoAnEditThatHoldsOne) {
  // The plug-in would read each as a number it was not meant to be (0, 94, ...).
  for (const char* text : {"abc", "94,5", "nan", "inf", "1e999", "", "94 dB", "0x10", "1e-999"}) {
    expectNames(
        refused({"run", "levelmeter", "stereo.wav", "--set", std::string("1006=") + text}),
        {"1006", "\"Calibration values (dB):\"", ("\"" + std::string(text) + "\"").c_str()});
  }
  // Every part of a decimal number is taken, as the plug-in reads it.
  auto taken =
      runOrvane({"run", "levelmeter", "stereo.wav", "--set", "1006=+9.45E1", "--json", "--quiet"},
                dir.path());
  ASSERT_EQ(taken.status, 0) << taken.err;
  EXPECT_EQ(hosttest::fieldAt(orvane::Json::parse(taken.out)["block"], 18)["value"], 94.5);
  // Digits only where the edit's style admits nothing else.
  expectNames(refused({"run", "inversefilter", "stereo.wav", "--set", "1061=1024.0"}),
              {"1061", "\"1024.0\"", "digits only"});
}

TEST_F(BadInput, TonesThatCannotCalibrate) {
  // Three seconds at 8 kHz, 16-bit scale: a tone, a tone that drops 1 dB after a second, a
  // tone with one sample at full scale, and silence.
  const int rate = 8000, frames = 3 * rate;
  std::vector<double> tone(frames), drop(frames), clipped(frames), silence(frames, 0.0);
  for (int i = 0; i < frames; ++i) {
    tone[i] = clipped[i] = 8000.0 * std::sin(6.283185307179586 * 1000.0 * i / rate);
    drop[i] = tone[i] * (i < rate ? 1.0 : 0.891);
  }
  clipped[rate + 5] = 32767.0;
  hosttest::writeWav(dir.file("drop.wav"), 1, rate, drop, false);
  hosttest::writeWav(dir.file("clipped.wav"), 1, rate, clipped, false);
  hosttest::writeWav(dir.file("silence.wav"), 1, rate, silence, false);
  hosttest::writeWav(dir.file("short.wav"), 1, rate,
                     std::vector<double>(tone.begin(), tone.begin() + rate / 2), false);
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"drop.wav", "not steady"},
      {"clipped.wav", "clipped"},
      {"silence.wav", "silent"},
      {"short.wav", "shorter than 1 s"}};
  for (const auto& [file, why] : cases) {
    expectNames(
        refused({"run", "levelmeter", "stereo.wav", "--calibrate", std::string(file) + "=94"}),
        {"--calibrate", file, why});
  }
  // A meter's controls are found by what its dialogs show; another plug-in has none.
  hosttest::writeWav(dir.file("tone.wav"), 1, rate, tone, false);
  expectNames(refused({"run", "inversefilter", "stereo.wav", "--calibrate", "tone.wav=94"}),
              {"--calibrate", "Calibration values (dB):"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--calibrate", "tone.wav=loud"}),
              {"--calibrate", "LEVEL"});
}

TEST_F(BadInput, Presets) {
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--preset", "short.preset"}),
              {"short.preset", "malformed preset", "1460"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--preset", "none.preset"}),
              {"none.preset"});
}

TEST_F(BadInput, UsageErrors) {
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--frobnicate"}), {"--frobnicate"});
  expectNames(refused({"run", "levelmeter"}), {"missing AUDIOFILE"});
  expectNames(refused({"run", "levelmeter", "stereo.wav", "--select"}), {"--select"});
  expectNames(refused({"bogus"}), {"bogus"});
}

// A preset that could not be saved is found out before the run, not after it.
TEST_F(BadInput, PresetIntoAMissingFolder) {
  auto r = runOrvane({"run", "levelmeter", "stereo.wav", "--out", dir.file("out"), "--save-preset",
                      dir.file("nodir/p.json"), "--quiet"},
                     dir.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no folder"), std::string::npos) << r.err;
  EXPECT_FALSE(hosttest::exists(dir.file("out")));
}

TEST_F(BadInput, OutPathThatIsAFile) {
  std::ofstream(dir.file("plain")) << "x";
  auto r = runOrvane({"run", "levelmeter", "stereo.wav", "--out", dir.file("plain"), "--quiet"},
                     dir.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not a directory"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}
