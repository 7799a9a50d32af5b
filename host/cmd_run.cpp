// orvane run: one instance of a plug-in on an audio file, from QueryXfm to XfmDestroy, the
// way the host audio editor drives it; then the report and the files.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <system_error>

#include "host/audio.h"
#include "host/clipboard_items.h"
#include "host/commands.h"
#include "host/errors.h"
#include "host/folder_watch.h"
#include "host/interrupt.h"
#include "host/output_files.h"
#include "host/person.h"
#include "host/plugin.h"
#include "host/pictures.h"
#include "host/preset.h"
#include "host/report.h"
#include "host/session.h"
#include "host/summary.h"
#include "host/system.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

std::string selectionText(const Selection& s) {
  return std::to_string(s.first) + ":" + std::to_string(s.last);
}

Selection checkedSelection(const RunOptions& o, const Audio& audio) {
  Selection s = o.select.value_or(Selection{0, audio.frames - 1});
  if (s.last < s.first) {
    throw badInput("empty selection " + selectionText(s) + ": LAST comes before FIRST");
  }
  if (s.first < 0 || s.last >= audio.frames) {
    throw badInput("selection " + selectionText(s) + " lies outside " + audio.path +
                   " (frames 0 to " + std::to_string(audio.frames - 1) + ")");
  }
  return s;
}

// Where each output goes: decided before the report is built, so the report names them.
struct OutputPlan {
  std::string directory;
  std::string waveform;
  std::map<int, std::string> displays;    // display number -> CSV
  std::vector<std::string> pictures;      // display and dialog pictures
  std::vector<ClipboardFiles> clipboard;  // per transfer, full paths (empty: not kept)
  std::string preset;
  std::string report;
  std::vector<std::string> files;  // in the order they are written
};

OutputPlan planOutputs(const RunOptions& o, const Audio& audio, const DisplayBoard& displays,
                       const std::vector<DialogRecord>& dialogs,
                       const std::vector<ClipboardItem>& clipboard,
                       const std::vector<WaveImage>& images) {
  OutputPlan plan;
  if (o.outDir) {
    fs::path dir(*o.outDir);
    plan.directory = *o.outDir;
    if (audio.written) plan.waveform = (dir / "waveform.wav").string();
    for (const auto& d : displays.all()) {
      if (!d->curves.empty()) {
        plan.displays[d->number] =
            (dir / ("display-" + std::to_string(d->number) + ".csv")).string();
      }
    }
    const std::vector<ClipboardFiles> names = clipboardFileNames(clipboard);
    for (size_t i = 0; i < names.size(); ++i) {
      ClipboardFiles f;
      // A WAVE image the host cannot read is kept as it came, without the float WAV.
      if (!names[i].file.empty() && (clipboard[i].format != CF_WAVE || images[i].valid))
        f.file = (dir / names[i].file).string();
      if (!names[i].image.empty()) f.image = (dir / names[i].image).string();
      plan.clipboard.push_back(f);
    }
    plan.pictures = picturePaths(*o.outDir, displays, dialogs);
    plan.report = (dir / "report.json").string();
  }
  if (o.savePreset) plan.preset = *o.savePreset;
  if (!plan.waveform.empty()) plan.files.push_back(plan.waveform);
  for (const auto& [n, path] : plan.displays) plan.files.push_back(path);
  plan.files.insert(plan.files.end(), plan.pictures.begin(), plan.pictures.end());
  for (const ClipboardFiles& f : plan.clipboard) {
    if (!f.image.empty()) plan.files.push_back(f.image);
    if (!f.file.empty()) plan.files.push_back(f.file);
  }
  if (!plan.preset.empty()) plan.files.push_back(plan.preset);
  if (!plan.report.empty()) plan.files.push_back(plan.report);
  return plan;
}

