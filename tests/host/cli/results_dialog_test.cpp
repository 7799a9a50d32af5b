// The person in levelmeter's results dialog: presses, Close or keep, the save dialog, help,
// the clipboard and the display control. Only what the host sees and answers is checked
// here, not the levels the plug-in measures.
#include <gtest/gtest.h>
#include <sndfile.h>

#include "host/host_test_support.h"

using hosttest::runOrvane;
using hosttest::ScratchDir;
using orvane::Json;

namespace {

constexpr int kDialogRate = 8000;
constexpr int kDialogFrames = 4000;

struct Files : hosttest::ToneFiles {
  Files() : ToneFiles(kDialogRate, kDialogFrames) {}
};

Json run(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"run", "levelmeter"};
  all.insert(all.end(), args.begin(), args.end());
  all.insert(all.end(), {"--json", "--quiet"});
  auto r = runOrvane(all);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.status == 0 ? Json::parse(r.out) : Json();
}

Json dialogOf(const Json& report, int resource) {
  for (const auto& d : report["dialogs"]) {
    if (d["resource"] == resource) return d;
  }
  return nullptr;
}

}  // namespace

TEST(ResultsDialog, ClosedWithCloseLeavesTheWaveformAlone) {
  Files f;
  std::string out = f.dir.file("out");
  Json r = run({f.stereo, "--out", out});
  Json results = dialogOf(r, 107);
  ASSERT_FALSE(results.is_null());
  EXPECT_EQ(results["result"], 0);
  EXPECT_EQ(r["audio"]["written"], false);
  EXPECT_FALSE(hosttest::exists(out + "/waveform.wav"));
  EXPECT_EQ(r["dialogInit"], Json::array({100, 107}));
  EXPECT_FALSE(r["beeps"].empty());
}

