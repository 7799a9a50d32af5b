// The reports of the commands: JSON objects whose shape outside scripts rely on, and the text
// a person reads, rendered from the same objects.
//
// run: {"results": [{"name", "channel", "value", "unit", "text"}] (named_results.h),
//   "assessment"? (an inverse filter's), "plugin": {"file", "name", "notice", "description",
//   "infoWord", "flags", "paramSize", "paramTypes", "paramFlags"}, "audio", "selection",
//   "calls": {"QueryXfm", "XfmInit", "XfmSetup", "XfmDo", "XfmDestroy"} (what each returned;
//   absent when not called), "cancelled", "messages": [{"caption", "text", "icon"}],
//   "dialogs": [{"resource", "caption", "result", "controls": [{"id", "kind", "text",
//   "checked", "enabled", "visible", "x", "y", "width", "height" (dialog units),
//   "staticType"?}], "displays"}], "block": [{"offset", "type", "value"}], "clipboard":
//   [{"format", "size", "text"?, "wave"?, "image"?, "file"?}] (every transfer, in order),
//   "files": [paths written], "pictures"? (why none were drawn, in a build that draws none),
//   "help", "beeps", "saveDialogs", "progress", "dialogInit", "displays", "samples", "memory",
//   "warnings"}
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/person/person.h"
#include "host/pictures/display.h"
#include "host/report/block_decode.h"
#include "host/report/clipboard_items.h"
#include "host/report/json.h"
#include "host/session/audio.h"
#include "host/session/plugin.h"
#include "host/session/progress.h"
#include "host/session/session.h"
#include "host/system/system.h"

namespace orvane {

Json pluginJson(const Plugin& plugin);
Json audioJson(const Audio& audio);
Json selectionJson(long first, long last, int sampleRate);
Json callsJson(const CallResults& calls);
Json messagesJson(const std::vector<MessageRecord>& messages);
Json dialogJson(const DialogRecord& dialog);
Json dialogsJson(const std::vector<DialogRecord>& dialogs);
Json blockJson(const DecodedBlock& block);
// One entry per transfer, in order: format, size, the text of CF_TEXT, the decoded header of a
// WAVE image ("wave"), and the files it was kept in ("file"; "image" for a WAVE image's bytes).
// `images` and `files` run parallel to `items` (`files` may be empty: nothing kept).
Json clipboardJson(const std::vector<ClipboardItem>& items, const std::vector<WaveImage>& images,
                   const std::vector<ClipboardFiles>& files);
// `files` maps a display's number to its CSV file, when written.
Json displaysJson(const DisplayBoard& displays, const std::map<int, std::string>& files);
Json progressJson(const std::vector<ProgressPhase>& phases);
Json helpJson(const std::vector<HelpRecord>& help);
Json saveDialogsJson(const std::vector<SaveDialogRecord>& dialogs);
Json samplesJson(const SampleTraffic& samples);

// The text of a clipboard CF_TEXT block: its bytes up to the first zero.
std::string clipboardText(const ClipboardItem& item);
// A display's samples as CSV: columns x, curve1[, curve2], one row per pixel column.
std::string displayCsv(const DisplayRecord& display);

// Text for a person, from the JSON objects above. A run's opens with its results as a table,
// then its assessment's text (assessmentText, made from the figures rather than the report's
// JSON; "" for none), the warnings, the files written, what ran on what, the message boxes and
// the clipboard; with `details` also the calls, the dialogs as they ended and the parameter
// block.
std::string renderListText(const Json& list);
std::string renderDescribeText(const Json& describe);
std::string renderRunText(const Json& run, const std::string& assessment, bool details = false);

}  // namespace orvane
