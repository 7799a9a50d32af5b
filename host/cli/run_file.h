// One audio file through one instance of a plug-in, as `orvane run` makes it for each file.
#pragma once

#include <string>
#include <vector>

#include "host/cli/options.h"
#include "host/person/person.h"
#include "host/report/json.h"
#include "host/report/output_set.h"
#include "host/session/audio.h"
#include "host/session/plugin.h"

namespace orvane {

// The selection of the options, checked against the recording (HostError kExitBadInput).
Selection checkedSelection(const RunOptions& o, const Audio& audio);

struct RunOutcome {
  Json report;
  int status = 0;       // kExitOk, or kExitNotCompleted when XfmDo returned something else than 0
  std::string problem;  // what was said of a run not completed, "" for a completed one
  std::string assessmentText;  // the design's assessment as text (assessmentText), "" for none
};

// From QueryXfm's answers (already in `plugin`) to XfmDestroy. The file's outputs go into
// `folder` (at or under the target of `set`), made in the set's staging folder; none when
// `set` is null. What the person must know is said on stderr: warnings, a run the plug-in did
// not complete with its message boxes, error boxes of a completed run. Throws HostError for a
// run that must not be reported. `calibration`, unless null, is the report's "calibration".
RunOutcome runFile(const RunOptions& o, Plugin& plugin, const std::string& audioFile,
                   OutputSet* set, const std::string& folder,
                   const std::vector<unsigned char>& preset, const Json& calibration = Json());

}  // namespace orvane
