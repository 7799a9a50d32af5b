// inversefilter's description and the defaults of a new parameter block.
#include <string.h>

#include "plugin_test_support.h"

namespace {

TEST(DesignerEntryPoints, QueryXfmDescribesThe73ByteBlock) {
  PluginHarness h("inversefilter");
  ASSERT_NE(h.queryXfm, nullptr);
  XFMINFO info;
  memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(h.queryXfm(&info), 0x489);
  EXPECT_STREQ(info.name, "Orvane\\Invert Kirkeby 4 ");
  EXPECT_STREQ(info.notice, "Orvane 4.0 acoustic measurement plug-ins");
  EXPECT_STREQ(info.description, "Design Kirkeby smoothed inverse filter ");
  EXPECT_EQ(info.infoWord, 60);
  EXPECT_EQ(info.flags, 0x0001101Du);
  EXPECT_EQ(info.paramSize, 73u);
  EXPECT_STREQ(info.paramTypes, "cdlffllflhhlhiccllfl");
  EXPECT_STREQ(info.paramFlags, "yyyyyyyyyyyyyyyyyyyy");
  EXPECT_EQ(info.unused242[0], 0xAB);
  // The letters' widths cover the block exactly.
  int width = 0;
  for (const char* t = info.paramTypes; *t; ++t)
    width += *t == 'c' ? 1 : *t == 'd' ? 8 : *t == 'i' ? 2 : 4;
  EXPECT_EQ(width, 73);
}

TEST(DesignerEntryPoints, XfmInitWritesTheDefaultsAndLeavesTheOtherFields) {
  PluginHarness h("inversefilter");
  memset(h.block<DesignerParams>(), 0x5A, sizeof(DesignerParams));
  h.unlock();
  EXPECT_EQ(h.xfmInit(&h.record), 1);
  const DesignerParams p = paramsOf(h);
  EXPECT_EQ(p.Autorange, 1);
  EXPECT_EQ(p.GainDb, 0.0);
  EXPECT_EQ(p.InverseFilterLength, 1024);
  EXPECT_EQ(p.InBandRegularisation, 0.001f);
  EXPECT_EQ(p.OutBandRegularisation, 1.0f);
  EXPECT_EQ(p.LowerCutHz, 80);
  EXPECT_EQ(p.HigherCutHz, 16000);
  EXPECT_EQ(p.TransitionOctaves, 0.33f);
  EXPECT_EQ(p.Mode, 1);
  EXPECT_EQ(p.AverageType, 0);
  EXPECT_EQ(p.WindowType, 0);
  EXPECT_EQ(p.WindowWidth, 5.0f);
  EXPECT_EQ(p.CrossTalkOnly, 0x5A);
  EXPECT_EQ(p.ActiveNoiseControl, 0x5A);
  EXPECT_EQ(p.ElapsedMs, 0x5A5A5A5A);
  EXPECT_EQ(orvane_lock_count(h.record.paramBlock), 0);
  EXPECT_EQ(h.xfmDestroy(&h.record), 1);
  EXPECT_EQ((void*)GetProcAddress(h.module, "_DisplayCallback@20"), (void*)h.displayCallback);
}

}  // namespace
