// The checks with injected faults: each GlobalAlloc and each GlobalLock of a run failing in
// turn, and a cancel at each progress call. A first run counts the calls; then one run per call
// makes that call fail (or cancel) on a fresh instance.
#include <algorithm>
#include <set>

#include "host/validator/validator_checks.h"

namespace orvane {

namespace {

enum class Fault { Allocation, Lock };

const char* faultCall(Fault f) { return f == Fault::Allocation ? "GlobalAlloc" : "GlobalLock"; }

struct CallCount {
  int allocations = 0;
  int locks = 0;
  int locksBeforeResults = 0;  // locks made before the results dialog opened (all, without one)
  int progressCalls = 0;
  std::vector<int> displayOfCall;
  int errorBoxes = 0;  // message boxes with the error icon in the ordinary run
};

int errorBoxesOf(const TrialLog& log) {
  int n = 0;
  for (const MessageSeen& m : log.messages) n += m.icon == "error" ? 1 : 0;
  return n;
}

// An ordinary run that counts what XfmDo calls.
CallCount countCalls(const CheckContext& c, int channels, Heartbeat& heartbeat) {
  CallCount count;
  Trial t(c.plugin, standardSetup(channels, true));
  initAndSetUp(t, heartbeat);
  resetMemoryCounters();
  heartbeat.phase("XfmDo, counting its calls");
  t.run();
  MemoryCounters m = memoryCounters();
  count.allocations = m.allocCalls;
  count.locks = m.lockCalls;
  count.locksBeforeResults = m.lockCalls;
  for (const DialogEvent& d : t.log().dialogs)
    if (d.resource == kResultsDialogResource) {
      count.locksBeforeResults = d.lockCallsBefore;
      break;
    }
  count.progressCalls = t.log().progressCalls;
  count.displayOfCall = t.log().displayOfCall;
  count.errorBoxes = errorBoxesOf(t.log());
  heartbeat.phase("XfmDestroy");
  t.destroy();
  return count;
}

// XfmDo with call k of its kind failing. A run that ends early must say why, with one message
// box with the error icon (more than the ordinary run's `errorBoxes` by one at most; boxes with
// other icons are the plug-in's own warnings). The one silent ending is XfmDo's first step, the
// lock of the parameter block, after which nothing else may happen.
std::string failingRun(const CheckContext& c, int channels, Fault fault, int k, int of,
                       int errorBoxes, Heartbeat& heartbeat) {
  Problems problems;
  MemoryCounters base = memoryCounters();
  {
    Trial t(c.plugin, standardSetup(channels, true));
    initAndSetUp(t, heartbeat);
    MemoryCounters before = memoryCounters();
    resetMemoryCounters();
    if (fault == Fault::Allocation)
      failAllocationAt(k);
    else
      failLockAt(k);
    heartbeat.phase(std::string("XfmDo with ") + faultCall(fault) + " " + std::to_string(k) +
                    " of " + std::to_string(of) + " failing");
    int result = t.run();
    MemoryCounters after = memoryCounters();
    resetMemoryCounters();

    judgeResult("XfmDo", result, &problems);
    judgeCleanUp(before, after, t.block(), &problems);
    judgeConduct(t, &problems);
    const int shown = errorBoxesOf(t.log());
    if (shown > errorBoxes + 1) {
      problems.add(std::to_string(shown) + " message boxes with the error icon for one failure");
    }
    const bool struck = after.failedCalls > 0;
    const bool parameterBlockLock =
        fault == Fault::Lock && k == 1 && after.allocCalls == 0 && after.lockCalls == 1;
    if (struck && result == 1 && shown == 0 && !parameterBlockLock)
      problems.add("the run ended (1) without a message box with the error icon");
    heartbeat.phase("XfmDestroy");
    t.destroy();
  }
  judgeCleanUp(base, memoryCounters(), nullptr, &problems);
  return problems.text();
}

// XfmDo with the cancel flag set at progress call `call`. Before the results dialog has opened,
// a cancel ends the run without results: 1, and no results dialog.
std::string cancelledRun(const CheckContext& c, int channels, int call, int of,
                         Heartbeat& heartbeat) {
  Problems problems;
  MemoryCounters base = memoryCounters();
  {
    Trial t(c.plugin, standardSetup(channels, true));
    initAndSetUp(t, heartbeat);
    MemoryCounters before = memoryCounters();
    t.cancelAtProgressCall(call);
    heartbeat.phase("XfmDo cancelled at progress call " + std::to_string(call) + " of " +
                    std::to_string(of));
    int result = t.run();
    judgeResult("XfmDo", result, &problems);
    judgeCleanUp(before, memoryCounters(), t.block(), &problems);
    judgeConduct(t, &problems);
    bool resultsBeforeCancel = false, resultsAfterCancel = false;
    for (const DialogEvent& d : t.log().dialogs) {
      if (d.resource != kResultsDialogResource) continue;
      (d.shownAfterCancel ? resultsAfterCancel : resultsBeforeCancel) = true;
    }
    if (t.log().cancelled && !resultsBeforeCancel) {
      if (resultsAfterCancel) problems.add("the results dialog opened after the cancel");
      if (result == 0) problems.add("XfmDo returned 0 after the cancel (1 expected)");
    }
    heartbeat.phase("XfmDestroy");
    t.destroy();
  }
  judgeCleanUp(base, memoryCounters(), nullptr, &problems);
  return problems.text();
}

// The progress calls to cancel at: all of them when there are at most `limit`; otherwise the
// first and last call of each progress display, and one call in every *stride.
std::vector<int> cancelPoints(const std::vector<int>& displayOfCall, int limit, int* stride) {
  const int n = static_cast<int>(displayOfCall.size());
  std::vector<int> points;
  *stride = 1;
  if (n <= limit) {
    for (int i = 1; i <= n; ++i) points.push_back(i);
    return points;
  }
  std::set<int> chosen;
  for (int i = 0; i < n; ++i) {
    bool first = i == 0 || displayOfCall[i - 1] != displayOfCall[i];
    bool last = i == n - 1 || displayOfCall[i + 1] != displayOfCall[i];
    if (first || last) chosen.insert(i + 1);
  }
  int room = std::max(1, limit - static_cast<int>(chosen.size()));
  *stride = std::max(1, (n + room - 1) / room);
  for (int i = *stride; i <= n; i += *stride) chosen.insert(i);
  return std::vector<int>(chosen.begin(), chosen.end());
}

// The calls to fail: every allocation, and every lock the run makes before its results dialog
// opens. Once it is open, the display locks what it reads for each point it plots, so that
// its locks grow with the width of the plot: of those, the first and the last and one in
// every *stride, at most `limit`.
std::vector<int> faultPoints(const CallCount& count, Fault fault, int limit, int* stride) {
  const int n = fault == Fault::Allocation ? count.allocations : count.locks;
  const int before = fault == Fault::Allocation ? n : count.locksBeforeResults;
  const int after = n - before;
  *stride = after <= limit ? 1 : (after - 1 + limit - 2) / (limit - 1);
  std::vector<int> points;
  for (int k = 1; k <= before; ++k) points.push_back(k);
  for (int k = before + 1; k <= n; k += *stride) points.push_back(k);
  if (after > 0 && points.back() != n) points.push_back(n);
  return points;
}

CheckOutcome faultsInChild(const CheckContext& c, int channels, Fault fault, Heartbeat& heartbeat) {
  CheckOutcome out;
  CallCount count = countCalls(c, channels, heartbeat);
  const int n = fault == Fault::Allocation ? count.allocations : count.locks;
  int stride = 1;
  const std::vector<int> points = faultPoints(count, fault, c.settings.displayLockPoints, &stride);
  if (static_cast<int>(points.size()) == n) {
    out.what = std::string("each of ") + std::to_string(n) + " " + faultCall(fault) +
               " calls of XfmDo failing in turn";
  } else {
    out.what = std::string("each of the ") + std::to_string(count.locksBeforeResults) + " " +
               faultCall(fault) + " calls of XfmDo before its results dialog, and " +
               std::to_string(points.size() - count.locksBeforeResults) + " of the " +
               std::to_string(n - count.locksBeforeResults) + " after (one in every " +
               std::to_string(stride) + " and the last), failing in turn";
  }
  out.what += std::string(" (") + channelsName(channels) + ")";
  for (int k : points) {
    std::string problems = failingRun(c, channels, fault, k, n, count.errorBoxes, heartbeat);
    if (!problems.empty()) {
      out.why = faultCall(fault) + (" " + std::to_string(k)) + " of " + std::to_string(n) +
                " failing: " + problems;
      return out;
    }
  }
  out.passed = true;
  return out;
}

CheckOutcome cancelsInChild(const CheckContext& c, int channels, Heartbeat& heartbeat) {
  CheckOutcome out;
  CallCount count = countCalls(c, channels, heartbeat);
  int stride = 1;
  std::vector<int> points = cancelPoints(count.displayOfCall, c.settings.cancelPoints, &stride);
  const int n = count.progressCalls;
  if (static_cast<int>(points.size()) == n) {
    out.what = "a cancel at each of " + std::to_string(n) + " progress calls";
  } else {
    out.what = "a cancel at " + std::to_string(points.size()) + " of " + std::to_string(n) +
               " progress calls: each display's first and last, and one in every " +
               std::to_string(stride);
  }
  out.what += std::string(" (") + channelsName(channels) + ")";
  for (int call : points) {
    std::string problems = cancelledRun(c, channels, call, n, heartbeat);
    if (!problems.empty()) {
      out.why = "cancelled at progress call " + std::to_string(call) + " of " + std::to_string(n) +
                ": " + problems;
      return out;
    }
  }
  out.passed = true;
  return out;
}

}  // namespace

CheckOutcome checkAllocationFailures(const CheckContext& c, int channels) {
  return runIsolated(
      std::string("each GlobalAlloc call of XfmDo failing in turn (") + channelsName(channels) +
          ")",
      c.isolation, [&](Heartbeat& h) { return faultsInChild(c, channels, Fault::Allocation, h); });
}

CheckOutcome checkLockFailures(const CheckContext& c, int channels) {
  return runIsolated(
      std::string("each GlobalLock call of XfmDo failing in turn (") + channelsName(channels) + ")",
      c.isolation, [&](Heartbeat& h) { return faultsInChild(c, channels, Fault::Lock, h); });
}

CheckOutcome checkCancels(const CheckContext& c, int channels) {
  return runIsolated(std::string("a cancel at each progress call (") + channelsName(channels) + ")",
                     c.isolation, [&](Heartbeat& h) { return cancelsInChild(c, channels, h); });
}

}  // namespace orvane
