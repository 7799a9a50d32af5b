// One instance of a plug-in from XfmInit to XfmDestroy: the parameter block and the transform
// instance record the host owns, the host window, the waveform the callbacks serve, and what
// each export returned.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "frame/xfm.h"
#include "host/pictures/display.h"
#include "host/session/audio.h"
#include "host/session/plugin.h"
#include "host/session/progress.h"

namespace orvane {

struct SessionSetup {
  int channels = 2;          // record.channels: the audio's, or describe's choice
  long sampleRate = 44100;   // Hz
  long selFirst = 0;         // first selected frame
  long selLast = 0;          // last selected frame, inclusive
  bool autoConfirm = false;  // autoPreset 0 / autoShowDialogs 0 instead of -1 / 1
  bool showProgress = true;  // progress on stderr
  bool terminal = false;     // stderr redraws in place
};

// What each export returned; empty when it was not called.
struct CallResults {
  std::optional<int> queryXfm, xfmInit, xfmSetup, xfmDo, xfmDestroy;
};

// The one rule for a completed run, which alone has results, exit status 0 and no error in a
// batch's summary: XfmInit set up the block (not 0), XfmSetup confirmed the settings (1) and
// XfmDo ran to its end (0; a cancelled run returns 1).
bool runCompleted(const CallResults& calls);

// A readSamples / writeSamples call the host refused, and why.
struct SampleRefusal {
  std::string call;  // "readSamples" or "writeSamples"
  long first;
  long frames;
  long format;
  std::string reason;
};

struct SampleTraffic {
  int reads = 0;   // accepted readSamples calls
  int writes = 0;  // accepted writeSamples calls
  long long framesRead = 0;
  long long framesWritten = 0;
  int refusals = 0;                    // all refused calls
  std::vector<SampleRefusal> refused;  // the first few of them
  bool monoAsStereo = false;  // a read took a one-channel waveform as two: the same samples
};

// Said of a run that read a one-channel waveform as two channels (SampleTraffic::monoAsStereo):
// whatever it compares between its two sides compares a channel with itself.
constexpr char kMonoAsStereoWarning[] =
    "one channel: both sides of the analysis are the same samples";

class Session {
 public:
  // `audio` may be null (describe): then every sample transfer is refused. The session
  // becomes the current one the callbacks serve; only one exists at a time. Throws
  // HostError (kExitFailure) when the parameter block cannot be allocated.
  Session(const Plugin& plugin, Audio* audio, const SessionSetup& setup);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  static Session* current();

  // The exports, each called once with the record; the result is kept in calls().
  int init();
  int setup();  // XfmSetup(host window, module instance, record)
  int run();    // XfmDo
  int destroy();
  // Copies raw bytes into the parameter block; false when it cannot be locked or the size
  // differs from paramSize.
  bool loadBlock(const std::vector<unsigned char>& bytes);
  // The parameter block's bytes now (empty when it cannot be locked).
  std::vector<unsigned char> blockBytes() const;
  // Frees the parameter block once the instance is destroyed, so that the blocks still
  // alive afterwards are the plug-in's.
  void releaseBlock();

  const Plugin& plugin() const { return plugin_; }
  XFMINSTANCE& record() { return record_; }
  HGLOBAL block() const { return block_; }
  HWND hostWindow() const { return hostWindow_; }
  int cancelFlag() const { return cancelFlag_; }
  int* cancelFlagAddress() { return &cancelFlag_; }
  const CallResults& calls() const { return calls_; }
  const SampleTraffic& samples() const { return samples_; }
  const std::vector<int>& dialogInits() const { return dialogInits_; }
  ProgressMeter& progress() { return progress_; }
  DisplayBoard& displays() { return displays_; }
  Audio* audio() { return audio_; }
  // Why the recording could not be served (a read or a write-back that failed), empty when
  // it could; the run was then cancelled.
  const std::string& audioProblem() const { return audioProblem_; }
  // Whether that problem was the host's failing to write the waveform back, not the recording.
  bool audioWriteFailed() const { return audioWriteFailed_; }

  // ---- Served through the record's callbacks ----
  void dialogInitCalled(HWND dialog);
  int transferSamples(bool write, DWORD waveHandle, float* buffer, LONG first, LONG frames,
                      LONG format);

 private:
  const Plugin& plugin_;
  Audio* audio_;
  XFMINSTANCE record_;
  HGLOBAL block_ = nullptr;
  HWND hostWindow_ = nullptr;
  int cancelFlag_ = 0;
  std::string audioProblem_;
  bool audioWriteFailed_ = false;
  CallResults calls_;
  SampleTraffic samples_;
  std::vector<int> dialogInits_;  // resource ids of the dialogs that called dialogInit
  ProgressMeter progress_;
  DisplayBoard displays_;
};

// The record's title: the caption of levelmeter's out-of-memory box.
extern const char kHostTitle[];
// The token the host puts into waveHandle; a transfer naming another waveform is refused.
constexpr DWORD kWaveToken = 0x4F525641;

// Fills the record's callback fields (callbacks.cpp).
void installCallbacks(XFMINSTANCE* record);

}  // namespace orvane
