// One audio file through one instance of a plug-in: the recording opened, the instance driven
// from XfmInit to XfmDestroy with the person in its dialogs, then the report and the files.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <system_error>

#include "host/cli/run_file.h"

#include "host/assess/assessment_pictures.h"
#include "host/cli/run_assessment.h"
#include "host/errors.h"
#include "host/person/person.h"
#include "host/pictures/pictures.h"
#include "host/report/clipboard_items.h"
#include "host/report/named_results.h"
#include "host/system/file_writing.h"
#include "host/report/output_set.h"
#include "host/report/preset.h"
#include "host/report/report.h"
#include "host/report/summary.h"
#include "host/report/wave_pictures.h"
#include "host/session/audio.h"
#include "host/session/folder_watch.h"
#include "host/session/interrupt.h"
#include "host/session/plugin.h"
#include "host/session/session.h"
#include "host/system/system.h"

namespace fs = std::filesystem;

namespace orvane {

namespace {

std::string selectionText(const Selection& s) {
  return std::to_string(s.first) + ":" + std::to_string(s.last);
}

}  // namespace

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

namespace {

// Where each output goes: decided before the report is built, so the report names them.
struct OutputPlan {
  std::string directory;
  std::string waveform;
  std::map<int, std::string> displays;    // display number -> CSV
  std::vector<std::string> pictures;      // display and dialog pictures
  std::vector<ClipboardFiles> clipboard;  // per transfer, full paths (empty: not kept)
  std::vector<std::string> wavePictures;  // per transfer, its waveform's picture ("" none)
  std::string designRecord;               // the assessed design's record beside its filter's WAV
  std::string preset;
  std::string report;
  std::vector<std::string> files;  // in the order they are written
};

OutputPlan planOutputs(const RunOptions& o, const Audio& audio, const DisplayBoard& displays,
                       const std::vector<DialogRecord>& dialogs,
                       const std::vector<ClipboardItem>& clipboard,
                       const std::vector<WaveImage>& images,
                       const std::optional<Assessment>& assessment) {
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
      if (assessment && assessment->design && clipboard[i].format == CF_WAVE && !f.file.empty())
        plan.designRecord = designRecordPathFor(f.file);
    }
    plan.wavePictures = wavePicturePaths(plan.clipboard, images);
    plan.pictures = picturePaths(*o.outDir, displays, dialogs);
    if (assessment) {
      const auto judged = assessmentPicturePaths(*o.outDir, *assessment);
      plan.pictures.insert(plan.pictures.end(), judged.begin(), judged.end());
    }
    plan.report = (dir / "report.json").string();
  }
  if (o.savePreset) plan.preset = *o.savePreset;
  if (!plan.waveform.empty()) plan.files.push_back(plan.waveform);
  for (const auto& [n, path] : plan.displays) plan.files.push_back(path);
  plan.files.insert(plan.files.end(), plan.pictures.begin(), plan.pictures.end());
  for (size_t i = 0; i < plan.clipboard.size(); ++i) {
    const ClipboardFiles& f = plan.clipboard[i];
    if (!f.image.empty()) plan.files.push_back(f.image);
    if (!f.file.empty()) plan.files.push_back(f.file);
    if (i < plan.wavePictures.size() && !plan.wavePictures[i].empty())
      plan.files.push_back(plan.wavePictures[i]);
  }
  if (!plan.designRecord.empty()) plan.files.push_back(plan.designRecord);
  if (!plan.preset.empty()) plan.files.push_back(plan.preset);
  if (!plan.report.empty()) plan.files.push_back(plan.report);
  return plan;
}

// What the plug-in says of its display, for its pictures.
DisplayNames displayNamesOf(const PublishedResults& table) {
  DisplayNames names;
  for (const PublishedCurveName& c : table.curveNames)
    names.curves.push_back({c.curve, c.colour, c.name});
  names.xUnit = table.xUnit;
  names.yUnit = table.yUnit;
  return names;
}

// Message boxes from `from` on (only those with the error icon when `errorsOnly`), each as
// "caption": text on one line, joined by "; ".
std::string shownMessages(const std::vector<MessageRecord>& messages, size_t from,
                          bool errorsOnly) {
  std::string shown;
  for (size_t i = from; i < messages.size(); ++i) {
    if (errorsOnly && messages[i].icon != "error") continue;
    std::string text = messages[i].text;
    for (char& c : text)
      if (c == '\n') c = ' ';
    shown += (shown.empty() ? "" : "; ") + ("\"" + messages[i].caption + "\": " + text);
  }
  return shown;
}

