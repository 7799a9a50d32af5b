// The reports as text for a person, read from the JSON objects so that both always agree.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>

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

void controlsTable(std::ostringstream& out, const Json& dialog) {
  out << "  " << pad("id", 7) << pad("kind", 10) << pad("text", 34) << "state\n";
  for (const auto& c : dialog["controls"]) {
    std::string text = "\"" + c.value("text", "") + "\"";
    out << "  " << pad(str(c["id"]), 7) << pad(c.value("kind", ""), 10) << pad(text, 34)
        << stateOf(c) << "\n";
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

std::string renderDescribeText(const Json& d) {
  std::ostringstream out;
  const Json& plugin = d["plugin"];
  out << str(plugin["name"]) << "  (" << str(plugin["file"]) << ")\n";
  out << str(plugin["description"]) << "\n\n";
  const Json& dialog = d["dialog"];
  if (dialog.is_null()) {
    out << "The plug-in showed no settings dialog.\n";
  } else {
    out << "Settings dialog " << str(dialog["resource"]) << " \"" << str(dialog["caption"])
        << "\", " << str(dialog["width"]) << " x " << str(dialog["height"]) << " dialog units, for "
        << str(d["channels"]) << " channel" << (d["channels"] == 1 ? "" : "s") << ":\n";
    controlsTable(out, dialog);
  }
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

void runHeader(std::ostringstream& out, const Json& r) {
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
  callsLine(out, r["calls"]);
  if (r.value("cancelled", false)) {
    out << "Cancelled  yes (Ctrl-C)\n";
  } else if (r.value("interrupted", false)) {
    out << "Cancelled  no: Ctrl-C came after the plug-in's last look at it, the run completed\n";
  }
}

// What the results dialog showed, each labelled field as the summary pairs it, with its unit.
void resultsBlock(std::ostringstream& out, const Json& results, const std::string& notCompleted) {
  out << "Results\n";
  if (!notCompleted.empty())
    out << "  none: " << notCompleted << "\n";
  else if (results.empty())
    out << "  none: the plug-in showed no results\n";
  size_t width = 0;
  for (const auto& f : results) width = std::max(width, f.value("label", "").size());
  for (const auto& f : results) {
    const std::string label = f.value("label", "");
    const std::string unit = f.value("unit", "");
    out << "  " << (label.empty() ? "" : pad(label, width + 1)) << f.value("value", "")
        << (unit.empty() ? "" : " " + unit) << "\n";
  }
  out << "\n";
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

// What the person met: the dialogs with their displays, message boxes, save dialogs, help and
// beeps.
void whatThePersonSaw(std::ostringstream& out, const Json& r) {
  for (const auto& d : r["dialogs"]) {
    out << "\nDialog " << str(d["resource"]) << " \"" << str(d["caption"]) << "\" ended with "
        << str(d["result"]) << "\n";
    controlsTable(out, d);
    for (const auto& s : d["displays"]) displayLine(out, s);
  }
  for (const auto& m : r["messages"]) {
    out << "\nMessage box \"" << str(m["caption"]) << "\" (" << str(m["icon"]) << "):\n";
    indented(out, str(m["text"]), "  ");
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

void clipboardLines(std::ostringstream& out, const Json& clipboard) {
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
    if (c.contains("text")) indented(out, str(c["text"]), "    ", 24);
  }
}

void listOf(std::ostringstream& out, const char* heading, const Json& items) {
  if (items.empty()) return;
  out << "\n" << heading << "\n";
  for (const auto& item : items) out << "  " << str(item) << "\n";
}

}  // namespace

std::string renderRunText(const Json& r, const std::string& assessment) {
  std::ostringstream out;
  resultsBlock(out, r.value("results", Json::array()), r.value("notCompleted", ""));
  if (!assessment.empty()) out << assessment << "\n";
  runHeader(out, r);
  whatThePersonSaw(out, r);
  out << "\nParameter block (" << str(r["plugin"]["paramSize"]) << " bytes):\n";
  blockTable(out, r["block"]);
  clipboardLines(out, r["clipboard"]);
  if (r.contains("pictures")) out << "\n(pictures " << str(r["pictures"]) << ")\n";
  listOf(out, "Files written", r["files"]);
  listOf(out, "Warnings", r["warnings"]);
  return out.str();
}

}  // namespace orvane
