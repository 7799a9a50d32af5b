// The record's callbacks. They carry no context of their own, so each serves the current
// session (Session::current()). They never throw into the plug-in: a failure is an answer.
#include "host/session/session.h"

namespace orvane {

namespace {

void WINAPI onDialogInit(HWND dialog, LPARAM) {
  Session* s = Session::current();
  if (!s) return;
  try {
    s->dialogInitCalled(dialog);
  } catch (...) {
  }
}

int notCancelled() {
  Session* s = Session::current();
  return s && s->cancelFlag() != 0 ? 0 : 1;
}

// Runs `show` on the current session's progress meter; a failure to show progress is no
// reason to stop the plug-in.
template <typename F>
void withProgress(F show) {
  Session* s = Session::current();
  if (!s) return;
  try {
    show(s->progress());
  } catch (...) {
  }
}

int WINAPI onProgress(int step, int steps) {
  withProgress([&](ProgressMeter& p) { p.step(step, steps); });
  return notCancelled();
}

void WINAPI onProgressBegin(LPCSTR caption, LPARAM) {
  withProgress([&](ProgressMeter& p) { p.begin(caption); });
}

void WINAPI onProgressEnd(void) {
  withProgress([](ProgressMeter& p) { p.end(); });
}

int WINAPI onProgressText(LPCSTR text) {
  withProgress([&](ProgressMeter& p) { p.text(text); });
  return notCancelled();
}

HWND WINAPI onCreateDisplay(HWND dialog, WORD controlId, WORD, XfmDisplayCallback callback,
                            void* user) {
  Session* s = Session::current();
  if (!s) return nullptr;
  try {
    return s->displays().create(dialog, controlId, callback, user);
  } catch (...) {
    return nullptr;
  }
}

int WINAPI onReadSamples(DWORD wave, float* buffer, LONG first, LONG frames, LONG format) {
  Session* s = Session::current();
  if (!s) return 0;
  try {
    return s->transferSamples(false, wave, buffer, first, frames, format);
  } catch (...) {
    return 0;
  }
}

int WINAPI onWriteSamples(DWORD wave, float* buffer, LONG first, LONG frames, LONG format) {
  Session* s = Session::current();
  if (!s) return 0;
  try {
    return s->transferSamples(true, wave, buffer, first, frames, format);
  } catch (...) {
    return 0;
  }
}

}  // namespace

void installCallbacks(XFMINSTANCE* record) {
  record->dialogInit = onDialogInit;
  record->progress = onProgress;
  record->progressBegin = onProgressBegin;
  record->progressEnd = onProgressEnd;
  record->progressText = onProgressText;
  record->createDisplay = onCreateDisplay;
  record->readSamples = onReadSamples;
  record->writeSamples = onWriteSamples;
}

}  // namespace orvane
