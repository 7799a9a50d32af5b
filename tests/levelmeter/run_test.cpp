// XfmDo end to end: buffers, channels, cancel, write-back and the failure paths.
#include <math.h>

#include <memory>

#include "levelmeter/dialog_ids.h"
#include "levelmeter/meter_params.h"
#include "support/plugin_harness.h"

namespace {

const char kOutOfMemory[] =
    "The system cannot allocate enough memory\nto calculate levels.\n\nRetry after closing some "
    "windows or\nwith a shorter waveform.";

// A 1 kHz sine of `amplitude` (full scale 1.0) for `seconds`, in host scale, on every channel
// (the right channel at half the amplitude).
std::vector<float> sine(double amplitude, double seconds, int channels, int rate = 48000) {
  int n = (int)(seconds * rate);
  std::vector<float> wave((size_t)n * channels);
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < channels; ++c)
      wave[(size_t)i * channels + c] =
          (float)(32767.0 * amplitude / (c + 1) * sin(2 * M_PI * 1000.0 * i / rate) + 100.0);
  return wave;
}

class MeterRun : public ::testing::Test {
 protected:
  void prepare(int channels, double seconds = 2.0, int rate = 48000) {
    h_.reset();  // one harness at a time: the old one resets the layer when it goes
    h_ = std::make_unique<PluginHarness>("levelmeter", channels, rate);
    ASSERT_EQ(h_->xfmInit(&h_->record), 1);
    h_->wave = sine(1.0, seconds, channels, rate);
    h_->record.selFirst = 0;
    h_->record.selLast = (LONG)(h_->wave.size() / channels) - 1;
    MeterParams* p = h_->block<MeterParams>();
    storeHandle(&p->HostWindow, h_->hostWindow);
    storeHandle(&p->ModuleInstance, h_->module);
    memset(&p->right, 0x11, sizeof p->right);
    h_->unlock();
    orvane_memory_stats(&before_);
  }
  MeterParams params() {
    MeterParams p = *h_->block<MeterParams>();
    h_->unlock();
    return p;
  }
  void expectEverythingReleased() {
    OrvaneMemoryStats now;
    orvane_memory_stats(&now);
    EXPECT_EQ(now.liveBlocks, before_.liveBlocks);
    EXPECT_EQ(now.lockedBlocks, 0);
  }
  std::unique_ptr<PluginHarness> h_;
  OrvaneMemoryStats before_;
};

// A host that skips XfmSetup leaves no module in the block: the results dialog comes from the
// plug-in's own module, as in the other plug-ins.
TEST_F(MeterRun, RunsWithoutAConfirmedSetupOnItsOwnModule) {
  prepare(1);
  MeterParams* p = h_->block<MeterParams>();
  p->HostWindow = BlockHandle{0};
  p->ModuleInstance = BlockHandle{0};
  h_->unlock();
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->dialogs.size(), 1u);
  EXPECT_EQ(h_->dialogs[0].resource, 107);
}

TEST_F(MeterRun, MonoRunMeasuresShowsResultsAndLeavesTheWaveformWhenClosed) {
  prepare(1);
  std::vector<float> original = h_->wave;
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->dialogs.size(), 1u);
  EXPECT_EQ(h_->dialogs[0].resource, 107);
  EXPECT_EQ(h_->dialogs[0].result, 0);  // closed with the close box: "Close"
  EXPECT_EQ(h_->beeps, 1);
  EXPECT_EQ(h_->writes, 0);
  EXPECT_EQ(h_->wave, original);
  MeterParams p = params();
  EXPECT_NEAR(p.left.leq, 116.99, 0.005);
  EXPECT_EQ(p.runChannels, 1);
  EXPECT_EQ(p.runFrames, 96000);
  EXPECT_EQ(p.runSampleRate, 48000);
  EXPECT_EQ(p.rightHistories[0].bits, 0u);
  // The right results keep what they held.
  EXPECT_EQ(p.right.impulsiveEvent, 0x11111111);
  const std::vector<std::string> captions = {"Initializing...", "Pre-Filtering...",
                                             "Calculating Levels..."};
  EXPECT_EQ(h_->progressCaptions, captions);
  expectEverythingReleased();
}

