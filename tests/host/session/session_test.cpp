// The transform instance record the host fills, and its callbacks, with levelmeter loaded in
// this process (no export but QueryXfm is called here).
#include <gtest/gtest.h>

#include <cstring>

#include "host/session/plugin.h"
#include "host/session/session.h"

using namespace orvane;

namespace {

std::unique_ptr<Plugin> levelmeter() {
  return Plugin::load(std::string(ORVANE_BIN_DIR) + "/levelmeter.xfm");
}

Audio stereoOfFourFrames() {
  Audio a;
  a.path = "memory";
  a.channels = 2;
  a.sampleRate = 8000;
  a.frames = 4;
  a.samples = {1, 2, 3, 4, 5, 6, 7, 8};
  return a;
}

}  // namespace

TEST(SessionRecord, HoldsTheRunFactsAtTheirOffsets) {
  auto plugin = levelmeter();
  Audio audio = stereoOfFourFrames();
  SessionSetup setup;
  setup.channels = 2;
  setup.sampleRate = 8000;
  setup.selFirst = 1;
  setup.selLast = 3;
  setup.showProgress = false;
  Session s(*plugin, &audio, setup);
  const XFMINSTANCE& r = s.record();
  const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
  auto at = [bytes](size_t offset) {
    int32_t v;
    std::memcpy(&v, bytes + offset, 4);
    return v;
  };
  EXPECT_EQ(r.channels, 2);
  EXPECT_EQ(at(8), 8000);
  EXPECT_EQ(r.paramBlock, s.block());
  EXPECT_EQ(GlobalSize(s.block()), 1460u);
  EXPECT_EQ(at(xfmOffset(16, 24)), 1);
  EXPECT_EQ(at(xfmOffset(20, 28)), 3);
  EXPECT_STREQ(r.title, "orvane");
  ASSERT_NE(r.cancelFlag, nullptr);
  EXPECT_EQ(*r.cancelFlag, 0);
  EXPECT_EQ(r.autoPreset, -1);
  EXPECT_EQ(r.autoShowDialogs, 1);
  EXPECT_EQ(r.readFormat, 0);
  EXPECT_EQ(r.writeFormat, 0);
  EXPECT_NE(r.dialogInit, nullptr);
  EXPECT_NE(r.progress, nullptr);
  EXPECT_NE(r.progressBegin, nullptr);
  EXPECT_NE(r.progressEnd, nullptr);
  EXPECT_NE(r.progressText, nullptr);
  EXPECT_NE(r.createDisplay, nullptr);
  EXPECT_NE(r.readSamples, nullptr);
  EXPECT_NE(r.writeSamples, nullptr);
  EXPECT_NE(s.hostWindow(), nullptr);
  EXPECT_EQ(Session::current(), &s);
}

TEST(SessionRecord, AutoConfirmLetsDialogsConfirmThemselves) {
  auto plugin = levelmeter();
  SessionSetup setup;
  setup.autoConfirm = true;
  setup.showProgress = false;
  Session s(*plugin, nullptr, setup);
  EXPECT_EQ(s.record().autoPreset, 0);
  EXPECT_EQ(s.record().autoShowDialogs, 0);
}

