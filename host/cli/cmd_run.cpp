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
#include <system_error>

#include "host/cli/batch_folders.h"
#include "host/cli/calibration.h"
#include "host/cli/commands.h"
#include "host/cli/run_file.h"
#include "host/errors.h"
#include "host/person/person.h"
#include "host/pictures/pictures.h"
#include "host/report/clipboard_items.h"
#include "host/report/output_names.h"
#include "host/report/output_set.h"
#include "host/report/preset.h"
#include "host/report/report.h"
#include "host/report/summary.h"
#include "host/session/audio.h"
#include "host/session/folder_watch.h"
#include "host/session/interrupt.h"
#include "host/session/plugin.h"
#include "host/session/session.h"
#include "host/system/file_writing.h"
#include "host/system/files.h"
#include "host/system/system.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

// A folder made there and removed at once shows that a preset can be saved beside it.
constexpr char kWritableProbe[] = ".orvane-probe-";

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
  std::string made;
  const std::string reason = makePrivateFolder(where, kWritableProbe, &made);
  if (!reason.empty()) throw badInput("cannot save the preset " + path + ": " + reason);
  fs::remove(made, ec);
}

// Two outputs of one run on one path would leave one of them and lose the other: --save-preset
// and --save-as on one file, or either on a name the run itself writes into its output folder.
void checkOutputsApart(const RunOptions& o, const OutputSet* set) {
  auto same = [](const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
  };
  if (o.savePreset && o.saveAs && same(*o.savePreset, *o.saveAs))
    throw badInput("--save-preset and --save-as name one file, " + *o.saveAs +
                   ": give each its own, nothing was run");
  if (!set) return;
  const fs::path target = fs::absolute(set->target()).lexically_normal();
  for (const auto* path : {&o.savePreset, &o.saveAs}) {
    if (!*path) continue;
    const fs::path inside = fs::absolute(**path).lexically_normal().lexically_relative(target);
    if (inside.has_parent_path() || inside.empty()) continue;  // not at the folder's top
    if (isRunOutputName(inside.string()))
      throw badInput(**path + ": the run writes a file of this name into " + set->target() +
                     " itself; give another name, nothing was run");
  }
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
  // A Ctrl-C outside the plug-in's run leaves the output folder as it was, or lets a commit
  // that has begun end.
  InterruptsNoted interrupts;
  // Everything a person could have got wrong is checked before the plug-in runs (the output
  // folder when its set is begun).
  const std::vector<std::string> files =
      o.audioFiles.empty() ? std::vector<std::string>{o.audioFile} : o.audioFiles;
  // In a batch, a file that exists but cannot be opened as a recording (a cut header, an
  // empty file, text, a pipe) gets its row when its turn comes.
  for (const auto& file : files) {
    std::error_code ec;
    if (files.size() > 1 && fs::exists(file, ec)) {
      try {
        probeAudio(file);
      } catch (const HostError&) {
        continue;
      }
    }
    checkedSelection(o, probeAudio(file));
  }
  std::unique_ptr<Plugin> plugin = Plugin::load(resolvePlugin(o.plugin));
  std::vector<unsigned char> preset;
  if (o.preset) preset = loadPreset(*o.preset, plugin->info());
  // With --calibrate the tone is measured first; each file then runs with its full scale.
  std::optional<MeterCalibration> calibration;
  if (o.calibrate) calibration = calibrateFromTone(o, *plugin);
  std::vector<RunOptions> options(files.size(), o);
  for (size_t i = 0; calibration && i < files.size(); ++i) {
    const Audio audio = probeAudio(files[i]);
    options[i] = calibratedOptions(o, *plugin, *calibration, audio.channels, audio.sampleRate);
  }
  const Json calibrated = calibration ? calibrationJson(*calibration) : Json();
  std::optional<OutputSet> set;
  if (o.outDir) set.emplace(*o.outDir);
  if (o.savePreset) checkPresetPath(*o.savePreset, set ? &*set : nullptr);
  checkOutputsApart(o, set ? &*set : nullptr);

  if (files.size() == 1) {
    RunOutcome run = runFile(options[0], *plugin, files[0], set ? &*set : nullptr,
                             set ? set->target() : "", preset, calibrated);
    if (interrupts.came() && run.status == kExitOk) {
      run.status = kExitNotCompleted;
      std::cerr << "orvane: interrupted (Ctrl-C)\n";
    }
    if (set && run.status == kExitOk) set->commit();
    if (set && run.status != kExitOk)
      std::cerr << "orvane: the run did not complete: nothing was written to " << set->target()
                << "\n";
    out << (o.json ? dumpJson(run.report) + "\n"
                   : renderRunText(run.report, run.assessmentText, o.details));
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
      RunOutcome run = runFile(options[i], *plugin, files[i], set ? &*set : nullptr,
                               set ? folders[i] : "", preset, calibrated);
      runs.push_back(run.report);
      statuses.push_back(run.status);
      summary.add(files[i], summaryFieldsOfReport(run.report), run.problem);
      // Only what completed joins the set; the row of a run that did not says why.
      if (set && run.status != kExitOk) set->drop(folders[i]);
    } catch (const HostError& e) {
      std::cerr << "orvane: " << e.what() << "\n";
      if (set) set->drop(folders[i]);  // nothing half-made stays
      runs.push_back(
          {{"audio", {{"file", files[i]}}}, {"error", e.what()}, {"status", e.status()}});
      statuses.push_back(e.status());
      summary.add(files[i], {}, e.what());
    }
  }
  std::vector<std::string> written;
  const bool anyCompleted = std::find(statuses.begin(), statuses.end(), kExitOk) != statuses.end();
  if (set && anyCompleted && !interrupts.came()) {
    written.push_back((fs::path(set->target()) / "summary.csv").string());
    writeTextFile(set->staged(written.back()), summary.csv());
    set->commit();
  } else if (set) {
    std::cerr << "orvane: " << (interrupts.came() ? "interrupted (Ctrl-C)" : "no file completed")
              << ": nothing was written to " << set->target() << "\n";
    if (interrupts.came()) statuses.push_back(kExitNotCompleted);
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
