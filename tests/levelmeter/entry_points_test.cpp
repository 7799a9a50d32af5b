// levelmeter's description and the life of its parameter block.
#include <string.h>

#include "levelmeter/meter_params.h"
#include "support/plugin_harness.h"

namespace {

TEST(LevelmeterEntryPoints, QueryXfmDescribesTheBlockAndTouchesNothingElse) {
  PluginHarness h("levelmeter");
  ASSERT_NE(h.queryXfm, nullptr);
  XFMINFO info;
  memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(h.queryXfm(&info), 0x489);
  EXPECT_STREQ(info.name, "Orvane\\levelmeter Time History Analysis");
  EXPECT_STREQ(info.description, "ITU-T P56 / Time History Analysis");
  EXPECT_LT(strlen(info.notice), 80u);
  EXPECT_EQ(info.infoWord, 60);
  EXPECT_EQ(info.flags, 0x8001101Du);
  EXPECT_EQ(info.paramSize, 1460u);
  EXPECT_STREQ(info.paramTypes, "hhhhccffffcclllllllllllllffffffffffbffffffffffbbccccc");
  EXPECT_EQ(strlen(info.paramFlags), 53u);
  EXPECT_EQ(strspn(info.paramFlags, "y"), 53u);
  EXPECT_EQ(info.unused242[0], 0xAB);
  EXPECT_EQ(info.unused242[1], 0xAB);
  // The letters' widths cover the typed part of the block: 185 of its 1460 bytes.
  int width = 0;
  for (const char* t = info.paramTypes; *t; ++t) width += strchr("cc", *t) ? 1 : 4;
  EXPECT_EQ(width, 185);
}

TEST(LevelmeterEntryPoints, XfmInitWritesTheDefaultsAndKeepsTheRest) {
  PluginHarness h("levelmeter");
  MeterParams* p = h.block<MeterParams>();
  memset(p, 0x5A, sizeof *p);
  h.unlock();
  EXPECT_EQ(h.xfmInit(&h.record), 1);
  EXPECT_EQ(orvane_lock_count(h.record.paramBlock), 0);
  p = h.block<MeterParams>();
  EXPECT_EQ(loadHandle<HWND>(p->HostWindow), nullptr);
  EXPECT_EQ(loadHandle<HINSTANCE>(p->ModuleInstance), nullptr);
  EXPECT_EQ(loadHandle<HWND>(p->displayWindow), nullptr);
  EXPECT_EQ(p->unusedHandle.bits, 0x5A5A5A5Au);
  EXPECT_EQ(p->filterLeft, 'L');
  EXPECT_EQ(p->filterRight, 'L');
  EXPECT_EQ(p->fullScaleLeft, 120.0f);
  EXPECT_EQ(p->fullScaleRight, 120.0f);
  EXPECT_EQ(p->leqCalLeft, 94.0f);
  EXPECT_EQ(p->leqCalRight, 94.0f);
  EXPECT_EQ(p->calMode, 'F');
  EXPECT_EQ(p->displayCurve, '1');
  EXPECT_STREQ(p->exportDirectory, "C:\\");
  EXPECT_STREQ(p->exportFileName, "*.txt");
  EXPECT_EQ(p->averageColumn, 0x5A5A5A5A);
  EXPECT_EQ(p->runFrames, 0x5A5A5A5A);
  h.unlock();
}

TEST(LevelmeterEntryPoints, ABlockThatCannotBeLockedEndsEveryExportWithoutAMessage) {
  PluginHarness h("levelmeter");
  h.xfmInit(&h.record);
  orvane_fail_lock_of(h.record.paramBlock, 1);
  EXPECT_EQ(h.xfmInit(&h.record), 0);
  EXPECT_EQ(h.xfmDestroy(&h.record), 0);
  EXPECT_EQ(h.xfmDo(&h.record), 1);
  orvane_fail_lock_of(h.record.paramBlock, 0);
  EXPECT_EQ(h.xfmDestroy(&h.record), 1);
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(orvane_lock_count(h.record.paramBlock), 0);
}

TEST(LevelmeterEntryPoints, ExportsAreFoundByNameAndByOrdinal) {
  PluginHarness h("levelmeter");
  EXPECT_EQ((void*)GetProcAddress(h.module, "_DisplayCallback@20"), (void*)h.displayCallback);
  EXPECT_EQ((void*)GetProcAddress(h.module, "XfmDo"), (void*)h.xfmDo);
  EXPECT_NE(GetProcAddress(h.module, MAKEINTRESOURCEA(kOrdSettingsDialog)), nullptr);
  EXPECT_NE(GetProcAddress(h.module, MAKEINTRESOURCEA(kOrdResultsDialog)), nullptr);
  EXPECT_EQ(GetProcAddress(h.module, "XfmResults"),
            GetProcAddress(h.module, MAKEINTRESOURCEA(kOrdResults)));
  EXPECT_EQ(GetProcAddress(h.module, MAKEINTRESOURCEA(9)), nullptr);
}

}  // namespace
