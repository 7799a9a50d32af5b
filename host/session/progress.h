// The progress display the plug-ins open through progressBegin / progress / progressText /
// progressEnd: shown on stderr (stdout carries the report) and kept for the report.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace orvane {

// One progressBegin ... progressEnd.
struct ProgressPhase {
  std::string caption;
  std::vector<std::string> texts;  // progressText lines, consecutive repeats dropped
  long steps = 0;                  // progress calls
  int lastStep = 0;
  int lastSteps = 0;
  bool ended = false;
};

class ProgressMeter {
 public:
  // `show`: write to stderr at all; `terminal`: redraw one line in place (caption, step text,
  // a bar, the percentage and the time since progressBegin), else plain lines (at the start,
  // at every tenth of the way, at new step text and at the end, with the elapsed time).
  ProgressMeter(bool show, bool terminal) : show_(show), terminal_(terminal) {}

  void begin(const char* caption);
  void step(int step, int steps);
  void text(const char* text);
  void end();
  // Ends a phase the plug-in left open, so the terminal line is finished.
  void finish();

  const std::vector<ProgressPhase>& phases() const { return phases_; }

 private:
  ProgressPhase& current();
  void draw(bool force);
  int percent() const;

  using Clock = std::chrono::steady_clock;
  double elapsed() const;  // seconds since the phase began

  // Whether a plain redraw is due by time: reads the clock only every clockStride_ calls, a
  // stride that adapts so that a plug-in calling per block (thousands of times a second) has
  // the clock read at most a few hundred times a second.
  bool redrawDue();

  bool show_;
  bool terminal_;
  Clock::time_point began_;
  Clock::time_point drawn_;
  Clock::time_point clockRead_;  // when redrawDue last read the clock
  long clockStride_ = 1;         // calls between two readings of the clock
  long sinceClock_ = 0;          // calls since the last reading
  bool open_ = false;
  int shownPercent_ = -1;
  std::vector<ProgressPhase> phases_;
};

}  // namespace orvane
