// Reading audio into the host's 16-bit scale and writing back the waveform.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>
#include <functional>

#include "host/errors.h"
#include "host/host_test_support.h"
#include "host/session/audio.h"

using namespace orvane;
using hosttest::ScratchDir;

namespace {

int statusOf(const std::function<void()>& f, std::string* message) {
  try {
    f();
  } catch (const HostError& e) {
    *message = e.what();
    return e.status();
  }
  return 0;
}

}  // namespace

TEST(AudioRead, SixteenBitSamplesReadAsTheirIntegerValues) {
  ScratchDir dir;
  std::vector<double> samples = {0, 1, -1, 2, 32767, -32768, 12345, -4321};
  hosttest::writeWav(dir.file("m.wav"), 1, 8000, samples, false);
  Audio a = readAudio(dir.file("m.wav"));
  EXPECT_EQ(a.channels, 1);
  EXPECT_EQ(a.sampleRate, 8000);
  ASSERT_EQ(a.frames, 8);
  for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(a.samples[i], samples[i]) << i;
  EXPECT_FALSE(a.written);
}

TEST(AudioRead, FloatSamplesAreScaledBy32768AndKeptInterleaved) {
  ScratchDir dir;
  // Left, right, left, right: beyond full scale too, nothing is clipped.
  std::vector<double> samples = {0.5, -0.25, 1.5, -2.0, 3.0517578125e-05, 0.1};
  hosttest::writeWav(dir.file("s.wav"), 2, 44100, samples, true);
  Audio a = readAudio(dir.file("s.wav"));
  EXPECT_EQ(a.channels, 2);
  ASSERT_EQ(a.frames, 3);
  for (size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(a.samples[i], static_cast<float>(samples[i]) * 32768.0f) << i;
  }
  EXPECT_EQ(a.samples[0], 16384.0f);
  EXPECT_EQ(a.samples[1], -8192.0f);
  EXPECT_EQ(a.samples[4], 1.0f);
}

TEST(AudioRead, RefusesWhatTheHostCannotServe) {
  ScratchDir dir;
  hosttest::writeWav(dir.file("three.wav"), 3, 8000, std::vector<double>(30, 100.0), false);
  std::ofstream(dir.file("text.wav")) << "not a wave file at all\n";
  hosttest::writeWav(dir.file("empty.wav"), 1, 8000, {}, false);

  std::string message;
  EXPECT_EQ(statusOf([&] { readAudio(dir.file("three.wav")); }, &message), kExitBadInput);
  EXPECT_NE(message.find("3 channels"), std::string::npos) << message;
  EXPECT_EQ(statusOf([&] { readAudio(dir.file("missing.wav")); }, &message), kExitBadInput);
  EXPECT_NE(message.find("no such file"), std::string::npos) << message;
  EXPECT_EQ(statusOf([&] { readAudio(dir.file("text.wav")); }, &message), kExitBadInput);
  EXPECT_NE(message.find("text.wav"), std::string::npos) << message;
  EXPECT_EQ(statusOf([&] { readAudio(dir.file("empty.wav")); }, &message), kExitBadInput);
  EXPECT_NE(message.find("no samples"), std::string::npos) << message;
  EXPECT_EQ(statusOf([&] { readAudio(dir.path()); }, &message), kExitBadInput);
}

TEST(AudioWrite, WaveformIsFloatAtFullScaleOneAndNotClipped) {
  ScratchDir dir;
  Audio a;
  a.channels = 2;
  a.sampleRate = 22050;
  a.frames = 2;
  a.samples = {32768.0f, -16384.0f, 65536.0f, -98304.0f};
  writeWaveform(dir.file("w.wav"), a);

  SF_INFO info{};
  SNDFILE* f = sf_open(dir.file("w.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, 22050);
  float back[4] = {};
  EXPECT_EQ(sf_readf_float(f, back, 2), 2);
  sf_close(f);
  EXPECT_EQ(back[0], 1.0f);
  EXPECT_EQ(back[1], -0.5f);
  EXPECT_EQ(back[2], 2.0f);
  EXPECT_EQ(back[3], -3.0f);

  // Read back by the host, the values are the host's again.
  Audio again = readAudio(dir.file("w.wav"));
  EXPECT_EQ(again.samples, a.samples);
}

TEST(AudioWrite, UnwritablePathIsAFailure) {
  Audio a;
  a.channels = 1;
  a.sampleRate = 8000;
  a.frames = 1;
  a.samples = {1.0f};
  std::string message;
  EXPECT_EQ(statusOf([&] { writeWaveform("/nonexistent-dir/w.wav", a); }, &message), kExitFailure);
  EXPECT_NE(message.find("/nonexistent-dir/w.wav"), std::string::npos);
}
