// The settings dialog as a person uses it: what it shows, what its buttons and lists switch,
// the checks on OK and what it stores.
#include <string.h>

#include "plugin_test_support.h"

namespace {

class SettingsDialog : public ::testing::Test {
 protected:
  void open(int channels, long frames = 1024, int rate = 48000) {
    h_.reset();  // one harness at a time: the old one resets the layer when it goes
    h_ = openDesigner(channels, rate);
    h_->record.selFirst = 100;
    h_->record.selLast = 100 + frames - 1;
    sounds_.clear();
    recordBeepSounds(&sounds_);
  }
  const SeenDialog& shown() { return h_->dialogs.at(0); }
  static void select(HWND d, int id, int index) {
    ASSERT_EQ(orvane_select(GetDlgItem(d, id), index), 0);
  }
  std::unique_ptr<PluginHarness> h_;
  std::vector<UINT> sounds_;
};

TEST_F(SettingsDialog, AStereoSelectionOpensWithTheStoredSettings) {
  open(2, 1024, 44100);
  editParams(*h_, [](DesignerParams* p) {
    p->Mode = kModeMono;  // as a mono run leaves it: opens as Dual Mono
    p->CrossTalkOnly = 1;
  });
  std::vector<std::string> averageItems;
  int width = 0, height = 0;
  h_->scripts[100] = [&](HWND d) {
    char item[64];
    for (int i = 0; i < orvane_combo_count(GetDlgItem(d, 1034)); ++i) {
      orvane_combo_item(GetDlgItem(d, 1034), i, item, sizeof item);
      averageItems.push_back(item);
    }
    orvane_dialog_size(d, &width, &height);
    PluginHarness::click(d, IDCANCEL);
  };
  EXPECT_EQ(h_->setup(), 0);
  const SeenDialog& d = shown();
  EXPECT_EQ(d.control(1026)->text, "44100 Hz/Stereo/1024 Samples");
  EXPECT_TRUE(d.control(1010)->checked);
  EXPECT_TRUE(d.control(1010)->enabled);
  EXPECT_FALSE(d.control(1052)->enabled);
  EXPECT_FALSE(d.control(1053)->visible);
  EXPECT_FALSE(d.control(1033)->visible);
  EXPECT_EQ(d.control(1012)->text, "2x2       (with CrossTalk cancellation)");
  EXPECT_EQ(averageItems,
            (std::vector<std::string>{"No Average", "Real,Imag", "Mag,Phase", "Cepstrum"}));
  EXPECT_EQ(d.control(1034)->text, "No Average");
  EXPECT_EQ(d.control(1035)->text, "Linear");
  EXPECT_EQ(width, 252);
  EXPECT_EQ(height, 269);
  // The defaults in the dialogs' number format.
  EXPECT_EQ(d.control(1061)->text, "1024");
  EXPECT_EQ(d.control(1042)->text, "1.e-003");
  EXPECT_EQ(d.control(1043)->text, "1.");
  EXPECT_EQ(d.control(1044)->text, "80");
  EXPECT_EQ(d.control(1045)->text, "16000");
  EXPECT_EQ(d.control(1046)->text, "0.33");
  EXPECT_EQ(d.control(1058)->text, "5.");
  EXPECT_EQ(d.control(1047)->text, "0.");
  for (int id : {1074, 1072, 1035, 1073, 1058}) EXPECT_FALSE(d.control(id)->enabled) << id;
  EXPECT_TRUE(d.control(1036)->checked);
  EXPECT_FALSE(d.control(1076)->enabled);
  EXPECT_FALSE(d.control(1047)->enabled);
  EXPECT_EQ(h_->dialogInits, 1);
  // Cancel stores nothing, but the opening has already made the mode Dual Mono.
  const DesignerParams p = paramsOf(*h_);
  EXPECT_EQ(p.Mode, kModeDualMono);
  EXPECT_EQ(p.CrossTalkOnly, 0);
  EXPECT_EQ(orvane_lock_count(h_->record.paramBlock), 0);
}

TEST_F(SettingsDialog, NumbersShowSevenSignificantDigits) {
  open(1);
  editParams(*h_, [](DesignerParams* p) {
    p->InBandRegularisation = 0.05f;
    p->OutBandRegularisation = 12345678.0f;
    p->TransitionOctaves = 0.0f;
    p->WindowWidth = 1234567.0f;
    p->GainDb = -6.5;
  });
  h_->setup();
  EXPECT_EQ(shown().control(1042)->text, "5.e-002");
  EXPECT_EQ(shown().control(1043)->text, "1.234568e+007");
  EXPECT_EQ(shown().control(1046)->text, "0.");
  EXPECT_EQ(shown().control(1058)->text, "1234567.");
  EXPECT_EQ(shown().control(1047)->text, "-6.5");
}

TEST_F(SettingsDialog, AMonoSelectionOffersNoModeAndStoresMono) {
  open(1, 300);
  editParams(*h_, [](DesignerParams* p) {
    p->Mode = kMode2x2;
    p->CrossTalkOnly = 1;
    p->ActiveNoiseControl = 1;
  });
  h_->scripts[100] = [](HWND d) {
    EXPECT_NE(orvane_click(GetDlgItem(d, 1011)), 0);  // a person cannot reach them
    EXPECT_NE(orvane_click(GetDlgItem(d, 1052)), 0);
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_EQ(shown().control(1026)->text, "48000 Hz/Mono/300 Samples");
  for (int id : {1010, 1011, 1012, 1052}) EXPECT_FALSE(shown().control(id)->enabled) << id;
  const DesignerParams p = paramsOf(*h_);
  EXPECT_EQ(p.Mode, kModeMono);
  EXPECT_EQ(p.CrossTalkOnly, 0);
  EXPECT_EQ(p.ActiveNoiseControl, 1);  // never the dialog's to change
  EXPECT_EQ(loadHandle<HWND>(p.HostWindow), h_->hostWindow);
}

TEST_F(SettingsDialog, CrossTalkCancellationGoesWithTheStereoModesOnly) {
  open(2);
  bool afterStereo = false, afterDualMono = true;
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::click(d, 1011);
    afterStereo = IsWindowEnabled(GetDlgItem(d, 1052));
    PluginHarness::click(d, 1052);
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_TRUE(afterStereo);
  EXPECT_EQ(paramsOf(*h_).Mode, kModeStereo);
  EXPECT_EQ(paramsOf(*h_).CrossTalkOnly, 1);

  // Reopened as Stereo with the box checked; Dual Mono disables it and stores no cross-talk.
  h_->dialogs.clear();
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::click(d, 1010);
    afterDualMono = IsWindowEnabled(GetDlgItem(d, 1052));
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_TRUE(shown().control(1052)->checked);
  EXPECT_FALSE(afterDualMono);
  EXPECT_EQ(paramsOf(*h_).Mode, kModeDualMono);
  EXPECT_EQ(paramsOf(*h_).CrossTalkOnly, 0);
}

TEST_F(SettingsDialog, TheListAndAutorangeSwitchTheirGroups) {
  open(1);
  bool withCepstrum = false;
  h_->scripts[100] = [&](HWND d) {
    select(d, 1034, 3);
    withCepstrum = IsWindowEnabled(GetDlgItem(d, 1058));
    select(d, 1034, 0);
    PluginHarness::click(d, 1036);
    PluginHarness::click(d, IDCANCEL);
  };
  h_->setup();
  EXPECT_TRUE(withCepstrum);
  // "No Average" disables the whole window group at once.
  for (int id : {1074, 1072, 1035, 1073, 1058}) EXPECT_FALSE(shown().control(id)->enabled) << id;
  EXPECT_TRUE(shown().control(1076)->enabled);
  EXPECT_TRUE(shown().control(1047)->enabled);
}

TEST_F(SettingsDialog, AFilterShorterThanTheSelectionIsRefusedAndTheDialogStaysOpen) {
  open(1, 2048);
  size_t messagesAtRefusal = 0;
  h_->scripts[100] = [&](HWND d) {
    PluginHarness::type(d, 1061, "2047");
    PluginHarness::click(d, IDOK);
    messagesAtRefusal = h_->messages.size();
    EXPECT_TRUE(IsWindow(d));
    PluginHarness::type(d, 1061, "2048");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_EQ(messagesAtRefusal, 1u);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].text, "Warning:\nlength of Inverse Filter is less than length of IR");
  EXPECT_EQ(h_->messages[0].caption, "Error");
  EXPECT_EQ(h_->messages[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
  EXPECT_EQ(sounds_, std::vector<UINT>{MB_ICONQUESTION});
  EXPECT_EQ(paramsOf(*h_).InverseFilterLength, 2048);
}

TEST_F(SettingsDialog, WidthsAreCorrectedWithTheirOwnSoundsAndMessages) {
  const char kForced3[] =
      "Warning:\nLinear Window width forced to 3 points.\n because the value typed is lower";
  const char kTooWide[] =
      "Warning:\nLinear Window Warning:\nthe averaging width is too large\n Possible loss of "
      "accuracy";
  const char kEven[] = "Attention:\nAveraging width was not odd, it will be increased by 1...";
  const char kOctMin[] =
      "Warning:\nOctave window width forced to 0.01 oct.\n because the value typed is \nbelow "
      "min limit";
  const char kOctMax[] =
      "Warning:\nOctave window width forced to 1.0 oct.\n because the value typed is \nabove "
      "max limit";
  struct Case {
    int average, window;
    const char* typed;
    float stored;
    std::vector<std::string> texts, captions;
    std::vector<UINT> sounds;
  };
  const UINT warn = MB_ICONEXCLAMATION, info = MB_ICONASTERISK;
  const Case cases[] = {
      {1, 0, "2", 3.0f, {kForced3}, {"Window Width check"}, {warn}},
      {1, 0, "4", 5.0f, {kEven}, {"Window width EVEN check FAILED"}, {info}},
      {2, 0, "2.5", 3.0f, {kForced3}, {"Window Width check"}, {warn}},
      {3, 0, "61", 61.0f, {kTooWide}, {"Window Width check"}, {warn}},  // above 1024/20
      {3, 0, "7", 7.0f, {}, {}, {}},
      {1, 1, "0", 0.01f, {kOctMin}, {"Window Width check,O"}, {warn}},
      {2, 1, "1.5", 1.0f, {kOctMax}, {"Window Width check,O"}, {warn}},
      {2, 1, "0.01", 0.01f, {}, {}, {}},
      {0, 0, "", 2.0f, {}, {}, {}},  // no average (the width cannot be typed): no checks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.average << "/" << c.window << " " << c.typed);
    open(1);
    editParams(*h_, [](DesignerParams* p) { p->WindowWidth = 2.0f; });
    h_->scripts[100] = [&](HWND d) {
      if (c.average != 0) {
        select(d, 1034, c.average);
        select(d, 1035, c.window);
        PluginHarness::type(d, 1058, c.typed);
      }
      PluginHarness::click(d, IDOK);
    };
    EXPECT_EQ(h_->setup(), 1);
    EXPECT_EQ(paramsOf(*h_).WindowWidth, c.stored);
    EXPECT_EQ(paramsOf(*h_).AverageType, c.average);
    EXPECT_EQ(paramsOf(*h_).WindowType, c.window);
    std::vector<std::string> texts, captions;
    for (const SeenMessage& m : h_->messages) {
      texts.push_back(m.text);
      captions.push_back(m.caption);
      EXPECT_EQ(m.type & MB_ICONMASK, m.caption == "Window width EVEN check FAILED"
                                          ? (UINT)MB_ICONINFORMATION
                                          : (UINT)MB_ICONWARNING);
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(captions, c.captions);
    EXPECT_EQ(sounds_, c.sounds);
  }
}

TEST_F(SettingsDialog, AFilterLengthBelowOneIsForcedTo16384AndTheMessageSaysSo) {
  open(1, 0);  // an empty selection: no length is too short for it
  h_->scripts[100] = [](HWND d) {
    PluginHarness::type(d, 1061, "0");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].text,
            "Warning:\n The IFL value you have typed is below 1 pnt!\n It is forced to 16384 pnts");
  EXPECT_EQ(h_->messages[0].caption, "IFL check");
  EXPECT_EQ(h_->messages[0].type, (UINT)MB_OK);
  EXPECT_EQ(paramsOf(*h_).InverseFilterLength, 16384);
}

// Beyond the longest filter the designer makes, the length is forced down, and said so.
TEST_F(SettingsDialog, AFilterLengthBeyondTheLongestIsForcedDownAndTheMessageSaysSo) {
  open(1, 0);
  h_->scripts[100] = [](HWND d) {
    PluginHarness::type(d, 1061, "5000000");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].text,
            "Warning:\n The IFL value you have typed is above 4194304 pnts!\n It is forced to "
            "4194304 pnts");
  EXPECT_EQ(h_->messages[0].caption, "IFL check");
  EXPECT_EQ(paramsOf(*h_).InverseFilterLength, 4194304);
}

TEST_F(SettingsDialog, OkStoresWhatWasTypedAndHelpOpensTheKeyword) {
  open(2, 100);
  h_->scripts[100] = [](HWND d) {
    PluginHarness::click(d, 3);
    PluginHarness::click(d, 1012);
    PluginHarness::type(d, 1061, "4000");
    PluginHarness::type(d, 1042, "0.02");
    PluginHarness::type(d, 1043, "-3");  // stored as typed: the design refuses it
    PluginHarness::type(d, 1044, "50");
    PluginHarness::type(d, 1045, "18000");
    PluginHarness::type(d, 1046, "1e-1");
    PluginHarness::click(d, 1036);
    PluginHarness::type(d, 1047, "-20.25");
    PluginHarness::click(d, IDOK);
  };
  EXPECT_EQ(h_->setup(), 1);
  EXPECT_EQ(h_->helpKeywords, std::vector<std::string>{"Kirkeby's Inverse Filter"});
  const DesignerParams p = paramsOf(*h_);
  EXPECT_EQ(p.Mode, kMode2x2);
  EXPECT_EQ(p.InverseFilterLength, 4000);
  EXPECT_EQ(p.InBandRegularisation, 0.02f);
  EXPECT_EQ(p.OutBandRegularisation, -3.0f);
  EXPECT_EQ(p.LowerCutHz, 50);
  EXPECT_EQ(p.HigherCutHz, 18000);
  EXPECT_EQ(p.TransitionOctaves, 0.1f);
  EXPECT_EQ(p.Autorange, 0);
  EXPECT_EQ(p.GainDb, -20.25);
  EXPECT_EQ(loadHandle<HINSTANCE>(p.ModuleInstance), h_->module);
  EXPECT_TRUE(h_->messages.empty());
}

}  // namespace
