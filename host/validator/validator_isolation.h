// Each check of the validator drives the plug-in in a child process of its own, so that a
// plug-in that crashes or never returns costs that check and not the validation: the child
// reports what it is doing (a phase) before every call into the plug-in, and the parent waits
// at most a set time for each phase.
#pragma once

#include <functional>
#include <string>

namespace orvane {

// One line of the validator's report.
struct CheckOutcome {
  std::string what;  // what was checked, with the facts found ("... (stereo, 12 calls)")
  bool passed = false;
  std::string why;  // for a failure: the first thing that was wrong
};

// The child's line to the parent.
class Heartbeat {
 public:
  explicit Heartbeat(int fd) : fd_(fd) {}
  // Says what the child is about to do; the time allowed starts again. A crash or a hang is
  // reported as happening during the last phase named.
  void phase(const std::string& text);

 private:
  int fd_;
};

struct IsolationSettings {
  int timeoutSeconds = 60;    // longest a phase may take
  std::string workDirectory;  // the child's current directory (files a plug-in writes land there)
};

// Runs `body` in a child process and returns its outcome. When the child dies or a phase
// outlasts the time allowed (the child is then killed), the outcome is a failure of `what`
// that says so. Exceptions thrown by `body` become failures too.
CheckOutcome runIsolated(const std::string& what, const IsolationSettings& settings,
                         const std::function<CheckOutcome(Heartbeat&)>& body);

}  // namespace orvane
