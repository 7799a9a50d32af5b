// The validator's checks, one function per line of its report, and what they share: the
// standard waveform, and the verdicts on a run's clean-up.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/session/plugin.h"
#include "host/validator/validator.h"
#include "host/validator/validator_isolation.h"
#include "host/validator/validator_platform.h"
#include "host/validator/validator_trial.h"

namespace orvane {

struct CheckContext {
  const Plugin& plugin;
  ValidatorSettings settings;
  IsolationSettings isolation;
};

// ---- Without running the plug-in (validator_static_checks.cpp) ----
CheckOutcome checkExports(HMODULE module);
// Calls QueryXfm in a child process: a plug-in that crashes there is never loaded by the host.
CheckOutcome checkQueryXfm(HMODULE module, const IsolationSettings& isolation);
CheckOutcome checkLayout(const PluginInfo& info);

// ---- An instance's life (validator_life_checks.cpp) ----
CheckOutcome checkHandlesStored(const CheckContext& c);
enum class BlockExport { Init, Destroy, Setup, Do };
CheckOutcome checkUnlockableBlock(const CheckContext& c, BlockExport which);
CheckOutcome checkAutoConfirm(const CheckContext& c, int channels);
enum class ClipboardMode { Free, Busy, CloseFails };
CheckOutcome checkCommands(const CheckContext& c, ClipboardMode mode);

// ---- Injected faults (validator_fault_checks.cpp) ----
CheckOutcome checkAllocationFailures(const CheckContext& c, int channels);
CheckOutcome checkLockFailures(const CheckContext& c, int channels);
CheckOutcome checkCancels(const CheckContext& c, int channels);

// ---- Random runs (validator_random_checks.cpp) ----
CheckOutcome checkRandomRuns(const CheckContext& c);

// ---- Shared (validator_verdicts.cpp) ----
// 1000 frames at 16 kHz of tone and noise, selected from frame 2000 of a longer waveform so
// that a plug-in ignoring selFirst is seen.
TrialSetup standardSetup(int channels, bool autoConfirm);
const char* channelsName(int channels);  // "mono", "stereo"

// Problems of one check, the first few different ones kept.
class Problems {
 public:
  void add(const std::string& problem);
  bool any() const { return !list_.empty(); }
  std::string text() const;  // joined with "; "

 private:
  std::vector<std::string> list_;
};

// The blocks a run left behind: `before` and `after` are counted around it, `block` is the
// parameter block (which must be left unlocked).
void judgeCleanUp(const MemoryCounters& before, const MemoryCounters& after, HGLOBAL block,
                  Problems* problems);
// What every run must get right whatever happened: progress displays closed, transfers inside
// the selection, save dialogs given a terminated file name.
void judgeConduct(const Trial& trial, Problems* problems);
// XfmInit, then XfmSetup, each announced to the heartbeat; XfmSetup's result.
int initAndSetUp(Trial& trial, Heartbeat& heartbeat);
// An XfmDo result other than 0 or 1.
void judgeResult(const char* exportName, int result, Problems* problems);

}  // namespace orvane
