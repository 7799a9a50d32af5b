// orvane assess on the designer's own filters: the band each is judged over, where its main
// arrival is meant to land, and the pre-echo a long design folds back before its middle.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "host/assess/assess_signals.h"
#include "host/host_test_support.h"
#include "host/report/json.h"

using hosttest::interleave;
using hosttest::pulseAt;
using hosttest::runOrvane;
using hosttest::ScratchDir;

namespace {

constexpr int kDesignRate = 48000;

orvane::Json assessJson(const std::vector<std::string>& args, const std::string& cwd) {
  std::vector<std::string> all = {"assess"};
  all.insert(all.end(), args.begin(), args.end());
  all.push_back("--json");
  const auto r = runOrvane(all, cwd);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.status == 0 ? orvane::Json::parse(r.out).at("assessment") : orvane::Json::object();
}

orvane::Json runReport(const std::string& dir, const std::string& out) {
  const auto bytes = hosttest::readBytes(dir + "/" + out + "/report.json");
  return orvane::Json::parse(std::string(bytes.begin(), bytes.end()));
}

bool anyWarningSays(const orvane::Json& a, const std::string& what) {
  for (const auto& w : a.at("warnings"))
    if (w.get<std::string>().find(what) != std::string::npos) return true;
  return false;
}

}  // namespace

// The demo's design, judged without its record (a filter brought from elsewhere), reads as its
// own run does; with the record beside it, the band is the design's. Its long filter folds the
// room's tail back before its middle: the octaves name the pre-echo.
TEST(AssessDesigns, TheDemoDesignByItsCorrectedBand) {
  ScratchDir dir;
  const std::string room = std::string(ORVANE_SOURCE_DIR) + "/examples/room-response.wav";
  auto r = runOrvane(
      {"run", "inversefilter", room, "--set", "1061=32768", "--out", "eq", "--quiet"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const orvane::Json run = runReport(dir.path(), "eq").at("assessment");
  ASSERT_TRUE(hosttest::exists(dir.file("eq/clipboard.design.json")));
  std::filesystem::copy_file(dir.file("eq/clipboard.wav"), dir.file("bare.wav"));

  const orvane::Json bare = assessJson({room, "bare.wav"}, dir.path());
  EXPECT_EQ(bare.at("band_source"), "corrected");
  const double runAfter = run.at("channels")[0].at("flatness_db").at("after").at("max");
  EXPECT_NEAR(bare.at("channels")[0].at("flatness_db").at("after").at("max").get<double>(),
              runAfter, 0.5);
  EXPECT_NEAR(bare.at("channels")[0].at("peak_offset_ms").get<double>(), 0.0, 0.05);

  const orvane::Json kept = assessJson({room, "eq/clipboard.wav"}, dir.path());
  EXPECT_EQ(kept.at("band_source"), "design");
  EXPECT_EQ(kept.at("band_hz"), run.at("band_hz"));
  EXPECT_TRUE(anyWarningSays(run, "pre-echo in the 1 kHz octave")) << run.at("warnings").dump();
}

// A cross-talk network judged without its record corrects where the design does, so its
// equalised response is flatter than the response, at both ears.
TEST(AssessDesigns, AStereoNetworkByItsCorrectedBand) {
  ScratchDir dir;
  // The left loudspeaker at the left ear (direct sound and two reflections) and, weaker and
  // later, at the right ear.
  std::vector<double> left(4800, 0.0), right(4800, 0.0);
  left[100] = 0.5, left[160] = 0.2, left[400] = -0.1;
  right[112] = 0.25, right[150] = 0.1, right[500] = 0.05;
  hosttest::writeWav(dir.file("ears.wav"), 2, kDesignRate, interleave(left, right), true);
  auto r = runOrvane({"run", "inversefilter", "ears.wav", "--set", "1011=on", "--set", "1061=8192",
                      "--out", "xtc", "--quiet"},
                     dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::filesystem::copy_file(dir.file("xtc/clipboard.wav"), dir.file("bare.wav"));
  const orvane::Json a = assessJson({"ears.wav", "bare.wav", "--mode", "stereo"}, dir.path());
  EXPECT_FALSE(anyWarningSays(a, "less flat")) << a.at("warnings").dump();
  for (const auto& c : a.at("channels"))
    EXPECT_NEAR(c.at("peak_offset_ms").get<double>(), 0.0, 0.05) << c.at("name");
}

// Filters that mean no delay of L/2: a pure delay, and a minimum-phase inverse whose main
// peak is its first sample. Neither moves the arrival it intends.
TEST(AssessDesigns, TheIntendedArrivalOfDelaysAndMinimumPhaseInverses) {
  ScratchDir dir;
  const long L = 1024;
  // 10 ms late, and 1 - 0.5 z^-30 at that delay.
  std::vector<double> echo = pulseAt(2400, 480);
  echo[510] = -0.5;
  std::vector<double> inverse(L, 0.0);
  for (int k = 0; k < 20; ++k) inverse[30 * k] = std::pow(0.5, k);
  hosttest::writeWav(dir.file("late.wav"), 1, kDesignRate, pulseAt(2400, 480), true);
  hosttest::writeWav(dir.file("delay.wav"), 1, kDesignRate, pulseAt(L, 10), true);
  hosttest::writeWav(dir.file("echo.wav"), 1, kDesignRate, echo, true);
  hosttest::writeWav(dir.file("inverse.wav"), 1, kDesignRate, inverse, true);
  for (const auto& [response, filter] :
       {std::pair{"late.wav", "delay.wav"}, std::pair{"echo.wav", "inverse.wav"}}) {
    const orvane::Json a = assessJson({response, filter}, dir.path());
    EXPECT_NEAR(a.at("channels")[0].at("peak_offset_ms").get<double>(), 0.0, 1e-9) << filter;
    EXPECT_FALSE(anyWarningSays(a, "main peak")) << filter << ": " << a.at("warnings").dump();
  }
}
