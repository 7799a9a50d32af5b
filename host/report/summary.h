// The summary of a batch: one row per audio file, one column per result of the run (its name,
// channel and unit: "Leq Left (dB)", named_results.h), so that many recordings measured in one
// command give one table of numbers.
//
// The results dialog's own fields, as a person pairs them, stand in for the results of a
// plug-in that publishes no table of its own. A result field is a visible static text with an id
// that has an unnamed static on its row to its left (control_labels.h): that static's text is the
// field's label. Where a row holds several fields, each is told apart by the heading above its
// column, as "Active Speech Level (Left)".
#pragma once

#include <string>
#include <vector>

#include "host/person/person.h"
#include "host/report/json.h"

namespace orvane {

struct LabelledField {
  std::string label;
  std::string value;  // the field's text as the dialog showed it
  // The unit the dialog gives the field, "" for none: an unnamed static to its right on its
  // row ("Hz", "dB", "Samples"), or else one in brackets at the end of its label
  // ("Low frequency (Hz):").
  std::string unit;
  int id = 0;  // the field's control id
};

// The labelled fields of a dialog as it ended, in the order of its controls.
std::vector<LabelledField> labelledFields(const DialogRecord& dialog);
// What a person reads as the results of a run: the labelled fields of its results dialog,
// and among them, with an empty label, the result fields that need none because their text
// says what they are ("NCC Max: 98.765%  at 1.25 ms"). Texts in UTF-8.
std::vector<LabelledField> resultFields(const std::vector<DialogRecord>& dialogs);
// The results dialog of a run (resource 107), or the last dialog it showed; null for none.
const DialogRecord* resultsDialogOf(const std::vector<DialogRecord>& dialogs);
// A run's row from its report (whose texts are UTF-8 already): its results, each the number
// it has or else its text, then the figures of its assessment, if any (assessmentFields).
std::vector<LabelledField> summaryFieldsOfReport(const Json& report);
// The figures of an assessment (a report's "assessment") as columns: per channel the flatness
// before and after, the peak offset, main share, pre-ringing, pre-echo and separation, then
// the filter's largest gain and the number of warnings; a figure that is none is empty.
std::vector<LabelledField> assessmentFields(const Json& assessment);

// The table's rows are ordered by the input's path (a batch's and `orvane summary`'s alike,
// whatever order the runs came in), and its columns in the order of each row's fields, a
// column first met standing after the one before it in its row; "error" comes last, when a
// row has one.
class SummaryTable {
 public:
  // A row; `error` names why the file's run failed or did not complete ("" when it did).
  void add(const std::string& file, const std::vector<LabelledField>& fields,
           const std::string& error = "");
  // "file" and the columns, then one line per row; a field a row lacks is empty. Cells that
  // hold a comma, quote or line end are quoted.
  std::string csv() const;
  Json json() const;
  std::vector<std::string> columns() const;

 private:
  struct Row {
    std::string file;
    std::vector<LabelledField> fields;
    std::string error;
  };
  std::vector<const Row*> ordered() const;
  std::vector<Row> rows_;
};

}  // namespace orvane
