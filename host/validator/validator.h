// The validator behind `orvane validate`: a plug-in checked as a strict host would check it,
// for any plug-in the host can load. Every check drives the plug-in on generated waveforms in a
// child process of its own (validator_isolation.h) under the platform layer's block accounting
// and injected faults (validator_platform.h):
//   - the exports and their ordinals; QueryXfm's answer and strings; paramTypes against
//     paramSize; XfmSetup leaving the host window and module instance in handle fields
//   - XfmInit, XfmDestroy, XfmSetup and XfmDo on a parameter block that cannot be locked
//   - a whole run, mono and stereo, in which every dialog must confirm itself
//   - each GlobalAlloc and each GlobalLock of XfmDo failing in turn, mono and stereo
//   - a cancel at each progress call, mono and stereo
//   - every command button of the results dialog pressed, with the clipboard free, busy, and
//     failing to close
//   - random parameter blocks, selections, sample rates and waveforms
// Each run must end with exactly the blocks it started with, none left locked, a result of 0
// or 1, its progress displays closed and its sample transfers inside the selection.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/report/json.h"
#include "host/validator/validator_isolation.h"

namespace orvane {

struct ValidatorSettings {
  int iterations = 1000;       // random parameter blocks and selections
  unsigned seed = 1;           // of the random runs; the same seed repeats them
  int timeoutSeconds = 60;     // longest one call into the plug-in may take before it is a hang
  int cancelPoints = 300;      // progress calls cancelled at per run; beyond that a sample
  int displayLockPoints = 40;  // GlobalLock calls failed after the results dialog has opened
                               // (the display's, one or more per point plotted): a sample
};

struct ValidationReport {
  std::string plugin;  // the file validated
  std::vector<CheckOutcome> checks;
  int passed() const;
  int failed() const;
};

// Validates the plug-in file at `path`; `onCheck` (may be empty) hears of each check as soon as
// it is decided. Throws HostError (kExitBadInput) when the file cannot be loaded as a module at
// all; everything else is a check that passes or fails. When the exports or QueryXfm fail, the
// checks that would call the plug-in are not run.
ValidationReport validatePlugin(const std::string& path, const ValidatorSettings& settings,
                                const std::function<void(const CheckOutcome&)>& onCheck = {});

// One line of the text report, without its newline.
std::string checkLine(const CheckOutcome& check);

// "pass  <what>" or "FAIL  <what>: <why>" per check, then "N passed, M failed".
std::string renderValidationText(const ValidationReport& report);
// {"plugin", "checks": [{"check", "passed", "why"}], "passed", "failed"}
Json validationJson(const ValidationReport& report);

}  // namespace orvane
