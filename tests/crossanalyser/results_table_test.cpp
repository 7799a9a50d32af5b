// crossanalyser's table of results against its parameter block and its results dialog.
#include <filesystem>
#include <random>
#include <vector>

#include "crossanalyser/analyser_params.h"
#include "support/results_table_check.h"

TEST(AnalyserResultsTable, FitsTheBlockAndReadsWhatTheDialogShows) {
  PluginHarness h("crossanalyser", 2);
  const ResultsTable* table = resultsTableOf(h.module);
  ASSERT_NE(table, nullptr);
  expectTableFitsParamTypes(*table, kAnalyserParamTypes);

  // Noise on the left, the same 1 ms later and 6 dB down on the right: a correlation peak.
  ASSERT_EQ(h.xfmInit(&h.record), 1);
  const long frames = 48000, delay = 48;
  std::mt19937 random(5);
  std::uniform_real_distribution<float> noise(-8000.0f, 8000.0f);
  std::vector<float> left(frames);
  for (float& x : left) x = noise(random);
  h.wave.assign((size_t)frames * 2, 0.0f);
  for (long i = 0; i < frames; ++i) {
    h.wave[(size_t)i * 2] = left[i];
    h.wave[(size_t)i * 2 + 1] = i >= delay ? 0.5f * left[i - delay] : 0.0f;
  }
  h.record.selLast = frames - 1;
  AnalyserParams* p = h.block<AnalyserParams>();
  p->FftSizeIndex = 2;  // N = 1024
  storeHandle(&p->HostWindow, h.hostWindow);
  storeHandle(&p->ModuleInstance, h.module);
  h.unlock();
  // The run appends to "timedelay.txt" in its current folder: one of the test's own.
  const std::filesystem::path folder = std::filesystem::current_path();
  const std::filesystem::path scratch = ::testing::TempDir() + "analyser-table";
  std::filesystem::create_directories(scratch);
  std::filesystem::current_path(scratch);
  const int done = h.xfmDo(&h.record);
  std::filesystem::current_path(folder);
  std::filesystem::remove_all(scratch);
  ASSERT_EQ(done, 0);
  std::vector<unsigned char> block(sizeof(AnalyserParams));
  memcpy(block.data(), h.block<AnalyserParams>(), block.size());
  h.unlock();
  EXPECT_GT(expectShownValuesAreTheBlocks(*table, h.dialogs.at(0), block.data()), 0);
}