TEST_F(MeterRun, KeepingTheWaveformWritesBackTheMeanFreeWeightedSignal) {
  prepare(1);
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, IDOK); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(h_->writes, 1);
  // Filter L: the written-back signal is the original without its offset of 100.
  std::vector<float> expected = sine(1.0, 2.0, 1);
  double mean = 0;
  for (float v : expected) mean += v / 32767.0f;
  mean /= expected.size();
  for (size_t i = 0; i < expected.size(); i += 997)
    EXPECT_NEAR(h_->wave[i], (expected[i] / 32767.0f - mean) * 32767.0f, 0.01) << i;
  EXPECT_EQ(h_->progressCaptions.back(), "Exporting Filtered Signal...");
  expectEverythingReleased();
}

TEST_F(MeterRun, StereoMeasuresTheRightChannelFirst) {
  prepare(2);
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  const std::vector<std::string> captions = {
      "Initializing...", "Pre-Filtering...", "Calculating Right Channel Levels...",
      "Pre-Filtering...", "Calculating Left Channel Levels..."};
  EXPECT_EQ(h_->progressCaptions, captions);
  MeterParams p = params();
  EXPECT_NEAR(p.left.leq, 116.99, 0.005);
  EXPECT_NEAR(p.right.leq, 116.99 - 6.02, 0.01);
  EXPECT_NE(p.rightHistories[kHistSlow].bits, 0u);
  expectEverythingReleased();
}

TEST_F(MeterRun, CancelDuringEitherChannelEndsWithoutResultsOrWriteBack) {
  // About 2010 progress calls per channel of 2 s: in the pre-filter stage, early and late in
  // the block loop of the first channel, and in both stages of the left channel of a stereo run.
  for (int channels : {1, 2}) {
    for (int at : {5, 40, 1900, 2013, 3000}) {
      if (channels == 1 && at > 2000) continue;
      prepare(channels);
      MeterParams before = params();
      h_->cancelAtProgress = at;
      h_->scripts[107] = [](HWND d) { PluginHarness::click(d, IDOK); };
      EXPECT_EQ(h_->xfmDo(&h_->record), 1) << channels << " " << at;
      EXPECT_TRUE(h_->dialogs.empty());
      EXPECT_EQ(h_->writes, 0);
      // The left channel is measured last, so its results are never written.
      MeterParams after = params();
      EXPECT_EQ(memcmp(&before.left, &after.left, sizeof before.left), 0) << at;
      expectEverythingReleased();
    }
  }
}

TEST_F(MeterRun, EveryAllocationAndLockFailingInTurnIsReportedAndCleanedUp) {
  for (int channels : {1, 2}) {
    const int steps = channels == 1 ? 14 : 24;  // 7 or 12 blocks, each allocated then locked
    for (int step = 1; step <= steps; ++step) {
      prepare(channels, 0.5);
      orvane_memory_reset_counters();
      // The run's own first lock is the parameter block: count the buffers' calls after it.
      if (step % 2 == 1)
        orvane_fail_alloc_at((step + 1) / 2);
      else
        orvane_fail_lock_at(step / 2 + 1);
      EXPECT_EQ(h_->xfmDo(&h_->record), 1) << step;
      ASSERT_EQ(h_->messages.size(), 1u) << step;
      EXPECT_EQ(h_->messages[0].text, kOutOfMemory);
      EXPECT_EQ(h_->messages[0].caption, "Harness");
      EXPECT_EQ(h_->messages[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
      EXPECT_TRUE(h_->dialogs.empty());
      expectEverythingReleased();
    }
  }
}

TEST_F(MeterRun, RatesBelow1000HzAndSelectionsShorterThanABlockAreRefused) {
  prepare(1, 2.0, 800);
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_NE(h_->messages[0].text.find("1000 Hz"), std::string::npos);
  expectEverythingReleased();

  prepare(1);
  h_->record.selLast = 46;  // 47 frames: less than one 48-sample block
  OrvaneMemoryStats calls;
  orvane_memory_reset_counters();
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  orvane_memory_stats(&calls);
  EXPECT_EQ(calls.allocCalls, 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_NE(h_->messages[0].text.find("shorter than one millisecond"), std::string::npos);
  EXPECT_EQ(params().runFrames, 0);  // nothing written
}

TEST_F(MeterRun, LeqCalibrationWritesTheDerivedFullScaleBack) {
  prepare(1);
  MeterParams* p = h_->block<MeterParams>();
  p->calMode = 'L';
  p->leqCalLeft = 94.0f;
  h_->unlock();
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  MeterParams after = params();
  EXPECT_EQ(after.left.leq, 94.0f);
  EXPECT_NEAR(after.fullScaleLeft, 94.0 + 3.01, 0.01);
}

}  // namespace
