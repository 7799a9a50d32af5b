// The results dialog over spectra the test lays out: its texts, the display's configuration and
// curves, and the export of spectral values.
#include <math.h>
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "crossanalyser/analyser_params.h"
#include "crossanalyser/dialog_ids.h"
#include "support/plugin_harness.h"

namespace {

constexpr long kN = 16384;

class AnalyserResults : public ::testing::Test {
 protected:
  void SetUp() override {
    h_ = std::make_unique<PluginHarness>("crossanalyser", 2);
    ASSERT_EQ(h_->xfmInit(&h_->record), 1);
    for (auto* s : {&gll_, &grr_, &glr_, &result_, &second_}) s->assign(kN, 0.0f);
    for (long i = 0; i < kN; ++i) {
      gll_[i] = 1000.0f + i;
      grr_[i] = 10.0f + 0.5f * i;
      glr_[i] = 0.25f * i - 700.0f;
      result_[i] = (i % 2 ? -1.0f : 2.0f) * (1.0f + i / 1000.0f);
      second_[i] = 0.5f;
    }
    AnalyserParams* p = h_->block<AnalyserParams>();
    p->FftSize = kN;
    p->Channels = 2;
    p->SampleRate = 48000;
    p->BlockCount = 146;
    p->ElapsedMs = 1234;
    p->RmsLeftDb = -28.9372f;
    p->RmsRightDb = -34.96f;
    p->RmsCrossDb = -100.0f;
    p->NccMax = 0.98765f;
    p->TimeOfFlightMs = 1.25f;
    p->TriggerTimeMs = 12.5f;
    storeHandle(&p->HostWindow, h_->hostWindow);
    p->AutoLeft = runBlock(gll_);
    p->AutoRight = runBlock(grr_);
    p->CrossSpectrum = runBlock(glr_);
    p->ResultSpectrum = runBlock(result_);
    p->SecondSpectrum = runBlock(second_);
    h_->unlock();
  }
  void TearDown() override {
    for (HGLOBAL block : blocks_) GlobalFree(block);
  }
  // A movable block holding `values`, as the run leaves its spectra.
  BlockBuffer runBlock(const std::vector<float>& values) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, values.size() * sizeof(float));
    memcpy(GlobalLock(block), values.data(), values.size() * sizeof(float));
    GlobalUnlock(block);
    blocks_.push_back(block);
    return blockBufferOf(block);
  }
  void setFunction(int function) {
    h_->block<AnalyserParams>()->ProcessingFunction = (int16_t)function;
    h_->unlock();
  }
  // Opens the results dialog as the run does; `script` acts in it before it is closed.
  void open(PluginHarness::Script script = [](HWND) {}) {
    h_->scripts[107] = script;
    DLGPROC procedure = (DLGPROC)(void*)GetProcAddress(h_->module, MAKEINTRESOURCEA(101));
    DialogBoxParamA(h_->module, MAKEINTRESOURCEA(107), h_->hostWindow, procedure,
                    (LPARAM)&h_->record);
  }
  std::string field(int id) { return h_->dialogs.at(0).control(id)->text; }
  std::string clipboardText() {
    size_t size = 0;
    const char* text = (const char*)orvane_clipboard_data(CF_TEXT, &size);
    return text ? std::string(text) : std::string();
  }
  static std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0, end;
    while ((end = text.find("\r\n", at)) != std::string::npos) {
      out.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return out;
  }
  // The DISPLAY_SET messages from index `from` on, as "attribute/target=value" texts; the
  // sample rate (attribute 10) travels as the address of a double, so only its presence shows.
  std::vector<std::string> sets(size_t from = 0) {
    std::vector<std::string> out;
    for (size_t i = from; i < h_->displaySets.size(); ++i) {
      const auto& s = h_->displaySets[i];
      char text[80];
      if (!s.text.empty())
        snprintf(text, sizeof text, "%d/%d=%s", s.attribute, s.target, s.text.c_str());
      else if (s.attribute == kDisplaySampleRate)
        snprintf(text, sizeof text, "%d/%d", s.attribute, s.target);
      else
        snprintf(text, sizeof text, "%d/%d=%.17g", s.attribute, s.target, s.value);
      out.push_back(text);
    }
    return out;
  }

  std::unique_ptr<PluginHarness> h_;
  std::vector<float> gll_, grr_, glr_, result_, second_;
  std::vector<HGLOBAL> blocks_;
};

