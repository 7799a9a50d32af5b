// The settings dialog as a person uses it.
#include <memory>

#include "levelmeter/dialog_ids.h"
#include "levelmeter/meter_params.h"
#include "support/plugin_harness.h"

namespace {

class SettingsDialog : public ::testing::Test {
 protected:
  void open(int channels) {
    h_.reset();  // one harness at a time: the old one resets the layer when it goes
    h_ = std::make_unique<PluginHarness>("levelmeter", channels);
    ASSERT_EQ(h_->xfmInit(&h_->record), 1);
  }
  MeterParams copy() {
    MeterParams p = *h_->block<MeterParams>();
    h_->unlock();
    return p;
  }
  void edit(void (*change)(MeterParams*)) {
    change(h_->block<MeterParams>());
    h_->unlock();
  }
  const SeenDialog& shown() { return h_->dialogs.at(0); }
  std::unique_ptr<PluginHarness> h_;
};

TEST_F(SettingsDialog, OpensWithTheStoredValuesInTheFullScaleView) {
  open(2);
  edit([](MeterParams* p) {
    p->filterLeft = 'A';
    p->filterRight = 'W';
    p->fullScaleLeft = 110.5f;
    p->fullScaleRight = 99.3f;
    p->calMode = 'L';
  });
  std::string left, right;
  h_->scripts[100] = [&](HWND d) {
    left = PluginHarness::text(d, kLeftValue);
    right = PluginHarness::text(d, kRightValue);
    PluginHarness::click(d, IDCANCEL);
  };
  EXPECT_EQ(h_->setup(), 0);
  EXPECT_EQ(left, "110.50");
  EXPECT_EQ(right, "99.30");
  const SeenDialog& d = shown();
  EXPECT_EQ(d.resource, 100);
  EXPECT_TRUE(d.control(kLeftIec)->checked);
  EXPECT_FALSE(d.control(kLeftItu)->checked);
  EXPECT_TRUE(d.control(kRightIso)->checked);
  EXPECT_TRUE(d.control(kFullScaleRadio)->checked);
  EXPECT_FALSE(d.control(kLeqRadio)->checked);
  EXPECT_FALSE(d.control(kStateHolder)->visible);
  EXPECT_EQ(h_->dialogInits, 1);
  // Cancel stores nothing, but the opening has already switched the mode to full scale.
  MeterParams p = copy();
  EXPECT_EQ(p.calMode, 'F');
  EXPECT_EQ(p.filterLeft, 'A');
  EXPECT_EQ(loadHandle<HWND>(p.HostWindow), nullptr);
  EXPECT_EQ(orvane_lock_count(h_->record.paramBlock), 0);
}

TEST_F(SettingsDialog, OkStoresFiltersValuesAndTheHostHandles) {
  open(2);
  h_->scripts[100] = [](HWND d) {
    PluginHarness::click(d, kLeftIec);
    PluginHarness::type(d, kLeftValue, "94");
    PluginHarness::click(d, kRightItu);
    PluginHarness::type(d, kRightValue, "  101.25dB");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  MeterParams p = copy();
  EXPECT_EQ(p.filterLeft, 'A');
  EXPECT_EQ(p.filterRight, 'B');
  EXPECT_EQ(p.fullScaleLeft, 94.0f);
  EXPECT_EQ(p.fullScaleRight, 101.25f);
  EXPECT_EQ(p.calMode, 'F');
  EXPECT_EQ(loadHandle<HWND>(p.HostWindow), h_->hostWindow);
  EXPECT_EQ(loadHandle<HINSTANCE>(p.ModuleInstance), h_->module);
  EXPECT_EQ(orvane_lock_count(h_->record.paramBlock), 0);
}

TEST_F(SettingsDialog, AColumnKeepsAtMostOneBoxChecked) {
  open(2);
  h_->scripts[100] = [](HWND d) {
    PluginHarness::click(d, kLeftItu);
    PluginHarness::click(d, kLeftIec);  // replaces ITU
    EXPECT_FALSE(IsDlgButtonChecked(d, kLeftItu));
    PluginHarness::click(d, kLeftIec);  // and unchecking leaves none
    PluginHarness::click(d, kRightIso);
    PluginHarness::click(d, kRightIec);
    EXPECT_FALSE(IsDlgButtonChecked(d, kRightIso));
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_EQ(copy().filterLeft, 'L');
  EXPECT_EQ(copy().filterRight, 'A');
}

TEST_F(SettingsDialog, LeqModeStoresTheCalibrationValuesOnly) {
  open(2);
  std::string shownLeq;
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::click(d, kLeqRadio);
    shownLeq = PluginHarness::text(d, kLeftValue);
    PluginHarness::type(d, kLeftValue, "94");
    PluginHarness::type(d, kRightValue, "nan");  // no number, as on Windows: never NaN
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_EQ(shownLeq, "94.00");
  MeterParams p = copy();
  EXPECT_EQ(p.calMode, 'L');
  EXPECT_EQ(p.leqCalLeft, 94.0f);
  EXPECT_EQ(p.leqCalRight, 0.0f);
  EXPECT_EQ(p.fullScaleLeft, 120.0f);
  EXPECT_EQ(p.fullScaleRight, 120.0f);
}

TEST_F(SettingsDialog, SwitchingViewsLosesTypedValues) {
  open(2);
  std::string back;
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::type(d, kLeftValue, "80");
    PluginHarness::click(d, kLeqRadio);
    PluginHarness::click(d, kFullScaleRadio);
    back = PluginHarness::text(d, kLeftValue);
    PluginHarness::click(d, IDOK);
  };
  h_->setup();
  EXPECT_EQ(back, "120.00");
  EXPECT_EQ(copy().fullScaleLeft, 120.0f);
}

TEST_F(SettingsDialog, MonoHidesTheRightColumnAndNeverReadsIt) {
  open(1);
  edit([](MeterParams* p) { p->filterRight = 'W'; });
  h_->scripts[100] = [](HWND d) {
    EXPECT_NE(orvane_click(GetDlgItem(d, kRightItu)), 0);  // a person cannot reach it
    SetDlgItemTextA(d, kRightValue, "12");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  for (int id :
       {kLeftHeading, kRightHeading, kRightValue, kRightItu, kRightIec, kRightIso, kRightColumnBox})
    EXPECT_FALSE(shown().control(id)->visible) << id;
  EXPECT_TRUE(shown().control(kLeftValue)->visible);
  MeterParams p = copy();
  EXPECT_EQ(p.filterRight, 'W');
  EXPECT_EQ(p.fullScaleRight, 120.0f);
}

TEST_F(SettingsDialog, AnAutomaticPresetRunConfirmsItself) {
  open(2);
  edit([](MeterParams* p) {
    p->calMode = 'L';
    p->fullScaleLeft = 100.0f;
  });
  h_->record.autoPreset = 5;
  h_->record.autoShowDialogs = 0;
  EXPECT_EQ(h_->setup(), 1);
  MeterParams p = copy();
  EXPECT_EQ(p.calMode, 'F');
  EXPECT_EQ(p.fullScaleLeft, 100.0f);
  EXPECT_EQ(shown().result, 1);
}

TEST_F(SettingsDialog, ShownDialogsWaitForThePerson) {
  for (int showDialogs : {1, 0}) {
    open(2);
    h_->record.autoPreset = showDialogs == 1 ? 5 : -1;
    h_->record.autoShowDialogs = (SHORT)showDialogs;
    // Nobody acts: the dialog waits and is then closed by the person, which cancels.
    EXPECT_EQ(h_->setup(), 0);
    EXPECT_EQ(shown().result, 0);
  }
}

TEST_F(SettingsDialog, HelpAndTheCloseBox) {
  open(1);
  h_->scripts[100] = [](HWND d) { PluginHarness::click(d, kHelpButton); };
  EXPECT_EQ(h_->setup(), 0);  // then closed with the close box: Cancel
  ASSERT_EQ(h_->helpKeywords.size(), 1u);
  EXPECT_EQ(h_->helpKeywords[0], "ITU P56 Active Speech Level");
  EXPECT_EQ(orvane_lock_count(h_->record.paramBlock), 0);
}

TEST_F(SettingsDialog, ABlockThatCannotBeLockedAtOkStoresNothing) {
  open(2);
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::click(d, kLeftItu);
    // The dialog holds its own lock; only the lock XfmSetup takes after OK fails.
    orvane_fail_lock_at(1);
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 0);
  MeterParams p = copy();
  EXPECT_EQ(p.filterLeft, 'B');  // the dialog stored its controls
  EXPECT_EQ(loadHandle<HWND>(p.HostWindow), nullptr);
  EXPECT_EQ(orvane_lock_count(h_->record.paramBlock), 0);
}

}  // namespace
