// orvane run: one instance of a plug-in on an audio file, from QueryXfm to XfmDestroy, the
// way the host audio editor drives it; then the report and the files.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "host/cli/commands.h"
#include "host/cli/run_file.h"
#include "host/errors.h"
#include "host/person/person.h"
#include "host/pictures/pictures.h"
#include "host/report/clipboard_items.h"
#include "host/report/output_files.h"
#include "host/report/output_set.h"
#include "host/report/preset.h"
#include "host/report/report.h"
#include "host/report/summary.h"
#include "host/session/audio.h"
#include "host/session/folder_watch.h"
#include "host/session/interrupt.h"
#include "host/session/plugin.h"
#include "host/session/session.h"
#include "host/system/files.h"
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

// --save-preset is checked before the run, as --out is: a preset that cannot be written would
// otherwise be found out only after the plug-in ran. A path under the output folder is made
// with the run's outputs.
void checkPresetPath(const std::string& path, const OutputSet* set) {
  if (set && set->staged(path) != path) return;
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw badInput(path + ": is a directory, not a preset file");
  const fs::path parent = fs::path(path).parent_path();
  const std::string where = parent.empty() ? "." : parent.string();
  if (!fs::is_directory(where, ec)) {
    throw badInput("cannot save the preset " + path + ": no folder " + where);
  }
  const std::string probe =
      (fs::path(where) / (".orvane-" + std::to_string(currentProcessId()) + ".probe")).string();
  std::FILE* f = std::fopen(probe.c_str(), "wb");
  if (!f) throw badInput("cannot save the preset " + path + ": " + std::strerror(errno));
  std::fclose(f);
  fs::remove(probe, ec);
}

// A batch's status: the first failure's, else kExitNotCompleted when a run did not complete.
int batchStatus(const std::vector<int>& statuses) {
  int status = kExitOk;
  for (int s : statuses) {
    if (s == kExitOk) continue;
    if (s != kExitNotCompleted) return s;
    status = s;
  }
  return status;
}

}  // namespace

int runCommand(const RunOptions& o, std::ostream& out) {
  runForAPerson();
  // Everything a person could have got wrong is checked before the plug-in runs (the output
  // folder when its set is begun).
  const std::vector<std::string> files =
      o.audioFiles.empty() ? std::vector<std::string>{o.audioFile} : o.audioFiles;
  for (const auto& file : files) checkedSelection(o, probeAudio(file));
  std::unique_ptr<Plugin> plugin = Plugin::load(resolvePlugin(o.plugin));
  std::vector<unsigned char> preset;
  if (o.preset) preset = loadPreset(*o.preset, plugin->info());
  std::optional<OutputSet> set;
  if (o.outDir) set.emplace(*o.outDir);
  if (o.savePreset) checkPresetPath(*o.savePreset, set ? &*set : nullptr);

  if (files.size() == 1) {
    RunOutcome run =
        runFile(o, *plugin, files[0], set ? &*set : nullptr, set ? set->target() : "", preset);
    if (set) set->commit();
    out << (o.json ? dumpJson(run.report) + "\n" : renderRunText(run.report, run.assessmentText));
    out.flush();
    return run.status;
  }

  // A file that fails does not end the batch: it gets a row that says why, and the others run.
  std::vector<std::string> folders;
  if (set) folders = batchFolders(set->target(), files);
  SummaryTable summary;
  Json runs = Json::array();
  std::vector<int> statuses;
  for (size_t i = 0; i < files.size(); ++i) {
    if (!o.quiet) std::cerr << "[" << i + 1 << "/" << files.size() << "] " << files[i] << "\n";
    try {
      RunOutcome run =
          runFile(o, *plugin, files[i], set ? &*set : nullptr, set ? folders[i] : "", preset);
      runs.push_back(run.report);
      statuses.push_back(run.status);
      summary.add(files[i], summaryFieldsOfReport(run.report), run.problem);
    } catch (const HostError& e) {
      std::cerr << "orvane: " << e.what() << "\n";
      if (set) {
        std::error_code ec;
        fs::remove_all(set->staged(folders[i]), ec);  // nothing half-made stays
      }
      runs.push_back(
          {{"audio", {{"file", files[i]}}}, {"error", e.what()}, {"status", e.status()}});
      statuses.push_back(e.status());
      summary.add(files[i], {}, e.what());
    }
  }
  std::vector<std::string> written;
  if (set) {
    written.push_back((fs::path(set->target()) / "summary.csv").string());
    writeTextFile(set->staged(written.back()), summary.csv());
    set->commit();
  }
  if (o.json) {
    Json batch = {{"runs", runs}, {"summary", summary.json()}, {"files", written}};
    out << dumpJson(batch) << "\n";
  } else {
    out << summary.csv();
    for (const auto& path : written) out << "Summary written to " << path << "\n";
  }
  out.flush();
  const int status = batchStatus(statuses);
  if (status != kExitOk && files.size() > 1) {
    const long failed = std::count_if(statuses.begin(), statuses.end(),
                                      [](int s) { return s != kExitOk && s != kExitNotCompleted; });
    if (failed > 0)
      std::cerr << "orvane: " << failed << " of " << files.size()
                << " files failed; their rows say why\n";
  }
  return status;
}

}  // namespace orvane