TEST_F(AnalyserResults, ShowsTheRunsFiguresInTheirFormats) {
  open();
  EXPECT_EQ(field(kFftSizeText), "16384");
  EXPECT_EQ(field(kChannelsText), "2");
  EXPECT_EQ(field(kSampleRateText), "48000");
  EXPECT_EQ(field(kBlockCountText), "146");
  EXPECT_EQ(field(kElapsedText), "Elapsed time: 1.234 s");
  EXPECT_EQ(field(kTransformTypeText), "Transform type: Cross-Correlation");
  EXPECT_EQ(field(kRmsLeftText), "-28.94 dB");
  EXPECT_EQ(field(kRmsCrossText), "-100 dB");
  EXPECT_EQ(field(kCorrelationLine), "NCC Max: 98.765%  at 1.25 ms");
  EXPECT_EQ(field(kTriggerLine), "Trigger Time: 50%  at 12.5 ms");
  EXPECT_EQ(h_->dialogs.at(0).result, 1);  // closed: "Waveform"
}

TEST_F(AnalyserResults, AutoCorrelationsShowNoCorrelationLinesAndNoResultCurves) {
  setFunction(kFnAutoCorrelations);
  h_->block<AnalyserParams>()->NccMax = 0.0f;
  h_->unlock();
  open();
  EXPECT_EQ(field(kTransformTypeText), "Transform type: Auto Spectra");
  EXPECT_EQ(field(kCorrelationLine), "");
  EXPECT_EQ(field(kTriggerLine), "");
  for (int id : {kCurveMagnitude, kCurvePhase, kCurveReal, kCurveImag})
    EXPECT_FALSE(h_->dialogs.at(0).control(id)->enabled) << id;
  EXPECT_TRUE(h_->dialogs.at(0).control(kCurveAlpha)->enabled);
}

TEST_F(AnalyserResults, TheDisplayIsConfiguredAndFollowsTheCurveBoxesAndScales) {
  size_t afterMagnitude = 0, afterLinear = 0;
  bool leftChecked = true;
  open([&](HWND d) {
    afterMagnitude = h_->displaySets.size();
    PluginHarness::click(d, kCurveMagnitude);
    leftChecked = IsDlgButtonChecked(d, kCurveLeft) == BST_CHECKED;
    afterLinear = h_->displaySets.size();
    PluginHarness::click(d, kLinearView);
  });
  const std::vector<std::string> created = {
      "11/0=f[Hz]", "4/0=4210752", "2/0=0",     "1/1=2",     "3/1=65280", "5/1=80",
      "6/1=-80",    "7/1=20",      "8/1=24000", "10/1",      "1/2=2",     "3/2=255",
      "5/2=80",     "6/2=-80",     "7/2=20",    "8/2=24000", "10/2"};
  std::vector<std::string> all = sets();
  EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + afterMagnitude), created);
  EXPECT_EQ(sets(afterMagnitude).at(0), "3/1=16776960");  // the magnitude in cyan
  EXPECT_FALSE(leftChecked);
  // "Linear View": a new display in view mode 8 from 0 Hz, then the checked scales again.
  const std::vector<std::string> linear = {
      "4/0=4210752", "2/0=0",     "1/1=8",     "3/1=16776960", "5/1=80",  "6/1=-80",
      "7/1=0",       "8/1=24000", "10/1",      "1/2=8",        "3/2=255", "5/2=80",
      "6/2=-80",     "7/2=0",     "8/2=24000", "10/2",         "5/1=80",  "6/1=-80",
      "5/2=80",      "6/2=-80",   "8/1=24000", "8/2=24000"};
  EXPECT_EQ(sets(afterLinear), linear);
  const AnalyserParams* p = h_->block<AnalyserParams>();
  EXPECT_EQ(p->LeftCurve, 2);
  EXPECT_EQ(p->RightCurve, 1);
  h_->unlock();
}

