// XfmDo end to end through the loaded plug-in: the image each mode leaves on the clipboard,
// compared with the core's designs of the same responses, the gain, and the failure paths.
#include <math.h>

#include <algorithm>

#include "designer_test_support.h"
#include "inversefilter/design_lengths.h"
#include "plugin_test_support.h"

namespace {

const char kOutOfMemory[] =
    "The system cannot allocate enough memory\nto design spectrum inverse filter.\n\nRetry "
    "after closing some windows or\nwith a shorter selected area.";
const char kClipboardBusy[] =
    "Can not access Clipboard Data.\nAnother application or window\nhas the Clipboard opened.";

class DesignerRun : public ::testing::Test {
 protected:
  void open(int channels, int rate = 48000) {
    h_.reset();  // one harness at a time: the old one resets the layer when it goes
    h_ = openDesigner(channels, rate);
    orvane_memory_stats(&before_);
  }
  void expectEverythingReleased() {
    OrvaneMemoryStats now;
    orvane_memory_stats(&now);
    EXPECT_EQ(now.liveBlocks, before_.liveBlocks);
    EXPECT_EQ(now.lockedBlocks, 0);
  }
  // A run that must not have reached the clipboard or the results dialog.
  void expectNoOutput() {
    ClipboardImage image;
    EXPECT_FALSE(clipboardImage(&image));
    EXPECT_TRUE(h_->dialogs.empty());
    expectEverythingReleased();
  }
  std::unique_ptr<PluginHarness> h_;
  OrvaneMemoryStats before_;
};

TEST_F(DesignerRun, AShortResponseIsZeroPaddedAndItsFilterTurnsItIntoADelayedPulse) {
  open(1);
  const std::vector<float> response = roomResponse(300, 20, 0.5, 7u);
  selectResponses(*h_, {response});
  std::vector<UINT> sounds;
  recordBeepSounds(&sounds);
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_TRUE(h_->messages.empty());
  ASSERT_EQ(h_->dialogs.size(), 1u);
  EXPECT_EQ(h_->dialogs[0].resource, 107);
  EXPECT_EQ(sounds, std::vector<UINT>{0});

  ClipboardImage image;
  ASSERT_TRUE(clipboardImage(&image));
  const unsigned char header[44] = {'R', 'I', 'F',  'F',  0x24, 0x10, 0,    0,    'W',  'A', 'V',
                                    'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,   0,
                                    1,   0,   0x80, 0xBB, 0,    0,    0x00, 0xEE, 2,    0,   4,
                                    0,   32,  0,    'd',  'a',  't',  'a',  0x00, 0x10, 0,   0};
  ASSERT_EQ(image.bytes.size(), 44u + 4096u);
  EXPECT_EQ(memcmp(image.bytes.data(), header, 44), 0);

  // The path of the zero-padded response: the 512-point power of two padded to the filter's
  // 1024 points, the FFT both ways; the image is the core's filter at the automatic gain.
  const DesignerParams p = paramsOf(*h_);
  const std::vector<float> filter = coreInverse(response, 512, 1024, false, p, 48000);
  const float factor = autoGainFactor({&filter});
  float peak = 0.0f;
  for (long i = 0; i < 1024; ++i) {
    ASSERT_EQ(image.at(i, 0), filter[i] * factor) << i;
    peak = std::max(peak, fabsf(image.at(i, 0)));
  }
  EXPECT_NEAR(peak, 32767.0f, 0.01f);
  EXPECT_NEAR(p.GainDb, 20.0 * log10(512.0 / (32767.0 / factor)), 1e-4);
  EXPECT_EQ(p.FilterSamples.bits, 0u);  // forgotten once the dialog has closed
  EXPECT_GE(p.ElapsedMs, 0);

  // The response through its filter: a pulse at the filter's middle, flat over the band.
  const std::vector<double> y = convolve(response, filter.data(), 1024);
  long at = 0;
  for (long i = 0; i < (long)y.size(); ++i)
    if (fabs(y[i]) > fabs(y[at])) at = i;
  EXPECT_EQ(at, 512);
  const Deviation flat = deviationOf(thirdOctaveLevels(y, 512.0, 200.0, 12000.0, 48000.0));
  EXPECT_LT(flat.maxDb, 1.0);
  EXPECT_LT(flat.rmsDb, 0.5);
  expectEverythingReleased();
}

TEST_F(DesignerRun, A1000SampleFilterOfA600SampleResponseIsDesignedAt1024AndReduced) {
  open(1);
  editParams(*h_, [](DesignerParams* p) { p->InverseFilterLength = 1000; });
  const std::vector<float> response = roomResponse(600, 20, 0.5, 8u);
  selectResponses(*h_, {response});
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ClipboardImage image;
  ASSERT_TRUE(clipboardImage(&image));
  EXPECT_EQ(image.channels, 1);
  EXPECT_EQ(image.frames, 1000);
  const std::vector<float> filter = coreInverse(response, 1024, 1000, true, paramsOf(*h_), 48000);
  const float factor = autoGainFactor({&filter});
  for (long i = 0; i < 1000; ++i) ASSERT_EQ(image.at(i, 0), filter[i] * factor) << i;
}

TEST_F(DesignerRun, DualMonoPutsTheLeftFilterOnTheLeft) {
  open(2, 44100);
  const std::vector<float> left = roomResponse(400, 10, 0.5, 1u),
                           right = roomResponse(400, 60, 0.2, 2u);
  selectResponses(*h_, {left, right});
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ClipboardImage image;
  ASSERT_TRUE(clipboardImage(&image));
  EXPECT_EQ(image.channels, 2);
  EXPECT_EQ(image.frames, 1024);
  EXPECT_EQ(headerLong(image, 24), 44100u);
  EXPECT_EQ(headerLong(image, 28), 44100u * 8);
  EXPECT_EQ(headerWord(image, 32), 8u);
  const DesignerParams p = paramsOf(*h_);
  const std::vector<float> l = coreInverse(left, 512, 1024, false, p, 44100);
  const std::vector<float> r = coreInverse(right, 512, 1024, false, p, 44100);
  const float factor = autoGainFactor({&l, &r});
  for (long i = 0; i < 1024; ++i) {
    ASSERT_EQ(image.at(i, 0), l[i] * factor) << i;
    ASSERT_EQ(image.at(i, 1), r[i] * factor) << i;
  }
}

TEST_F(DesignerRun, StereoGivesSlotsLLAndLRAnd2x2AllFourSlotsInTwiceTheFrames) {
  const std::vector<float> l1 = earResponse(300, 20, 0.5, 1, 11u),
                           r1 = earResponse(300, 33, 0.3, 4, 12u);
  const std::vector<float> l2 = earResponse(300, 33, 0.3, 4, 13u),
                           r2 = earResponse(300, 20, 0.5, 1, 14u);

  open(2);
  editParams(*h_, [](DesignerParams* p) { p->Mode = kModeStereo; });
  selectResponses(*h_, {l1, r1});
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ClipboardImage image;
  ASSERT_TRUE(clipboardImage(&image));
  EXPECT_EQ(image.channels, 2);
  EXPECT_EQ(image.frames, 1024);
  // The stereo response read as a symmetric set-up; the doubled selection's power of two is
  // halved again for one response.
  auto slot = coreDipole({l1, r1, r1, l1}, 512, 1024, false, paramsOf(*h_), 48000);
  float factor = autoGainFactor({&slot[0], &slot[1]});
  for (long i = 0; i < 1024; ++i) {
    ASSERT_EQ(image.at(i, 0), slot[0][i] * factor) << i;
    ASSERT_EQ(image.at(i, 1), slot[1][i] * factor) << i;
  }

  open(2);
  editParams(*h_, [](DesignerParams* p) { p->Mode = kMode2x2; });
  std::vector<float> left = l1, right = r1;
  left.insert(left.end(), l2.begin(), l2.end());
  right.insert(right.end(), r2.begin(), r2.end());
  left.push_back(0.9f);  // the last frame of an odd selection is not used
  right.push_back(0.9f);
  selectResponses(*h_, {left, right});
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_TRUE(clipboardImage(&image));
  EXPECT_EQ(image.channels, 2);
  EXPECT_EQ(image.frames, 2048);
  EXPECT_EQ(headerLong(image, 40), 2048u * 8);
  EXPECT_EQ(headerLong(image, 4), 2048u * 8 + 36);
  slot = coreDipole({l1, r1, l2, r2}, 512, 1024, false, paramsOf(*h_), 48000);
  factor = autoGainFactor({&slot[0], &slot[1], &slot[2], &slot[3]});
  for (long i = 0; i < 1024; ++i) {
    ASSERT_EQ(image.at(i, 0), slot[0][i] * factor) << i;
    ASSERT_EQ(image.at(i, 1), slot[1][i] * factor) << i;
    ASSERT_EQ(image.at(1024 + i, 0), slot[2][i] * factor) << i;
    ASSERT_EQ(image.at(1024 + i, 1), slot[3][i] * factor) << i;
  }
}

TEST_F(DesignerRun, ManualGainScalesByTheGainOverHalfTheFilterLengthAndKeepsGainDb) {
  open(1);
  const double gain = -12.5;
  editParams(*h_, [&](DesignerParams* p) {
    p->Autorange = 0;
    p->GainDb = gain;
  });
  const std::vector<float> response = roomResponse(256, 5, 0.5, 3u);
  selectResponses(*h_, {response});
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(paramsOf(*h_).GainDb, gain);
  ClipboardImage image;
  ASSERT_TRUE(clipboardImage(&image));
  const std::vector<float> v = coreInverse(response, 256, 1024, false, paramsOf(*h_), 48000);
  for (long i = 0; i < 1024; ++i) {
    const double expected = v[i] * 32767.0 * pow(10.0, gain / 20.0) / (1024 / 2);
    ASSERT_NEAR(image.at(i, 0), expected, 1e-5 * fabs(expected) + 1e-30) << i;
  }
}

TEST_F(DesignerRun, TheSingleFilterFormOfAStereoModeIsAMonoImage) {
  open(2);
  editParams(*h_, [](DesignerParams* p) {
    p->Mode = kModeStereo;
    p->ActiveNoiseControl = 1;
  });
  const std::vector<float> l = earResponse(300, 20, 0.5, 1, 21u),
                           r = earResponse(300, 33, 0.3, 4, 22u);
  selectResponses(*h_, {l, r});
  std::vector<double> last(3, 99.0);
  std::vector<int> answered(3, -1);
  h_->scripts[107] = [&](HWND) {
    for (short curve : {1, 2})
      answered[curve] = h_->displayCallback(1e9, h_->displayUser, curve, &last[curve]);
  };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ClipboardImage image;
  ASSERT_TRUE(clipboardImage(&image));
  EXPECT_EQ(image.channels, 1);
  EXPECT_EQ(image.frames, 1024);
  EXPECT_EQ(image.bytes.size(), 44u + 1024u * 4);
  auto slot = coreDipole({l, r, r, l}, 512, 1024, false, paramsOf(*h_), 48000);
  const float factor = autoGainFactor({&slot[0]});
  for (long i = 0; i < 1024; ++i) ASSERT_EQ(image.at(i, 0), slot[0][i] * factor) << i;
  // The display reads the image as mono: the last sample for curve 1, nothing for curve 2.
  EXPECT_EQ(answered[1], 1);
  EXPECT_EQ(last[1], image.at(1023, 0) / 32768.0);
  EXPECT_EQ(answered[2], 0);
  const SeenDialog& shown = h_->dialogs.at(0);
  EXPECT_EQ(shown.control(1028)->text, "1");
}

TEST_F(DesignerRun, DualMonoStopsAtAFailedLeftDesignAndShowsItsMessageOnce) {
  open(2);
  editParams(*h_, [](DesignerParams* p) { p->InBandRegularisation = 0.0f; });
  selectResponses(*h_, {roomResponse(300, 5, 0.5, 4u), roomResponse(300, 5, 0.5, 5u)});
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_NE(h_->messages[0].text.find("regularisation"), std::string::npos);
  expectNoOutput();
}

TEST_F(DesignerRun, ASilentFilterWithAutorangeIsRefusedAndGainDbKept) {
  open(1);
  editParams(*h_, [](DesignerParams* p) { p->GainDb = 7.25; });
  selectResponses(*h_, {std::vector<float>(300, 0.0f)});
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "Kirkeby plus");
  EXPECT_EQ(h_->messages[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
  EXPECT_NE(h_->messages[0].text.find("silent"), std::string::npos);
  EXPECT_EQ(paramsOf(*h_).GainDb, 7.25);
  expectNoOutput();
}

TEST_F(DesignerRun, EveryAllocationAndLockFailingInTurnIsReportedAndCleanedUp) {
  // Mono: the samples read, C, scratch, two work arrays; stereo adds D, E, F and the
  // determinant. Then the clipboard image and the dialog's copy of it. The design itself
  // allocates nothing on the FFT path without smoothing.
  for (int channels : {1, 2}) {
    const int buffers = channels == 1 ? 5 : 9;
    for (int k = 1; k <= 2 * (buffers + 2); ++k) {
      SCOPED_TRACE(testing::Message() << channels << " channels, step " << k);
      open(channels);
      selectResponses(*h_,
                      std::vector<std::vector<float>>(channels, roomResponse(200, 5, 0.5, 6u)));
      orvane_memory_reset_counters();
      const int block = (k + 1) / 2;
      if (k % 2 == 1)
        orvane_fail_alloc_at(block);
      else
        orvane_fail_lock_at(block + 1);  // the run's own first lock is the parameter block's
      // Without memory for the design the run ends as the host expects of a run that showed
      // its message; without memory for the image the design is lost: a failed run.
      EXPECT_EQ(h_->xfmDo(&h_->record), block <= buffers ? 0 : 1);
      ASSERT_EQ(h_->messages.size(), 1u);
      EXPECT_EQ(h_->messages[0].text, kOutOfMemory);
      EXPECT_EQ(h_->messages[0].caption, "Kirkeby plus");
      EXPECT_EQ(h_->messages[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
      expectNoOutput();
    }
  }
}

TEST_F(DesignerRun, AClipboardThatCannotBeWrittenEndsTheRunWithItsMessage) {
  for (bool busy : {true, false}) {
    SCOPED_TRACE(busy ? "busy" : "close fails");
    open(1);
    selectResponses(*h_, {roomResponse(200, 5, 0.5, 9u)});
    if (busy)
      orvane_clipboard_busy(1);
    else
      orvane_clipboard_close_fails(1);
    EXPECT_EQ(h_->xfmDo(&h_->record), 1);
    ASSERT_EQ(h_->messages.size(), 1u);
    EXPECT_EQ(h_->messages[0].text, kClipboardBusy);
    EXPECT_EQ(h_->messages[0].caption, "Flatten Spectrum");
    EXPECT_EQ(h_->messages[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
    EXPECT_TRUE(h_->dialogs.empty());
    expectEverythingReleased();  // a block the clipboard took is no longer the run's
  }
}

TEST_F(DesignerRun, ACancelledDesignLeavesNoFilter) {
  // At the first progress step of a mono design and in the middle of a 2x2 one.
  const std::vector<float> a = earResponse(200, 20, 0.5, 1, 61u),
                           b = earResponse(200, 33, 0.3, 4, 62u);
  for (int mode : {kModeMono, kMode2x2}) {
    SCOPED_TRACE(mode);
    open(mode == kModeMono ? 1 : 2);
    editParams(*h_, [&](DesignerParams* p) { p->Mode = (int16_t)mode; });
    if (mode == kModeMono)
      selectResponses(*h_, {a});
    else
      selectResponses(*h_, {a, b});
    h_->cancelAtProgress = mode == kModeMono ? 1 : 3;
    EXPECT_EQ(h_->xfmDo(&h_->record), 1);
    EXPECT_TRUE(h_->messages.empty());
    expectNoOutput();
  }
}

TEST_F(DesignerRun, WithoutAConfirmedSetupTheResultsDialogComesFromThePlugInItself) {
  open(1);
  editParams(*h_, [](DesignerParams* p) {
    p->HostWindow = BlockHandle{0};
    p->ModuleInstance = BlockHandle{0};
  });
  selectResponses(*h_, {roomResponse(200, 5, 0.5, 11u)});
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->dialogs.size(), 1u);
  EXPECT_EQ(h_->dialogs[0].resource, 107);
}

TEST_F(DesignerRun, RefusedSelectionsAndABlockThatCannotBeLocked) {
  open(1);
  orvane_fail_lock_of(h_->record.paramBlock, 1);
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  orvane_fail_lock_of(h_->record.paramBlock, 0);
  EXPECT_TRUE(h_->messages.empty());

  // Longer than any design can transform: the memory message, which asks for a shorter area.
  h_->record.selFirst = 0;
  h_->record.selLast = (LONG)kMaxTransformLength;
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].text, kOutOfMemory);

  h_->record.selFirst = 10;
  h_->record.selLast = 9;
  EXPECT_EQ(h_->xfmDo(&h_->record), 1);
  ASSERT_EQ(h_->messages.size(), 2u);
  EXPECT_NE(h_->messages[1].text.find("empty"), std::string::npos);
  expectNoOutput();
}

}  // namespace
