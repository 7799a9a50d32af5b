// The summary of a batch: one row per audio file, one column per labelled result field of the
// plug-in's results dialog, so that many recordings measured in one command give one table.
//
// A result field is a visible static text with an id that has an unnamed static on its row to
// its left: that static's text is the field's label. Where a row holds several fields, each
// is told apart by the heading above its column (an unnamed static or a check box whose
// centre lies over the field), as "Active Speech Level (Left)".
#pragma once

#include <string>
#include <vector>

#include "host/person/person.h"
#include "host/report/json.h"

namespace orvane {

struct LabelledField {
  std::string label;
  std::string value;  // the field's text as the dialog showed it
};

// The labelled fields of a dialog as it ended, in the order of its controls.
std::vector<LabelledField> labelledFields(const DialogRecord& dialog);
// The results dialog of a run (resource 107), or the last dialog it showed; null for none.
const DialogRecord* resultsDialogOf(const std::vector<DialogRecord>& dialogs);
// A run's row of the summary: the labelled fields of its results dialog, texts in UTF-8.
std::vector<LabelledField> summaryFields(const std::vector<DialogRecord>& dialogs);
// The same from a run's report.json (whose texts are UTF-8 already).
std::vector<LabelledField> summaryFieldsOfReport(const Json& report);

class SummaryTable {
 public:
  // Adds a row; columns new to the table are appended in the order they appear.
  void add(const std::string& file, const std::vector<LabelledField>& fields);
  // "file" and the columns, then one line per row; a field a row lacks is empty. Cells that
  // hold a comma, quote or line end are quoted.
  std::string csv() const;
  Json json() const;
  const std::vector<std::string>& columns() const { return columns_; }

 private:
  std::vector<std::string> columns_;
  std::vector<std::pair<std::string, std::vector<std::string>>> rows_;
};

}  // namespace orvane
