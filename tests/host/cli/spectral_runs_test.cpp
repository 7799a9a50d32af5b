// The two spectral plug-ins through `orvane` as a person would run them: a transfer function
// and a time of flight measured, a filter designed, and what each run leaves under --out.
#include <gtest/gtest.h>
#include <math.h>
#include <sndfile.h>
#include <string.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "host/host_test_support.h"

using hosttest::readText;
using hosttest::runOrvane;
using hosttest::ScratchDir;
using orvane::Json;

namespace {

constexpr int kSpectralRate = 48000;

// Noise on the left, and on the right the left through h (taps at the given delays).
void writeFiltered(const std::string& path, const std::vector<std::pair<int, double>>& h,
                   int frames = 2 * kSpectralRate) {
  std::mt19937 r(3);
  std::uniform_real_distribution<double> noise(-8000.0, 8000.0);
  std::vector<double> left(frames), wave(2 * (size_t)frames);
  for (double& x : left) x = noise(r);
  for (int i = 0; i < frames; ++i) {
    double right = 0;
    for (auto [delay, gain] : h)
      if (i >= delay) right += gain * left[i - delay];
    wave[2 * i] = left[i];
    wave[2 * i + 1] = right;
  }
  hosttest::writeWav(path, 2, kSpectralRate, wave, true);
}

std::vector<float> readFloats(const std::string& path, SF_INFO* info) {
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, info);
  if (f == nullptr) return {};
  std::vector<float> samples((size_t)info->frames * info->channels);
  sf_readf_float(f, samples.data(), info->frames);
  sf_close(f);
  return samples;
}

Json reportOf(const std::string& dir) { return Json::parse(readText(dir + "/report.json")); }

TEST(SpectralRuns, H1OfAKnownFilterIsExportedAndTheOutputsKeptAsAFloatWave) {
  ScratchDir dir;
  const std::string wav = dir.file("filtered.wav");
  // h = 0.5 at 48 samples (1 ms) and 0.25 one sample later.
  writeFiltered(wav, {{48, 0.5}, {49, 0.25}});
  auto r = runOrvane({"run", "crossanalyser", wav, "--set", "1026=on", "--press", "1058", "--press",
                      "1059", "--press", "2", "--out", "D", "--quiet"},
                     dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> rows = hosttest::lines(readText(dir.file("D/clipboard.txt")));
  ASSERT_GT(rows.size(), 8192u + 2);
  EXPECT_EQ(rows[1], "Freq.[Hz]\tReal\tImag\r");
  // Bin 341 of 16384 (999.0 Hz): the response of h, in the transform's e^(+j) sign.
  double f, re, im;
  ASSERT_EQ(sscanf(rows[2 + 341].c_str(), "%lf\t%lf\t%lf", &f, &re, &im), 3);
  const double w = 2 * M_PI * f / kSpectralRate;
  EXPECT_NEAR(re, 0.5 * cos(48 * w) + 0.25 * cos(49 * w), 0.01);
  EXPECT_NEAR(im, 0.5 * sin(48 * w) + 0.25 * sin(49 * w), 0.01);

  // The waveform: the exact image, and a float WAV that reads back to the same numbers.
  const std::vector<unsigned char> image = hosttest::readBytes(dir.file("D/clipboard-image.wav"));
  ASSERT_EQ(image.size(), 44u + 8 * 16384);
  SF_INFO info = {};
  std::vector<float> samples = readFloats(dir.file("D/clipboard.wav"), &info);
  ASSERT_EQ(info.frames, 16384);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, kSpectralRate);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  for (size_t i : {0u, 1u, 16384u + 96u, 32767u}) {
    float v;
    memcpy(&v, image.data() + 44 + 4 * i, 4);
    EXPECT_EQ(samples[i] * 32768.0f, v) << i;
  }

  const Json report = reportOf(dir.file("D"));
  ASSERT_EQ(report["clipboard"].size(), 2u);
  EXPECT_EQ(report["clipboard"][0]["format"], "CF_TEXT");
  EXPECT_EQ(report["clipboard"][0]["file"], "D/clipboard.txt");
  const Json& wave = report["clipboard"][1];
  EXPECT_EQ(wave["image"], "D/clipboard-image.wav");
  EXPECT_EQ(wave["file"], "D/clipboard.wav");
  EXPECT_EQ(wave["wave"]["formatTag"], 1);
  EXPECT_EQ(wave["wave"]["riffSize"], 8 * 16384 + 36);
  EXPECT_EQ(wave["wave"]["frames"], 16384);
  EXPECT_EQ(report["files"][0], "timedelay.txt");
  EXPECT_TRUE(hosttest::exists(dir.file("timedelay.txt")));
}

