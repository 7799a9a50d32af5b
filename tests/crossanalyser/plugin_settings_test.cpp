// The analyser's entry points and its settings dialog as a person uses it.
#include <memory>

#include "crossanalyser/analyser_params.h"
#include "crossanalyser/dialog_ids.h"
#include "support/plugin_harness.h"

namespace {

class AnalyserSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    h_ = std::make_unique<PluginHarness>("crossanalyser", 2);
    ASSERT_EQ(h_->xfmInit(&h_->record), 1);
  }
  AnalyserParams copy() {
    AnalyserParams p = *h_->block<AnalyserParams>();
    h_->unlock();
    return p;
  }
  std::unique_ptr<PluginHarness> h_;
};

TEST_F(AnalyserSettings, DescribesItselfAndOpensWithTheDefaults) {
  XFMINFO info = {};
  EXPECT_EQ(h_->queryXfm(&info), 0x489);
  EXPECT_STREQ(info.name, "Orvane\\Cross Functions");
  EXPECT_STREQ(info.description, "Cross Functions");
  EXPECT_EQ(info.infoWord, 40);
  EXPECT_EQ(info.flags, 0x0001101Du);
  EXPECT_EQ(info.paramSize, 124u);
  EXPECT_STREQ(info.paramTypes, "clliicccillffffffiiiififhhhhlllllliifff");
  EXPECT_EQ(std::string(info.paramFlags), std::string(39, 'y'));

  std::string edits[5];
  const int editIds[5] = {kBandwidthEdit, kSoundSpeedEdit, kProbeDistanceEdit, kMaxFrequencyEdit,
                          kTriggerLevelEdit};
  h_->scripts[100] = [&](HWND d) {
    for (int i = 0; i < 5; ++i) edits[i] = PluginHarness::text(d, editIds[i]);
    PluginHarness::click(d, IDCANCEL);
  };
  EXPECT_EQ(h_->setup(), 0);
  EXPECT_EQ(edits[0], "0.33");
  EXPECT_EQ(edits[1], "343.0");
  EXPECT_EQ(edits[2], "40.0");
  EXPECT_EQ(edits[3], "1900.0");
  EXPECT_EQ(edits[4], "50");
  const SeenDialog& d = h_->dialogs.at(0);
  EXPECT_EQ(d.control(kFftSizeList)->text, "16384");
  EXPECT_EQ(d.control(kWindowList)->text, "HANNING");
  EXPECT_TRUE(d.control(kRadioCrossCorrelation)->checked);
  EXPECT_TRUE(d.control(kNormalizeBox)->checked);
  EXPECT_TRUE(d.control(kShiftHalfBox)->checked);
  EXPECT_FALSE(d.control(kTimeReversalBox)->checked);
  EXPECT_FALSE(d.control(kFollowBox)->checked);
  for (int id : {kBandwidthEdit, kFollowLeftRadio, kFollowRightRadio, kBandwidthLabel})
    EXPECT_FALSE(d.control(id)->enabled) << id;
  EXPECT_TRUE(d.control(kCoherenceWeightingBox)->enabled);
  EXPECT_EQ(h_->dialogInits, 1);
  // Cancel stores nothing, the handles included.
  EXPECT_EQ(loadHandle<HWND>(copy().HostWindow), nullptr);
}

TEST_F(AnalyserSettings, CommandsEnableWhatTheyGovernAndOkStoresEveryControl) {
  bool followLeftChecked = false, bandwidthEnabled = false, weightingAfterAuto = true,
       weightingAfterProbe = true;
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::click(d, kFollowBox);
    followLeftChecked = IsDlgButtonChecked(d, kFollowLeftRadio) == BST_CHECKED;
    bandwidthEnabled = IsWindowEnabled(GetDlgItem(d, kBandwidthEdit)) != FALSE;
    PluginHarness::click(d, kFollowRightRadio);
    PluginHarness::click(d, kRadioAutoCorrelations);
    weightingAfterAuto = IsWindowEnabled(GetDlgItem(d, kCoherenceWeightingBox)) != FALSE;
    PluginHarness::click(d, kRadioTubeCalibration);  // a probe function changes nothing
    weightingAfterProbe = IsWindowEnabled(GetDlgItem(d, kCoherenceWeightingBox)) != FALSE;
    PluginHarness::click(d, kRadioTransferH1);
    ASSERT_EQ(orvane_select(GetDlgItem(d, kFftSizeList), 12), 0);
    ASSERT_EQ(orvane_select(GetDlgItem(d, kWindowList), 5), 0);
    PluginHarness::click(d, kNormalizeBox);
    PluginHarness::click(d, kTimeReversalBox);
    PluginHarness::click(d, kMultiSpectrumBox);
    PluginHarness::type(d, kBandwidthEdit, "1/3");  // the number stops at the slash
    PluginHarness::type(d, kSoundSpeedEdit, "340.5 m/s");
    PluginHarness::type(d, kProbeDistanceEdit, "abc");
    PluginHarness::type(d, kMaxFrequencyEdit, "2.5e3");
    PluginHarness::type(d, kTriggerLevelEdit, "75");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_TRUE(followLeftChecked);
  EXPECT_TRUE(bandwidthEnabled);
  EXPECT_FALSE(weightingAfterAuto);
  EXPECT_FALSE(weightingAfterProbe);
  const AnalyserParams p = copy();
  EXPECT_EQ(p.FftSizeIndex, 12);
  EXPECT_EQ(p.WindowShape, 5);
  EXPECT_EQ(p.ProcessingFunction, kFnTransferH1);
  EXPECT_EQ(p.Normalize, 0);
  EXPECT_EQ(p.ShiftHalf, 1);
  EXPECT_EQ(p.TimeReversal, 1);
  EXPECT_EQ(p.SaveMultiSpectrum, 1);
  EXPECT_EQ(p.FollowMode, kFollowRight);
  EXPECT_EQ(p.BandwidthOctaves, 1.0f);
  EXPECT_EQ(p.SoundSpeed, 340.5f);
  EXPECT_EQ(p.ProbeDistance, 0.0f);
  EXPECT_EQ(p.MaxFrequency, 2500.0f);
  EXPECT_EQ(p.TriggerLevel, 75);
  EXPECT_EQ(loadHandle<HWND>(p.HostWindow), h_->hostWindow);
  EXPECT_EQ(loadHandle<HINSTANCE>(p.ModuleInstance), (HINSTANCE)h_->module);
}

TEST_F(AnalyserSettings, AStoredSizeOutsideTheListShowsAndRunsTheNearestSize) {
  h_->block<AnalyserParams>()->FftSizeIndex = 40;
  h_->unlock();
  h_->scripts[100] = [](HWND d) { PluginHarness::click(d, IDOK); };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_EQ(h_->dialogs.at(0).control(kFftSizeList)->text, "1048576");
  EXPECT_EQ(copy().FftSizeIndex, 12);
}

TEST_F(AnalyserSettings, SetupGoesOnWithoutTheDialogWhenTheBlockCannotBeLocked) {
  orvane_fail_lock_of(h_->record.paramBlock, 1);
  EXPECT_EQ(h_->setup(), 1);
  orvane_fail_lock_of(h_->record.paramBlock, 0);
  EXPECT_TRUE(h_->dialogs.empty());
}

}  // namespace
