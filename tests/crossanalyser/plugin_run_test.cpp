// XfmDo end to end: the delay of a known filter found, the waveform image on the clipboard, the
// line in "timedelay.txt", and the failure paths.
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "crossanalyser/analyser_params.h"
#include "crossanalyser/dialog_ids.h"
#include "crossanalyser/time_delay_log.h"
#include "support/plugin_harness.h"

namespace {

namespace fs = std::filesystem;

const char kCaption[] = "Cross Functions 2";
constexpr long kDelay = 48;    // 1 ms at 48 kHz
constexpr int kSizeIndex = 2;  // N = 1024
constexpr long kRunN = 1024;

// A folder of its own for each test: the run appends "timedelay.txt" to its current folder.
class InScratchFolder {
 public:
  InScratchFolder() : previous_(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "analyser-run-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    fs::current_path(folder_);
  }
  ~InScratchFolder() {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }
  std::string read(const char* name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  const fs::path& folder() const { return folder_; }

 private:
  fs::path previous_, folder_;
};

class AnalyserRun : public ::testing::Test {
 protected:
  // Two seconds of noise on the left; the right is the left through a short filter: half the
  // left `kDelay` samples later plus a quarter one sample after that.
  void prepare(int channels = 2) {
    h_.reset();
    h_ = std::make_unique<PluginHarness>("crossanalyser", channels);
    ASSERT_EQ(h_->xfmInit(&h_->record), 1);
    const long frames = 96000;
    std::mt19937 r(7);
    std::uniform_real_distribution<float> noise(-8000.0f, 8000.0f);
    std::vector<float> left(frames);
    for (float& x : left) x = noise(r);
    h_->wave.assign((size_t)frames * channels, 0.0f);
    for (long i = 0; i < frames; ++i) {
      const float right = (i >= kDelay ? 0.5f * left[i - kDelay] : 0.0f) +
                          (i > kDelay ? 0.25f * left[i - kDelay - 1] : 0.0f);
      h_->wave[(size_t)i * channels] = left[i];
      if (channels == 2) h_->wave[(size_t)i * 2 + 1] = right;
    }
    h_->record.selLast = frames - 1;
    AnalyserParams* p = h_->block<AnalyserParams>();
    p->FftSizeIndex = kSizeIndex;
    storeHandle(&p->HostWindow, h_->hostWindow);
    storeHandle(&p->ModuleInstance, h_->module);
    h_->unlock();
    orvane_memory_stats(&before_);
  }
  AnalyserParams params() {
    AnalyserParams p = *h_->block<AnalyserParams>();
    h_->unlock();
    return p;
  }
  void expectReleased() {
    OrvaneMemoryStats now;
    orvane_memory_stats(&now);
    EXPECT_EQ(now.liveBlocks, before_.liveBlocks);
    EXPECT_EQ(now.lockedBlocks, 0);
  }
  std::vector<unsigned char> image() {
    size_t size = 0;
    const void* data = orvane_clipboard_data(CF_WAVE, &size);
    const auto* b = (const unsigned char*)data;
    return data ? std::vector<unsigned char>(b, b + size) : std::vector<unsigned char>{};
  }
  static unsigned long le32(const std::vector<unsigned char>& b, size_t at) {
    uint32_t v;
    memcpy(&v, b.data() + at, 4);
    return v;
  }
  static int le16(const std::vector<unsigned char>& b, size_t at) { return b[at] | b[at + 1] << 8; }

  InScratchFolder scratch_;
  std::unique_ptr<PluginHarness> h_;
  OrvaneMemoryStats before_;
};

TEST_F(AnalyserRun, FindsTheFiltersDelayAndPutsTheOutputsOnTheClipboardAfterTheResults) {
  prepare();
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->dialogs.size(), 1u);
  EXPECT_EQ(h_->dialogs[0].resource, 107);
  EXPECT_EQ(h_->dialogs[0].result, 1);  // the close box means "Waveform"
  EXPECT_EQ(h_->beeps, 1);
  const std::vector<std::string> captions = {"Averaging data...", "Processing Cross Function"};
  EXPECT_EQ(h_->progressCaptions, captions);
  const AnalyserParams p = params();
  EXPECT_EQ(p.FftSize, kRunN);
  EXPECT_EQ(p.TimeOfFlightMs, 1.0f);
  EXPECT_EQ(p.Channels, 2);
  EXPECT_EQ(p.SampleRate, 48000);
  EXPECT_EQ(p.BlockCount, 372);  // (96000 - 1024) / 256 + 1 full blocks cover it exactly
  EXPECT_GT(p.NccMax, 0.8f);
  EXPECT_LE(p.NccMax, 1.0f);
  EXPECT_NEAR(p.RmsRightDb - p.RmsLeftDb, 20 * log10(sqrt(0.25 + 0.0625)), 0.1);

