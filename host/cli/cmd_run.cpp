// orvane run: one instance of a plug-in on an audio file, from QueryXfm to XfmDestroy, the
// way the host audio editor drives it; then the report and the files.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <system_error>

#include "host/cli/commands.h"
#include "host/cli/run_file.h"
#include "host/errors.h"
#include "host/person/person.h"
#include "host/pictures/pictures.h"
#include "host/report/clipboard_items.h"
#include "host/report/output_files.h"
#include "host/report/preset.h"
#include "host/report/report.h"
#include "host/report/summary.h"
#include "host/session/audio.h"
#include "host/session/folder_watch.h"
#include "host/session/interrupt.h"
#include "host/session/plugin.h"
#include "host/session/session.h"
#include "host/system/system.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

// One folder per file under the batch's folder, named after the file; names that repeat get
// "-2", "-3", ... so no run overwrites another.
std::vector<std::string> batchFolders(const std::string& outDir,
                                      const std::vector<std::string>& files) {
  std::vector<std::string> folders;
  std::set<std::string> used;
  for (const auto& file : files) {
    std::string stem = fs::path(file).stem().string();
    if (stem.empty()) stem = "run";
    std::string name = stem;
    for (int n = 2; used.count(name) != 0; ++n) name = stem + "-" + std::to_string(n);
    used.insert(name);
    folders.push_back((fs::path(outDir) / name).string());
  }
  return folders;
}

// kExitNotCompleted when a plug-in's run did not complete (XfmDo returned something else than
// 0: its message box said why, out of memory say, or the person cancelled), each one named.
int completionStatus(const Json& runs) {
  int status = kExitOk;
  for (const Json& r : runs) {
    const Json& done = r["calls"]["XfmDo"];
    if (!done.is_number_integer() || done.get<int>() == 0) continue;
    std::cerr << "orvane: " << r["audio"]["file"].get<std::string>()
              << ": the plug-in did not complete its run (XfmDo returned " << done.get<int>()
              << ")\n";
    status = kExitNotCompleted;
  }
  return status;
}

}  // namespace

int runCommand(const RunOptions& o, std::ostream& out) {
  runForAPerson();
  // Everything a person could have got wrong is checked before the plug-in runs.
  if (o.outDir) {
    std::error_code ec;
    if (fs::exists(*o.outDir, ec) && !fs::is_directory(*o.outDir, ec)) {
      throw badInput(*o.outDir + ": exists and is not a directory");
    }
  }
  const std::vector<std::string> files =
      o.audioFiles.empty() ? std::vector<std::string>{o.audioFile} : o.audioFiles;
  for (const auto& file : files) checkedSelection(o, probeAudio(file));
  std::unique_ptr<Plugin> plugin = Plugin::load(resolvePlugin(o.plugin));
  std::vector<unsigned char> preset;
  if (o.preset) preset = loadPreset(*o.preset, plugin->info());

  if (files.size() == 1) {
    Json report = runFile(o, *plugin, files[0], o.outDir.value_or(""), preset, nullptr);
    out << (o.json ? dumpJson(report) + "\n" : renderRunText(report));
    out.flush();
    return completionStatus(Json::array({report}));
  }

  std::vector<std::string> folders;
  if (o.outDir) folders = batchFolders(*o.outDir, files);
  SummaryTable summary;
  Json runs = Json::array();
  for (size_t i = 0; i < files.size(); ++i) {
    if (!o.quiet) std::cerr << "[" << i + 1 << "/" << files.size() << "] " << files[i] << "\n";
    std::vector<DialogRecord> dialogs;
    runs.push_back(runFile(o, *plugin, files[i], o.outDir ? folders[i] : "", preset, &dialogs));
    summary.add(files[i], summaryFields(dialogs));
  }
  std::vector<std::string> written;
  if (o.outDir) {
    makeDirectory(*o.outDir);
    written.push_back((fs::path(*o.outDir) / "summary.csv").string());
    writeTextFile(written.back(), summary.csv());
  }
  if (o.json) {
    Json batch = {{"runs", runs}, {"summary", summary.json()}, {"files", written}};
    out << dumpJson(batch) << "\n";
  } else {
    out << summary.csv();
    for (const auto& path : written) out << "Summary written to " << path << "\n";
  }
  out.flush();
  return completionStatus(runs);
}

}  // namespace orvane
