// The table of results a plug-in publishes through its export XfmResults
// (frame/results_table.h), as the host keeps it: copied out of the module and checked against
// the parameter block the plug-in describes.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace orvane {

struct PluginInfo;

// One result the plug-in publishes (frame/results_table.h), copied out of its table.
struct PublishedResult {
  std::string name;     // as a person reads it
  std::string channel;  // "Left", "Right", "Average", "" for the whole run
  std::string unit;     // "" for none
  int shownBy = 0;      // the results dialog's field that shows it; 0 for none
  long offset = -1;     // bytes into the parameter block of the field that holds it; -1 none
  char type = 0;        // that field's paramTypes letter
  int powerOfTen = 0;   // the value is the field times 10^powerOfTen
  std::vector<std::string> valueTexts;  // the texts of the values 0, 1, ...; empty: a number
};

// A curve of the results dialog's display: curve 1 or 2 drawn in `colour` is `name`.
struct PublishedCurveName {
  int curve = 0;
  long colour = 0;  // COLORREF
  std::string name;
};

// The plug-in's table of results, in its order; `published` false for a plug-in without one.
struct PublishedResults {
  bool published = false;
  std::vector<PublishedResult> entries;
  std::string placeholder;  // what a shown field holds while it shows no result
  // What its display shows: its curves' names, and the units of its axes where the plug-in's
  // labels say another or none ("" keeps the label).
  std::vector<PublishedCurveName> curveNames;
  std::string xUnit, yUnit;
};

// The table of `module` (loaded from `path`, described by `info`), or none (published false)
// when it exports no XfmResults. Throws HostError (kExitBadInput) naming the file and the fault
// for an export that is not ordinal 8 or a table that does not fit the block: an entry without
// a name, a field outside the block or not where its paramTypes letter lies.
PublishedResults readPublishedResults(HMODULE module, const std::string& path,
                                      const PluginInfo& info);

}  // namespace orvane