// The settings were not confirmed (XfmSetup returned `result`, not 1), so the plug-in did not
// run: the message boxes the settings dialog showed say why, or else the result does.
std::string settingsRefusal(int result, const std::vector<MessageRecord>& messages, size_t from) {
  std::string shown;
  for (size_t i = from; i < messages.size(); ++i) {
    std::string text = messages[i].text;
    for (char& c : text)
      if (c == '\n') c = ' ';
    shown += (shown.empty() ? "" : "; ") + ("\"" + messages[i].caption + "\": " + text);
  }
  if (!shown.empty()) return "the settings were refused, nothing was run: " + shown;
  return "XfmSetup returned " + std::to_string(result) +
         ": the settings dialog was not confirmed (or could not be shown), nothing was run";
}

// One audio file through one instance, from QueryXfm's answers (already in `plugin`) to
// XfmDestroy; writes the file's outputs into `outDir` (none when empty) and returns the
// report. `dialogs` gets the dialogs as they ended.
Json runFile(const RunOptions& o, Plugin& plugin, const std::string& audioFile,
             const std::string& outDir, const std::vector<unsigned char>& preset,
             std::vector<DialogRecord>* dialogs) {
  Audio audio = streamAudio(audioFile);
  Selection selection = checkedSelection(o, audio);
  // What the plug-in writes back goes into the output waveform as it comes.
  if (!outDir.empty()) {
    audio.writeBack =
        std::make_shared<WaveformWriter>(audioFile, (fs::path(outDir) / "waveform.wav").string(),
                                         audio.channels, audio.sampleRate, audio.frames);
  }

  clipboardClear();
  struct ClipboardHold {
    bool held;
    explicit ClipboardHold(bool h) : held(h) { holdClipboard(held); }
    ~ClipboardHold() {
      if (held) holdClipboard(false);
    }
  } clipboardHold(o.clipboardBusy);
  SessionSetup setup;
  setup.channels = audio.channels;
  setup.sampleRate = audio.sampleRate;
  setup.selFirst = selection.first;
  setup.selLast = selection.last;
  setup.autoConfirm = o.autoConfirm;
  setup.showProgress = !o.quiet;
  setup.terminal = stderrIsTerminal();
  Session session(plugin, &audio, setup);

  PersonScript script;
  script.settings = o.sets;
  script.presses = o.presses;
  script.keep = o.keep;
  script.saveAs = o.saveAs;
  script.saveType = o.saveType;
  Person person(script, &session.displays());
  person.install();

  std::string refusal;  // why the run did not happen after the settings dialog
  // What the plug-in writes into the current folder is listed among the files written. The
  // system's save dialog may move the process into the folder it saved in; the host goes back
  // to its own afterwards, so that relative paths (--out) keep meaning what the person typed.
  std::error_code ec;
  const fs::path folder = fs::current_path(ec);
  const FolderSnapshot folderBefore = snapshotFolder(folder.string());
  if (session.init() != 0) {
    if (!preset.empty() && !session.loadBlock(preset)) {
      throw failure("cannot lock the parameter block to load " + *o.preset);
    }
    CancelOnInterrupt interrupt(session.cancelFlagAddress());
    const size_t shownBefore = person.log().messages.size();
    const int confirmed = session.setup();
    if (confirmed == 1 && person.log().error.empty())
      session.run();
    else if (person.log().error.empty())
      refusal = settingsRefusal(confirmed, person.log().messages, shownBefore);
  }
  session.destroy();
  if (!ec && fs::current_path(ec) != folder) fs::current_path(folder, ec);
  const std::vector<std::string> pluginFiles =
      changedFiles(folderBefore, snapshotFolder(folder.string()));
  person.finish();
  if (!person.log().error.empty()) throw badInput(person.log().error);
  if (!refusal.empty()) throw badInput(refusal);
  if (const auto& bad = audio.stream->badSample()) {
    throw badInput(audioFile + ": frame " + std::to_string(bad->frame) + ", channel " +
                   std::to_string(bad->channel) + " holds " +
                   (std::isnan(bad->value) ? "a NaN" : "an infinite value") +
                   ", not a sample of sound: the run was ended and nothing was measured");
  }
  if (!session.audioProblem().empty()) throw badInput(session.audioProblem());

  std::vector<std::string> warnings = person.log().warnings;
  for (std::string& note : takeSystemNotes()) warnings.push_back(std::move(note));
  if (o.saveType && !o.saveAs) warnings.push_back("--save-type without --save-as has no effect");
  int blockLocks = blockLockCount(session.block());
  std::vector<unsigned char> block = session.blockBytes();
  session.releaseBlock();
  if (o.savePreset && block.empty()) {
    throw failure("cannot lock the parameter block to save " + *o.savePreset);
  }
  MemoryState memory = memoryState();
  const std::vector<ClipboardItem> clipboard = clipboardTransfers();
  std::vector<WaveImage> images;
  for (const ClipboardItem& item : clipboard) {
    images.push_back(item.format == CF_WAVE ? decodeWaveImage(item.bytes) : WaveImage{});
    const WaveImage& w = images.back();
    if (item.format != CF_WAVE) continue;
    if (!w.valid) warnings.push_back("clipboard WAVE image: " + w.problem);
    if (!w.shortfall.empty()) warnings.push_back("clipboard WAVE image: " + w.shortfall);
  }
  RunOptions where = o;
  where.outDir = outDir.empty() ? std::nullopt : std::optional<std::string>(outDir);
  OutputPlan plan =
      planOutputs(where, audio, session.displays(), person.log().dialogs, clipboard, images);
  plan.files.insert(plan.files.begin(), pluginFiles.begin(), pluginFiles.end());

  CallResults calls = session.calls();
  calls.queryXfm = plugin.info().queryResult;
  DecodedBlock decoded = decodeBlock(block, plugin.info().paramTypes);
  if (!decoded.problem.empty()) warnings.push_back("parameter block: " + decoded.problem);

  Json report;
  report["plugin"] = pluginJson(plugin);
  report["audio"] = audioJson(audio);
  report["selection"] = selectionJson(selection.first, selection.last, audio.sampleRate);
  report["calls"] = callsJson(calls);
  report["cancelled"] = session.cancelFlag() != 0;
  report["messages"] = messagesJson(person.log().messages);
  report["dialogs"] = dialogsJson(person.log().dialogs);
  report["block"] = blockJson(decoded);
  report["clipboard"] = clipboardJson(clipboard, images, plan.clipboard);
  report["files"] = plan.files;
  report["help"] = helpJson(person.log().help);
  report["beeps"] = person.log().beeps;
  report["saveDialogs"] = saveDialogsJson(person.log().saveDialogs);
  report["progress"] = progressJson(session.progress().phases());
  report["dialogInit"] = session.dialogInits();
  report["displays"] = displaysJson(session.displays(), plan.displays);
  report["samples"] = samplesJson(session.samples());
  report["memory"] = {{"parameterBlockLocks", blockLocks},
                      {"liveBlocks", memory.liveBlocks},
                      {"lockedBlocks", memory.lockedBlocks}};
  report["warnings"] = warnings;

  if (!plan.directory.empty()) makeDirectory(plan.directory);
  if (!plan.waveform.empty()) audio.writeBack->finish();
  for (const auto& d : session.displays().all()) {
    auto path = plan.displays.find(d->number);
    if (path != plan.displays.end()) writeTextFile(path->second, displayCsv(*d));
  }
  if (!plan.directory.empty())
    writePictures(plan.directory, session.displays(), person.log().dialogs);
  for (size_t i = 0; i < plan.clipboard.size(); ++i) {
    const ClipboardFiles& f = plan.clipboard[i];
    if (!f.image.empty()) writeBinaryFile(f.image, clipboard[i].bytes);
    if (f.file.empty()) continue;
    if (clipboard[i].format == CF_TEXT)
      writeTextFile(f.file, clipboardText(clipboard[i]));
    else
      writeWaveform(f.file, waveImageAudio(images[i]));
  }
  if (!plan.preset.empty()) savePreset(plan.preset, block, plugin.info());
  if (!plan.report.empty()) writeTextFile(plan.report, dumpJson(report) + "\n");

  for (const auto& w : warnings) std::cerr << "orvane: warning: " << w << "\n";
  if (dialogs != nullptr) *dialogs = person.log().dialogs;
  return report;
}

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
