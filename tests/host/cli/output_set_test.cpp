// What `orvane run` does to its output folder: it adds one run's outputs whole, never a mix
// of two, removes only the earlier set's files, leaves a person's files alone, and changes
// nothing when the run does not complete.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>

#include "host/host_test_support.h"
#include "host/system/files.h"

using hosttest::readBytes;
using hosttest::runOrvane;
using orvane::Json;

namespace fs = std::filesystem;

namespace {

Json reportIn(const std::string& folder) {
  std::ifstream in(folder + "/report.json");
  return Json::parse(in);
}

// Every file under a folder, hidden ones too, with its bytes; folders as empty entries.
std::map<std::string, std::vector<unsigned char>> contentsOf(const std::string& folder) {
  std::map<std::string, std::vector<unsigned char>> contents;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    const std::string name = e.path().lexically_relative(folder).string();
    contents[name] =
        e.is_regular_file() ? readBytes(e.path().string()) : std::vector<unsigned char>{};
  }
  return contents;
}

// Entries of a folder whose names start with a dot, but the folder's list of its set.
std::vector<std::string> hiddenIn(const std::string& folder) {
  std::vector<std::string> hidden;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name[0] == '.' && name != ".orvane-set") hidden.push_back(name);
  }
  return hidden;
}

// Every file the report lists is there, and the set's other files are not.
void expectReportWhole(const std::string& folder) {
  const Json report = reportIn(folder);  // kept while its list is read
  for (const auto& file : report["files"])
    EXPECT_TRUE(hosttest::exists(file.get<std::string>())) << file;
}

}  // namespace

