// The results dialog: its fields, the graph, the clipboard text and the exports.
#include <math.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "levelmeter/dialog_ids.h"
#include "levelmeter/meter_params.h"
#include "support/plugin_harness.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ResultsDialog : public ::testing::Test {
 protected:
  // 2 s of a full-scale 1 kHz sine on the left (or only) channel, half of it on the right,
  // or silence.
  void prepare(int channels, bool silent = false) {
    h_.reset();  // one harness at a time: the old one resets the layer when it goes
    h_ = std::make_unique<PluginHarness>("levelmeter", channels);
    ASSERT_EQ(h_->xfmInit(&h_->record), 1);
    const int n = 96000;
    h_->wave.assign((size_t)n * channels, 0.0f);
    for (int i = 0; i < n && !silent; ++i)
      for (int c = 0; c < channels; ++c)
        h_->wave[(size_t)i * channels + c] =
            (float)(32767.0 / (c + 1) * sin(2 * M_PI * 1000.0 * i / 48000));
    h_->record.selLast = n - 1;
    MeterParams* p = h_->block<MeterParams>();
    storeHandle(&p->HostWindow, h_->hostWindow);
    storeHandle(&p->ModuleInstance, h_->module);
    h_->unlock();
    dir_ = ::testing::TempDir() + "levelmeter-results-" + std::to_string(getpid());
    mkdir(dir_.c_str(), 0755);
  }
  MeterParams params() {
    MeterParams p = *h_->block<MeterParams>();
    h_->unlock();
    return p;
  }
  const SeenDialog& dialog() { return h_->dialogs.at(0); }
  std::string field(int id) { return dialog().control(id)->text; }
  std::unique_ptr<PluginHarness> h_;
  std::string dir_;
};

TEST_F(ResultsDialog, MonoShowsTheLeftColumnAndTheGraphOfOneCurve) {
  prepare(1);
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(field(1233), "120.00");
  EXPECT_EQ(field(1234), "116.99");
  EXPECT_EQ(field(1248), "2.00");
  EXPECT_EQ(field(1247), "120.00");  // SEL = Leq + 10 log10(2 s)
  EXPECT_EQ(field(1235), "117.04");
  EXPECT_EQ(field(1243), "120.00");
  EXPECT_EQ(field(1242), "no");
  EXPECT_EQ(field(1244), "Wide Band");
  for (int id : {1253, 1254, 1264, 1263, 1277}) EXPECT_EQ(field(id), "- - -") << id;
  EXPECT_TRUE(dialog().control(kCurveRms)->checked);
  EXPECT_EQ(h_->dialogInits, 1);
  // The graph: labels, colours, ranges in seconds and dB, one curve.
  double top = 0, bottom = 0, right = 0;
  int curve2 = 0;
  for (const auto& s : h_->displaySets) {
    if (s.target == 1 && s.attribute == kDisplayYTop) top = s.value;
    if (s.target == 1 && s.attribute == kDisplayYBottom) bottom = s.value;
    if (s.target == 1 && s.attribute == kDisplayXRight) right = s.value;
    if (s.target == 2) ++curve2;
  }
  EXPECT_EQ(top, 120.0);
  EXPECT_EQ(bottom, 20.0);
  EXPECT_DOUBLE_EQ(right, 95999.0 / 48000.0);
  EXPECT_EQ(curve2, 0);
  EXPECT_EQ(h_->displaySets.size(), 16u);
  EXPECT_EQ(loadHandle<HWND>(params().displayWindow), h_->display);
}

TEST_F(ResultsDialog, StereoShowsBothColumnsAndTheAverageWhenAsked) {
  prepare(2);
  MeterParams* p = h_->block<MeterParams>();
  p->filterLeft = 'A';
  p->filterRight = 'B';
  h_->unlock();
  std::string before, after;
  h_->scripts[107] = [&](HWND d) {
    before = PluginHarness::text(d, 1264);
    PluginHarness::click(d, kAverageBox);
    after = PluginHarness::text(d, 1264);
    PluginHarness::click(d, IDCANCEL);
  };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(field(1244), "IEC A-weighting | ITU BandPass");
  EXPECT_EQ(before, "- - -");
  EXPECT_NE(after, "- - -");
  EXPECT_EQ(field(1263), "- - -");  // the average has no full-scale field
  EXPECT_TRUE(dialog().control(kAverageBox)->checked);
  EXPECT_EQ(params().averageColumn, 1);
  MeterParams q = params();
  double mean = 10 * log10((pow(10, q.left.leq / 10) + pow(10, q.right.leq / 10)) / 2);
  char expected[32];
  snprintf(expected, sizeof expected, "%.2f", mean);
  EXPECT_EQ(after, expected);
}

