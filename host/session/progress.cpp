#include "host/session/progress.h"

#include <cstdio>

namespace orvane {

namespace {

// Texts of a phase beyond this many are counted by `steps` only: a plug-in that names every
// block would otherwise fill the report.
constexpr size_t kMaxTexts = 200;
constexpr int kBarWidth = 30;
// The terminal line is redrawn at least this often, so the elapsed time keeps moving.
constexpr double kRedrawSeconds = 0.25;
// The clock is read about this often at most while progress calls stream in.
constexpr double kClockSeconds = 0.004;

std::string bar(int percent) {
  int filled = percent * kBarWidth / 100;
  return "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "]";
}

}  // namespace

ProgressPhase& ProgressMeter::current() {
  if (!open_) {
    phases_.push_back({});
    open_ = true;
    shownPercent_ = -1;
    began_ = Clock::now();
  }
  return phases_.back();
}

int ProgressMeter::percent() const {
  if (!open_ || phases_.back().lastSteps <= 0) return 0;
  long long p = 100LL * phases_.back().lastStep / phases_.back().lastSteps;
  return p < 0 ? 0 : p > 100 ? 100 : static_cast<int>(p);
}

double ProgressMeter::elapsed() const {
  return std::chrono::duration<double>(Clock::now() - began_).count();
}

void ProgressMeter::draw(bool force) {
  if (!show_ || !open_) return;
  const ProgressPhase& phase = phases_.back();
  int p = percent();
  const std::string& text = phase.texts.empty() ? std::string() : phase.texts.back();
  if (terminal_) {
    if (!force && p == shownPercent_ && !redrawDue()) return;
    std::fprintf(stderr, "\r\033[K%s%s%s %s %3d%% %6.1f s", phase.caption.c_str(),
                 text.empty() ? "" : "  ", text.c_str(), bar(p).c_str(), p, elapsed());
  } else {
    if (!force && shownPercent_ >= 0 && p / 10 == shownPercent_ / 10) return;
    if (text.empty()) {
      std::fprintf(stderr, "%s %d%% (%.1f s)\n", phase.caption.c_str(), p, elapsed());
    } else {
      std::fprintf(stderr, "%s  %s %d%% (%.1f s)\n", phase.caption.c_str(), text.c_str(), p,
                   elapsed());
    }
  }
  drawn_ = Clock::now();
  shownPercent_ = p;
  std::fflush(stderr);
}

bool ProgressMeter::redrawDue() {
  if (++sinceClock_ < clockStride_) return false;
  sinceClock_ = 0;
  const Clock::time_point now = Clock::now();
  const double sinceRead = std::chrono::duration<double>(now - clockRead_).count();
  clockRead_ = now;
  if (sinceRead < kClockSeconds) {
    clockStride_ *= 2;
  } else if (sinceRead > 4 * kClockSeconds && clockStride_ > 1) {
    clockStride_ /= 2;
  }
  return std::chrono::duration<double>(now - drawn_).count() >= kRedrawSeconds;
}

void ProgressMeter::begin(const char* caption) {
  if (open_) end();
  ProgressPhase& phase = current();
  phase.caption = caption ? caption : "";
  draw(true);
}

void ProgressMeter::step(int step, int steps) {
  ProgressPhase& phase = current();
  ++phase.steps;
  phase.lastStep = step;
  phase.lastSteps = steps;
  draw(false);
}

void ProgressMeter::text(const char* text) {
  ProgressPhase& phase = current();
  std::string line = text ? text : "";
  if (!phase.texts.empty() && phase.texts.back() == line) return;
  if (phase.texts.size() >= kMaxTexts) return;
  phase.texts.push_back(line);
  draw(true);
}

void ProgressMeter::end() {
  if (!open_) return;
  phases_.back().ended = true;
  if (show_) {
    const ProgressPhase& phase = phases_.back();
    if (terminal_) {
      std::fprintf(stderr, "\r\033[K%s done in %.1f s\n", phase.caption.c_str(), elapsed());
    } else {
      std::fprintf(stderr, "%s done in %.1f s\n", phase.caption.c_str(), elapsed());
    }
    std::fflush(stderr);
  }
  open_ = false;
}

void ProgressMeter::finish() {
  if (open_) {
    // Left open by the plug-in: finish the line without claiming it ended.
    if (show_ && terminal_) std::fputs("\n", stderr);
    open_ = false;
  }
}

}  // namespace orvane
