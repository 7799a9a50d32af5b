// The reports as text for a person, read from the JSON objects so that both always agree.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>

#include "frame/xfm.h"
#include "host/report/named_results.h"
#include "host/report/report.h"

namespace orvane {

namespace {

std::string str(const Json& j) {
  if (j.is_string()) return j.get<std::string>();
  if (j.is_null()) return "-";
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string pad(const std::string& s, size_t width) {
  return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

// Texts of several lines indented under their heading.
// The lines of `text`, indented; with `most`, only the first `most` lines and a count of the
// rest (a table of spectral values has thousands; its file holds them all).
void indented(std::ostringstream& out, const std::string& text, const char* indent,
              size_t most = SIZE_MAX) {
  std::string line;
  std::istringstream in(text);
  size_t shown = 0, left = 0;
  while (std::getline(in, line)) {
    if (shown == most) {
      ++left;
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out << indent << line << "\n";
    ++shown;
  }
  if (left > 0) out << indent << "... " << left << " more lines\n";
}

std::string stateOf(const Json& c) {
  std::string state;
  std::string kind = c.value("kind", "");
  if (kind == "checkbox" || kind == "radio")
    state = c.value("checked", false) ? "checked" : "unchecked";
  auto add = [&state](const char* word) {
    state += state.empty() ? word : std::string(", ") + word;
  };
  if (!c.value("visible", true)) add("hidden");
  if (!c.value("enabled", true)) add("disabled");
  return state;
}

// The controls of a dialog; with a column "acts" when the dialog says which option of `orvane
// run` acts on them (--set, --press).
void controlsTable(std::ostringstream& out, const Json& dialog) {
  const Json& controls = dialog["controls"];
  const bool acts = std::any_of(controls.begin(), controls.end(),
                                [](const Json& c) { return c.contains("acts"); });
  out << "  " << pad("id", 7) << pad("kind", 10) << pad("text", 34) << (acts ? pad("acts", 9) : "")
      << "state\n";
  for (const auto& c : controls) {
    std::string text = "\"" + c.value("text", "") + "\"";
    std::string line = "  " + pad(str(c["id"]), 7) + pad(c.value("kind", ""), 10) + pad(text, 34) +
                       (acts ? pad(c.value("acts", ""), 9) : "") + stateOf(c);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
    if (c.contains("items")) {
      out << "  " << pad("", 17) << "items:";
      for (const auto& item : c["items"]) out << " \"" << str(item) << "\"";
      out << "\n";
    }
  }
}

void blockTable(std::ostringstream& out, const Json& block) {
  out << "  " << pad("offset", 8) << pad("type", 6) << "value\n";
  for (const auto& f : block) {
    out << "  " << pad(str(f["offset"]), 8) << pad(str(f["type"]), 6) << str(f["value"]) << "\n";
  }
}

void callsLine(std::ostringstream& out, const Json& calls) {
  out << "Calls      ";
  bool first = true;
  for (const auto& [name, result] : calls.items()) {
    out << (first ? "" : ", ") << name << " " << str(result);
    first = false;
  }
  out << (first ? "none\n" : "\n");
}

}  // namespace

std::string renderListText(const Json& list) {
  std::ostringstream out;
  const Json& plugins = list["plugins"];
  if (plugins.empty()) {
    out << "No plug-ins found in:";
    for (const auto& d : list["directories"]) out << " " << str(d);
    out << "\n";
    return out.str();
  }
  for (const auto& p : plugins) {
    out << str(p["file"]) << "\n";
    if (p.contains("error")) {
      out << "  cannot be used: " << str(p["error"]) << "\n";
      continue;
    }
    out << "  menu name       " << str(p["name"]) << "\n";
    out << "  description     " << str(p["description"]) << "\n";
    out << "  parameter size  " << str(p["paramSize"]) << " bytes\n";
  }
  return out.str();
}

// The results a plug-in publishes, one line per name: its unit and the channels it has.
void publishedLines(std::ostringstream& out, const Json& results) {
  struct Line {
    std::string name, unit, channels;
  };
  std::vector<Line> lines;
  for (const auto& r : results) {
    const std::string name = r.value("name", ""), unit = r.value("unit", "");
    const std::string channel = r.value("channel", "");
    auto line = std::find_if(lines.begin(), lines.end(),
                             [&](const Line& l) { return l.name == name && l.unit == unit; });
    if (line == lines.end()) line = lines.insert(lines.end(), Line{name, unit, ""});
    if (!channel.empty()) line->channels += (line->channels.empty() ? "" : ", ") + channel;
  }
  out << "  " << pad("name", 34) << pad("unit", 9) << "channels\n";
  for (const Line& l : lines) {
    std::string text = "  " + pad(l.name, 34) + pad(l.unit, 9) + l.channels;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << "\n";
  }
}

std::string renderDescribeText(const Json& d) {
  std::ostringstream out;
  const Json& plugin = d["plugin"];
  out << str(plugin["name"]) << "  (" << str(plugin["file"]) << ")\n";
  out << str(plugin["description"]) << "\n";
  if (d["dialog"].is_null()) out << "\nThe plug-in showed no settings dialog.\n";
  for (const Json& dialog : d.value("templates", Json::array())) {
    const bool settings = dialog["resource"] == kSettingsDialogResource;
    out << "\n"
        << (settings ? "Settings" : "Results") << " dialog " << str(dialog["resource"]) << " \""
        << str(dialog["caption"]) << "\", " << str(dialog["width"]) << " x "
        << str(dialog["height"]) << " dialog units, ";
    if (settings)
      out << "for " << str(d["channels"]) << " channel" << (d["channels"] == 1 ? "" : "s")
          << " (--set acts on its controls):\n";
    else
      out << "as its template stands (--press acts on its controls):\n";
    controlsTable(out, dialog);
  }
  const Json& results = d.value("results", Json::array());
  if (results.empty())
    out << "\nThe plug-in publishes no results of its own: a run reports its results dialog's "
           "fields.\n";
  else
    out << "\nResults, as a run reports them:\n";
  if (!results.empty()) publishedLines(out, results);
  out << "\nParameter block after XfmInit (" << str(plugin["paramSize"]) << " bytes, \""
      << str(plugin["paramTypes"]) << "\"):\n";
  blockTable(out, d["block"]);
  for (const auto& m : d["messages"]) {
    out << "\nMessage box \"" << str(m["caption"]) << "\" (" << str(m["icon"]) << "):\n";
    indented(out, str(m["text"]), "  ");
  }
  return out.str();
}

namespace {

void runHeader(std::ostringstream& out, const Json& r, bool details) {
  const Json& plugin = r["plugin"];
  const Json& audio = r["audio"];
  const Json& sel = r["selection"];
  out << "Plug-in    " << str(plugin["name"]) << "  (" << str(plugin["file"]) << ")\n";
  out << "Audio      " << str(audio["file"]) << ": " << str(audio["format"]) << "; "
      << str(audio["channels"]) << (audio["channels"] == 1 ? " channel, " : " channels, ")
      << str(audio["sampleRate"]) << " Hz, " << str(audio["frames"]) << " frames\n";
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", sel.value("seconds", 0.0));
  out << "Selection  frames " << str(sel["first"]) << " to " << str(sel["last"]) << " ("
      << str(sel["frames"]) << " frames, " << seconds << " s)\n";
  if (r.contains("calibration")) {
    const Json& c = r["calibration"];
    out << "Calibrated from " << str(c["tone"]) << " at " << str(c["level"]) << " dB: full scale";
    for (const Json& fullScale : c["fullScale"]) out << " " << str(fullScale) << " dB";
    out << "\n";
  }
  if (details) callsLine(out, r["calls"]);
  if (r.value("cancelled", false)) {
    out << "Cancelled  yes (Ctrl-C)\n";
  } else if (r.value("interrupted", false)) {
    out << "Cancelled  no: Ctrl-C came after the plug-in's last look at it, the run completed\n";
  }
}

// What a table cell shows of a result: the number as the dialog shows it (without the unit
// the row's label gives), or the number itself where the dialog's text says more than it
// ("NCC Max: 79.524%  at 1 ms"), or the text where there is no number or it names one ("yes").
std::string cellOf(const NamedResult& r) {
  std::string text = r.text;
  const std::string unit = " " + r.unit;
  if (!r.unit.empty() && text.size() > unit.size() &&
      text.compare(text.size() - unit.size(), unit.size(), unit) == 0)
    text.resize(text.size() - unit.size());
  if (!r.value || numberInText(text, "")) return text;
  const bool names = text.find_first_of("0123456789") == std::string::npos;
  return names && !text.empty() ? text : numberText(*r.value);
}

constexpr char kBetween[] = "   ";  // between the columns of the results

// The results as a table: one row per result (its unit in its label), one column per channel
// present; a result of the whole run shows its text beside its label.
void resultsBlock(std::ostringstream& out, const Json& json, const std::string& notCompleted) {
  out << "Results\n";
  const std::vector<NamedResult> results = namedResultsOf(json);
  if (!notCompleted.empty())
    out << "  none: " << notCompleted << "\n";
  else if (results.empty())
    out << "  none: the plug-in showed no results\n";
  struct Row {
    std::string label;
    std::string whole;                         // a result of the whole run
    std::map<std::string, std::string> cells;  // by channel
  };
  std::vector<std::string> channels;
  std::vector<Row> rows;
  for (const NamedResult& r : results) {
    const std::string label = r.name + (r.unit.empty() ? "" : " (" + r.unit + ")");
    auto row =
        std::find_if(rows.begin(), rows.end(), [&](const Row& w) { return w.label == label; });
    if (row == rows.end()) row = rows.insert(rows.end(), Row{label, "", {}});
    if (r.channel.empty()) {
      row->whole = cellOf(r);
      continue;
    }
    row->cells[r.channel] = cellOf(r);
    if (std::find(channels.begin(), channels.end(), r.channel) == channels.end())
      channels.push_back(r.channel);
  }
  size_t labels = 0;
  for (const Row& row : rows) labels = std::max(labels, row.label.size());
  std::vector<size_t> widths;
  for (const std::string& channel : channels) {
    size_t width = channel.size();
    for (const Row& row : rows) {
      auto cell = row.cells.find(channel);
      if (cell != row.cells.end()) width = std::max(width, cell->second.size());
    }
    widths.push_back(width);
  }
  auto right = [](const std::string& s, size_t width) {
    return std::string(width > s.size() ? width - s.size() : 0, ' ') + s;
  };
  auto left = [](const std::string& s, size_t width) {
    return s + std::string(width > s.size() ? width - s.size() : 0, ' ');
  };
  if (!channels.empty()) {
    out << "  " << std::string(labels, ' ') << " ";
    for (size_t k = 0; k < channels.size(); ++k) out << kBetween << right(channels[k], widths[k]);
    out << "\n";
  }
  for (const Row& row : rows) {
    std::string line = "  " + left(row.label, labels) + " ";
    if (!row.whole.empty() || row.cells.empty()) {
      line += row.whole;
    } else {
      for (size_t k = 0; k < channels.size(); ++k) {
        auto cell = row.cells.find(channels[k]);
        line += kBetween + right(cell != row.cells.end() ? cell->second : "", widths[k]);
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  }
}

void displayLine(std::ostringstream& out, const Json& s) {
  out << "  display " << str(s["display"]) << " over " << str(s["id"]) << ": ";
  const Json& curves = s["curves"];
  if (curves.empty()) {
    out << "no curves\n";
    return;
  }
  out << "curve";
  if (curves.size() > 1) out << "s";
  bool first = true;
  for (const auto& [curve, ys] : curves.items()) {
    out << (first ? " " : ", ") << curve;
    first = false;
  }
  const Json& x = s["x"];
  out << " sampled at " << x.size() << " columns";
  if (!x.empty()) out << ", x " << str(x.front()) << " to " << str(x.back());
  out << "\n";
}

// What the person met: the dialogs with their displays, save dialogs, help and beeps.
void whatThePersonSaw(std::ostringstream& out, const Json& r) {
  for (const auto& d : r["dialogs"]) {
    out << "\nDialog " << str(d["resource"]) << " \"" << str(d["caption"]) << "\" ended with "
        << str(d["result"]) << "\n";
    controlsTable(out, d);
    for (const auto& s : d["displays"]) displayLine(out, s);
  }
  for (const auto& s : r["saveDialogs"]) {
    out << "\nSave dialog \"" << str(s["title"]) << "\": ";
    if (s.value("answered", false)) {
      out << "saved as " << str(s["path"]) << " (type " << str(s["type"]) << ")\n";
    } else {
      out << "cancelled\n";
    }
  }
  if (!r["help"].empty()) {
    out << "\nHelp";
    for (const auto& h : r["help"]) {
      out << "  " << str(h["file"]);
      if (h.contains("keyword")) out << " \"" << str(h["keyword"]) << "\"";
    }
    out << "\n";
  }
  if (!r["beeps"].empty()) out << "\nBeeps      " << r["beeps"].size() << "\n";
}

// What the plug-in said in message boxes ("File Saved", an error).
void messageLines(std::ostringstream& out, const Json& r) {
  for (const auto& m : r["messages"]) {
    out << "\nMessage box \"" << str(m["caption"]) << "\" (" << str(m["icon"]) << "):\n";
    indented(out, str(m["text"]), "  ");
  }
}

// Each transfer in one line; with `details` the start of its text too.
void clipboardLines(std::ostringstream& out, const Json& clipboard, bool details) {
  if (clipboard.empty()) return;
  out << "\nClipboard\n";
  for (const auto& c : clipboard) {
    out << "  " << str(c["format"]) << ", " << str(c["size"]) << " bytes";
    if (c.contains("file")) out << ", saved as " << str(c["file"]);
    if (c.contains("image")) out << ", image as " << str(c["image"]);
    out << "\n";
    if (c.contains("wave") && c["wave"].contains("frames")) {
      const Json& w = c["wave"];
      out << "    " << str(w["frames"]) << " frames, " << str(w["channels"]) << " channels, "
          << str(w["sampleRate"]) << " Hz, " << str(w["bitsPerSample"]) << " bits, format tag "
          << str(w["formatTag"]) << "\n";
    }
    if (details && c.contains("text")) indented(out, str(c["text"]), "    ", 24);
  }
}

void listOf(std::ostringstream& out, const char* heading, const Json& items) {
  if (items.empty()) return;
  out << "\n" << heading << "\n";
  for (const auto& item : items) out << "  " << str(item) << "\n";
}

}  // namespace

std::string renderRunText(const Json& r, const std::string& assessment, bool details) {
  std::ostringstream out;
  resultsBlock(out, r.value("results", Json::array()), r.value("notCompleted", ""));
  if (!assessment.empty()) out << "\n" << assessment;
  listOf(out, "Warnings", r["warnings"]);
  if (r.contains("pictures")) out << "\n(pictures " << str(r["pictures"]) << ")\n";
  listOf(out, "Files written", r["files"]);
  out << "\n";
  runHeader(out, r, details);
  messageLines(out, r);
  clipboardLines(out, r["clipboard"], details);
  if (!details) return out.str();
  whatThePersonSaw(out, r);
  out << "\nParameter block (" << str(r["plugin"]["paramSize"]) << " bytes):\n";
  blockTable(out, r["block"]);
  return out.str();
}

}  // namespace orvane
