// Batches: the same settings on several files, one folder each and one summary table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/host_test_support.h"

using hosttest::readText;
using hosttest::runOrvane;
using orvane::Json;

namespace {

std::vector<std::string> cells(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream s(line);
  std::string cell;
  while (std::getline(s, cell, ',')) out.push_back(cell);
  return out;
}

// Speech-like bursts at three levels: a 1 kHz tone switched on and off.
void writeBursts(const std::string& path, double amplitude) {
  std::vector<double> samples(48000 * 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    bool on = (i / 9600) % 2 == 0;
    samples[i] = on ? amplitude * std::sin(2 * M_PI * 1000.0 * i / 48000.0) : 0.0;
  }
  hosttest::writeWav(path, 1, 48000, samples, false);
}

std::string activeLevelOf(const Json& report) {
  for (const auto& d : report["dialogs"])
    if (d["resource"] == 107) return hosttest::controlOf(d, 1235)["text"].get<std::string>();
  return "";
}

}  // namespace

TEST(Batch, SummaryHasOneRowPerFileWithTheSingleRunsLevels) {
  hosttest::ScratchDir dir;
  std::vector<std::string> files;
  for (double a : {1000.0, 4000.0, 16000.0}) {
    files.push_back(dir.file("burst" + std::to_string((int)a) + ".wav"));
    writeBursts(files.back(), a);
  }
  std::string out = dir.file("out");
  std::vector<std::string> args = {"run", "levelmeter"};
  args.insert(args.end(), files.begin(), files.end());
  args.insert(args.end(), {"--set", "1001=on", "--out", out, "--quiet"});
  auto batch = runOrvane(args);
  ASSERT_EQ(batch.status, 0) << batch.err;

  std::vector<std::string> rows = hosttest::lines(readText(out + "/summary.csv"));
  ASSERT_EQ(rows.size(), 4u);
  std::vector<std::string> header = cells(rows[0]);
  EXPECT_EQ(header[0], "file");
  // Numbers, their units in the headers.
  auto column = std::find(header.begin(), header.end(), "Active Speech Level Left (dB)");
  ASSERT_NE(column, header.end()) << rows[0];
  EXPECT_NE(std::find(header.begin(), header.end(), "Impulsive Event Left"), header.end());
  // Rows in the order of the inputs' paths: burst1000, burst16000, burst4000.
  for (size_t i = 0; i < files.size(); ++i) {
    auto single =
        runOrvane({"run", "levelmeter", files[i], "--set", "1001=on", "--json", "--quiet"});
    ASSERT_EQ(single.status, 0) << single.err;
    std::vector<std::string> row = cells(rows[i == 0 ? 1 : 4 - i]);
    EXPECT_EQ(row[0], files[i]);
    // The level itself, which the dialog shows rounded.
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.2f", std::stod(row[column - header.begin()]));
    EXPECT_EQ(shown, activeLevelOf(Json::parse(single.out)));
    // Each file's outputs in a folder of its own.
    EXPECT_TRUE(
        hosttest::exists(out + "/burst" + std::to_string(1000 << (2 * i)) + "/report.json"));
  }
}