// The settings were not confirmed (XfmSetup returned `result`, not 1), so the plug-in did not
// run: the message boxes the settings dialog showed say why, or else the result does.
std::string settingsRefusal(int result, const std::vector<MessageRecord>& messages, size_t from) {
  const std::string shown = shownMessages(messages, from, false);
  if (!shown.empty()) return "the settings were refused, nothing was run: " + shown;
  return "XfmSetup returned " + std::to_string(result) +
         ": the settings dialog was not confirmed (or could not be shown), nothing was run";
}

// Holds the clipboard for "another program" while a run goes on (--clipboard-busy).
struct ClipboardHold {
  bool held;
  explicit ClipboardHold(bool h) : held(h) { holdClipboard(held); }
  ~ClipboardHold() {
    if (held) holdClipboard(false);
  }
  ClipboardHold(const ClipboardHold&) = delete;
  ClipboardHold& operator=(const ClipboardHold&) = delete;
};

// The recording of a run, read from its file as the plug-in asks; what the plug-in writes back
// goes into the output waveform as it comes, made in the output set's staging folder.
Audio openRecording(const std::string& audioFile, const std::string& folder, const OutputSet* set) {
  Audio audio = streamAudio(audioFile);
  if (set) {
    const std::string waveform = (fs::path(folder) / "waveform.wav").string();
    audio.writeBack = std::make_shared<WaveformWriter>(
        audioFile, set->staged(waveform), audio.channels, audio.sampleRate, audio.frames, waveform);
  }
  return audio;
}

SessionSetup sessionSetupOf(const RunOptions& o, const Audio& audio, const Selection& selection) {
  SessionSetup setup;
  setup.channels = audio.channels;
  setup.sampleRate = audio.sampleRate;
  setup.selFirst = selection.first;
  setup.selLast = selection.last;
  setup.autoConfirm = o.autoConfirm;
  setup.showProgress = !o.quiet;
  setup.terminal = stderrIsTerminal();
  return setup;
}

// An export saved into the output folder is made in the set's staging folder, as every other
// output is, and joins the set at its commit.
PersonScript personScriptOf(const RunOptions& o, const OutputSet* set) {
  PersonScript script;
  script.settings = o.sets;
  script.presses = o.presses;
  script.keep = o.keep;
  script.saveAs = o.saveAs;
  if (set && o.saveAs && set->staged(*o.saveAs) != *o.saveAs) {
    // A subfolder the person names that does not exist stays missing, and the export fails
    // there as it would for a person; the output folder itself is made for the run.
    std::string parent = fs::path(*o.saveAs).parent_path().string();
    if (parent.empty()) parent = ".";
    std::error_code ec;
    if (set->staged(parent) == set->staged(set->target()) || fs::is_directory(parent, ec)) {
      script.saveAsMadeAt = set->staged(*o.saveAs);
      makeDirectory(fs::path(*script.saveAsMadeAt).parent_path().string());
    }
  }
  script.saveType = o.saveType;
  return script;
}

// Every occurrence of `from` in the strings of `j` made `to`.
void replaceInStrings(Json& j, const std::string& from, const std::string& to) {
  if (j.is_string()) {
    std::string text = j.get<std::string>();
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
    j = text;
  } else if (j.is_structured()) {
    for (Json& item : j) replaceInStrings(item, from, to);
  }
}

// What the instance's life left beside its report.
struct DriveOutcome {
  std::vector<std::string> pluginFiles;  // what the plug-in wrote into the current folder
  size_t runMessagesFrom = 0;            // the first message box XfmDo showed
  bool interrupted = false;              // Ctrl-C came while the plug-in had the run
};