TEST(SpectralRuns, TheTimeOfFlightOfADelayAndAMonoWaveformAgainstItself) {
  ScratchDir dir;
  writeFiltered(dir.file("delayed.wav"), {{96, 0.7}});  // 2 ms
  auto r =
      runOrvane({"run", "crossanalyser", dir.file("delayed.wav"), "--json", "--quiet"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(hosttest::fieldAt(Json::parse(r.out)["block"], 46)["value"], 2.0);
  EXPECT_TRUE(Json::parse(r.out)["warnings"].empty()) << r.out;

  // A mono recording is read as the channel in both positions: no delay, a warning that says
  // so, and each export of the same run is kept in a file of its own.
  hosttest::writeTone(dir.file("mono.wav"), 1, kSpectralRate, kSpectralRate);
  r = runOrvane({"run", "crossanalyser", dir.file("mono.wav"), "--press", "2", "--press", "2",
                 "--out", "M", "--quiet"},
                dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const Json report = reportOf(dir.file("M"));
  EXPECT_EQ(hosttest::fieldAt(report["block"], 46)["value"], 0.0);
  EXPECT_EQ(report["samples"]["refusals"], 0);
  const std::string warning = "one channel: both sides of the analysis are the same samples";
  EXPECT_EQ(report["warnings"], Json::array({warning}));
  EXPECT_NE(r.err.find("orvane: warning: " + warning), std::string::npos) << r.err;
  EXPECT_EQ(readText(dir.file("M/clipboard.txt")), readText(dir.file("M/clipboard-2.txt")));
  EXPECT_EQ(report["clipboard"][2]["wave"]["channels"], 2);
}

// The times of flight as numbers a script collects: in each run's results and as a column of
// a batch's table.
TEST(SpectralRuns, TimesOfFlightAreNumbersInTheResultsAndTheBatchTable) {
  ScratchDir dir;
  writeFiltered(dir.file("a.wav"), {{240, 0.7}});  // 5 ms
  writeFiltered(dir.file("b.wav"), {{480, 0.7}});  // 10 ms
  auto r =
      runOrvane({"run", "crossanalyser", "a.wav", "b.wav", "--out", "B", "--quiet"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const Json results = reportOf(dir.file("B/a"))["results"];
  int found = 0;
  for (const Json& result : results) {
    if (result["name"] == "Time of flight") {
      EXPECT_EQ(result["unit"], "ms");
      EXPECT_EQ(result["value"], 5.0);
      ++found;
    }
    if (result["name"] == "NCC Max") {
      EXPECT_EQ(result["unit"], "%");
      ASSERT_TRUE(result["value"].is_number());
      EXPECT_GT(result["value"].get<double>(), 50.0);
      EXPECT_LE(result["value"].get<double>(), 100.0);
      ++found;
    }
  }
  EXPECT_EQ(found, 2) << results;
  // The correlation it hands back, pictured: the delay's peak is drawn there.
  EXPECT_TRUE(hosttest::exists(dir.file("B/a/clipboard.png")));

  const std::vector<std::string> rows = hosttest::lines(readText(dir.file("B/summary.csv")));
  ASSERT_EQ(rows.size(), 3u);
  std::vector<std::string> header;
  std::stringstream cells(rows[0]);
  for (std::string cell; std::getline(cells, cell, ',');) header.push_back(cell);
  const size_t column =
      std::find(header.begin(), header.end(), "Time of flight (ms)") - header.begin();
  ASSERT_LT(column, header.size()) << rows[0];
  EXPECT_NE(std::find(header.begin(), header.end(), "NCC Max (%)"), header.end()) << rows[0];
  for (size_t row : {1u, 2u}) {
    std::vector<std::string> values;
    std::stringstream line(rows[row]);
    for (std::string cell; std::getline(line, cell, ',');) values.push_back(cell);
    ASSERT_LT(column, values.size());
    EXPECT_EQ(values[column], row == 1 ? "5" : "10") << rows[row];
  }
}

TEST(SpectralRuns, ADesignedFilterTurnsItsResponseIntoADelayedPulse) {
  ScratchDir dir;
  // A response with two echoes.
  std::vector<double> response(400, 0.0);
  response[0] = 16000;
  response[37] = 8000;
  response[150] = -4000;
  hosttest::writeWav(dir.file("response.wav"), 1, kSpectralRate, response, true);
  auto r = runOrvane({"run", "inversefilter", dir.file("response.wav"), "--set", "1061=2048",
                      "--set", "1044=20", "--set", "1045=23000", "--out", "F", "--quiet"},
                     dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  SF_INFO info = {};
  std::vector<float> filter = readFloats(dir.file("F/clipboard.wav"), &info);
  ASSERT_EQ(info.frames, 2048);
  std::vector<double> y(response.size() + filter.size(), 0.0);
  for (size_t i = 0; i < response.size(); ++i)
    for (size_t k = 0; k < filter.size(); ++k) y[i + k] += response[i] * filter[k];
  double energy = 0, peak = 0;
  for (double v : y) {
    energy += v * v;
    peak = std::max(peak, v * v);
  }
  EXPECT_GT(peak / energy, 0.9);  // one pulse carries nearly all the energy

  // The run judged its own design as `orvane assess` judges the filter it left, over the band
  // where the in-band regularisation holds (the cuts moved inwards by half the transition).
  const Json judged = reportOf(dir.file("F"))["assessment"];
  char band[64];
  std::snprintf(band, sizeof band, "%.17g:%.17g", 20 * std::pow(2.0, 0.165),
                23000 * std::pow(2.0, -0.165));
  auto assessed = runOrvane(
      {"assess", dir.file("response.wav"), dir.file("F/clipboard.wav"), "--band", band, "--json"});
  ASSERT_EQ(assessed.status, 0) << assessed.err;
  const Json alone = Json::parse(assessed.out)["assessment"];
  EXPECT_NEAR(judged["band_hz"][0].get<double>(), alone["band_hz"][0].get<double>(), 1e-9);
  const Json& c = judged["channels"][0];
  EXPECT_EQ(c, alone["channels"][0]);
  EXPECT_EQ(judged["filter_gain_db"]["max"], alone["filter_gain_db"]["max"]);
  EXPECT_NEAR(c["peak_offset_ms"].get<double>(), 0.0, 1e-9);
  EXPECT_LT(c["flatness_db"]["after"]["max"].get<double>(),
            c["flatness_db"]["before"]["max"].get<double>());
  // And a table of the run has its figures as columns.
  auto table = runOrvane({"summary", dir.file("F")});
  EXPECT_NE(table.out.find("Flatness after max dB (mono)"), std::string::npos) << table.out;

  // A filter shorter than the selection is refused: the message, status 2, no filter.
  r = runOrvane({"run", "inversefilter", dir.file("response.wav"), "--set", "1061=256", "--out",
                 "G", "--quiet"},
                dir.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("length of Inverse Filter is less than length of IR"), std::string::npos)
      << r.err;
  EXPECT_FALSE(hosttest::exists(dir.file("G/clipboard.wav")));
}

}  // namespace
