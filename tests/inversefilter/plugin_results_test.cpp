// The results dialog after a run: its fields, the configuration of the display and the
// display's source of points.
#include <math.h>
#include <stdlib.h>

#include <regex>

#include "designer_test_support.h"
#include "plugin_test_support.h"

namespace {

class ResultsDialog : public ::testing::Test {
 protected:
  void run(int mode, const std::function<void(DesignerParams*)>& settings = nullptr) {
    h_.reset();  // one harness at a time: the old one resets the layer when it goes
    h_ = openDesigner(mode == kModeMono ? 1 : 2);
    editParams(*h_, [&](DesignerParams* p) {
      p->Mode = (int16_t)mode;
      if (settings) settings(p);
    });
    const std::vector<float> response = roomResponse(300, 10, 0.5, 31u);
    selectResponses(*h_, std::vector<std::vector<float>>(mode == kModeMono ? 1 : 2, response));
    ASSERT_EQ(h_->xfmDo(&h_->record), 0);
    ASSERT_TRUE(clipboardImage(&image_));
  }
  std::string field(int id) { return h_->dialogs.at(0).control(id)->text; }
  // The last value of DISPLAY_SET `attribute` for `target` (NAN when never sent).
  double displaySet(int attribute, int target) {
    double value = NAN;
    for (const auto& s : h_->displaySets)
      if (s.attribute == attribute && s.target == target) value = s.value;
    return value;
  }
  std::unique_ptr<PluginHarness> h_;
  ClipboardImage image_;
};

TEST_F(ResultsDialog, FieldsShowTheSettingsAndFiguresOfTheRun) {
  run(kModeMono, [](DesignerParams* p) {
    p->AverageType = kAverageMagPhase;
    p->WindowType = kWindowOctaves;
    p->WindowWidth = 0.5f;
  });
  EXPECT_EQ(h_->dialogs.at(0).resource, 107);
  EXPECT_EQ(h_->dialogs.at(0).result, 1);  // closed: OK
  EXPECT_EQ(field(1026), "1024");
  EXPECT_EQ(field(1028), "1");
  EXPECT_EQ(field(1029), "48000");
  EXPECT_EQ(field(1031), "1.e-003");
  EXPECT_EQ(field(1032), "1.");
  EXPECT_EQ(field(1044), "80");
  EXPECT_EQ(field(1045), "16000");
  EXPECT_EQ(field(1046), "0.33");
  EXPECT_EQ(field(1027), "Amplitude && Phase");
  EXPECT_EQ(field(1033), "Octave");
  EXPECT_EQ(field(1034), "0.5");
  const DesignerParams p = paramsOf(*h_);
  char elapsed[32];
  snprintf(elapsed, sizeof elapsed, "%d.%03d", p.ElapsedMs / 1000, p.ElapsedMs % 1000);
  EXPECT_EQ(field(1030), elapsed);
  // The gain found, to 7 significant digits.
  const std::string gain = field(1035);
  EXPECT_TRUE(std::regex_match(gain, std::regex("-?[0-9]+\\.[0-9]*"))) << gain;
  EXPECT_EQ(std::regex_replace(gain, std::regex("[-.]|^0+"), "").size(), 7u) << gain;
  EXPECT_NEAR(strtod(gain.c_str(), nullptr), p.GainDb, 1e-6 * fabs(p.GainDb));

  run(kModeMono);
  EXPECT_EQ(field(1027), "No average");
  EXPECT_EQ(field(1033), "none");
  EXPECT_EQ(field(1034), "none");
}

TEST_F(ResultsDialog, TheDisplayOfAMonoFilterHasOneCurveOverTheFilterLength) {
  run(kModeMono);
  EXPECT_EQ(paramsOf(*h_).DisplayWindow.bits, 0u);  // forgotten with the dialog
  const std::vector<PluginHarness::DisplaySet>& sets = h_->displaySets;
  ASSERT_GE(sets.size(), 3u);
  EXPECT_EQ(sets[0].attribute, kDisplayXLabel);
  EXPECT_EQ(sets[0].text, "s");
  EXPECT_EQ(displaySet(kDisplayGridColour, 0), (double)0x404040);
  EXPECT_EQ(displaySet(kDisplayBackground, 0), 0.0);
  EXPECT_EQ(displaySet(kDisplayViewMode, 1), 8.0);
  EXPECT_EQ(displaySet(kDisplayCurveColour, 1), (double)0xFFFF00);
  EXPECT_EQ(displaySet(kDisplayYTop, 1), 1.0);
  EXPECT_EQ(displaySet(kDisplayYBottom, 1), -1.0);
  EXPECT_EQ(displaySet(kDisplayXLeft, 1), 0.0);
  EXPECT_EQ(displaySet(kDisplayXRight, 1), 1024.0);
  EXPECT_TRUE(isnan(displaySet(kDisplayCurveColour, 2)));
  EXPECT_EQ(sets.size(), 9u);
}

TEST_F(ResultsDialog, The2x2PlotSpansTwiceTheFilterLengthWithTheSecondResponseInItsSecondHalf) {
  std::vector<double> values(4, 99.0);
  h_.reset();
  // The points are asked for while the dialog is open, as the display control asks for them.
  const auto ask = [&](HWND) {
    void* block = h_->displayUser;
    double y;
    h_->displayCallback(1.0, block, 1, &y);  // from the start: the sample itself
    h_->displayCallback(1024.0 + 3.7, block, 1, &values[0]);
    h_->displayCallback(1024.0 + 3.7, block, 2, &values[1]);  // the cursor is shared
    h_->displayCallback(2047.0, block, 1, &values[2]);
    h_->displayCallback(5.0, block, 2, &values[3]);  // behind the cursor: a new pass
  };
  h_ = openDesigner(2);
  editParams(*h_, [](DesignerParams* p) { p->Mode = kMode2x2; });
  const std::vector<float> a = earResponse(300, 20, 0.5, 1, 41u),
                           b = earResponse(300, 33, 0.3, 4, 42u);
  std::vector<float> left = a, right = b;
  left.insert(left.end(), b.begin(), b.end());
  right.insert(right.end(), a.begin(), a.end());
  selectResponses(*h_, {left, right});
  h_->scripts[107] = ask;
  ASSERT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_TRUE(clipboardImage(&image_));
  EXPECT_EQ(displaySet(kDisplayXRight, 1), 2048.0);
  EXPECT_EQ(displaySet(kDisplayXRight, 2), 2048.0);
  EXPECT_EQ(displaySet(kDisplayCurveColour, 2), (double)0x0000FF);
  EXPECT_EQ(field(1028), "2");
  EXPECT_EQ(field(1026), "1024");
  // Peak holding: the extreme of frames 1 ... 1027 of curve 1 (slot LL, then RL) ...
  float high = 0.0f, low = 0.0f;
  for (long i = 1; i <= 1027; ++i) {
    high = std::max(high, image_.at(i, 0));
    low = std::min(low, image_.at(i, 0));
  }
  EXPECT_EQ(values[0], (fabsf(low) >= fabsf(high) ? low : high) / 32768.0);
  // ... then curve 2 from the same cursor: sample 1027 of slot RR ...
  EXPECT_EQ(values[1], image_.at(1027, 1) / 32768.0);
  // ... the extreme of frames 1027 ... 2047 of slot RL, and for a point behind the cursor (a
  // new pass over the plot) the sample itself, as at the start.
  high = low = 0.0f;
  for (long i = 1027; i <= 2047; ++i) {
    high = std::max(high, image_.at(i, 0));
    low = std::min(low, image_.at(i, 0));
  }
  EXPECT_EQ(values[2], (fabsf(low) >= fabsf(high) ? low : high) / 32768.0);
  EXPECT_EQ(values[3], image_.at(5, 1) / 32768.0);
}

TEST_F(ResultsDialog, ThePlotStaysWhenAnotherProgramEmptiesTheClipboard) {
  h_ = openDesigner(1);
  selectResponses(*h_, {roomResponse(300, 10, 0.5, 51u)});
  std::vector<double> plotted;
  ClipboardImage onClipboard;
  h_->scripts[107] = [&](HWND) {
    ASSERT_TRUE(clipboardImage(&onClipboard));
    orvane_clipboard_clear();
    for (double x = 0.0; x < 1024.0; x += 1.0) {
      double y = 0.0;
      editParams(*h_, [](DesignerParams* p) { p->DisplayCursor = 0; });  // each point alone
      h_->displayCallback(x, h_->displayUser, 1, &y);
      plotted.push_back(y);
    }
  };
  ASSERT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(plotted.size(), 1024u);
  for (long i = 0; i < 1024; ++i) ASSERT_EQ(plotted[i], onClipboard.at(i, 0) / 32768.0) << i;
}

}  // namespace