// The instance's life from XfmInit to XfmDestroy, the person acting in its dialogs. Throws
// HostError when the run must not be reported: the person could not do their part, the
// settings were refused, or the recording could not be served as sound (kExitBadInput), or
// the written-back waveform could not be written (kExitFailure).
DriveOutcome driveInstance(const RunOptions& o, const std::vector<unsigned char>& preset,
                           Session& session, Person& person, const Audio& audio) {
  DriveOutcome outcome;
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
    outcome.runMessagesFrom = person.log().messages.size();
    if (confirmed == 1 && person.log().error.empty())
      session.run();
    else if (person.log().error.empty())
      refusal = settingsRefusal(confirmed, person.log().messages, shownBefore);
    outcome.interrupted = interrupt.interrupted();
  }
  session.destroy();
  if (!ec && fs::current_path(ec) != folder) fs::current_path(folder, ec);
  outcome.pluginFiles = changedFiles(folderBefore, snapshotFolder(folder.string()));
  person.finish();
  if (!person.log().error.empty()) throw badInput(person.log().error);
  if (!refusal.empty()) throw badInput(refusal);
  if (const auto& bad = audio.stream->badSample()) {
    throw badInput(audio.path + ": frame " + std::to_string(bad->frame) + ", channel " +
                   std::to_string(bad->channel) + " holds " +
                   (std::isnan(bad->value) ? "a NaN" : "an infinite value") +
                   ", not a sample of sound: the run was ended and nothing was measured");
  }
  if (!session.audioProblem().empty()) {
    if (session.audioWriteFailed()) throw failure(session.audioProblem());
    throw badInput(session.audioProblem());
  }
  return outcome;
}

// What an ended instance leaves for the report and the files.
struct RunFacts {
  std::vector<std::string> warnings;
  int blockLocks = 0;
  std::vector<unsigned char> block;  // the parameter block's bytes after XfmDestroy
  MemoryState memory{};
  std::vector<ClipboardItem> clipboard;  // every transfer, in order
  std::vector<WaveImage> images;         // parallel to clipboard; WAVE images decoded
  CallResults calls;
  DecodedBlock decoded;
};

RunFacts gatherFacts(const RunOptions& o, const Plugin& plugin, Session& session,
                     const Person& person) {
  RunFacts f;
  f.warnings = person.log().warnings;
  if (session.samples().monoAsStereo) f.warnings.push_back(kMonoAsStereoWarning);
  if (!session.audio()->cut.empty()) f.warnings.push_back(session.audio()->cut);
  for (std::string& note : takeSystemNotes()) f.warnings.push_back(std::move(note));
  if (o.saveType && !o.saveAs) f.warnings.push_back("--save-type without --save-as has no effect");
  f.blockLocks = blockLockCount(session.block());
  f.block = session.blockBytes();
  session.releaseBlock();
  if (o.savePreset && f.block.empty()) {
    throw failure("cannot lock the parameter block to save " + *o.savePreset);
  }
  f.memory = memoryState();
  f.clipboard = clipboardTransfers();
  for (const ClipboardItem& item : f.clipboard) {
    f.images.push_back(item.format == CF_WAVE ? decodeWaveImage(item.bytes) : WaveImage{});
    const WaveImage& w = f.images.back();
    if (item.format != CF_WAVE) continue;
    if (!w.valid) f.warnings.push_back("clipboard WAVE image: " + w.problem);
    if (!w.shortfall.empty()) f.warnings.push_back("clipboard WAVE image: " + w.shortfall);
  }
  f.calls = session.calls();
  f.calls.queryXfm = plugin.info().queryResult;
  f.decoded = decodeBlock(f.block, plugin.info().paramTypes);
  if (!f.decoded.problem.empty()) f.warnings.push_back("parameter block: " + f.decoded.problem);
  return f;
}

