// orvane list and orvane describe, run as a person runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "host/host_test_support.h"

using hosttest::runOrvane;
using orvane::Json;

TEST(ListCommand, NamesLevelmeterWithItsBlockSize) {
  auto r = runOrvane({"list", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json list = Json::parse(r.out);
  bool found = false;
  for (const auto& p : list["plugins"]) {
    if (p["file"].get<std::string>().ends_with("/levelmeter.xfm")) {
      found = true;
      EXPECT_EQ(p["name"], "Orvane\\levelmeter Time History Analysis");
      EXPECT_EQ(p["description"], "ITU-T P56 / Time History Analysis");
      EXPECT_EQ(p["paramSize"], 1460);
      EXPECT_EQ(p["paramTypes"].get<std::string>().size(), 53u);
    }
  }
  EXPECT_TRUE(found) << r.out;

  auto text = runOrvane({"list"});
  ASSERT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("levelmeter.xfm"), std::string::npos);
  EXPECT_NE(text.out.find("1460 bytes"), std::string::npos);
}

TEST(ListCommand, PluginPathComesFirstAndBrokenFilesAreNamedWithTheirReason) {
  hosttest::ScratchDir dir;
  std::ofstream(dir.file("broken.xfm")) << "this is no shared library\n";
  // A plug-in library without a single export of the interface.
  std::filesystem::copy_file(std::string(ORVANE_BIN_DIR) + "/liborvanewin32.so",
                             dir.file("noexports.xfm"));
  // Built for the other width: the ELF header of a library of the other class and machine.
  std::string other(64, '\0');
  other.replace(0, 4,
                "\x7f"
                "ELF");
  other[4] = sizeof(void*) == 4 ? 2 : 1;  // class: 64-bit here 32, 32-bit here 64
  other[5] = 1;                           // little-endian
  other[6] = 1;
  other[18] = sizeof(void*) == 4 ? 62 : 3;  // machine: x86-64 or i386
  std::ofstream(dir.file("other.xfm"), std::ios::binary) << other;
  auto r = runOrvane({"list", "--json"}, "", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  Json list = Json::parse(r.out);
  ASSERT_GE(list["directories"].size(), 2u);
  EXPECT_EQ(list["directories"][0], dir.path());
  ASSERT_GE(list["plugins"].size(), 4u);
  EXPECT_EQ(list["plugins"][0]["file"], dir.file("broken.xfm"));
  EXPECT_NE(list["plugins"][0]["error"].get<std::string>().find("wrong format"), std::string::npos)
      << list["plugins"][0];
  EXPECT_EQ(list["plugins"][1]["file"], dir.file("noexports.xfm"));
  EXPECT_NE(list["plugins"][1]["error"].get<std::string>().find("missing export QueryXfm"),
            std::string::npos)
      << list["plugins"][1];
  EXPECT_EQ(list["plugins"][2]["file"], dir.file("other.xfm"));
  EXPECT_NE(list["plugins"][2]["error"].get<std::string>().find("wrong architecture"),
            std::string::npos)
      << list["plugins"][2];
  // And the plug-ins next to the executable follow, in name order.
  std::vector<std::string> nextToExecutable;
  for (size_t i = 3; i < list["plugins"].size(); ++i)
    nextToExecutable.push_back(list["plugins"][i]["file"]);
  EXPECT_TRUE(std::is_sorted(nextToExecutable.begin(), nextToExecutable.end()));
  EXPECT_EQ(std::count(nextToExecutable.begin(), nextToExecutable.end(),
                       std::string(ORVANE_BIN_DIR) + "/levelmeter.xfm"),
            1);

  // Named on the command line, a broken plug-in is bad input with the same reason.
  auto run = runOrvane({"describe", "noexports"}, "", dir.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(hosttest::lines(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find("missing export QueryXfm (ordinal 2)"), std::string::npos) << run.err;
}

TEST(DescribeCommand, ListsTheSettingsDialogOfAStereoInstance) {
  auto r = runOrvane({"describe", "levelmeter", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json d = Json::parse(r.out);
  EXPECT_EQ(d["channels"], 2);
  const Json& dialog = d["dialog"];
  EXPECT_EQ(dialog["resource"], 100);
  EXPECT_EQ(dialog["caption"], "Time History Analysis");
  EXPECT_EQ(dialog["width"], 191);
  EXPECT_EQ(dialog["height"], 158);

  Json itu = hosttest::controlOf(dialog, 1000);
  ASSERT_FALSE(itu.is_null());
  EXPECT_EQ(itu["kind"], "checkbox");
  EXPECT_EQ(itu["text"], "ITU");
  EXPECT_EQ(itu["checked"], false);
  EXPECT_EQ(itu["visible"], true);
  Json holder = hosttest::controlOf(dialog, 120);
  EXPECT_EQ(holder["kind"], "static");
  EXPECT_EQ(holder["visible"], false);
  Json fullScale = hosttest::controlOf(dialog, 1232);
  EXPECT_EQ(fullScale["kind"], "radio");
  EXPECT_EQ(fullScale["checked"], true);
  EXPECT_EQ(hosttest::controlOf(dialog, 1006)["text"], "120.00");
  EXPECT_EQ(hosttest::controlOf(dialog, 1007)["visible"], true);
  EXPECT_EQ(hosttest::controlOf(dialog, 1008)["visible"], true);

  // Looked at and cancelled: XfmSetup returned 0, nothing was run.
  EXPECT_EQ(d["calls"]["XfmInit"], 1);
  EXPECT_EQ(d["calls"]["XfmSetup"], 0);
  EXPECT_FALSE(d["calls"].contains("XfmDo"));
  EXPECT_EQ(d["calls"]["XfmDestroy"], 1);
  EXPECT_EQ(d["dialogs"][0]["result"], 0);
  // The defaults XfmInit wrote.
  EXPECT_EQ(hosttest::fieldAt(d["block"], 16)["value"], "L");
  EXPECT_EQ(hosttest::fieldAt(d["block"], 18)["value"], 120.0);
  EXPECT_EQ(hosttest::fieldAt(d["block"], 26)["value"], 94.0);
  EXPECT_EQ(hosttest::fieldAt(d["block"], 34)["value"], "F");
}

TEST(DescribeCommand, MonoHidesTheRightColumn) {
  auto r = runOrvane({"describe", "levelmeter", "--channels", "1", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json dialog = Json::parse(r.out)["dialog"];
  for (int id : {1245, 1246, 1007, 1003, 1008, 1009, 1266}) {
    EXPECT_EQ(hosttest::controlOf(dialog, id)["visible"], false) << id;
  }
  EXPECT_EQ(hosttest::controlOf(dialog, 1006)["visible"], true);
}

// Both dialogs, with what --set and --press act on, and the results a run reports.
TEST(DescribeCommand, TextShowsBothDialogsAndTheResults) {
  auto r = runOrvane({"describe", "levelmeter"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto has = [&](std::initializer_list<const char*> words) {
    for (const auto& line : hosttest::lines(r.out)) {
      if (std::all_of(words.begin(), words.end(),
                      [&](const char* w) { return line.find(w) != std::string::npos; }))
        return true;
    }
    return false;
  };
  EXPECT_TRUE(has({"1000", "checkbox", "\"ITU\"", "--set", "unchecked"})) << r.out;
  EXPECT_TRUE(has({"120 ", "static", "hidden"})) << r.out;
  EXPECT_TRUE(has({"Results dialog 107", "Time History Analysis - Results"})) << r.out;
  EXPECT_TRUE(has({"1057", "button", "\"Export to File...\"", "--press"})) << r.out;
  EXPECT_FALSE(has({"1233", "--press"})) << r.out;  // a result field takes no press
  EXPECT_TRUE(has({"Active Speech Level", "dB", "Left, Right, Average"})) << r.out;

  auto json = runOrvane({"describe", "crossanalyser", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const Json d = Json::parse(json.out);
  ASSERT_EQ(d["templates"].size(), 2u);
  EXPECT_EQ(hosttest::controlOf(d["templates"][1], 2)["acts"], "--press");
  EXPECT_EQ(hosttest::controlOf(d["templates"][0], 1025)["acts"], "--set");
  bool flight = false;
  for (const Json& result : d["results"])
    flight |= result["name"] == "Time of flight" && result["unit"] == "ms";
  EXPECT_TRUE(flight) << d["results"];
}

TEST(HelpText, EveryCommandHasOne) {
  for (const char* command : {"list", "describe", "run"}) {
    auto r = runOrvane({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_NE(r.out.find(std::string("Usage: orvane ") + command), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty());
  }
  auto bare = runOrvane({});
  EXPECT_EQ(bare.status, 2);
  EXPECT_TRUE(bare.out.empty());
}