TEST_F(AnalyserResults, TheCurvesReadTheBinOfTheFrequencyKeptInsideTheSpectrum) {
  open();
  AnalyserParams* p = h_->block<AnalyserParams>();
  double y = 0;
  ASSERT_EQ(h_->displayCallback(-5.0, p, 1, &y), 1);
  EXPECT_DOUBLE_EQ(y, 10 * log10((double)gll_[2]));  // bin 1
  ASSERT_EQ(h_->displayCallback(1e12, p, 1, &y), 1);
  EXPECT_DOUBLE_EQ(y, 10 * log10((double)gll_[2 * (kN / 2 - 2)]));
  ASSERT_EQ(h_->displayCallback(NAN, p, 2, &y), 1);
  EXPECT_DOUBLE_EQ(y, 10 * log10((double)grr_[2]));
  p->LeftCurve = 4;  // alpha at 1 kHz: bin 341
  p->RightCurve = 2;
  ASSERT_EQ(h_->displayCallback(1000.0, p, 1, &y), 1);
  const double cross = fabs(glr_[682]);
  EXPECT_DOUBLE_EQ(y, 2 * cross / (cross + (grr_[682] + gll_[682]) * 0.5));
  ASSERT_EQ(h_->displayCallback(1000.0, p, 2, &y), 1);
  EXPECT_DOUBLE_EQ(y, -25.464790894703256 * atan2((double)result_[683], (double)result_[682]));
  static_cast<float*>(lockBlockBuffer(p->AutoLeft))[2] = 0.0f;  // no power reads the floor
  unlockBlockBuffer(p->AutoLeft);
  p->LeftCurve = 1;
  ASSERT_EQ(h_->displayCallback(0.0, p, 1, &y), 1);
  EXPECT_EQ(y, -200.0);
  // Once the run has freed its blocks the fields left in the block name nothing: no value,
  // and nothing freed is read.
  GlobalFree(blocks_[0]);
  blocks_.erase(blocks_.begin());
  EXPECT_EQ(h_->displayCallback(0.0, p, 1, &y), 0);
  h_->unlock();
}

TEST_F(AnalyserResults, SpectralValuesListTheSelectedCurvesRowByRow) {
  open([](HWND d) { PluginHarness::click(d, kSpectralValuesButton); });
  std::vector<std::string> rows = lines(clipboardText());
  ASSERT_EQ(rows.size(), 2u + kN / 2 + 1 + 1);  // title, headers, rows, the empty last line
  EXPECT_EQ(rows[0],
            "Orvane - Cross Functions 4.1 - Spectral Values\tTransform type: Cross-Correlation");
  EXPECT_EQ(rows[1], "Freq.[Hz]\tGLL\tGRR");
  EXPECT_EQ(rows[2], "0\t1000\t10");
  EXPECT_EQ(rows[3], "2.9296875\t1002\t11");
  EXPECT_EQ(rows[2 + kN / 2], "24000\t1001\t10.5");  // the Nyquist values
  EXPECT_EQ(rows.back(), "");
  EXPECT_EQ(h_->progressCaptions.back(), "Exporting spectral values to clipboard...");
  EXPECT_EQ(h_->beeps, 1);
  EXPECT_EQ(h_->dialogs.size(), 1u);  // the dialog stayed open until closed
}

TEST_F(AnalyserResults, TwoKilohertzRowsTheRawCrossSpectrumAndACancelledExport) {
  setFunction(kFnTransferH1);
  open([](HWND d) {
    PluginHarness::click(d, kRangeTwoKilohertz);
    PluginHarness::click(d, kCurveLeft);  // both curves off: the raw spectra
    PluginHarness::click(d, kCurveRight);
    PluginHarness::click(d, kSpectralValuesButton);
  });
  std::vector<std::string> rows = lines(clipboardText());
  ASSERT_EQ(rows.size(), 2u + 683 + 1);  // rows 0 ... 682
  EXPECT_EQ(rows[0].substr(rows[0].find('\t')), "\tTransform type: Transfer Function H1");
  EXPECT_EQ(rows[1], "Freq.[Hz]\tGLL\tGRR\tRe[GLR]\tIm[GLR]");
  EXPECT_EQ(rows[2], "0\t1000\t10\t-700\t0");
  EXPECT_EQ(rows[2 + 682].substr(0, 11), "1998.046875");

  // A cancel at the 11th row's progress: the ten rows before it are still exported.
  orvane_clipboard_clear();
  h_->dialogs.clear();
  h_->progressCalls = 0;
  h_->cancelAtProgress = 11;
  open([](HWND d) {
    PluginHarness::click(d, kCurveMagnitude);
    PluginHarness::click(d, kSpectralValuesButton);
  });
  rows = lines(clipboardText());
  ASSERT_EQ(rows.size(), 2u + 10 + 1);
  EXPECT_EQ(rows[1], "Freq.[Hz]\tMag\tGRR");
}

TEST_F(AnalyserResults, ABusyClipboardIsShownAndTheDialogStaysOpen) {
  orvane_clipboard_busy(1);
  open([](HWND d) { PluginHarness::click(d, kSpectralValuesButton); });
  orvane_clipboard_busy(0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "Acoustical Parameters");
  EXPECT_EQ(h_->beeps, 1);
  EXPECT_EQ(clipboardText(), "");
  OrvaneMemoryStats stats;
  orvane_memory_stats(&stats);
  EXPECT_EQ(stats.lockedBlocks, 0);
}

}  // namespace