// A person's files: notes, recordings, subfolders and a plug-in's own file stay; the earlier
// set's files that a run does not write again go.
TEST(OutputFolder, APersonsFilesStayAndOnlyTheEarlierSetGoes) {
  hosttest::ToneFiles tone(48000, 4800);
  const std::string out = tone.dir.file("out");
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.mono, "--keep", "--out", out, "--quiet"}).status,
            0);
  ASSERT_TRUE(hosttest::exists(out + "/waveform.wav"));
  std::ofstream(out + "/notes.txt") << "mine";
  fs::create_directory(out + "/sub");
  fs::copy_file(tone.stereo, out + "/rec.wav");
  // `orvane summary out > summary.csv` typed in a project folder leaves a table there.
  std::ofstream(out + "/summary.csv") << "file\n";
  auto r = runOrvane({"run", "levelmeter", out + "/rec.wav", "--out", out, "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(hosttest::exists(out + "/waveform.wav"));  // not written again
  for (const char* mine : {"/notes.txt", "/sub", "/rec.wav", "/summary.csv"})
    EXPECT_TRUE(hosttest::exists(out + mine)) << mine;
  EXPECT_EQ(reportIn(out)["audio"]["file"], out + "/rec.wav");
  expectReportWhole(out);
  EXPECT_TRUE(hiddenIn(out).empty());

  // `--out .`: the timedelay.txt the analyser appends to stays, and gains a line per run.
  const std::string h1 = tone.dir.file("h1");
  fs::create_directory(h1);
  for (int run = 0; run < 2; ++run) {
    r = runOrvane({"run", "crossanalyser", tone.stereo, "--out", ".", "--quiet"}, h1);
    ASSERT_EQ(r.status, 0) << r.err;
  }
  std::ifstream delays(h1 + "/timedelay.txt");
  EXPECT_EQ(std::count(std::istreambuf_iterator<char>(delays), {}, '\n'), 2);
  EXPECT_TRUE(hosttest::exists(h1 + "/report.json"));

  // A symbolic link as --out stays a link; its target receives the files.
  fs::create_directory_symlink(out, tone.dir.file("link"));
  ASSERT_EQ(
      runOrvane({"run", "levelmeter", tone.mono, "--out", tone.dir.file("link"), "--quiet"}).status,
      0);
  EXPECT_TRUE(fs::is_symlink(tone.dir.file("link")));
  EXPECT_EQ(reportIn(out)["audio"]["file"], tone.mono);
  EXPECT_TRUE(hosttest::exists(out + "/notes.txt"));

  // A preset saved again keeps the mode its owner gave it.
  const std::string preset = tone.dir.file("private.json");
  for (int save = 0; save < 2; ++save) {
    ASSERT_EQ(
        runOrvane({"run", "levelmeter", tone.mono, "--save-preset", preset, "--quiet"}).status, 0);
    if (save == 0) fs::permissions(preset, fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_EQ(fs::status(preset).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

// Failed runs: exit 2, a batch of failures, a Ctrl-C and a refused pair of outputs leave the
// folder byte for byte as it was.
TEST(OutputFolder, ARunThatDoesNotCompleteLeavesItByteForByte) {
  hosttest::ToneFiles tone(48000, 4800);
  const std::string out = tone.dir.file("out");
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.mono, "--out", out, "--quiet"}).status, 0);
  std::ofstream(out + "/x.txt") << "an earlier export";
  const auto before = contentsOf(out);

  // The export's path is answered, then the press fails (2): the earlier x.txt stays.
  auto r = runOrvane({"run", "levelmeter", tone.mono, "--save-as", out + "/x.txt", "--press",
                      "4242", "--out", out, "--quiet"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(contentsOf(out) == before);

  // Two outputs of one run on one path are refused before it runs.
  r = runOrvane({"run", "levelmeter", tone.mono, "--save-preset", out + "/display-1.csv", "--out",
                 out, "--quiet"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(contentsOf(out) == before);

  // A batch whose every file fails (a NaN sample) writes no table of errors.
  std::vector<double> nan(4800, 0.25);
  nan[100] = NAN;
  hosttest::writeWav(tone.dir.file("a.wav"), 1, 48000, nan, true);
  hosttest::writeWav(tone.dir.file("b.wav"), 1, 48000, nan, true);
  r = runOrvane({"run", "levelmeter", tone.dir.file("a.wav"), tone.dir.file("b.wav"), "--out", out,
                 "--quiet"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(contentsOf(out) == before);

  // Ctrl-C while the plug-in measures a long recording: cancelled (3), nothing moved in.
  std::vector<double> minutes(48000 * 120, 1000.0);
  hosttest::writeWav(tone.dir.file("long.wav"), 1, 48000, minutes, false);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string program = std::string(ORVANE_BIN_DIR) + "/orvane";
    freopen("/dev/null", "w", stderr);
    freopen("/dev/null", "w", stdout);
    execl(program.c_str(), program.c_str(), "run", "levelmeter", tone.dir.file("long.wav").c_str(),
          "--keep", "--out", out.c_str(), nullptr);
    _exit(126);
  }
  // Once its staging folder stands, the run is under way.
  int status = 0;
  pid_t ended = 0;
  for (bool running = false; !running && (ended = waitpid(child, &status, WNOHANG)) == 0;) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(out, ec), end; !ec && it != end; it.increment(ec))
      if (it->path().filename().string().rfind(".orvane-stage-", 0) == 0) running = true;
  }
  if (ended == 0) {
    kill(child, SIGINT);
    waitpid(child, &status, 0);
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
  EXPECT_TRUE(contentsOf(out) == before);
}

// Staging: never another's. A planted folder of orvane's name owned by someone else is neither
// used nor removed; a killed run's staging goes only when its process is known to be gone.
TEST(OutputFolder, StagingIsOnlyEverOrvanesOwn) {
  hosttest::ToneFiles tone(48000, 4800);
  const std::string out = tone.dir.file("out");
  fs::create_directories(out);
  auto plant = [&](const std::string& name, const std::string& marker) {
    fs::create_directory(out + "/" + name);
    std::ofstream(out + "/" + name + "/.orvane-owner") << marker << "\n";
    return out + "/" + name;
  };
  // This host, boot and namespace, and a process id that no process has.
  const std::string marker = orvane::processMarker();
  const std::string goneMarker = marker.substr(0, marker.rfind(' ')) + " 999999999";
  const std::string gone = plant(".orvane-stage-Gone01", goneMarker);
  const std::string elsewhere = plant(".orvane-stage-Other1", "another-host x y 999999999");
  const std::string misnamed = plant(".orvane-stage-7", goneMarker);
  const std::string lookalike = plant("a.orvane-stage-Gone02", goneMarker);
  std::ofstream(tone.dir.file("victim.txt")) << "victim";
  std::string planted;
  if (geteuid() == 0) {  // another user's folder, with a link to a victim in it
    planted = plant(".orvane-stage-Nobody", goneMarker);
    fs::create_symlink(tone.dir.file("victim.txt"), planted + "/dialog-100.png");
    std::ofstream(planted + "/.orvane-commit") << "+dialog-100.png\n";
    ASSERT_EQ(chown(planted.c_str(), 65534, 65534), 0);
    fs::permissions(out, fs::perms::all | fs::perms::sticky_bit);
  }
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.mono, "--out", out, "--quiet"}).status, 0);
  EXPECT_FALSE(hosttest::exists(gone));
  for (const std::string& kept : {elsewhere, misnamed, lookalike}) EXPECT_TRUE(fs::exists(kept));
  EXPECT_EQ(readBytes(tone.dir.file("victim.txt")).size(), 6u);
  if (!planted.empty()) {
    EXPECT_TRUE(fs::is_symlink(planted + "/dialog-100.png"));
  }
  expectReportWhole(out);
}

// Durability: a commit cut short is completed by the next run, two runs at once never mix, and
// the folder is flushed after the files are renamed into it.
TEST(OutputFolder, ACommitIsWholeAndFlushed) {
  hosttest::ToneFiles tone(48000, 48000);
  const std::string out = tone.dir.file("out");
  ASSERT_EQ(runOrvane({"run", "levelmeter", tone.stereo, "--keep", "--out", out, "--quiet"}).status,
            0);
  // A run killed after it removed the earlier report and moved its waveform in: the next run
  // completes that commit (its report moves in), then puts its own set in its place.
  const std::string cut = out + "/.orvane-stage-Killed";
  fs::create_directory(cut);
  std::ofstream(cut + "/.orvane-owner") << orvane::processMarker() << "\n";
  std::ofstream(cut + "/report.json") << "{\"files\": []}\n";
  std::ofstream(cut + "/.orvane-commit") << "-report.json\n-waveform.wav\n+report.json\n";
  fs::remove(out + "/report.json");
  auto r = runOrvane({"run", "levelmeter", tone.mono, "--out", out, "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(cut));
  EXPECT_FALSE(hosttest::exists(out + "/waveform.wav"));
  EXPECT_EQ(reportIn(out)["audio"]["file"], tone.mono);

  // Two runs into one folder at once, three rounds: the report and the written-back samples
  // are of one run (mono or stereo, 32-bit floats after a 44-byte-or-more header).
  for (int round = 0; round < 3; ++round) {
    auto mono = std::async(std::launch::async, [&] {
      return runOrvane({"run", "levelmeter", tone.mono, "--keep", "--out", out, "--quiet"});
    });
    auto stereo = runOrvane({"run", "levelmeter", tone.stereo, "--keep", "--out", out, "--quiet"});
    ASSERT_EQ(stereo.status, 0) << stereo.err;
    ASSERT_EQ(mono.get().status, 0);
    const Json report = reportIn(out);
    const auto wav = readBytes(out + "/waveform.wav");
    const size_t samples = 48000u * report["audio"]["channels"].get<size_t>();
    ASSERT_GT(wav.size(), samples * 4);
    EXPECT_EQ(report["audio"]["channels"], wav[22]) << "round " << round;
    EXPECT_LT(wav.size() - samples * 4, 100u) << "round " << round;
    EXPECT_TRUE(hiddenIn(out).empty());
  }

  // The folder's fsync comes after the last rename into it.
  if (system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "no strace";
  const std::string trace = tone.dir.file("trace");
  // The leak checker cannot work under ptrace: it is off for the traced run only.
  const std::string command =
      "ASAN_OPTIONS=${ASAN_OPTIONS}:detect_leaks=0 "
      "strace -f -e trace=rename,renameat,renameat2,fsync,openat -o " +
      trace + " " + ORVANE_BIN_DIR + "/orvane run levelmeter " + tone.mono + " --out " + out +
      " --quiet >/dev/null";
  ASSERT_EQ(system(command.c_str()), 0);
  std::ifstream in(trace);
  std::map<std::string, std::string> openedAs;  // descriptors of the folder
  bool renamedSinceFlush = false, flushedAfterRename = false;
  for (std::string line; std::getline(in, line);) {
    if (line.find("rename") != std::string::npos &&
        line.find(out + "/report.json") != std::string::npos)
      renamedSinceFlush = true;
    if (line.find("openat(") != std::string::npos) {
      const std::string fd = line.substr(line.rfind("= ") + 2);
      if (line.find("\"" + out + "\"") != std::string::npos)
        openedAs[fd] = out;
      else
        openedAs.erase(fd);
    }
    const auto sync = line.find("fsync(");
    if (sync != std::string::npos && renamedSinceFlush) {
      const std::string fd = line.substr(sync + 6, line.find(')', sync) - sync - 6);
      if (openedAs.count(fd)) flushedAfterRename = true;
    }
  }
  EXPECT_TRUE(flushedAfterRename);
}
