#include "host/cli/calibration.h"

#include <algorithm>

#include "frame/xfm.h"
#include "host/cli/calibration_tone.h"
#include "host/cli/run_file.h"
#include "host/errors.h"
#include "host/person/control_labels.h"
#include "host/person/person.h"
#include "host/person/typed_numbers.h"
#include "host/report/named_results.h"
#include "host/session/audio.h"
#include "host/session/session.h"

namespace orvane {

namespace {

// What the meter's dialogs call the controls a person calibrates it with.
constexpr char kLeqMode[] = "Leq";
constexpr char kFullScaleMode[] = "Full Scale";
constexpr char kCalibrationValues[] = "Calibration values (dB):";
constexpr char kFullScaleResult[] = "Full Scale Level";

constexpr char kOn[] = "on";
constexpr char kOff[] = "off";

// The calibration controls of a settings dialog, by their ids in it.
struct CalibrationControls {
  std::string leqMode, fullScaleMode;
  std::vector<std::string> values;      // the visible edits of the row, left to right
  std::vector<std::string> checkBoxes;  // every visible, enabled check box
};

// The settings dialog as a fresh instance shows it for a recording of `channels` channels.
DialogRecord lookAtSettings(Plugin& plugin, int channels, int sampleRate) {
  SessionSetup setup;
  setup.channels = channels;
  setup.sampleRate = sampleRate;
  setup.selLast = sampleRate - 1;
  setup.showProgress = false;
  Session session(plugin, nullptr, setup);
  PersonScript script;
  script.lookOnly = true;
  Person person(script, &session.displays());
  person.install();
  if (session.init() != 0) session.setup();
  session.destroy();
  for (const DialogRecord& d : person.log().looks)
    if (d.resource == kSettingsDialogResource) return d;
  throw badInput("--calibrate: " + plugin.path() + " showed no settings dialog");
}

CalibrationControls calibrationControls(Plugin& plugin, int channels, int sampleRate) {
  const DialogRecord d = lookAtSettings(plugin, channels, sampleRate);
  CalibrationControls found;
  std::vector<const ControlRecord*> values;
  for (const ControlRecord& c : d.controls) {
    if (!c.visible) continue;
    if (c.kind == "radio" && c.text == kLeqMode) found.leqMode = std::to_string(c.id);
    if (c.kind == "radio" && c.text == kFullScaleMode) found.fullScaleMode = std::to_string(c.id);
    if (c.kind == "checkbox" && c.enabled) found.checkBoxes.push_back(std::to_string(c.id));
    const ControlRecord* label = c.kind == "edit" ? rowLabel(d, c) : nullptr;
    if (label && label->text == kCalibrationValues) values.push_back(&c);
  }
  std::stable_sort(values.begin(), values.end(),
                   [](const ControlRecord* a, const ControlRecord* b) { return a->x < b->x; });
  for (const ControlRecord* c : values) found.values.push_back(std::to_string(c->id));
  if (found.leqMode.empty() || found.fullScaleMode.empty() || (int)found.values.size() < channels) {
    throw badInput("--calibrate: the settings dialog of " + plugin.path() +
                   " has no radio buttons \"" + kLeqMode + "\" and \"" + kFullScaleMode +
                   "\" and an edit per channel labelled \"" + kCalibrationValues +
                   "\": it is no meter that calibrates from a tone");
  }
  return found;
}

SetAction setting(const std::string& control, const std::string& value) {
  return {control, value, control + "=" + value + " (--calibrate)"};
}

}  // namespace

MeterCalibration calibrateFromTone(const RunOptions& o, Plugin& plugin) {
  MeterCalibration c{o.calibrate->tone, o.calibrate->level, {}};
  const Audio tone = readAudio(c.tone);
  const std::string problem = toneProblem(tone);
  if (!problem.empty()) throw badInput("--calibrate " + c.tone + ": " + problem);

  const CalibrationControls controls = calibrationControls(plugin, tone.channels, tone.sampleRate);
  RunOptions t;
  t.plugin = o.plugin;
  t.audioFile = c.tone;
  t.quiet = o.quiet;
  for (const std::string& box : controls.checkBoxes) t.sets.push_back(setting(box, kOff));
  t.sets.push_back(setting(controls.leqMode, kOn));
  for (int ch = 0; ch < tone.channels; ++ch)
    t.sets.push_back(setting(controls.values[ch], c.level));
  const RunOutcome run = runFile(t, plugin, c.tone, nullptr, "", {});
  if (run.status != kExitOk)
    throw badInput("--calibrate " + c.tone + ": the tone's run did not complete: " + run.problem);

  // As the meter shows it: the text is what a person types into the recording's settings.
  for (const NamedResult& result : namedResultsOf(run.report["results"])) {
    if ((int)c.fullScale.size() == tone.channels) break;
    if (result.name != kFullScaleResult) continue;
    if (!typedNumberProblem(result.text, false).empty()) break;
    c.fullScale.push_back(result.text);
  }
  if ((int)c.fullScale.size() != tone.channels) {
    throw badInput("--calibrate " + c.tone + ": the meter showed no \"" + kFullScaleResult +
                   "\" for each channel of the tone");
  }
  return c;
}

RunOptions calibratedOptions(const RunOptions& o, Plugin& plugin, const MeterCalibration& c,
                             int channels, int sampleRate) {
  if ((int)c.fullScale.size() > channels) {
    throw badInput("--calibrate " + c.tone + ": a tone of " + std::to_string(c.fullScale.size()) +
                   " channels cannot calibrate a recording of " + std::to_string(channels) +
                   ": record the calibrator in one channel, or in as many as the recording");
  }
  const CalibrationControls controls = calibrationControls(plugin, channels, sampleRate);
  RunOptions r = o;
  r.sets.push_back(setting(controls.fullScaleMode, kOn));
  for (int ch = 0; ch < channels; ++ch) {
    const std::string& fullScale = c.fullScale[c.fullScale.size() == 1 ? 0 : ch];
    r.sets.push_back(setting(controls.values[ch], fullScale));
  }
  return r;
}

Json calibrationJson(const MeterCalibration& c) {
  Json fullScale = Json::array();
  for (const std::string& v : c.fullScale) fullScale.push_back(typedNumberValue(v));
  return {{"tone", c.tone}, {"level", typedNumberValue(c.level)}, {"fullScale", fullScale}};
}

}  // namespace orvane
