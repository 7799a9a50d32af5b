// orvane assess --out: the files of a mono and a stereo assessment, the band picture read back
// against the layout rule of pictures.h, and refused input leaving nothing behind.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "host/assess/assessment.h"
#include "host/assess/assessment_pictures.h"
#include "host/host_test_support.h"
#include "host/png_picture.h"
#include "host/assess/assess_signals.h"

using hosttest::exists;
using hosttest::interleave;
using hosttest::pulseAt;
using hosttest::runOrvane;
using hosttest::ScratchDir;

using hosttest::Picture;

namespace {

constexpr int kPictureRate = 48000;
constexpr long kFilterLength = 1024;
constexpr uint32_t kMarkerPixel = 0x00A000;  // kGraphDefaultMarker as 0xRRGGBB
constexpr uint32_t kAfterPixel = 0xFF0000;   // the "after" curve: red
constexpr uint32_t kBeforePixel = 0x909090;  // the "before" curve: grey

// A response with an echo (so that its band levels differ) and a filter that only delays by
// L/2 and doubles: the levels after are those before, 6 dB up.
orvane::AssessmentInput echoCase() {
  orvane::AssessmentInput in;
  in.sampleRate = kPictureRate;
  in.mode = orvane::FilterMode::Mono;
  std::vector<double> h = pulseAt(3000, 0);
  h[37] = 0.6;
  in.response = {h};
  in.filter = {pulseAt(kFilterLength, kFilterLength / 2, 2.0)};
  in.bandLowHz = 100.0;
  in.bandHighHz = 5000.0;
  return in;
}

std::vector<std::string> pictureFiles(const std::string& dir,
                                      const std::vector<std::string>& stems) {
  std::vector<std::string> files;
  for (const std::string& stem : stems) {
    files.push_back(dir + "/" + stem + ".png");
    files.push_back(dir + "/" + stem + ".svg");
  }
  return files;
}

}  // namespace

TEST(AssessPictures, OutWritesTheFilesWithCurvesAndMarkers) {
  ScratchDir dir;
  const orvane::AssessmentInput in = echoCase();
  hosttest::writeWav(dir.file("response.wav"), 1, kPictureRate, in.response[0], true);
  hosttest::writeWav(dir.file("filter.wav"), 1, kPictureRate, in.filter[0], true);
  const std::string out = dir.file("mono-out");
  auto r = runOrvane({"assess", dir.file("response.wav"), dir.file("filter.wav"), "--band",
                      "100:5000", "--out", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Files written to " + out), std::string::npos) << r.out;
  // The JSON file is what --json prints.
  auto j = runOrvane(
      {"assess", dir.file("response.wav"), dir.file("filter.wav"), "--band", "100:5000", "--json"});
  ASSERT_EQ(j.status, 0) << j.err;
  const auto json = hosttest::readBytes(out + "/assessment.json");
  EXPECT_EQ(std::string(json.begin(), json.end()), j.out);
  const auto mono = pictureFiles(out, {"assessment-bands", "assessment-time", "assessment-filter"});
  for (const std::string& f : mono) EXPECT_TRUE(exists(f)) << f;
  EXPECT_FALSE(exists(out + "/assessment-bands-2.png"));
  EXPECT_FALSE(exists(out + "/assessment-separation.png"));

  // The band picture, against the rules of pictures.h: a log axis from a band below the pass
  // band to a band above it, values on row round((top - v) / (top - bottom) * (H - 1)).
  const orvane::Assessment a = orvane::assessFilter(in);
  const orvane::ChannelAssessment& c = a.positions[0].channels.at(0);
  ASSERT_GE(c.bandCentreHz.size(), 10u);
  Picture bands(out + "/assessment-bands.png");
  ASSERT_TRUE(bands.ok());
  const int W = bands.width(), H = bands.height();
  ASSERT_EQ(W, orvane::kAssessmentPictureWidth);
  ASSERT_EQ(H, orvane::kAssessmentPictureHeight);
  const double left = 100.0 / std::pow(10.0, 0.1), right = 5000.0 * std::pow(10.0, 0.1);
  auto column = [&](double hz) {
    return static_cast<int>(std::lround(std::log(hz / left) / std::log(right / left) * (W - 1)));
  };
  const std::vector<orvane::AssessmentGraph> graphs = orvane::assessmentGraphs(a);
  const orvane::GraphSource& g = graphs.at(0).graph;
  const double top = *g.targets[0].yTop, bottom = *g.targets[0].yBottom;
  auto row = [&](double v) {
    return static_cast<int>(std::lround((top - v) / (top - bottom) * (H - 1)));
  };
  for (std::size_t b = 0; b < c.bandCentreHz.size(); ++b) {
    EXPECT_NEAR(c.bandAfterDb[b], c.bandBeforeDb[b] + 20.0 * std::log10(2.0), 1e-4);
    ASSERT_TRUE(c.bandAfterDb[b] < top && c.bandBeforeDb[b] > bottom) << b;
    const int k = column(c.bandCentreHz[b]);
    EXPECT_EQ(bands.at(k, row(c.bandAfterDb[b])), kAfterPixel) << c.bandCentreHz[b] << " Hz";
    EXPECT_EQ(bands.at(k, row(c.bandBeforeDb[b])), kBeforePixel) << c.bandCentreHz[b] << " Hz";
  }
  // The pass band's edges are marked over the whole height but where curves or labels lie;
  // the middle of a band is not.
  for (double edge : {100.0, 5000.0}) {
    EXPECT_GT(static_cast<int>(bands.rowsOf(column(edge), kMarkerPixel).size()), H / 2)
        << edge << " Hz";
  }
  EXPECT_TRUE(bands.rowsOf(column(c.bandCentreHz[3]), kMarkerPixel).empty());
  EXPECT_TRUE(bands.rowsOf(column(100.0) - 2, kMarkerPixel).empty());

  // A stereo cross-talk network: both ears, and the separation pictures.
  const long M = 1000;
  hosttest::writeWav(dir.file("response2.wav"), 2, kPictureRate,
                     interleave(pulseAt(M, 0), pulseAt(M, 0, 0.08)), true);
  hosttest::writeWav(dir.file("network.wav"), 2, kPictureRate,
                     interleave(pulseAt(512, 256), std::vector<double>(512, 0.0)), true);
  const std::string out2 = dir.file("stereo-out");
  r = runOrvane({"assess", dir.file("response2.wav"), dir.file("network.wav"), "--mode", "stereo",
                 "--out", out2, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const std::string& f : pictureFiles(
           out2, {"assessment-bands", "assessment-bands-2", "assessment-time", "assessment-time-2",
                  "assessment-filter", "assessment-separation", "assessment-separation-2"})) {
    EXPECT_TRUE(exists(f)) << f;
  }
  EXPECT_FALSE(exists(out2 + "/assessment-filter-2.png"));

  // Refused input, before the samples are read and after: no folder is made.
  hosttest::writeWav(dir.file("response44.wav"), 1, 44100, in.response[0], true);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {dir.file("response44.wav"), dir.file("filter.wav")},
           {dir.file("response.wav"), dir.file("filter.wav"), "--band", "1000:1100"}}) {
    std::vector<std::string> all = {"assess"};
    all.insert(all.end(), args.begin(), args.end());
    all.insert(all.end(), {"--out", dir.file("refused")});
    r = runOrvane(all);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_FALSE(exists(dir.file("refused"))) << args[0];
  }
}