  const std::vector<unsigned char> wav = image();
  ASSERT_EQ(wav.size(), 44u + 8 * kRunN);
  EXPECT_EQ(memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(le32(wav, 4), 8 * kRunN + 36);
  EXPECT_EQ(memcmp(wav.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(le16(wav, 20), 1);
  EXPECT_EQ(le16(wav, 22), 2);
  EXPECT_EQ(le32(wav, 24), 48000u);
  EXPECT_EQ(le32(wav, 28), 48000u * 8);
  EXPECT_EQ(le16(wav, 32), 8);
  EXPECT_EQ(le16(wav, 34), 32);
  EXPECT_EQ(le32(wav, 40), 8 * kRunN);
  // The left output is the correlation at full scale, its peak at the delay after the centre.
  float peak = 0;
  long at = -1;
  for (long i = 0; i < kRunN; ++i) {
    float v;
    memcpy(&v, wav.data() + 44 + 8 * i, 4);
    if (fabsf(v) > peak) peak = fabsf(v), at = i;
  }
  EXPECT_EQ(at, kRunN / 2 + kDelay);
  EXPECT_FLOAT_EQ(peak, 32767.0f);
  expectReleased();
}

TEST_F(AnalyserRun, EachRunAppendsOneLineAndACancelWritesNothingAndKeepsTheResults) {
  prepare();
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  const std::string lines = scratch_.read(kTimeDelayFile);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);
  EXPECT_NE(lines.find(" 1.000\r\n"), std::string::npos) << lines;
  const AnalyserParams done = params();

  // A cancel at any step before the results leaves the block and the file as they were.
  // With N = 2048: 185 averaging steps, then the processing steps 186 to 189.
  for (int at : {1, 100, 185, 186, 187, 189}) {
    h_->progressCalls = 0;
    h_->cancelFlag = 0;
    h_->cancelAtProgress = at;
    h_->dialogs.clear();
    orvane_clipboard_clear();
    AnalyserParams* p = h_->block<AnalyserParams>();
    p->FftSizeIndex = kSizeIndex + 1;
    h_->unlock();
    EXPECT_EQ(h_->xfmDo(&h_->record), 1) << at;
    EXPECT_TRUE(h_->dialogs.empty()) << at;
    EXPECT_TRUE(image().empty()) << at;
    AnalyserParams now = params();
    EXPECT_EQ(now.FftSize, 2 * kRunN);  // the one field a cancelled run writes
    now.FftSize = done.FftSize;
    now.FftSizeIndex = done.FftSizeIndex;
    EXPECT_EQ(memcmp(&now, &done, sizeof now), 0) << at;
  }
  EXPECT_EQ(scratch_.read(kTimeDelayFile), lines);
  expectReleased();
}

// A silent channel, or a selection of one frame, has no correlation peak: the time of flight
// reads "no signal" and nothing is appended to the file other programs parse.
TEST_F(AnalyserRun, NoSignalIsShownAsSuchAndNeverLogged) {
  for (int silence : {0, 1}) {
    prepare();
    if (silence == 0) {
      for (size_t i = 1; i < h_->wave.size(); i += 2) h_->wave[i] = 0.0f;
    } else {
      h_->record.selFirst = 1000;
      h_->record.selLast = 1000;
    }
    EXPECT_EQ(h_->xfmDo(&h_->record), 0);
    EXPECT_EQ(h_->dialogs.back().control(kCorrelationLine)->text, "no signal") << silence;
    EXPECT_TRUE(isnan(params().TimeOfFlightMs)) << silence;
    EXPECT_EQ(scratch_.read(kTimeDelayFile), "") << silence;
  }
}

// "N. of blocks" shows the count averaged, also past the 16-bit field's 32767.
TEST_F(AnalyserRun, TheDialogCountsEveryBlockAveraged) {
  prepare();
  const long frames = 2200000;  // N 256: (frames - N) / (N/4) + 1 = 34372 blocks
  h_->wave.resize(2 * frames);
  for (long i = 96000; i < frames; ++i) h_->wave[2 * i] = h_->wave[2 * i + 1] = (float)(i % 97);
  h_->record.selLast = frames - 1;
  h_->block<AnalyserParams>()->FftSizeIndex = 0;
  h_->unlock();
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(h_->dialogs.back().control(kBlockCountText)->text, "34372");
  EXPECT_EQ(params().BlockCount, 32767);
}

TEST_F(AnalyserRun, TheLineCarriesTheDateTheTriggerAndTheTimeOfFlight) {
  struct tm t = {};
  t.tm_mday = 8;
  t.tm_mon = 2;
  t.tm_year = 126;
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_sec = 9;
  char line[200];
  FormatTimeDelayLine(line, sizeof line, &t, 12.5f, -0.25f);
  EXPECT_STREQ(line, "08/03/2026 14:05:09 12.500 -0.250\r\n");
}

TEST_F(AnalyserRun, AMonoWaveformGivesAnImageOfTheTwoOutputs) {
  prepare(1);
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  const std::vector<unsigned char> wav = image();
  ASSERT_EQ(wav.size(), 44u + 8 * kRunN);
  EXPECT_EQ(le16(wav, 22), 2);  // the frames hold both outputs
  EXPECT_EQ(le32(wav, 40), 8 * kRunN);
  EXPECT_EQ(params().Channels, 1);
  EXPECT_EQ(params().TimeOfFlightMs, 0.0f);  // the channel against itself
}

TEST_F(AnalyserRun, FailuresAreShownAndReleaseEverything) {
  prepare();
  // Memory: the first allocation of the run fails.
  orvane_fail_alloc_at(1);
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, kCaption);
  EXPECT_EQ(h_->messages[0].text,
            "The system cannot allocate enough memory\nto perform processing.\n\nRetry after "
            "closing some windows or\nwith a lower IRS order.");
  EXPECT_EQ(h_->messages[0].type, (UINT)(MB_OK | MB_ICONERROR));
  EXPECT_TRUE(h_->dialogs.empty());
  expectReleased();

  // A busy clipboard: the message, the image freed, and the run still completed.
  h_->messages.clear();
  orvane_clipboard_busy(1);
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  orvane_clipboard_busy(0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, kCaption);
  EXPECT_EQ(h_->messages[0].text.rfind("Can not access Clipboard Data.", 0), 0u);
  expectReleased();

  // "timedelay.txt" cannot be written: the run still completes, and says so.
  h_->messages.clear();
  fs::remove(kTimeDelayFile);
  fs::create_directory(kTimeDelayFile);  // a folder of that name cannot be appended to
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, kCaption);
  EXPECT_EQ(h_->messages[0].text.rfind("timedelay.txt\n", 0), 0u);
  EXPECT_EQ(h_->dialogs.size(), 2u);
  EXPECT_FALSE(image().empty());
  expectReleased();

  // The parameter block cannot be locked: nothing happens at all.
  h_->messages.clear();
  orvane_fail_lock_of(h_->record.paramBlock, 1);
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  orvane_fail_lock_of(h_->record.paramBlock, 0);
  EXPECT_TRUE(h_->messages.empty());
}

TEST_F(AnalyserRun, RunsWithoutAConfirmedSetupOnItsOwnModule) {
  prepare();
  AnalyserParams* p = h_->block<AnalyserParams>();
  p->HostWindow = BlockHandle{0};
  p->ModuleInstance = BlockHandle{0};
  h_->unlock();
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->dialogs.size(), 1u);
  EXPECT_EQ(h_->dialogs[0].resource, 107);
  EXPECT_FALSE(image().empty());
}

}  // namespace
