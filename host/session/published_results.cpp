#include "host/session/published_results.h"

#include <cstring>

#include "frame/param_types.h"
#include "frame/results_table.h"
#include "host/errors.h"
#include "host/session/plugin.h"

namespace orvane {

namespace {

// More entries than this is no table but a fault of the plug-in.
constexpr int kMostEntries = 4096;
constexpr char kValueTextSeparator = '|';

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

std::vector<std::string> valueTextsOf(const char* texts) {
  std::vector<std::string> out;
  if (!texts) return out;
  std::string text(texts);
  for (size_t from = 0;;) {
    const size_t bar = text.find(kValueTextSeparator, from);
    out.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
    if (bar == std::string::npos) return out;
    from = bar + 1;
  }
}

// The paramTypes letter of the field that starts at `offset`; 0 when none starts there.
char letterAt(const std::string& types, long offset) {
  long at = 0;
  for (char type : types) {
    if (at == offset) return type;
    const unsigned width = paramTypeWidth(type);
    if (width == 0 || at > offset) return 0;
    at += (long)width;
  }
  return 0;
}

}  // namespace

PublishedResults readPublishedResults(HMODULE module, const std::string& path,
                                      const PluginInfo& info) {
  PublishedResults out;
  const FARPROC byName = GetProcAddress(module, "XfmResults");
  if (!byName) return out;
  if (GetProcAddress(module, MAKEINTRESOURCEA(kOrdResults)) != byName)
    throw badInput(path + ": export XfmResults is not ordinal " + std::to_string(kOrdResults));
  XfmResultsProc results;
  results = reinterpret_cast<XfmResultsProc>(reinterpret_cast<void (*)()>(byName));
  const ResultsTable* table = results();
  const std::string fault = path + ": XfmResults: ";
  if (!table || !table->entries || table->count < 0 || table->count > kMostEntries)
    throw badInput(fault + "no table of results");
  out.published = true;
  out.placeholder = textOf(table->placeholder);
  for (int i = 0; i < table->count; ++i) {
    const ResultEntry& e = table->entries[i];
    PublishedResult r;
    r.name = textOf(e.name);
    r.channel = textOf(e.channel);
    r.unit = textOf(e.unit);
    r.shownBy = e.shownBy;
    r.offset = e.offset;
    r.type = e.type;
    r.powerOfTen = e.powerOfTen;
    r.valueTexts = valueTextsOf(e.valueTexts);
    const std::string entry = "entry " + std::to_string(i + 1) + " \"" + r.name + "\"" +
                              (r.channel.empty() ? "" : " (" + r.channel + ")");
    if (r.name.empty()) throw badInput(fault + "entry " + std::to_string(i + 1) + " has no name");
    if (r.offset < -1)
      throw badInput(fault + entry + " lies at offset " + std::to_string(r.offset));
    if (r.offset >= 0 && letterAt(info.paramTypes, r.offset) != r.type) {
      throw badInput(fault + entry + " reads a field '" + std::string(1, r.type) + "' at offset " +
                     std::to_string(r.offset) +
                     ", where the plug-in's paramTypes have no such field");
    }
    if (r.offset < 0 && r.shownBy == 0)
      throw badInput(fault + entry + " is neither a block field nor a dialog field");
    out.entries.push_back(std::move(r));
  }
  if (table->curveNameCount < 0 || table->curveNameCount > kMostEntries ||
      (table->curveNameCount > 0 && !table->curveNames))
    throw badInput(fault + "no table of curve names");
  for (int i = 0; i < table->curveNameCount; ++i) {
    const DisplayCurveName& c = table->curveNames[i];
    out.curveNames.push_back({c.curve, c.colour, textOf(c.name)});
  }
  out.xUnit = textOf(table->xUnit);
  out.yUnit = textOf(table->yUnit);
  return out;
}

}  // namespace orvane
