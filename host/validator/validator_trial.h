// One instance of a plug-in as the validator drives it: a generated waveform, the host's
// session (parameter block, instance record, host window), record callbacks that watch the
// progress display and every sample transfer, and a witness that answers every dialog and
// message box. One Trial exists at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/session/audio.h"
#include "host/session/plugin.h"
#include "host/session/session.h"
#include "host/validator/validator_platform.h"
#include "host/validator/validator_signal.h"

namespace orvane {

// How the person in front of the screen behaves.
struct PersonPlan {
  // autoPreset 0 and autoShowDialogs 0: every dialog should confirm itself. Otherwise a
  // waiting settings dialog gets OK pressed, and a waiting results dialog the presses below.
  bool autoConfirm = true;
  bool pressEveryCommand = false;  // each command button of the results dialog once, in order
  std::vector<int> presses;        // or these: indices into its command buttons (modulo)
  int resultsCloser = 0;           // then 0: the close box; 1 or 2: that button
};

struct TrialSetup {
  SignalSpec signal;
  long selFirst = 0;  // frames, inclusive, within the signal
  long selLast = 0;
  PersonPlan person;
};

struct DialogEvent {
  int resource = 0;
  bool waited = false;  // it waited for the person at least once
  bool ended = false;
  long long result = 0;           // EndDialog's result once ended
  bool shownAfterCancel = false;  // the cancel flag was already set when it was shown
  int lockCallsBefore = 0;        // GlobalLock calls counted when it was shown
};

struct MessageSeen {
  std::string caption;
  std::string text;
  std::string icon;  // "error", "warning", "information", "question", "none"
};

struct TrialLog {
  std::vector<DialogEvent> dialogs;  // in the order they were shown
  std::vector<MessageSeen> messages;
  int progressCalls = 0;           // progress and progressText calls
  std::vector<int> displayOfCall;  // per progress call: the progress display (1, 2, ...) it fell
                                   // in, 0 when none was open
  int progressBegins = 0;
  int progressEnds = 0;
  int openDisplays = 0;  // progressBegin calls not yet ended
  bool cancelled = false;
  int reads = 0;   // readSamples calls
  int writes = 0;  // writeSamples calls
  // What the plug-in got wrong as it happened (the first few): sample transfers outside the
  // selection, a save dialog's file buffer without its terminating zero.
  std::vector<std::string> faults;
  int saveDialogs = 0;
  std::vector<std::string> saveDialogTexts;  // title and initial folder of each save dialog
  int helps = 0;
  int beeps = 0;
};

class Trial : private Witness {
 public:
  // Generates the waveform, opens the session and installs the witness. Throws HostError
  // when the parameter block cannot be allocated.
  Trial(const Plugin& plugin, const TrialSetup& setup);
  ~Trial() override;
  Trial(const Trial&) = delete;
  Trial& operator=(const Trial&) = delete;

  // The exports, each called with the record; the results are the plug-in's.
  int init();
  int setup();
  int run();
  int destroy();

  // The `call`-th progress (or progressText) call from now sets the cancel flag, as a person
  // pressing Cancel in the progress display would; 0 never.
  void cancelAtProgressCall(int call);
  bool loadBlock(const std::vector<unsigned char>& bytes) { return session_.loadBlock(bytes); }
  std::vector<unsigned char> blockBytes() const { return session_.blockBytes(); }
  HGLOBAL block() const { return session_.block(); }
  HWND hostWindow() const { return session_.hostWindow(); }
  const TrialSetup& config() const { return setup_; }
  const TrialLog& log() const { return log_; }
  // The results dialog (107) was shown at least once.
  bool resultsShown() const;

  // ---- Served to the record's callbacks ----
  int progressCalled();
  void progressBegan();
  void progressEnded();
  int transfer(bool write, DWORD wave, float* buffer, LONG first, LONG frames, LONG format);

 private:
  void dialogShown(HWND dialog, int resource) override;
  bool dialogWaits(HWND dialog, int resource) override;
  void dialogEnded(HWND dialog, int resource, INT_PTR result) override;
  int messageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) override;
  void saveDialog(const OPENFILENAMEA* ofn) override;
  void fault(const std::string& what);
  void help(LPCSTR file) override;
  void beep(UINT type) override;
  DialogEvent* eventOf(HWND dialog);
  void actOnResults(HWND dialog);

  TrialSetup setup_;
  Audio audio_;
  Session session_;
  TrialLog log_;
  XfmSamplesProc hostRead_ = nullptr;  // the session's own transfers, called once checked
  XfmSamplesProc hostWrite_ = nullptr;
  int cancelAt_ = 0;
  std::vector<std::pair<HWND, size_t>> open_;  // dialogs shown and not ended -> log index
  bool settingsActed_ = false;
  bool resultsActed_ = false;
};

}  // namespace orvane
