#include "host/report/summary.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "host/assess/assessment.h"
#include "host/person/control_labels.h"
#include "host/report/named_results.h"
#include "host/report/text_encoding.h"

namespace orvane {

namespace {

constexpr char kErrorColumn[] = "error";

bool isField(const ControlRecord& c) {
  return c.visible && c.id != -1 && c.kind == "static" && !isFrame(c);
}

// The nearest unnamed static right of the field on its row, before any other field: the
// field's unit, when its text is a short word.
std::string unitBeside(const DialogRecord& d, const ControlRecord& field) {
  const ControlBox f = boxOf(field);
  const ControlRecord* best = nullptr;
  int bestGap = INT_MAX;
  for (const auto& c : d.controls) {
    if (!c.visible || c.kind != "static" || isFrame(c)) continue;
    const ControlBox b = boxOf(c);
    if (b.top > f.centreY() || b.bottom < f.centreY() || b.left < f.right) continue;
    if (b.left - f.right < bestGap) {
      bestGap = b.left - f.right;
      best = &c;
    }
  }
  if (!best || best->id != -1 || best->text.empty() || best->text.size() > 12 ||
      best->text.find(' ') != std::string::npos)
    return "";
  return best->text;
}

// A unit in brackets at the end of a label: "Low frequency (Hz):" gives "Hz".
std::string unitInLabel(std::string label) {
  while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
  if (label.empty() || (label.back() != ')' && label.back() != ']')) return "";
  const size_t open = label.find_last_of(label.back() == ')' ? '(' : '[');
  if (open == std::string::npos) return "";
  return label.substr(open + 1, label.size() - open - 2);
}

std::string csvCell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char ch : text) {
    if (ch == '"') quoted += '"';
    quoted += ch;
  }
  return quoted + "\"";
}

}  // namespace

std::vector<LabelledField> labelledFields(const DialogRecord& dialog) {
  struct Found {
    const ControlRecord* field;
    const ControlRecord* label;
  };
  std::vector<Found> found;
  for (const auto& c : dialog.controls) {
    if (!isField(c)) continue;
    if (const ControlRecord* label = rowLabel(dialog, c)) found.push_back({&c, label});
  }
  std::vector<LabelledField> fields;
  for (const Found& f : found) {
    int onRow = (int)std::count_if(found.begin(), found.end(),
                                   [&](const Found& o) { return o.label == f.label; });
    std::string name = f.label->text;
    if (onRow > 1) {
      const ControlRecord* heading = columnHeading(dialog, *f.field);
      name += " (" + (heading ? heading->text : std::to_string(f.field->id)) + ")";
    }
    std::string unit = unitBeside(dialog, *f.field);
    if (unit.empty()) unit = unitInLabel(f.label->text);
    fields.push_back({name, f.field->text, unit, f.field->id});
  }
  return fields;
}

std::vector<LabelledField> resultFields(const std::vector<DialogRecord>& dialogs) {
  const DialogRecord* results = resultsDialogOf(dialogs);
  if (!results) return {};
  const std::vector<LabelledField> labelled = labelledFields(*results);
  std::vector<LabelledField> fields;
  size_t next = 0;  // labelled fields come in the order of their controls too
  for (const auto& c : results->controls) {
    if (!isField(c)) continue;
    if (rowLabel(*results, c)) {
      if (next < labelled.size()) fields.push_back(labelled[next++]);
    } else if (!c.text.empty()) {
      fields.push_back({"", c.text, "", c.id});
    }
  }
  for (LabelledField& f : fields) {
    f.label = utf8Of(f.label);
    f.value = utf8Of(f.value);
    f.unit = utf8Of(f.unit);
  }
  return fields;
}

const DialogRecord* resultsDialogOf(const std::vector<DialogRecord>& dialogs) {
  for (const auto& d : dialogs)
    if (d.resource == kResultsDialogResource) return &d;
  return dialogs.empty() ? nullptr : &dialogs.back();
}

namespace {

std::string figure(const Json& v, int decimals) {
  return v.is_number() ? fixedText(v.get<double>(), decimals) : "";
}

}  // namespace