TEST_F(ResultsDialog, CurveButtonsChooseTheHistoryAndRedrawTheGraph) {
  prepare(1);
  double slowAtEnd = 0, rmsAtStart = 0, beyond = 0, third = 0;
  int thirdResult = 1, secondResult = 1;
  h_->scripts[107] = [&](HWND d) {
    void* block = h_->block<void>();
    h_->unlock();
    h_->displayCallback(0.0, block, 1, &rmsAtStart);
    PluginHarness::click(d, kCurveSlow);
    h_->displayCallback(1.9995, block, 1, &slowAtEnd);
    h_->displayCallback(1e6, block, 1, &beyond);
    thirdResult = h_->displayCallback(0.5, block, 3, &third);
    double y;
    secondResult = h_->displayCallback(0.5, block, 2, &y);  // no right curve after mono
    PluginHarness::click(d, IDCANCEL);
  };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_EQ(params().displayCurve, 'S');
  EXPECT_GE(h_->displayPaints, 1);
  EXPECT_NEAR(rmsAtStart, 116.99, 0.01);
  EXPECT_NEAR(slowAtEnd, 116.36, 0.01);  // the Slow level after 2 s: its maximum
  EXPECT_EQ(beyond, slowAtEnd);
  EXPECT_EQ(third, -200.0);
  EXPECT_EQ(thirdResult, 0);
  EXPECT_EQ(secondResult, 0);
}

TEST_F(ResultsDialog, CopyToClipboardPutsTheResultsTable) {
  prepare(2);
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kCopyToClipboard); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  size_t size = 0;
  const char* text = (const char*)orvane_clipboard_data(CF_TEXT, &size);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(size, 4000u);
  std::string t = text;
  EXPECT_EQ(t.rfind("Orvane 4.0 - Results of ITU-T P56 Calculations\r\nChannel\tLeq (dB)\t", 0),
            0u);
  EXPECT_NE(t.find("\r\nLeft\t116.99\t120.00\t2.00\t117.04\t"), std::string::npos);
  EXPECT_NE(t.find("\r\nRight\t"), std::string::npos);
  EXPECT_NE(t.find("\r\nAverage\t"), std::string::npos);
  EXPECT_EQ(t.substr(t.size() - 3), "\t\r\n");
  EXPECT_NE(t.find("%\t"), std::string::npos);
  EXPECT_EQ(h_->beeps, 2);  // the run's and the copy's
}

TEST_F(ResultsDialog, BusyClipboardIsReported) {
  prepare(1);
  orvane_clipboard_busy(1);
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kCopyToClipboard); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "ITU-T P.56");
  OrvaneMemoryStats s;
  orvane_memory_stats(&s);
  EXPECT_EQ(s.lockedBlocks, 0);
}

TEST_F(ResultsDialog, ExportsTheResultsTableWithoutItsLastLineEnd) {
  prepare(1);
  h_->saveAs = dir_ + "/levels.txt";
  h_->saveType = 1;
  h_->scripts[107] = [](HWND d) {
    PluginHarness::click(d, kExportToFile);
    PluginHarness::click(d, kCopyToClipboard);
  };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  std::string file = readFile(h_->saveAs);
  size_t size;
  std::string clip = (const char*)orvane_clipboard_data(CF_TEXT, &size);
  EXPECT_EQ(file + "\r\n", clip);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "File Saved");
  EXPECT_EQ(h_->messages[0].text, "Acoustic Levels succesfully saved to " + h_->saveAs);
  MeterParams p = params();
  EXPECT_EQ(std::string(p.exportPath), h_->saveAs);
  EXPECT_STREQ(p.exportFileName, "levels.txt");
  EXPECT_EQ(std::string(p.exportDirectory), dir_ + "/");
}