Json reportOf(const Plugin& plugin, const Audio& audio, const Selection& selection,
              Session& session, const Person& person, const RunFacts& f, const OutputPlan& plan,
              bool interrupted, const std::vector<NamedResult>& results,
              const std::optional<Assessment>& assessment) {
  Json report;
  report["results"] = namedResultsJson(results);
  if (assessment) report["assessment"] = assessmentJson(*assessment)["assessment"];
  report["plugin"] = pluginJson(plugin);
  report["audio"] = audioJson(audio);
  report["selection"] = selectionJson(selection.first, selection.last, audio.sampleRate);
  report["calls"] = callsJson(f.calls);
  // Cancelled: the run ended because of the flag. Ctrl-C after the plug-in last looked at it
  // (during the write-back, say) changed nothing: the run completed, and the report says so.
  report["cancelled"] = session.cancelFlag() != 0 && f.calls.xfmDo && !runCompleted(f.calls);
  if (interrupted) report["interrupted"] = true;
  report["messages"] = messagesJson(person.log().messages);
  report["dialogs"] = dialogsJson(person.log().dialogs);
  report["block"] = blockJson(f.decoded);
  report["clipboard"] = clipboardJson(f.clipboard, f.images, plan.clipboard);
  report["files"] = plan.files;
  if (kPicturesAbsent && !plan.directory.empty()) report["pictures"] = kPicturesAbsent;
  report["help"] = helpJson(person.log().help);
  report["beeps"] = person.log().beeps;
  report["saveDialogs"] = saveDialogsJson(person.log().saveDialogs);
  report["progress"] = progressJson(session.progress().phases());
  report["dialogInit"] = session.dialogInits();
  report["displays"] = displaysJson(session.displays(), plan.displays);
  report["samples"] = samplesJson(session.samples());
  report["memory"] = {{"parameterBlockLocks", f.blockLocks},
                      {"liveBlocks", f.memory.liveBlocks},
                      {"lockedBlocks", f.memory.lockedBlocks}};
  report["warnings"] = f.warnings;
  return report;
}

// Every output of the plan, in the order its list of files names them, made where the output
// set stages it (each path the report names, under the staging folder until the commit).
void writeOutputs(const OutputPlan& plan, const OutputSet* set, const Audio& audio,
                  Session& session, const Person& person, const RunFacts& f, const Plugin& plugin,
                  const Json& report, const std::optional<Assessment>& assessment, bool completed) {
  auto made = [set](const std::string& path) { return set ? set->staged(path) : path; };
  if (!plan.directory.empty()) makeDirectory(made(plan.directory));
  if (!plan.waveform.empty()) audio.writeBack->finish();
  for (const auto& d : session.displays().all()) {
    auto path = plan.displays.find(d->number);
    if (path != plan.displays.end()) writeTextFile(made(path->second), displayCsv(*d));
  }
  if (!plan.directory.empty()) {
    writePictures(made(plan.directory), session.displays(), person.log().dialogs,
                  displayNamesOf(plugin.results()));
    if (assessment) writeAssessmentPictures(made(plan.directory), *assessment);
  }
  for (size_t i = 0; i < plan.clipboard.size(); ++i) {
    const ClipboardFiles& c = plan.clipboard[i];
    if (!c.image.empty()) writeBinaryFile(made(c.image), f.clipboard[i].bytes);
    if (c.file.empty()) continue;
    if (f.clipboard[i].format == CF_TEXT) {
      writeTextFile(made(c.file), clipboardText(f.clipboard[i]));
    } else {
      writeFileWhole(made(c.file), [&](const std::string& temporary) {
        writeWaveform(temporary, waveImageAudio(f.images[i]), c.file);
      });
    }
  }
  for (size_t i = 0; i < plan.wavePictures.size(); ++i)
    if (!plan.wavePictures[i].empty()) writeWavePicture(made(plan.wavePictures[i]), f.images[i]);
  if (!plan.designRecord.empty())
    writeTextFile(made(plan.designRecord), dumpJson(designRecordJson(*assessment->design)) + "\n");
  // Beyond the output folder nothing waits for a commit: a preset there is saved only when
  // the run completed.
  if (!plan.preset.empty() && (completed || made(plan.preset) != plan.preset)) {
    if (made(plan.preset) != plan.preset)
      makeDirectory(fs::path(made(plan.preset)).parent_path().string());
    savePreset(made(plan.preset), f.block, plugin.info());
  }
  if (!plan.report.empty()) writeTextFile(made(plan.report), dumpJson(report) + "\n");
}

// Why the plug-in did not complete its run, with the message boxes it showed while it ran; ""
// for a completed run.
std::string notCompleted(const RunFacts& f, const Person& person, const DriveOutcome& outcome,
                         bool cancelled) {
  if (runCompleted(f.calls)) return "";
  if (f.calls.xfmInit.value_or(0) == 0)
    return "XfmInit returned 0: the plug-in could not set up its parameters, nothing was run";
  const int done = f.calls.xfmDo.value_or(1);
  const std::string shown = shownMessages(person.log().messages, outcome.runMessagesFrom, false);
  return "the plug-in did not complete its run (XfmDo returned " + std::to_string(done) + ")" +
         (cancelled ? ", cancelled by Ctrl-C" : "") + (shown.empty() ? "" : ": " + shown);
}

