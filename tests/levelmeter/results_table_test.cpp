// levelmeter's table of results against its parameter block and its results dialog.
#include <math.h>

#include <vector>

#include "levelmeter/dialog_ids.h"
#include "levelmeter/meter_params.h"
#include "support/results_table_check.h"

TEST(MeterResultsTable, FitsTheBlockAndReadsWhatTheDialogShowsInEveryColumn) {
  PluginHarness h("levelmeter", 2);
  const ResultsTable* table = resultsTableOf(h.module);
  ASSERT_NE(table, nullptr);
  expectTableFitsParamTypes(*table, kMeterParamTypes);

  // A tone on the left, a burst of it 12 dB down on the right: every row differs by channel.
  ASSERT_EQ(h.xfmInit(&h.record), 1);
  const int n = 96000;
  h.wave.assign((size_t)n * 2, 0.0f);
  for (int i = 0; i < n; ++i) {
    const float x = (float)(20000.0 * sin(2 * M_PI * 1000.0 * i / 48000));
    h.wave[(size_t)i * 2] = x;
    h.wave[(size_t)i * 2 + 1] = i > n / 2 && i < n / 2 + 2400 ? x / 4 : 0.0f;
  }
  h.record.selLast = n - 1;
  MeterParams* p = h.block<MeterParams>();
  storeHandle(&p->HostWindow, h.hostWindow);
  storeHandle(&p->ModuleInstance, h.module);
  h.unlock();
  h.scripts[107] = [](HWND d) { PluginHarness::click(d, kAverageBox); };
  ASSERT_EQ(h.xfmDo(&h.record), 0);
  std::vector<unsigned char> block(sizeof(MeterParams));
  memcpy(block.data(), h.block<MeterParams>(), block.size());
  h.unlock();
  EXPECT_GT(expectShownValuesAreTheBlocks(*table, h.dialogs.at(0), block.data()), 0);
}