TEST(ResultsDialog, KeepWritesTheFilteredWaveformBackAndSavesIt) {
  Files f;
  std::string out = f.dir.file("out");
  // Band-pass filtered, the selection cannot come back as it was.
  Json r = run({f.stereo, "--select", "100:3099", "--set", "1000=on", "--set", "1003=on", "--keep",
                "--out", out});
  EXPECT_EQ(dialogOf(r, 107)["result"], 1);
  EXPECT_EQ(r["audio"]["written"], true);
  EXPECT_EQ(r["audio"]["writtenFirst"], 100);
  EXPECT_EQ(r["audio"]["writtenLast"], 3099);
  EXPECT_EQ(r["samples"]["framesWritten"], 3000);
  EXPECT_EQ(r["samples"]["refusals"], 0);
  ASSERT_TRUE(hosttest::exists(out + "/waveform.wav"));
  EXPECT_EQ(r["files"][0], out + "/waveform.wav");

  // The whole waveform, 32-bit float, at full scale 1.0; frames before the selection are the
  // original samples.
  SF_INFO info{};
  SNDFILE* file = sf_open((out + "/waveform.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frames, kDialogFrames);
  std::vector<float> written(static_cast<size_t>(kDialogFrames) * 2);
  sf_readf_float(file, written.data(), kDialogFrames);
  sf_close(file);
  SF_INFO originalInfo{};
  SNDFILE* original = sf_open(f.stereo.c_str(), SFM_READ, &originalInfo);
  std::vector<short> pcm(static_cast<size_t>(kDialogFrames) * 2);
  sf_readf_short(original, pcm.data(), kDialogFrames);
  sf_close(original);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(written[i] * 32768.0f, pcm[i]) << i;
  bool changed = false;
  for (size_t i = 200; i < 6200; ++i) changed = changed || written[i] * 32768.0f != pcm[i];
  EXPECT_TRUE(changed) << "the selection was written back unchanged";
}

TEST(ResultsDialog, CopyToClipboardIsReportedAndSaved) {
  Files f;
  std::string out = f.dir.file("out");
  Json r = run({f.mono, "--press", "1051", "--out", out});
  ASSERT_EQ(r["clipboard"].size(), 1u);
  const Json& clip = r["clipboard"][0];
  EXPECT_EQ(clip["format"], "CF_TEXT");
  EXPECT_EQ(clip["size"], 2000);  // channels x 2000 bytes
  std::string text = clip["text"];
  EXPECT_EQ(text.rfind("Orvane 4.0 - Results of ITU-T P56 Calculations\r\n", 0), 0u) << text;
  EXPECT_EQ(clip["file"], out + "/clipboard.txt");
  auto saved = hosttest::readBytes(out + "/clipboard.txt");
  EXPECT_EQ(std::string(saved.begin(), saved.end()), text);
}

TEST(ResultsDialog, SaveDialogIsAnsweredOnlyWithSaveAs) {
  Files f;
  std::string target = f.dir.file("levels.txt");
  Json r = run({f.mono, "--press", "1057", "--save-as", target, "--save-type", "1"});
  ASSERT_EQ(r["saveDialogs"].size(), 1u);
  const Json& save = r["saveDialogs"][0];
  EXPECT_EQ(save["title"], "Save Results to File");
  EXPECT_EQ(save["offeredType"], 2);
  EXPECT_EQ(save["answered"], true);
  EXPECT_EQ(save["path"], target);
  EXPECT_EQ(save["type"], 1);
  ASSERT_EQ(save["filters"].size(), 2u);
  EXPECT_EQ(save["filters"][0]["description"], "Parameter Files (*.txt)");
  EXPECT_TRUE(hosttest::exists(target));
  ASSERT_EQ(r["messages"].size(), 1u);
  EXPECT_EQ(r["messages"][0]["caption"], "File Saved");
  EXPECT_EQ(r["messages"][0]["icon"], "error");
  EXPECT_EQ(r["messages"][0]["text"], "Acoustic Levels succesfully saved to " + target);

  Json cancelled = run({f.mono, "--press", "1057"});
  ASSERT_EQ(cancelled["saveDialogs"].size(), 1u);
  EXPECT_EQ(cancelled["saveDialogs"][0]["answered"], false);
  EXPECT_TRUE(cancelled["messages"].empty());

  // A file type the dialog does not offer: the person cannot choose it.
  auto bad = runOrvane({"run", "levelmeter", f.mono, "--press", "1057", "--save-as", target,
                        "--save-type", "3", "--quiet"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--save-type 3"), std::string::npos) << bad.err;
  EXPECT_TRUE(bad.out.empty());
}

TEST(ResultsDialog, HelpRequestsAreCaptured) {
  Files f;
  Json r = run({f.mono, "--press", "4"});
  ASSERT_EQ(r["help"].size(), 1u);
  EXPECT_EQ(r["help"][0]["file"], "Orvane4.hlp");
  EXPECT_EQ(r["help"][0]["command"], 0x101);
  EXPECT_EQ(r["help"][0]["keyword"], "ITU P56 Active Speech Level");
}

TEST(ResultsDialog, UnknownPressIsRefusedAndNothingWritten) {
  Files f;
  std::string out = f.dir.file("out");
  auto r = runOrvane(
      {"run", "levelmeter", f.mono, "--press", "9999", "--keep", "--out", out, "--quiet"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("--press 9999: dialog 107 has no control 9999"), std::string::npos) << r.err;
  EXPECT_FALSE(hosttest::exists(out));
}

TEST(DisplayControl, CurvesOfBothChannelsSampledAcrossTheSelection) {
  Files f;
  std::string out = f.dir.file("out");
  Json r = run({f.stereo, "--select", "0:1999", "--out", out});
  ASSERT_EQ(r["displays"].size(), 1u);
  const Json& d = r["displays"][0];
  EXPECT_EQ(d["dialog"], 107);
  EXPECT_EQ(d["id"], 1301);
  EXPECT_EQ(d["controlFound"], true);
  EXPECT_EQ(d["curve1"]["viewMode"], 8);
  EXPECT_EQ(d["curve1"]["curveColour"], 0x800000);
  EXPECT_EQ(d["curve2"]["curveColour"], 0x800080);
  EXPECT_EQ(d["graph"]["xLabel"], "s");
  EXPECT_EQ(d["graph"]["yLabel"], "dB");
  EXPECT_EQ(d["curve1"]["xLeft"], 0.0);
  EXPECT_EQ(d["curve1"]["xRight"], 1999.0 / kDialogRate);
  EXPECT_EQ(d["curve1"]["yTop"], 120.0);
  EXPECT_EQ(d["curve1"]["yBottom"], 20.0);

  int columns = d["columns"];
  EXPECT_EQ(columns, d["rect"]["width"]);
  ASSERT_GT(columns, 1);
  EXPECT_EQ(d["x"].size(), static_cast<size_t>(columns));
  EXPECT_EQ(d["x"][0], 0.0);
  EXPECT_EQ(d["x"][columns - 1], 1999.0 / kDialogRate);
  EXPECT_EQ(d["curves"]["1"].size(), static_cast<size_t>(columns));
  EXPECT_EQ(d["curves"]["2"].size(), static_cast<size_t>(columns));

  // The results dialog's snapshot carries the same curves.
  Json results = dialogOf(r, 107);
  ASSERT_EQ(results["displays"].size(), 1u);
  EXPECT_EQ(results["displays"][0]["curves"], d["curves"]);

  auto csv = hosttest::lines([&] {
    auto b = hosttest::readBytes(out + "/display-1.csv");
    return std::string(b.begin(), b.end());
  }());
  ASSERT_EQ(csv.size(), static_cast<size_t>(columns) + 1);
  EXPECT_EQ(csv[0], "x,curve1,curve2");
  EXPECT_EQ(csv[1].rfind("0,", 0), 0u) << csv[1];
}

TEST(DisplayControl, MonoHasOnlyTheFirstCurve) {
  Files f;
  Json r = run({f.mono});
  ASSERT_EQ(r["displays"].size(), 1u);
  const Json& curves = r["displays"][0]["curves"];
  EXPECT_TRUE(curves.contains("1"));
  EXPECT_FALSE(curves.contains("2"));
}

TEST(AutoConfirm, EveryDialogConfirmsItself) {
  Files f;
  Json r = run({f.mono, "--auto"});
  EXPECT_EQ(dialogOf(r, 100)["result"], 1);
  EXPECT_EQ(dialogOf(r, 107)["result"], 1);
  EXPECT_EQ(r["audio"]["written"], true);
}

TEST(Progress, PlainLinesOnStderrWhenItIsNoTerminal) {
  Files f;
  auto r = runOrvane({"run", "levelmeter", f.mono, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Initializing... 0% ("), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Initializing... done in "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\r'), std::string::npos);
  Json report = Json::parse(r.out);  // stdout holds the report alone
  EXPECT_EQ(report["progress"][0]["caption"], "Initializing...");
  EXPECT_EQ(report["progress"][0]["lastStep"], 3);
}