TEST_F(ResultsDialog, ExportsEveryHistoryOfEveryBlock) {
  prepare(2, true);
  h_->saveAs = dir_ + "/history.txt";
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kExportToFile); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  std::string file = readFile(h_->saveAs);
  std::istringstream lines(file);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line,
            "Time (ms)\tRMS (1ms) Left\tITU (30ms) Left\tImpulse Left\tFast Left\tSlow "
            "Left\tRMS (1ms) Right\tITU (30ms) Right\tImpulse Right\tFast Right\tSlow Right\r");
  std::getline(lines, line);
  EXPECT_EQ(line,
            "0.000000\t-80.000\t-80.000\t-80.000\t-80.000\t-80.000\t-80.000\t-80.000\t"
            "-80.000\t-80.000\t-80.000\r");
  int count = 2;
  while (std::getline(lines, line)) ++count;
  EXPECT_EQ(count, 2001);
  EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
  EXPECT_EQ(h_->messages.back().text, "Time History succesfully saved to " + h_->saveAs);
}

TEST_F(ResultsDialog, TheSlowHistoryHasOneLinePerSecond) {
  prepare(1);
  h_->saveAs = dir_ + "/slow.txt";
  h_->scripts[107] = [](HWND d) {
    PluginHarness::click(d, kCurveSlow);
    PluginHarness::click(d, kExportToFile);
  };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  std::string file = readFile(h_->saveAs);
  EXPECT_EQ(file.rfind("Time (s)\tSlow\r\n0.000000\t", 0), 0u);
  EXPECT_NE(file.find("\r\n1.000000\t"), std::string::npos);
  int lines = 0;
  for (char c : file) lines += c == '\n';
  EXPECT_EQ(lines, 3);
}

TEST_F(ResultsDialog, AFileHeldByAnotherProcessIsNotTouched) {
  prepare(1);
  h_->saveAs = dir_ + "/held.txt";
  { std::ofstream(h_->saveAs) << "someone else's"; }
  orvane_file_hold(h_->saveAs.c_str(), 1);
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kExportToFile); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "File Access Error");
  EXPECT_EQ(h_->messages[0].text, h_->saveAs +
                                      "\nis alredy in use by another process.\n\nChoose another "
                                      "file, please!");
  EXPECT_EQ(h_->messages[0].type & MB_ICONMASK, (UINT)MB_ICONWARNING);
  EXPECT_EQ(readFile(h_->saveAs), "someone else's");
}

TEST_F(ResultsDialog, OtherFileFailuresAreNeverReportedAsSaved) {
  prepare(1);
  h_->saveAs = dir_ + "/no/such/folder/levels.txt";
  h_->saveType = 1;
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kExportToFile); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "File Access Error");
  EXPECT_EQ(h_->messages[0].text.find("succesfully"), std::string::npos);

  prepare(1);
  h_->saveAs = "/dev/full";
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kExportToFile); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  ASSERT_EQ(h_->messages.size(), 1u);
  EXPECT_EQ(h_->messages[0].caption, "File Access Error");
  EXPECT_NE(h_->messages[0].text.find("could not be written"), std::string::npos);
}

TEST_F(ResultsDialog, CancelledSaveDialogWritesNothing) {
  prepare(1);
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kExportToFile); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_TRUE(h_->messages.empty());
  EXPECT_STREQ(params().exportFileName, "*.txt");
}

}  // namespace

namespace {

// A block the host kept may hold the export texts without their terminating zeros: the save
// dialog is offered them cut at their fields' ends.
TEST_F(ResultsDialog, UnterminatedExportTextsAreOfferedWithinTheirFields) {
  prepare(1);
  MeterParams* p = h_->block<MeterParams>();
  memset(p->exportDirectory, 'd', sizeof p->exportDirectory);
  memset(p->exportFileName, 'f', sizeof p->exportFileName);
  h_->unlock();
  h_->saveAs = dir_ + "/levels.txt";
  h_->saveType = 1;
  h_->scripts[107] = [](HWND d) { PluginHarness::click(d, kExportToFile); };
  EXPECT_EQ(h_->xfmDo(&h_->record), 0);
  EXPECT_STREQ(params().exportFileName, "levels.txt");
}

}  // namespace
