// inversefilter's table of results against its parameter block and its results dialog.
#include <vector>

#include "designer_test_support.h"
#include "plugin_test_support.h"
#include "support/results_table_check.h"

TEST(DesignerResultsTable, FitsTheBlockAndReadsWhatTheDialogShows) {
  std::unique_ptr<PluginHarness> h = openDesigner(2);
  const ResultsTable* table = resultsTableOf(h->module);
  ASSERT_NE(table, nullptr);
  expectTableFitsParamTypes(*table, kDesignerParamTypes);

  editParams(*h, [](DesignerParams* p) {
    p->Mode = kModeStereo;
    p->InBandRegularisation = 0.02f;
    p->TransitionOctaves = 0.5f;
  });
  const std::vector<float> response = roomResponse(300, 10, 0.5, 7u);
  selectResponses(*h, {response, roomResponse(300, 14, 0.25, 8u)});
  ASSERT_EQ(h->xfmDo(&h->record), 0);
  const DesignerParams p = paramsOf(*h);
  std::vector<unsigned char> block(sizeof p);
  memcpy(block.data(), &p, sizeof p);
  EXPECT_GT(expectShownValuesAreTheBlocks(*table, h->dialogs.at(0), block.data()), 0);
}