// What the person must hear on stderr of a run that produced a report: a run the plug-in did
// not complete (`problem`); a completed run's error boxes (an export that could not be made),
// and a Ctrl-C that came too late to cancel it.
void tellOutcome(const std::string& audioFile, const std::string& problem, const Person& person,
                 const DriveOutcome& outcome) {
  if (!problem.empty()) {
    std::cerr << "orvane: " << audioFile << ": " << problem << "\n";
    return;
  }
  const std::string errors = shownMessages(person.log().messages, outcome.runMessagesFrom, true);
  if (!errors.empty())
    std::cerr << "orvane: " << audioFile << ": the plug-in showed: " << errors << "\n";
  if (outcome.interrupted) {
    std::cerr << "orvane: " << audioFile
              << ": Ctrl-C came after the plug-in's last look at it: the run completed\n";
  }
}

}  // namespace

// One audio file through one instance, from QueryXfm's answers (already in `plugin`) to
// XfmDestroy; its outputs go into `folder` of the output set `set` (none when null) and the
// report is returned.
RunOutcome runFile(const RunOptions& o, Plugin& plugin, const std::string& audioFile,
                   OutputSet* set, const std::string& folder,
                   const std::vector<unsigned char>& preset, const Json& calibration) {
  Audio audio = openRecording(audioFile, folder, set);
  const Selection selection = checkedSelection(o, audio);
  clipboardClear();
  ClipboardHold clipboardHold(o.clipboardBusy);
  Session session(plugin, &audio, sessionSetupOf(o, audio, selection));
  Person person(personScriptOf(o, set), &session.displays());
  person.install();
  const DriveOutcome outcome = driveInstance(o, preset, session, person, audio);

  RunFacts facts = gatherFacts(o, plugin, session, person);
  // Only a completed run has results.
  const std::vector<NamedResult> results =
      runCompleted(facts.calls) ? namedResults(plugin.results(), person.log().dialogs, facts.block)
                                : std::vector<NamedResult>{};
  const std::optional<Assessment> assessment =
      !runCompleted(facts.calls)
          ? std::nullopt
          : assessRunDesign(plugin.info(), audio, selection.first, selection.last, results,
                            facts.clipboard, facts.images, &facts.warnings);
  RunOptions where = o;
  where.outDir = set ? std::optional<std::string>(folder) : std::nullopt;
  OutputPlan plan = planOutputs(where, audio, session.displays(), person.log().dialogs,
                                facts.clipboard, facts.images, assessment);
  plan.files.insert(plan.files.begin(), outcome.pluginFiles.begin(), outcome.pluginFiles.end());
  RunOutcome result;
  result.report = reportOf(plugin, audio, selection, session, person, facts, plan,
                           outcome.interrupted, results, assessment);
  if (!calibration.is_null()) result.report["calibration"] = calibration;
  // The plug-in saved its export under the staged name (and may offer its folder again); the
  // report names the folder where it lands.
  if (set && o.saveAs && set->staged(*o.saveAs) != *o.saveAs) {
    const std::string parent = fs::path(*o.saveAs).parent_path().string();
    if (parent.empty())
      replaceInStrings(result.report, set->staged(".") + "/", "");
    else
      replaceInStrings(result.report, set->staged(parent), parent);
  }
  if (assessment) result.assessmentText = assessmentText(*assessment);
  result.problem = notCompleted(facts, person, outcome, result.report.value("cancelled", false));
  result.status = result.problem.empty() ? kExitOk : kExitNotCompleted;
  // A table merged from the reports says why, as the batch's own does.
  if (!result.problem.empty()) result.report["notCompleted"] = result.problem;
  writeOutputs(plan, set, audio, session, person, facts, plugin, result.report, assessment,
               result.status == kExitOk);

  for (const auto& w : facts.warnings) std::cerr << "orvane: warning: " << w << "\n";
  tellOutcome(audioFile, result.problem, person, outcome);
  return result;
}

}  // namespace orvane
