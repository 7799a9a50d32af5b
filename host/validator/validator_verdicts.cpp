// What the validator's checks share: the standard waveform and the verdicts on a run.
#include "host/validator/validator_checks.h"

namespace orvane {

namespace {

constexpr size_t kProblemsKept = 3;
constexpr long kStandardRate = 16000;
constexpr long kStandardFrames = 20000;
constexpr long kStandardFirst = 2000;
// 1000 frames: long enough for every plug-in to measure, and no longer than the shortest filter
// a designer's defaults make, whose settings dialog refuses a selection longer than the filter.
constexpr long kStandardLast = 2999;

std::string blocksText(int n, const char* what) {
  return std::to_string(n) + (n == 1 ? " block " : " blocks ") + what;
}

}  // namespace

TrialSetup standardSetup(int channels, bool autoConfirm) {
  TrialSetup t;
  t.signal.channels = channels;
  t.signal.sampleRate = kStandardRate;
  t.signal.frames = kStandardFrames;
  t.signal.kind = SignalKind::ToneAndNoise;
  t.signal.seed = 1;
  t.selFirst = kStandardFirst;
  t.selLast = kStandardLast;
  t.person.autoConfirm = autoConfirm;
  return t;
}

int initAndSetUp(Trial& trial, Heartbeat& heartbeat) {
  heartbeat.phase("XfmInit");
  trial.init();
  heartbeat.phase("XfmSetup");
  return trial.setup();
}

const char* channelsName(int channels) { return channels == 1 ? "mono" : "stereo"; }

void Problems::add(const std::string& problem) {
  for (const auto& p : list_)
    if (p == problem) return;
  if (list_.size() < kProblemsKept) list_.push_back(problem);
}

std::string Problems::text() const {
  std::string t;
  for (const auto& p : list_) t += (t.empty() ? "" : "; ") + p;
  return t;
}

void judgeCleanUp(const MemoryCounters& before, const MemoryCounters& after, HGLOBAL block,
                  Problems* problems) {
  if (after.liveBlocks > before.liveBlocks)
    problems->add(blocksText(after.liveBlocks - before.liveBlocks, "left allocated"));
  if (after.liveBlocks < before.liveBlocks)
    problems->add(blocksText(before.liveBlocks - after.liveBlocks, "freed that it did not own"));
  int paramLocks = block ? lockCountOf(block) : 0;
  int otherLocked = after.lockedBlocks - (paramLocks > 0 ? 1 : 0);
  int otherBefore = before.lockedBlocks;
  if (otherLocked > otherBefore)
    problems->add(blocksText(otherLocked - otherBefore, "left locked"));
  if (paramLocks > 0) {
    problems->add("the parameter block left locked (" + std::to_string(paramLocks) +
                  (paramLocks == 1 ? " lock)" : " locks)"));
  }
  if (block && paramLocks < 0) problems->add("the parameter block freed");
}

void judgeConduct(const Trial& trial, Problems* problems) {
  const TrialLog& log = trial.log();
  if (log.openDisplays > 0) {
    problems->add(std::to_string(log.openDisplays) + " progress display" +
                  (log.openDisplays == 1 ? "" : "s") + " left open (progressBegin without " +
                  "progressEnd)");
  }
  if (!log.faults.empty()) problems->add(log.faults.front());
}

void judgeResult(const char* exportName, int result, Problems* problems) {
  if (result != 0 && result != 1) {
    problems->add(std::string(exportName) + " returned " + std::to_string(result) +
                  " (0 or 1 expected)");
  }
}

}  // namespace orvane
