#include "host/validator/validator_trial.h"

#include <cstring>

#include "host/person/person.h"
#include "host/validator/validator_platform.h"

namespace orvane {

namespace {

Trial* currentTrial = nullptr;

constexpr size_t kFaultsKept = 5;

SessionSetup sessionSetupOf(const TrialSetup& t) {
  SessionSetup s;
  s.channels = t.signal.channels;
  s.sampleRate = t.signal.sampleRate;
  s.selFirst = t.selFirst;
  s.selLast = t.selLast;
  s.autoConfirm = t.person.autoConfirm;
  s.showProgress = false;
  s.terminal = false;
  return s;
}

// The record's callbacks while a trial runs. They carry no context, so they serve the current
// trial; nothing may escape them into the plug-in.
int WINAPI onProgress(int, int) {
  try {
    return currentTrial ? currentTrial->progressCalled() : 1;
  } catch (...) {
    return 1;
  }
}

int WINAPI onProgressText(LPCSTR) { return onProgress(0, 0); }

void WINAPI onProgressBegin(LPCSTR, LPARAM) {
  if (currentTrial) currentTrial->progressBegan();
}

void WINAPI onProgressEnd(void) {
  if (currentTrial) currentTrial->progressEnded();
}

int WINAPI onRead(DWORD wave, float* buffer, LONG first, LONG frames, LONG format) {
  try {
    return currentTrial ? currentTrial->transfer(false, wave, buffer, first, frames, format) : 0;
  } catch (...) {
    return 0;
  }
}

int WINAPI onWrite(DWORD wave, float* buffer, LONG first, LONG frames, LONG format) {
  try {
    return currentTrial ? currentTrial->transfer(true, wave, buffer, first, frames, format) : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace

Trial::Trial(const Plugin& plugin, const TrialSetup& setup)
    : setup_(setup),
      audio_(makeSignal(setup.signal)),
      session_(plugin, &audio_, sessionSetupOf(setup)) {
  XFMINSTANCE& r = session_.record();
  hostRead_ = r.readSamples;
  hostWrite_ = r.writeSamples;
  r.progress = onProgress;
  r.progressText = onProgressText;
  r.progressBegin = onProgressBegin;
  r.progressEnd = onProgressEnd;
  r.readSamples = onRead;
  r.writeSamples = onWrite;
  clipboardEmpty();
  currentTrial = this;
  installWitness(this);
}

Trial::~Trial() {
  installWitness(nullptr);
  if (currentTrial == this) currentTrial = nullptr;
}

int Trial::init() { return session_.init(); }
int Trial::setup() { return session_.setup(); }
int Trial::run() { return session_.run(); }
int Trial::destroy() { return session_.destroy(); }

void Trial::cancelAtProgressCall(int call) { cancelAt_ = call > 0 ? log_.progressCalls + call : 0; }

bool Trial::resultsShown() const {
  for (const DialogEvent& d : log_.dialogs)
    if (d.resource == kResultsDialogResource) return true;
  return false;
}

int Trial::progressCalled() {
  ++log_.progressCalls;
  log_.displayOfCall.push_back(log_.openDisplays > 0 ? log_.progressBegins : 0);
  if (cancelAt_ != 0 && log_.progressCalls == cancelAt_) {
    *session_.cancelFlagAddress() = 1;
    log_.cancelled = true;
  }
  return *session_.cancelFlagAddress() != 0 ? 0 : 1;
}

void Trial::progressBegan() {
  ++log_.progressBegins;
  ++log_.openDisplays;
}

void Trial::progressEnded() {
  ++log_.progressEnds;
  if (log_.openDisplays > 0) --log_.openDisplays;
}

int Trial::transfer(bool write, DWORD wave, float* buffer, LONG first, LONG frames, LONG format) {
  ++(write ? log_.writes : log_.reads);
  // A plug-in works on the highlighted part only: a transfer beyond it reads or overwrites
  // audio the person did not select.
  const long long last = static_cast<long long>(first) + frames - 1;
  if (frames < 0 || (frames > 0 && (first < setup_.selFirst || last > setup_.selLast))) {
    fault(std::string(write ? "writeSamples" : "readSamples") + " of frames " +
          std::to_string(first) + " to " + std::to_string(last) + " outside the selection " +
          std::to_string(setup_.selFirst) + " to " + std::to_string(setup_.selLast));
    return 0;
  }
  return (write ? hostWrite_ : hostRead_)(wave, buffer, first, frames, format);
}

DialogEvent* Trial::eventOf(HWND dialog) {
  for (auto it = open_.rbegin(); it != open_.rend(); ++it)
    if (it->first == dialog) return &log_.dialogs[it->second];
  return nullptr;
}

void Trial::dialogShown(HWND dialog, int resource) {
  try {
    DialogEvent e;
    e.resource = resource;
    e.shownAfterCancel = *session_.cancelFlagAddress() != 0;
    e.lockCallsBefore = memoryCounters().lockCalls;
    log_.dialogs.push_back(e);
    open_.emplace_back(dialog, log_.dialogs.size() - 1);
  } catch (...) {
  }
}

bool Trial::dialogWaits(HWND dialog, int resource) {
  try {
    if (DialogEvent* e = eventOf(dialog)) e->waited = true;
    if (setup_.person.autoConfirm) return false;  // should not wait at all: closed
    if (resource == kSettingsDialogResource && !settingsActed_) {
      settingsActed_ = true;
      return pressButton(dialog, IDOK);
    }
    if (resource == kResultsDialogResource && !resultsActed_) {
      resultsActed_ = true;
      actOnResults(dialog);
      return true;
    }
  } catch (...) {
  }
  return false;
}

void Trial::actOnResults(HWND dialog) {
  std::vector<CommandButton> buttons = commandButtons(dialog);
  if (!buttons.empty()) {
    if (setup_.person.pressEveryCommand) {
      for (const CommandButton& b : buttons) pressButton(dialog, b.id);
    } else {
      for (int index : setup_.person.presses)
        pressButton(dialog, buttons[static_cast<size_t>(index) % buttons.size()].id);
    }
  }
  if (setup_.person.resultsCloser != 0) pressButton(dialog, setup_.person.resultsCloser);
}

void Trial::dialogEnded(HWND dialog, int, INT_PTR result) {
  try {
    // The curves are read while the plug-in's buffers still live, as a graph would draw them.
    session_.displays().sampleDialog(dialog);
    if (DialogEvent* e = eventOf(dialog)) {
      e->ended = true;
      e->result = result;
    }
    for (auto it = open_.begin(); it != open_.end(); ++it) {
      if (it->first == dialog) {
        open_.erase(it);
        break;
      }
    }
  } catch (...) {
  }
}

int Trial::messageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  try {
    log_.messages.push_back({caption ? caption : "", text ? text : "", messageIconName(type)});
  } catch (...) {
  }
  return firstButtonOf(type);
}

void Trial::fault(const std::string& what) {
  if (log_.faults.size() < kFaultsKept) log_.faults.push_back(what);
}

void Trial::saveDialog(const OPENFILENAMEA* ofn) {
  try {
    ++log_.saveDialogs;
    if (!ofn) return;
    // The system's dialog reads every text it is given: a text without its terminating zero
    // is read beyond its end (which the sanitizer build sees).
    log_.saveDialogTexts.push_back(ofn->lpstrTitle ? ofn->lpstrTitle : "");
    log_.saveDialogTexts.push_back(ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "");
    for (const char* f = ofn->lpstrFilter; f && *f; f += std::strlen(f) + 1)
      log_.saveDialogTexts.push_back(f);
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
      fault("a save dialog without a file name buffer");
    } else if (!std::memchr(ofn->lpstrFile, 0, ofn->nMaxFile)) {
      fault("a save dialog's file name without its terminating zero within its " +
            std::to_string(ofn->nMaxFile) + " characters");
    }
  } catch (...) {
  }
}
void Trial::help(LPCSTR) { ++log_.helps; }
void Trial::beep(UINT) { ++log_.beeps; }

}  // namespace orvane
