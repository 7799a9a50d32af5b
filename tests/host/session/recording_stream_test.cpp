// The recording read from its file as the plug-in asks for it, the written-back waveform made
// as it comes, and recordings refused for samples that are no numbers.
#include <gtest/gtest.h>
#include <math.h>
#include <sndfile.h>
#include <stdlib.h>

#include <limits>

#include "host/host_test_support.h"
#include "host/session/audio.h"
#include "host/session/audio_stream.h"

using namespace orvane;
using hosttest::ScratchDir;

namespace {

std::vector<double> ramp(long samples, double scale) {
  std::vector<double> v(samples);
  for (long i = 0; i < samples; ++i) v[i] = scale * sin(0.001 * i) + scale * 1e-3 * (i % 7);
  return v;
}

std::vector<unsigned char> bytesOf(const std::string& path) { return hosttest::readBytes(path); }

TEST(RecordingStream, ReadsGiveTheFramesReadAudioGivesWhereverTheyStart) {
  ScratchDir dir;
  hosttest::writeWav(dir.file("s.wav"), 2, 48000, ramp(2 * 200000, 20000), false);
  hosttest::writeWav(dir.file("m.wav"), 1, 48000, ramp(150000, 0.7), true);
  const Audio whole = readAudio(dir.file("s.wav"));
  const Audio mono = readAudio(dir.file("m.wav"));
  AudioStream stereo(dir.file("s.wav"), 2), monoStream(dir.file("m.wav"), 1);
  std::string problem;
  // A read from the middle of the file, across the library's and the host's own pieces, then
  // one behind it: the same bits as the whole file read at once.
  for (long first : {123457L, 1L, 199990L}) {
    const long frames = std::min(140000L, 200000L - first);
    std::vector<float> got(2 * frames);
    ASSERT_TRUE(stereo.read(first, frames, 2, got.data(), &problem)) << problem;
    EXPECT_EQ(0, memcmp(got.data(), whole.samples.data() + 2 * first, got.size() * 4)) << first;
  }
  // A mono recording read as stereo frames, in pieces of the host's buffer.
  std::vector<float> pairs(2 * 140000);
  ASSERT_TRUE(monoStream.read(5000, 140000, 2, pairs.data(), &problem)) << problem;
  for (long i = 0; i < 140000; i += 997) {
    EXPECT_EQ(pairs[2 * i], mono.samples[5000 + i]) << i;
    EXPECT_EQ(pairs[2 * i + 1], mono.samples[5000 + i]) << i;
  }
  // Beyond the end the file supplies what it has, and says so.
  std::vector<float> past(2 * 20);
  EXPECT_FALSE(stereo.read(199990, 20, 2, past.data(), &problem));
  EXPECT_NE(problem.find("10 of 20"), std::string::npos) << problem;
}

TEST(RecordingStream, TheWrittenBackWaveformIsTheFileWriteWaveformMakes) {
  ScratchDir dir;
  hosttest::writeWav(dir.file("s.wav"), 2, 44100, ramp(2 * 150000, 9000), false);
  Audio expected = readAudio(dir.file("s.wav"));
  // Two writes out of order, one rewriting part of the other, and frames nobody wrote.
  std::vector<float> a(2 * 80000, 12345.5f), b(2 * 1000, -70000.25f);
  WaveformWriter writer(dir.file("s.wav"), dir.file("out/waveform.wav"), 2, 44100, 150000);
  std::string problem;
  ASSERT_TRUE(writer.write(60000, 80000, a.data(), &problem)) << problem;
  ASSERT_TRUE(writer.write(1000, 1000, b.data(), &problem)) << problem;
  ASSERT_TRUE(writer.write(70000, 1000, b.data(), &problem)) << problem;
  writer.finish();
  std::copy(a.begin(), a.end(), expected.samples.begin() + 2 * 60000);
  std::copy(b.begin(), b.end(), expected.samples.begin() + 2 * 1000);
  std::copy(b.begin(), b.end(), expected.samples.begin() + 2 * 70000);
  writeWaveform(dir.file("expected.wav"), expected);
  EXPECT_EQ(bytesOf(dir.file("out/waveform.wav")), bytesOf(dir.file("expected.wav")));
  EXPECT_FALSE(hosttest::exists(dir.file("out/waveform.wav.partial")));
}

// A float recording with one sample that is no number, at the first and at the last frame of
// the selection, in 32-bit and 64-bit files: refused, named, nothing written.
TEST(RecordingStream, SamplesThatAreNoNumbersAreRefusedWhereTheyStand) {
  ScratchDir dir;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    int format;
    long frame;
    int channel;
    double value;
    const char* word;
  } cases[] = {{SF_FORMAT_FLOAT, 1000, 2, nan, "a NaN"},
               {SF_FORMAT_DOUBLE, 5999, 1, -inf, "an infinite value"},
               {SF_FORMAT_DOUBLE, 1000, 1, nan, "a NaN"},
               {SF_FORMAT_FLOAT, 5999, 2, inf, "an infinite value"}};
  for (const Case& c : cases) {
    std::vector<double> samples = ramp(2 * 8000, 0.5);
    samples[2 * c.frame + c.channel - 1] = c.value;
    samples[2 * 7000] = 4.0;  // beyond full scale, but outside the selection anyway
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = 48000;
    info.format = SF_FORMAT_WAV | c.format;
    const std::string path = dir.file("bad.wav");
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_double(f, samples.data(), 8000);
    sf_close(f);
    auto r = hosttest::runOrvane({"run", "levelmeter", path, "--select", "1000:5999", "--keep",
                                  "--out", dir.file("out"), "--quiet"});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(path + ": frame " + std::to_string(c.frame) + ", channel " +
                         std::to_string(c.channel) + " holds " + c.word),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(hosttest::exists(dir.file("out"))) << r.err;
  }
  // Finite values beyond full scale are sound: measured as they are.
  std::vector<double> loud = ramp(2 * 8000, 3.0);
  hosttest::writeWav(dir.file("loud.wav"), 2, 48000, loud, true);
  EXPECT_EQ(hosttest::runOrvane({"run", "levelmeter", dir.file("loud.wav"), "--quiet"}).status, 0);
}

TEST(RecordingStream, APlugInWhoseSettingsDialogCannotBeShownIsNotRun) {
  ScratchDir dir;
  hosttest::writeTone(dir.file("t.wav"), 1, 48000, 4800);
  setenv("ORVANE_BROKEN_FAULT", "nodialog", 1);
  auto r = hosttest::runOrvane(
      {"run", ORVANE_BROKEN_PLUGIN, dir.file("t.wav"), "--out", dir.file("out"), "--quiet"});
  unsetenv("ORVANE_BROKEN_FAULT");
  EXPECT_EQ(r.status, 2);
  // A dialog that could not be shown ends the setup with 0, as a cancelled one does.
  EXPECT_NE(r.err.find("XfmSetup returned 0"), std::string::npos) << r.err;
  EXPECT_FALSE(hosttest::exists(dir.file("out")));
}

}  // namespace