TEST(Batch, SameNamesGetFoldersOfTheirOwnAndJsonHoldsEveryRun) {
  hosttest::ScratchDir dir;
  mkdir(dir.file("a").c_str(), 0755);
  mkdir(dir.file("b").c_str(), 0755);
  writeBursts(dir.file("a/take.wav"), 3000.0);
  writeBursts(dir.file("b/take.wav"), 6000.0);
  std::string out = dir.file("out");
  auto r = runOrvane({"run", "levelmeter", dir.file("a/take.wav"), dir.file("b/take.wav"), "--out",
                      out, "--json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json batch = Json::parse(r.out);
  EXPECT_EQ(batch["runs"].size(), 2u);
  EXPECT_EQ(batch["summary"]["rows"].size(), 2u);
  EXPECT_TRUE(hosttest::exists(out + "/take/report.json"));
  EXPECT_TRUE(hosttest::exists(out + "/take-2/report.json"));
}

TEST(Batch, AMissingFileStopsTheBatchBeforeAnythingIsWritten) {
  hosttest::ScratchDir dir;
  writeBursts(dir.file("good.wav"), 3000.0);
  std::string out = dir.file("out");
  auto r = runOrvane({"run", "levelmeter", dir.file("good.wav"), dir.file("missing.wav"), "--out",
                      out, "--quiet"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(hosttest::lines(r.err).size(), 1u) << r.err;
  EXPECT_FALSE(hosttest::exists(out));
}

// A file that fails in the middle (a NaN sample) or cannot be opened as a recording (a cut
// header, an empty file, text, a pipe) gets a row that says why; the others run.
TEST(Batch, GoesOnPastAFileThatFailsAndTablesIt) {
  hosttest::ScratchDir dir;
  writeBursts(dir.file("a.wav"), 3000.0);
  std::vector<double> nan(48000, 0.25);
  nan[24000] = NAN;
  hosttest::writeWav(dir.file("b.wav"), 1, 48000, nan, true);
  writeBursts(dir.file("c.wav"), 6000.0);
  std::filesystem::copy_file(dir.file("a.wav"), dir.file("d-cut.wav"));
  std::filesystem::resize_file(dir.file("d-cut.wav"), 20);
  std::ofstream(dir.file("e-empty.wav")).flush();
  std::ofstream(dir.file("f-text.wav")) << "not a recording\n";
  ASSERT_EQ(mkfifo(dir.file("g-pipe.wav").c_str(), 0644), 0);
  const std::string out = dir.file("out");
  auto r = runOrvane({"run", "levelmeter", dir.file("c.wav"), dir.file("b.wav"), dir.file("a.wav"),
                      dir.file("d-cut.wav"), dir.file("e-empty.wav"), dir.file("f-text.wav"),
                      dir.file("g-pipe.wav"), "--out", out, "--quiet"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("NaN"), std::string::npos) << r.err;
  std::vector<std::string> rows = hosttest::lines(readText(out + "/summary.csv"));
  ASSERT_EQ(rows.size(), 8u);
  for (size_t row = 4; row < rows.size(); ++row)
    EXPECT_NE(cells(rows[row]).back(), "") << rows[row];
  EXPECT_EQ(cells(rows[0]).back(), "error");
  EXPECT_EQ(cells(rows[1])[0], dir.file("a.wav"));
  EXPECT_EQ(rows[1].back(), ',');  // no error
  EXPECT_NE(rows[2].find("NaN"), std::string::npos) << rows[2];
  EXPECT_TRUE(hosttest::exists(out + "/c/report.json"));
  EXPECT_FALSE(hosttest::exists(out + "/b"));
}

// A batch spread over two processes by GNU parallel as the README's recipe does it, then
// merged: the same table, byte for byte, also for two inputs of one name.
TEST(Batch, RunsInParallelMergeIntoTheSequentialBatchsSummary) {
  hosttest::ScratchDir dir;
  mkdir(dir.file("a").c_str(), 0755);
  mkdir(dir.file("b").c_str(), 0755);
  const std::vector<std::string> files = {dir.file("b/take.wav"), dir.file("level.wav"),
                                          dir.file("a/take.wav")};
  for (size_t i = 0; i < files.size(); ++i) writeBursts(files[i], 500.0 * (1 + 3 * i));
  std::vector<std::string> args = {"run", "levelmeter"};
  args.insert(args.end(), files.begin(), files.end());
  args.insert(args.end(), {"--set", "1000=on", "--out", dir.file("batch"), "--quiet"});
  ASSERT_EQ(runOrvane(args).status, 0);

  std::string command = "cd " + dir.path() + " && parallel --will-cite -j2 " +
                        std::string(ORVANE_BIN_DIR) +
                        "/orvane run levelmeter {} --set 1000=on --out each/{#}-{/.} --quiet ::: ";
  for (const auto& f : files) command += f + " ";
  command += ">/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  auto merged = runOrvane({"summary", dir.file("each")});
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(merged.out, readText(dir.file("batch/summary.csv")));
  EXPECT_EQ(hosttest::lines(merged.out).size(), 4u);

  // A report cut short (a full disk under an older version) is named; the rest is tabled.
  const std::string cut = dir.file("each/2-level/report.json");
  std::filesystem::resize_file(cut, 100);
  merged = runOrvane({"summary", dir.file("each")});
  EXPECT_EQ(merged.status, 1);
  EXPECT_NE(merged.err.find(cut), std::string::npos) << merged.err;
  EXPECT_EQ(hosttest::lines(merged.out).size(), 3u) << merged.out;

  // So is a report of wrongly typed fields, whatever they are.
  std::filesystem::create_directory(dir.file("each/9-typed"));
  std::ofstream(dir.file("each/9-typed/report.json")) << "{\"audio\": 5}\n";
  merged = runOrvane({"summary", dir.file("each")});
  EXPECT_EQ(merged.status, 1);
  EXPECT_NE(merged.err.find("9-typed"), std::string::npos) << merged.err;
  EXPECT_EQ(hosttest::lines(merged.out).size(), 3u) << merged.out;

  // A job that fails leaves no report; parallel's job log names it, and so does the table.
  std::vector<double> nan(4800, 0.25);
  nan[10] = NAN;
  hosttest::writeWav(dir.file("nan.wav"), 1, 48000, nan, true);
  command = "cd " + dir.path() + " && parallel --will-cite --joblog jobs.log " +
            std::string(ORVANE_BIN_DIR) +
            "/orvane run levelmeter {} --out each/{#}-{/.} --quiet ::: " + dir.file("nan.wav") +
            " >/dev/null 2>&1";
  ASSERT_NE(std::system(command.c_str()), 0);
  merged = runOrvane({"summary", dir.file("each"), "--joblog", dir.file("jobs.log")});
  EXPECT_EQ(merged.status, 1);
  const std::vector<std::string> rows = hosttest::lines(merged.out);
  ASSERT_EQ(rows.size(), 4u) << merged.out;
  EXPECT_NE(rows[3].find(dir.file("nan.wav")), std::string::npos) << rows[3];
  EXPECT_NE(rows[3].find("job 1 exited with status 2"), std::string::npos) << rows[3];

  EXPECT_EQ(runOrvane({"summary", dir.file("nothing-here")}).status, 2);
}
