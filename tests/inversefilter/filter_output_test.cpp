// What a run writes out: the shape of the clipboard image per form and the gain.
#include "inversefilter/filter_output.h"

#include <math.h>
#include <string.h>

#include <vector>

#include "designer_test_support.h"

namespace {

DesignerLengths lengthsFor(int channels, int mode, long ifl) {
  DesignerParams p = defaultParams();
  p.Mode = (int16_t)mode;
  p.InverseFilterLength = ifl;
  XFMINSTANCE r = {};
  r.channels = (WORD)channels;
  r.selFirst = 0;
  r.selLast = 99;
  DesignerLengths l;
  EXPECT_TRUE(DesignerWorkingLengths(&p, &r, &l));
  return l;
}

TEST(DesignerOutputLayout, ShapeOfTheImagePerForm) {
  struct Expected {
    int channels, mode, anc, form, imageChannels;
    long frames;
    int filters;
  };
  const Expected cases[] = {
      {1, kModeMono, 0, 0, 1, 1000, 1},   {2, kModeDualMono, 0, 1, 2, 1000, 2},
      {2, kModeStereo, 0, 2, 2, 1000, 2}, {2, kMode2x2, 0, 3, 2, 2000, 4},
      {1, kModeMono, 1, 4, 1, 1000, 1},   {2, kModeDualMono, 1, 4, 1, 1000, 1},
      {2, kModeStereo, 1, 4, 1, 1000, 1},  // one filter of the stated length, not 2 * IFL
      {2, kMode2x2, 1, 4, 1, 1000, 1},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " anc " << c.anc);
    DesignerParams p = defaultParams();
    p.ActiveNoiseControl = (BYTE)c.anc;
    const DesignerLengths l = lengthsFor(c.channels, c.mode, 1000);
    const FilterOutput o = DesignerOutputLayout(&p, &l);
    EXPECT_EQ(o.form, c.form);
    EXPECT_EQ(o.channels, c.imageChannels);
    EXPECT_EQ(o.frames, c.frames);
    EXPECT_EQ(o.filterLength, 1000);
    EXPECT_EQ(o.filterCount, c.filters);
    EXPECT_EQ(o.gainReference, 500.0);  // IFL/2 in every form
  }
}

struct Filters {
  std::vector<float> f[4];
  float* p[4];
  explicit Filters(long n) {
    for (int i = 0; i < 4; ++i) {
      f[i].assign(n, 0.0f);
      p[i] = f[i].data();
    }
  }
};

FilterOutput stereoOutput() {
  FilterOutput o = {kModeStereo, 2, 1000, 1000, 2, 500.0};
  return o;
}

TEST(ApplyFilterGain, AutomaticGainPutsThePeakAtFullScaleAndStoresTheGain) {
  Filters f(1000);
  f.f[0][500] = 250.0f;
  f.f[1][10] = -400.0f;  // the peak may be negative and in any written filter
  f.f[2][0] = 1e6f;      // filters beyond filterCount do not count
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  const FilterOutput o = stereoOutput();
  ASSERT_TRUE(ApplyFilterGain(f.p, &o, &p));
  EXPECT_NEAR(f.f[1][10], -32767.0f, 0.01f);
  EXPECT_NEAR(f.f[0][500], 32767.0f * 250.0f / 400.0f, 0.01f);
  EXPECT_DOUBLE_EQ(p.GainDb, 20.0 * log10(500.0 / 400.0));
  EXPECT_EQ(f.f[2][0], 1e6f);
  EXPECT_TRUE(recorder.boxes.empty());
}

TEST(ApplyFilterGain, ManualGainScalesByTheGainOverHalfTheFilterLength) {
  Filters f(1000);
  f.f[0][3] = 500.0f;  // a pulse of IFL/2: unity at 0 dB
  f.f[1][7] = -0.25f;
  DesignerRecorder recorder;
  DesignerParams p = defaultParams();
  p.Autorange = 0;
  p.GainDb = -6.0;
  const FilterOutput o = stereoOutput();
  ASSERT_TRUE(ApplyFilterGain(f.p, &o, &p));
  const float factor = (float)(32767.0 / (pow(10.0, 0.3) * 500.0));
  EXPECT_EQ(f.f[0][3], 500.0f * factor);
  EXPECT_EQ(f.f[1][7], -0.25f * factor);
  EXPECT_NEAR(f.f[0][3], 32767.0 * pow(10.0, -0.3), 0.01);
  EXPECT_EQ(p.GainDb, -6.0);  // manual gain is not rewritten
}

TEST(ApplyFilterGain, SilentOrUnscalableFiltersAreRefusedUntouched) {
  const FilterOutput o = stereoOutput();
  struct Case {
    const char* what;
    BYTE autorange;
    double gainDb;
    float sample;
    const char* text;
  };
  const char* silent =
      "The inverse filter is silent: all its samples are 0.\nSelect an impulse response that is "
      "not silent.";
  const char* range =
      "The gain cannot be applied: the scaled inverse filter\nwould be silent or beyond the "
      "range of numbers.\nCheck the gain (dB).";
  const char* notFinite =
      "The inverse filter does not come out as finite numbers.\nCheck the impulse response and "
      "the settings.";
  const Case cases[] = {
      {"silent, automatic", 1, 0.0, 0.0f, silent},
      {"silent, manual", 0, 0.0, 0.0f, silent},
      {"infinite gain", 0, INFINITY, 1.0f, range},
      {"gain not a number", 0, NAN, 1.0f, range},
      {"gain beyond float range", 0, 1000.0, 1.0f, range},
      {"gain of minus infinity", 0, -INFINITY, 1.0f, range},
      {"automatic gain of a denormal peak", 1, 0.0, 1e-42f, range},
      {"sample not a number", 1, 0.0, NAN, notFinite},
      {"infinite sample", 0, 0.0, INFINITY, notFinite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Filters f(1000);
    f.f[1][20] = c.sample;
    DesignerRecorder recorder;
    DesignerParams p = defaultParams();
    p.Autorange = c.autorange;
    p.GainDb = c.gainDb;
    storeHandle(&p.HostWindow, (HWND)0x5150);
    EXPECT_FALSE(ApplyFilterGain(f.p, &o, &p));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, c.text);
    EXPECT_EQ(recorder.boxes[0].caption, "Kirkeby plus");
    EXPECT_EQ(recorder.boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
    EXPECT_EQ(memcmp(&f.f[1][20], &c.sample, sizeof(float)), 0);
    if (isfinite(c.gainDb)) {
      EXPECT_EQ(p.GainDb, c.gainDb);
    }
  }
}

}  // namespace
