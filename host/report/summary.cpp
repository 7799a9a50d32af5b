#include "host/report/summary.h"

#include <algorithm>
#include <climits>

#include "host/report/text_encoding.h"

namespace orvane {

namespace {

struct Box {
  int left, top, right, bottom;  // dialog units
  int centreX() const { return (left + right) / 2; }
  int centreY() const { return (top + bottom) / 2; }
};

Box boxOf(const ControlRecord& c) { return {c.x, c.y, c.x + c.width, c.y + c.height}; }

bool isLabel(const ControlRecord& c) { return c.visible && c.id == -1 && c.kind == "static"; }

bool isHeading(const ControlRecord& c) {
  return c.visible && ((c.id == -1 && c.kind == "static") || c.kind == "checkbox");
}

// Rectangles, frames and etched lines are statics too, but they hold no text.
bool isFrame(const ControlRecord& c) {
  unsigned long type = c.style & SS_TYPEMASK;
  return (type >= SS_BLACKRECT && type <= SS_WHITEFRAME) ||
         (type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME);
}

bool isField(const ControlRecord& c) {
  return c.visible && c.id != -1 && c.kind == "static" && !isFrame(c);
}

// The nearest label left of the field whose height spans the field's middle.
const ControlRecord* rowLabel(const DialogRecord& d, const ControlRecord& field) {
  const Box f = boxOf(field);
  const ControlRecord* best = nullptr;
  int bestGap = INT_MAX;
  for (const auto& c : d.controls) {
    if (!isLabel(c)) continue;
    Box b = boxOf(c);
    if (b.top > f.centreY() || b.bottom < f.centreY() || b.right > f.left) continue;
    if (f.left - b.right < bestGap) {
      bestGap = f.left - b.right;
      best = &c;
    }
  }
  return best;
}

// The nearest heading above the field whose middle lies over the field.
const ControlRecord* columnHeading(const DialogRecord& d, const ControlRecord& field) {
  const Box f = boxOf(field);
  const ControlRecord* best = nullptr;
  int bestGap = INT_MAX;
  for (const auto& c : d.controls) {
    if (!isHeading(c)) continue;
    Box b = boxOf(c);
    if (b.centreX() < f.left || b.centreX() > f.right || b.bottom > f.top) continue;
    if (f.top - b.bottom < bestGap) {
      bestGap = f.top - b.bottom;
      best = &c;
    }
  }
  return best;
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
    fields.push_back({name, f.field->text});
  }
  return fields;
}

const DialogRecord* resultsDialogOf(const std::vector<DialogRecord>& dialogs) {
  for (const auto& d : dialogs)
    if (d.resource == kResultsDialogResource) return &d;
  return dialogs.empty() ? nullptr : &dialogs.back();
}

std::vector<LabelledField> summaryFields(const std::vector<DialogRecord>& dialogs) {
  const DialogRecord* results = resultsDialogOf(dialogs);
  std::vector<LabelledField> fields =
      results ? labelledFields(*results) : std::vector<LabelledField>{};
  for (LabelledField& f : fields) {
    f.label = utf8Of(f.label);
    f.value = utf8Of(f.value);
  }
  return fields;
}

std::vector<LabelledField> summaryFieldsOfReport(const Json& report) {
  std::vector<DialogRecord> dialogs;
  for (const Json& d : report.value("dialogs", Json::array())) {
    DialogRecord r;
    r.resource = d.value("resource", 0);
    for (const Json& c : d.value("controls", Json::array())) {
      ControlRecord cr;
      cr.id = c.value("id", -1);
      cr.kind = c.value("kind", "");
      cr.text = c.value("text", "");
      cr.visible = c.value("visible", false);
      cr.style = c.value("staticType", 0ul);
      cr.x = c.value("x", 0);
      cr.y = c.value("y", 0);
      cr.width = c.value("width", 0);
      cr.height = c.value("height", 0);
      r.controls.push_back(std::move(cr));
    }
    dialogs.push_back(std::move(r));
  }
  const DialogRecord* results = resultsDialogOf(dialogs);
  return results ? labelledFields(*results) : std::vector<LabelledField>{};
}

void SummaryTable::add(const std::string& file, const std::vector<LabelledField>& fields) {
  for (const auto& f : fields) {
    if (std::find(columns_.begin(), columns_.end(), f.label) == columns_.end())
      columns_.push_back(f.label);
  }
  std::vector<std::string> row(columns_.size());
  for (const auto& f : fields) {
    auto at = std::find(columns_.begin(), columns_.end(), f.label);
    row[at - columns_.begin()] = f.value;
  }
  rows_.push_back({file, std::move(row)});
}

std::string SummaryTable::csv() const {
  std::string out = "file";
  for (const auto& c : columns_) out += "," + csvCell(c);
  out += "\n";
  for (const auto& [file, row] : rows_) {
    out += csvCell(file);
    for (size_t i = 0; i < columns_.size(); ++i) out += "," + csvCell(i < row.size() ? row[i] : "");
    out += "\n";
  }
  return out;
}

Json SummaryTable::json() const {
  Json rows = Json::array();
  for (const auto& [file, row] : rows_) {
    Json r = {{"file", file}};
    for (size_t i = 0; i < columns_.size(); ++i) r[columns_[i]] = i < row.size() ? row[i] : "";
    rows.push_back(std::move(r));
  }
  return {{"columns", columns_}, {"rows", rows}};
}

}  // namespace orvane
