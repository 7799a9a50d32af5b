// One audio file through one instance of a plug-in, as `orvane run` makes it for each file.
#pragma once

#include <string>
#include <vector>

#include "host/cli/options.h"
#include "host/person/person.h"
#include "host/report/json.h"
#include "host/session/audio.h"
#include "host/session/plugin.h"

namespace orvane {

// The selection of the options, checked against the recording (HostError kExitBadInput).
Selection checkedSelection(const RunOptions& o, const Audio& audio);

// From QueryXfm's answers (already in `plugin`) to XfmDestroy; writes the file's outputs into
// `outDir` (none when empty) and returns the report. `dialogs` (may be null) gets the dialogs
// as they ended.
Json runFile(const RunOptions& o, Plugin& plugin, const std::string& audioFile,
             const std::string& outDir, const std::vector<unsigned char>& preset,
             std::vector<DialogRecord>* dialogs);

}  // namespace orvane
