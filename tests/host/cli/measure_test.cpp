// levelmeter measuring through `orvane` as a person would run it: the bundled speech, a known
// sine, and the written-back waveform.
#include <gtest/gtest.h>
#include <math.h>
#include <sndfile.h>

#include "host/host_test_support.h"

using hosttest::runOrvane;
using hosttest::ScratchDir;
using orvane::Json;

namespace {

Json measure(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"run", "levelmeter"};
  all.insert(all.end(), args.begin(), args.end());
  all.insert(all.end(), {"--json", "--quiet"});
  auto r = runOrvane(all);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.status == 0 ? Json::parse(r.out) : Json();
}

std::string field(const Json& report, int id) {
  for (const auto& d : report["dialogs"])
    if (d["resource"] == 107) return hosttest::controlOf(d, id)["text"].get<std::string>();
  return "";
}

double number(const Json& report, int id) { return std::stod(field(report, id)); }

std::string speech(const char* name) {
  return std::string(ORVANE_SOURCE_DIR) + "/examples/" + name;
}

TEST(Measure, BundledSpeechHasPausesAndAnActiveLevelAboveItsLeq) {
  Json r = measure({speech("speech-mono.wav")});
  EXPECT_EQ(r["calls"]["XfmDo"], 0);
  const double leq = number(r, 1234), active = number(r, 1235), threshold = number(r, 1236);
  const double activity = number(r, 1237);
  EXPECT_GT(active, leq);
  EXPECT_NEAR(threshold, active - 15.9, 0.011);
  EXPECT_GT(activity, 50.0);
  EXPECT_LT(activity, 100.0);
  // The activity factor is the ratio of the two levels.
  EXPECT_NEAR(activity, 100.0 * pow(10.0, (leq - active) / 10.0), 0.1);
  EXPECT_EQ(field(r, 1244), "Wide Band");
  EXPECT_EQ(field(r, 1254), "- - -");
}

TEST(Measure, StereoSpeechFillsBothColumnsAndTheAverageOnRequest) {
  Json r = measure(
      {speech("speech-stereo.wav"), "--set", "1000=on", "--set", "1003=on", "--press", "1278"});
  EXPECT_EQ(field(r, 1244), "ITU BandPass | ITU BandPass");
  // The right channel is the left one 6 dB quieter (and 20 ms later).
  EXPECT_NEAR(number(r, 1234) - number(r, 1254), 6.02, 0.05);
  EXPECT_NEAR(number(r, 1235) - number(r, 1255), 6.02, 0.05);
  EXPECT_NE(field(r, 1264), "- - -");
  EXPECT_GT(number(r, 1264), number(r, 1254));
  EXPECT_LT(number(r, 1264), number(r, 1234));
}

TEST(Measure, FullScaleSineReadsItsWorkedValues) {
  ScratchDir dir;
  std::string path = dir.file("sine.wav");
  std::vector<double> samples(96000);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = 32767.0 / 32768.0 * sin(2 * M_PI * 1000.0 * i / 48000.0);
  hosttest::writeWav(path, 1, 48000, samples, true);
  Json r = measure({path});
  EXPECT_EQ(field(r, 1234), "116.99");
  EXPECT_EQ(field(r, 1235), "117.04");
  EXPECT_EQ(field(r, 1236), "101.14");
  EXPECT_EQ(field(r, 1243), "120.00");
  EXPECT_EQ(field(r, 1240), "116.36");
  EXPECT_EQ(field(r, 1242), "no");
}

TEST(Measure, KeptWaveformIsTheMeanFreeSignal) {
  ScratchDir dir;
  std::string path = dir.file("offset.wav"), out = dir.file("out");
  std::vector<double> samples(48000);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = 1000.0 + round(8000.0 * sin(2 * M_PI * 440.0 * i / 48000.0));
  hosttest::writeWav(path, 1, 48000, samples, false);
  measure({path, "--keep", "--out", out});
  SF_INFO info{};
  SNDFILE* file = sf_open((out + "/waveform.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  std::vector<float> written(samples.size());
  ASSERT_EQ(sf_readf_float(file, written.data(), (sf_count_t)written.size()),
            (sf_count_t)written.size());
  sf_close(file);
  double mean = 0;
  for (double s : samples) mean += s;
  mean /= samples.size();
  for (size_t i = 0; i < samples.size(); i += 101)
    EXPECT_NEAR(written[i] * 32768.0, samples[i] - mean, 0.01) << i;
}

}  // namespace
