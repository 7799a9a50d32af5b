// orvane validate: levelmeter passes every check, and the test plug-in brokenmeter, with one
// deliberate fault at a time, fails exactly the checks that fault concerns.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <fstream>

#include "host/host_test_support.h"
#include "host/validator/validator.h"

using hosttest::lines;
using hosttest::runOrvane;
using orvane::Json;

namespace {

const std::string kBroken = ORVANE_BROKEN_PLUGIN;

// Chooses brokenmeter's fault for the plug-in calls of one test (inherited by the children).
class FaultChoice {
 public:
  explicit FaultChoice(const char* fault) { setenv("ORVANE_BROKEN_FAULT", fault, 1); }
  ~FaultChoice() { unsetenv("ORVANE_BROKEN_FAULT"); }
};

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The report's check lines (the count line left out) that start with "FAIL".
std::vector<std::string> failures(const std::vector<std::string>& report) {
  std::vector<std::string> f;
  for (size_t i = 0; i + 1 < report.size(); ++i)
    if (startsWith(report[i], "FAIL  ")) f.push_back(report[i]);
  return f;
}

}  // namespace

TEST(ValidateCommand, LevelmeterPassesEveryCheck) {
  auto r = runOrvane({"validate", "levelmeter", "--iterations", "100"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  std::vector<std::string> report = lines(r.out);
  ASSERT_EQ(report.size(), 21u) << r.out;
  for (size_t i = 0; i + 1 < report.size(); ++i)
    EXPECT_TRUE(startsWith(report[i], "pass  ")) << report[i];
  EXPECT_EQ(report.back(), "20 passed, 0 failed");

  // The facts the checks found are levelmeter's: its block layout, and the buffers of its run
  // (work, wave and five histories per channel; each locked, with the parameter block's lock
  // first and the results dialog's last).
  auto has = [&](const std::string& line) {
    return std::find(report.begin(), report.end(), line) != report.end();
  };
  EXPECT_TRUE(
      has("pass  paramTypes: 53 fields cover 185 of 1460 bytes of paramSize (1275 bytes "
          "untyped)"));
  EXPECT_TRUE(
      has("pass  XfmSetup stores the host window and module instance in h fields "
          "(offsets 0, 4)"));
  EXPECT_TRUE(has("pass  each of 7 GlobalAlloc calls of XfmDo failing in turn (mono)"));
  EXPECT_TRUE(has("pass  each of 12 GlobalAlloc calls of XfmDo failing in turn (stereo)"));
  // The display locks a history for each point it plots: of those locks a sample fails.
  auto starting = [&](const std::string& start, const std::string& end) {
    return std::any_of(report.begin(), report.end(), [&](const std::string& line) {
      return startsWith(line, start) && line.size() > end.size() &&
             line.compare(line.size() - end.size(), end.size(), end) == 0;
    });
  };
  EXPECT_TRUE(
      starting("pass  each of the 9 GlobalLock calls of XfmDo before its results dialog, "
               "and ",
               "failing in turn (mono)"));
  EXPECT_TRUE(
      starting("pass  each of the 14 GlobalLock calls of XfmDo before its results "
               "dialog, and ",
               "failing in turn (stereo)"));
  EXPECT_TRUE(has("pass  XfmDo on a parameter block that cannot be locked (1)"));
  EXPECT_TRUE(startsWith(report[19], "pass  100 random parameter blocks and selections (seed 1)"));
}

TEST(ValidateCommand, JsonHoldsTheSameChecksAsTheText) {
  auto text = runOrvane({"validate", kBroken, "--iterations", "10"});
  auto json = runOrvane({"validate", kBroken, "--iterations", "10", "--json"});
  ASSERT_EQ(text.status, 1) << text.err;
  ASSERT_EQ(json.status, 1) << json.err;
  Json report = Json::parse(json.out);
  std::vector<std::string> textLines = lines(text.out);
  EXPECT_EQ(report["plugin"], kBroken);
  ASSERT_EQ(report["checks"].size() + 1, textLines.size());
  int passed = 0;
  for (size_t i = 0; i < report["checks"].size(); ++i) {
    const Json& c = report["checks"][i];
    if (c["passed"] == true) {
      ++passed;
      EXPECT_EQ("pass  " + c["check"].get<std::string>(), textLines[i]);
      EXPECT_FALSE(c.contains("why"));
    } else {
      EXPECT_EQ("FAIL  " + c["check"].get<std::string>() + ": " + c["why"].get<std::string>(),
                textLines[i]);
    }
  }
  EXPECT_EQ(report["passed"], passed);
  EXPECT_EQ(report["failed"], static_cast<int>(report["checks"].size()) - passed);
}

TEST(ValidateCommand, ABrokenCleanUpFailsTheAllocationChecks) {
  // brokenmeter's default fault: after a failed allocation it keeps what it had obtained.
  auto r = runOrvane({"validate", kBroken, "--iterations", "20"});
  EXPECT_EQ(r.status, 1) << r.err;
  std::vector<std::string> report = lines(r.out);
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report.back(), "16 passed, 4 failed");
  std::vector<std::string> failed = failures(report);
  ASSERT_EQ(failed.size(), 4u) << r.out;
  EXPECT_EQ(failed[0],
            "FAIL  each of 2 GlobalAlloc calls of XfmDo failing in turn (mono): GlobalAlloc 2 of 2 "
            "failing: 1 block left allocated; 1 block left locked");
  EXPECT_TRUE(startsWith(failed[1],
                         "FAIL  each of 2 GlobalAlloc calls of XfmDo failing in turn "
                         "(stereo): GlobalAlloc 2 of 2 failing: 1 block left allocated"));
  // A failed lock leaves the block allocated but not locked.
  EXPECT_EQ(failed[2],
            "FAIL  each of 4 GlobalLock calls of XfmDo failing in turn (mono): GlobalLock 2 of 4 "
            "failing: 1 block left allocated");
  EXPECT_TRUE(startsWith(failed[3],
                         "FAIL  each of 4 GlobalLock calls of XfmDo failing in turn "
                         "(stereo): GlobalLock 2 of 4 failing"));
}

TEST(ValidateCommand, TheTestPluginWithoutItsFaultPasses) {
  FaultChoice none("none");
  auto r = runOrvane({"validate", kBroken, "--iterations", "50"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(lines(r.out).back(), "20 passed, 0 failed");
}

struct FaultCase {
  const char* fault;
  std::vector<std::string> failing;  // the failing lines' beginnings, in report order
  const char* why;                   // found in each of them
};

class ValidateFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(ValidateFaults, FailOnlyTheChecksTheyConcern) {
  const FaultCase& f = GetParam();
  FaultChoice choice(f.fault);
  auto r = runOrvane({"validate", kBroken, "--iterations", "20"});
  EXPECT_EQ(r.status, 1) << r.err;
  std::vector<std::string> failed = failures(lines(r.out));
  ASSERT_EQ(failed.size(), f.failing.size()) << r.out;
  for (size_t i = 0; i < failed.size(); ++i) {
    EXPECT_TRUE(startsWith(failed[i], "FAIL  " + f.failing[i])) << failed[i];
    EXPECT_NE(failed[i].find(f.why), std::string::npos) << failed[i];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ValidateFaults,
    testing::Values(
        // A null address written after a failed lock: the child process dies (a signal, or
        // the sanitizer's exit), the check says when.
        FaultCase{"crash",
                  {"each GlobalLock call of XfmDo failing in turn (mono): the plug-in ",
                   "each GlobalLock call of XfmDo failing in turn (stereo): the plug-in "},
                  "during XfmDo with GlobalLock 2 of 4 failing"},
        FaultCase{"unclosed",
                  {"a cancel at each of 12 progress calls (mono): cancelled at progress call 1",
                   "a cancel at each of 12 progress calls (stereo): cancelled at progress call 1"},
                  "1 progress display left open"},
        // Every run that gets as far as reading shows it; failures before the read hide it.
        FaultCase{
            "stray",
            {"a whole run, every dialog confirming itself (mono)",
             "a whole run, every dialog confirming itself (stereo)",
             "each of 4 GlobalLock calls of XfmDo failing in turn (mono): GlobalLock 4 of 4",
             "each of 4 GlobalLock calls of XfmDo failing in turn (stereo): GlobalLock 4 of 4",
             "a cancel at each of 12 progress calls (mono)",
             "a cancel at each of 12 progress calls (stereo)",
             "results dialog: every command button pressed once, clipboard free",
             "results dialog: every command button pressed once, clipboard busy",
             "results dialog: every command button pressed once, clipboard failing to close",
             "20 random parameter blocks and selections (seed 1): iteration "},
            "outside the selection"},
        // The parameter block's lock (GlobalLock 1) may fail silently; nothing else may.
        FaultCase{
            "silent",
            {"each of 2 GlobalAlloc calls of XfmDo failing in turn (mono): GlobalAlloc 1 of 2",
             "each of 2 GlobalAlloc calls of XfmDo failing in turn (stereo): GlobalAlloc 1",
             "each of 4 GlobalLock calls of XfmDo failing in turn (mono): GlobalLock 2 of 4",
             "each of 4 GlobalLock calls of XfmDo failing in turn (stereo): GlobalLock 2"},
            "the run ended (1) without a message box with the error icon"},
        // Nothing else is run on a plug-in whose QueryXfm misbehaves.
        FaultCase{"longname", {"QueryXfm: name is not terminated within its 80 characters"}, ""}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.fault); });

TEST(ValidateCommand, TheSameSeedRepeatsTheRandomRuns) {
  auto a = runOrvane({"validate", "levelmeter", "--iterations", "60", "--seed", "7"});
  auto b = runOrvane({"validate", "levelmeter", "--iterations", "60", "--seed", "7"});
  ASSERT_EQ(a.status, 0) << a.out;
  EXPECT_EQ(a.out, b.out);
  EXPECT_TRUE(
      startsWith(lines(a.out)[19], "pass  60 random parameter blocks and selections (seed 7)"));
}

TEST(ValidateCommand, WhatIsNoPlugInIsBadInput) {
  hosttest::ScratchDir dir;
  std::string fake = dir.file("fake.xfm");
  std::ofstream(fake) << "not a module\n";
  auto r = runOrvane({"validate", fake});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_NE(r.err.find("fake.xfm"), std::string::npos) << r.err;

  r = runOrvane({"validate", "nosuchplugin"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST(Validator, APlugInThatNeverReturnsIsStoppedAndReported) {
  FaultChoice hang("hang");
  orvane::ValidatorSettings settings;
  settings.iterations = 0;
  settings.timeoutSeconds = 2;
  orvane::ValidationReport report = orvane::validatePlugin(kBroken, settings);
  std::vector<const orvane::CheckOutcome*> failed;
  for (const auto& c : report.checks)
    if (!c.passed) failed.push_back(&c);
  ASSERT_EQ(failed.size(), 2u) << orvane::renderValidationText(report);
  EXPECT_EQ(failed[0]->what, "a cancel at each progress call (mono)");
  EXPECT_EQ(failed[0]->why,
            "no answer within 2 s during XfmDo cancelled at progress call 1 of 12 (stopped)");
  EXPECT_EQ(failed[1]->what, "a cancel at each progress call (stereo)");
  // The checks after the hang still ran.
  EXPECT_EQ(report.checks.size(), 19u);
  EXPECT_TRUE(report.checks.back().passed);
}
