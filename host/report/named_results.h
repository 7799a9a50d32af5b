// The results of a run by name: what the plug-in publishes (published_results.h) read off the
// run's parameter block and results dialog, as numbers a script collects and as the texts a
// person read. A plug-in that publishes no table gets the labelled fields of its results
// dialog instead (summary.h), each as a result of the whole run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/person/person.h"
#include "host/report/json.h"
#include "host/session/published_results.h"

namespace orvane {

struct NamedResult {
  std::string name;     // as a person reads it ("Leq"); UTF-8
  std::string channel;  // "Left", "Right", "Average", "" for the whole run
  std::string unit;     // "dB", "ms", ...; "" for none
  // The number, in `unit`: the block field's (times its power of ten), else the one the shown
  // text holds (or the index of that text among the result's texts); none when there is none
  // (a time of flight that reads "no signal", a field that is no finite number).
  std::optional<double> value;
  std::string text;  // what the results dialog shows for it (the value's text when it shows none)
};

// The results present after a completed run, in the table's order: those no field shows, and
// those whose field in the results dialog (resource 107) is visible and shows more than the
// placeholder. `block` is the parameter block as the run left it.
std::vector<NamedResult> namedResults(const PublishedResults& table,
                                      const std::vector<DialogRecord>& dialogs,
                                      const std::vector<unsigned char>& block);

// The report's "results": [{"name", "channel", "value" (number or null), "unit", "text"}].
Json namedResultsJson(const std::vector<NamedResult>& results);
// The same read back from a report's "results".
std::vector<NamedResult> namedResultsOf(const Json& results);

// The name a table column gives a result: its name, channel and unit, "Leq Left (dB)".
std::string resultColumnName(const NamedResult& r);
// The shortest text that reads back as `v` ("120", "-24.26734", "0.001").
std::string numberText(double v);
// The number `text` holds, whole, or followed by a blank and `unit` ("-24.27 dB"); none
// otherwise.
std::optional<double> numberInText(const std::string& text, const std::string& unit);

}  // namespace orvane