TEST(SessionCallbacks, SamplesTravelOnlyInTheWaveformsOwnFormat) {
  auto plugin = levelmeter();
  Audio audio = stereoOfFourFrames();
  SessionSetup setup;
  setup.channels = 2;
  setup.showProgress = false;
  Session s(*plugin, &audio, setup);
  XFMINSTANCE& r = s.record();
  DWORD wave = r.waveHandle;

  float buffer[8] = {};
  EXPECT_EQ(r.readSamples(wave, buffer, 1, 2, 34), 1);
  EXPECT_EQ(buffer[0], 3.0f);
  EXPECT_EQ(buffer[3], 6.0f);
  EXPECT_EQ(r.readSamples(wave, buffer, 0, 4, 34), 1);
  EXPECT_EQ(r.readSamples(wave, buffer, 0, 1, 33), 0);      // mono format, stereo audio
  EXPECT_EQ(r.readSamples(wave, buffer, 0, 1, 2), 0);       // no float bit
  EXPECT_EQ(r.readSamples(wave, buffer, 3, 2, 34), 0);      // past the last frame
  EXPECT_EQ(r.readSamples(wave, buffer, -1, 1, 34), 0);     // before the first
  EXPECT_EQ(r.readSamples(wave, buffer, 0, -1, 34), 0);     // negative count
  EXPECT_EQ(r.readSamples(wave + 1, buffer, 0, 1, 34), 0);  // not the host's waveform
  EXPECT_EQ(r.readSamples(wave, nullptr, 0, 1, 34), 0);

  float back[4] = {10, 20, 30, 40};
  EXPECT_EQ(r.writeSamples(wave, back, 2, 2, 34), 1);
  EXPECT_EQ(audio.samples, (std::vector<float>{1, 2, 3, 4, 10, 20, 30, 40}));
  EXPECT_TRUE(audio.written);
  EXPECT_EQ(audio.writtenFirst, 2);
  EXPECT_EQ(audio.writtenLast, 3);
  EXPECT_EQ(r.writeSamples(wave, back, 3, 2, 34), 0);
  EXPECT_EQ(audio.samples[6], 30.0f);  // a refused write changes nothing

  const SampleTraffic& t = s.samples();
  EXPECT_EQ(t.reads, 2);
  EXPECT_EQ(t.framesRead, 6);
  EXPECT_EQ(t.writes, 1);
  EXPECT_EQ(t.framesWritten, 2);
  EXPECT_EQ(t.refusals, 8);
  ASSERT_GE(t.refused.size(), 1u);
  EXPECT_NE(t.refused[0].reason.find("1 channels"), std::string::npos) << t.refused[0].reason;
}

TEST(SessionCallbacks, WithoutAudioEveryTransferIsRefused) {
  auto plugin = levelmeter();
  SessionSetup setup;
  setup.showProgress = false;
  Session s(*plugin, nullptr, setup);
  float buffer[2] = {};
  EXPECT_EQ(s.record().readSamples(s.record().waveHandle, buffer, 0, 1, 34), 0);
  EXPECT_EQ(s.record().writeSamples(s.record().waveHandle, buffer, 0, 1, 34), 0);
}

TEST(SessionCallbacks, ProgressAnswersTheCancelFlag) {
  auto plugin = levelmeter();
  SessionSetup setup;
  setup.showProgress = false;
  Session s(*plugin, nullptr, setup);
  XFMINSTANCE& r = s.record();
  r.progressBegin("Initializing...", 0);
  EXPECT_EQ(r.progress(1, 3), 1);
  EXPECT_EQ(r.progressText("step one"), 1);
  *r.cancelFlag = 1;
  EXPECT_EQ(r.progress(2, 3), 0);
  EXPECT_EQ(r.progressText("step one"), 0);
  r.progressEnd();
  r.progress(5, 10);  // outside a begin/end pair: a phase without caption

  const auto& phases = s.progress().phases();
  ASSERT_EQ(phases.size(), 2u);
  EXPECT_EQ(phases[0].caption, "Initializing...");
  EXPECT_EQ(phases[0].steps, 2);
  EXPECT_EQ(phases[0].lastStep, 2);
  EXPECT_EQ(phases[0].lastSteps, 3);
  EXPECT_EQ(phases[0].texts, std::vector<std::string>{"step one"});
  EXPECT_TRUE(phases[0].ended);
  EXPECT_EQ(phases[1].caption, "");
  EXPECT_FALSE(phases[1].ended);
}

TEST(SessionBlock, LoadAndReadRawBytes) {
  auto plugin = levelmeter();
  SessionSetup setup;
  setup.showProgress = false;
  Session s(*plugin, nullptr, setup);
  std::vector<unsigned char> bytes(1460);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i);
  EXPECT_TRUE(s.loadBlock(bytes));
  EXPECT_EQ(s.blockBytes(), bytes);
  EXPECT_FALSE(s.loadBlock(std::vector<unsigned char>(1459)));
  s.releaseBlock();
  EXPECT_EQ(s.block(), nullptr);
  EXPECT_TRUE(s.blockBytes().empty());
}