std::vector<LabelledField> assessmentFields(const Json& a) {
  std::vector<LabelledField> fields;
  if (!a.is_object()) return fields;
  auto add = [&fields](const std::string& label, const Json& v, int decimals) {
    fields.push_back({label, figure(v, decimals), "", 0});
  };
  for (const Json& c : a.value("channels", Json::array())) {
    const std::string of = " (" + c.value("name", "") + ")";
    for (const char* when : {"before", "after"}) {
      for (const char* what : {"max", "rms"}) {
        add(std::string("Flatness ") + when + " " + what + " dB" + of, c["flatness_db"][when][what],
            2);
      }
    }
    add("Peak offset ms" + of, c["peak_offset_ms"], 3);
    add("Main share" + of, c["main_share"], 4);
    add("Pre-ringing dB" + of, c["pre_ringing_db"], 1);
    add("Pre-echo dB" + of, c["pre_echo_db"], 1);
    add("Pre-echo ms" + of, c["pre_echo_ms"], 2);
    if (c.contains("separation_db")) {
      add("Separation min dB" + of, c["separation_db"]["min"], 1);
      add("Separation median dB" + of, c["separation_db"]["median"], 1);
    }
  }
  add("Filter gain max dB", a["filter_gain_db"]["max"], 2);
  add("Filter gain max Hz", a["filter_gain_db"]["max_hz"], 1);
  fields.push_back({"Assessment warnings", std::to_string(a["warnings"].size()), "", 0});
  return fields;
}

std::vector<LabelledField> summaryFieldsOfReport(const Json& report) {
  std::vector<LabelledField> fields;
  for (const NamedResult& r : namedResultsOf(report.value("results", Json::array()))) {
    if (r.name.empty()) continue;  // a text that says what it is has no column of its own
    fields.push_back({resultColumnName(r), r.value ? numberText(*r.value) : r.text, r.unit, 0});
  }
  const std::vector<LabelledField> judged = assessmentFields(report.value("assessment", Json()));
  fields.insert(fields.end(), judged.begin(), judged.end());
  return fields;
}

void SummaryTable::add(const std::string& file, const std::vector<LabelledField>& fields,
                       const std::string& error) {
  rows_.push_back({file, fields, error});
}

std::vector<const SummaryTable::Row*> SummaryTable::ordered() const {
  std::vector<const Row*> rows;
  for (const Row& r : rows_) rows.push_back(&r);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row* a, const Row* b) { return a->file < b->file; });
  return rows;
}

std::vector<std::string> SummaryTable::columns() const {
  std::vector<std::string> columns;
  bool failed = false;
  for (const Row* r : ordered()) {
    failed |= !r->error.empty();
    // A column a row brings first stands after the row's column before it, so that a stereo
    // run's right channel joins a mono run's table beside its left.
    size_t after = 0;
    for (const auto& f : r->fields) {
      auto at = std::find(columns.begin(), columns.end(), f.label);
      if (at == columns.end()) at = columns.insert(columns.begin() + after, f.label);
      after = (size_t)(at - columns.begin()) + 1;
    }
  }
  if (failed) columns.push_back(kErrorColumn);
  return columns;
}

namespace {

std::string cellOf(const std::vector<LabelledField>& fields, const std::string& error,
                   const std::string& column) {
  if (column == kErrorColumn && !error.empty()) return error;
  for (const auto& f : fields)
    if (f.label == column) return f.value;
  return "";
}

}  // namespace

std::string SummaryTable::csv() const {
  const std::vector<std::string> names = columns();
  std::string out = "file";
  for (const auto& c : names) out += "," + csvCell(c);
  out += "\n";
  for (const Row* r : ordered()) {
    out += csvCell(r->file);
    for (const auto& c : names) out += "," + csvCell(cellOf(r->fields, r->error, c));
    out += "\n";
  }
  return out;
}

Json SummaryTable::json() const {
  const std::vector<std::string> names = columns();
  Json rows = Json::array();
  for (const Row* r : ordered()) {
    Json row = {{"file", r->file}};
    for (const auto& c : names) row[c] = cellOf(r->fields, r->error, c);
    rows.push_back(std::move(row));
  }
  return {{"columns", names}, {"rows", rows}};
}

}  // namespace orvane
