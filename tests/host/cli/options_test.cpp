// The command line: forms that are accepted and usage errors.
#include <gtest/gtest.h>

#include "host/cli/help.h"
#include "host/cli/options.h"
#include "host/errors.h"

using namespace orvane;

namespace {

Command parse(std::vector<const char*> args) {
  args.insert(args.begin(), "orvane");
  return parseCommandLine(static_cast<int>(args.size()), args.data());
}

std::string usageErrorOf(std::vector<const char*> args) {
  try {
    parse(args);
  } catch (const HostError& e) {
    EXPECT_EQ(e.status(), kExitBadInput);
    return e.what();
  }
  ADD_FAILURE() << "accepted";
  return "";
}

}  // namespace

TEST(Options, RunTakesEveryOptionInBothForms) {
  Command c = parse({"run",        "levelmeter",    "a.wav",         "--select", "10:99",
                     "--set",      "1001=on",       "--set=IEC=off", "--set",    "1006=",
                     "--press",    "1051",          "--press=1057",  "--keep",   "--save-as",
                     "/tmp/r.txt", "--save-type=2", "--preset",      "p.bin",    "--save-preset",
                     "q.bin",      "--out",         "outdir",        "--json",   "--quiet"});
  ASSERT_EQ(c.kind, CommandKind::Run);
  const RunOptions& o = c.run;
  EXPECT_EQ(o.plugin, "levelmeter");
  EXPECT_EQ(o.audioFile, "a.wav");
  ASSERT_TRUE(o.select);
  EXPECT_EQ(o.select->first, 10);
  EXPECT_EQ(o.select->last, 99);
  ASSERT_EQ(o.sets.size(), 3u);
  EXPECT_EQ(o.sets[0].control, "1001");
  EXPECT_EQ(o.sets[0].value, "on");
  EXPECT_EQ(o.sets[1].control, "IEC");  // only the first '=' of --set=... is the option's
  EXPECT_EQ(o.sets[1].value, "off");
  EXPECT_EQ(o.sets[2].value, "");  // an edit may be emptied
  EXPECT_EQ(o.presses, (std::vector<std::string>{"1051", "1057"}));
  EXPECT_TRUE(o.keep);
  EXPECT_EQ(o.saveAs, "/tmp/r.txt");
  EXPECT_EQ(o.saveType, 2);
  EXPECT_EQ(o.preset, "p.bin");
  EXPECT_EQ(o.savePreset, "q.bin");
  EXPECT_EQ(o.outDir, "outdir");
  EXPECT_TRUE(o.json);
  EXPECT_TRUE(o.quiet);
  EXPECT_FALSE(o.autoConfirm);
}

TEST(Options, DefaultsAndOtherCommands) {
  Command run = parse({"run", "x.xfm", "a.wav"});
  EXPECT_FALSE(run.run.select);
  EXPECT_TRUE(run.run.sets.empty());
  EXPECT_FALSE(run.run.keep);

  Command describe = parse({"describe", "levelmeter"});
  ASSERT_EQ(describe.kind, CommandKind::Describe);
  EXPECT_EQ(describe.describe.channels, 2);
  EXPECT_EQ(parse({"describe", "levelmeter", "--channels", "1"}).describe.channels, 1);

  EXPECT_EQ(parse({"list", "--json"}).kind, CommandKind::List);
  EXPECT_TRUE(parse({"list", "--json"}).list.json);
}

TEST(Options, HelpForEveryCommand) {
  EXPECT_EQ(parse({"--help"}).helpText, mainHelp());
  EXPECT_EQ(parse({"list", "--help"}).helpText, listHelp());
  EXPECT_EQ(parse({"describe", "--help"}).helpText, describeHelp());
  // --help ends the parsing: what follows it is not looked at.
  EXPECT_EQ(parse({"run", "levelmeter", "--help", "--bogus"}).kind, CommandKind::Help);
  EXPECT_EQ(parse({"run", "--help"}).helpText, runHelp());
  EXPECT_EQ(parse({"help", "run"}).helpText, runHelp());
}

TEST(Options, UsageErrorsNameTheProblem) {
  EXPECT_NE(usageErrorOf({}).find("missing command"), std::string::npos);
  EXPECT_NE(usageErrorOf({"frobnicate"}).find("unknown command"), std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "levelmeter", "a.wav", "--bogus"}).find("unknown option --bogus"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "levelmeter"}).find("missing AUDIOFILE"), std::string::npos);
  EXPECT_NE(usageErrorOf({"run"}).find("missing PLUGIN"), std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "c", "--save-preset", "p.json"})
                .find("cannot be used with several audio files"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"validate"}).find("missing PLUGIN"), std::string::npos);
  EXPECT_NE(usageErrorOf({"validate", "x", "--iterations", "many"}).find("whole number"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--set", "1001"}).find("CONTROL=VALUE"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--set", "=on"}).find("CONTROL=VALUE"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--set"}).find("--set needs a value"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--select", "5"}).find("FIRST:LAST"), std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--select", "1:x"}).find("FIRST:LAST"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--save-type", "0"}).find("--save-type"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--keep=yes"}).find("takes no value"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"run", "a", "b", "--auto", "--set", "1001=on"}).find("--auto"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"describe", "levelmeter", "--channels", "3"}).find("1 or 2"),
            std::string::npos);
  EXPECT_NE(usageErrorOf({"list", "extra"}).find("unexpected argument"), std::string::npos);
}

TEST(Options, AfterDoubleDashEverythingIsPositional) {
  Command c = parse({"run", "--", "-odd-plugin", "-odd.wav"});
  EXPECT_EQ(c.run.plugin, "-odd-plugin");
  EXPECT_EQ(c.run.audioFile, "-odd.wav");
}
