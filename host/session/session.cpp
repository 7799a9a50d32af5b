#include "host/session/session.h"

#include <cstring>

#include "host/errors.h"
#include "host/system/system.h"

namespace orvane {

bool runCompleted(const CallResults& c) {
  return c.xfmInit.value_or(0) != 0 && c.xfmSetup.value_or(0) == 1 && c.xfmDo.value_or(1) == 0;
}

const char kHostTitle[] = "orvane";

namespace {

Session* currentSession = nullptr;

constexpr size_t kRefusalsKept = 20;
const char kHostClassName[] = "OrvaneHost";

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// The top-level window that owns the plug-in's dialogs and message boxes.
HWND createHostWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostWindowProc;
    wc.lpszClassName = kHostClassName;
    registered = RegisterClassA(&wc) != 0;
  }
  if (!registered) return nullptr;
  return CreateWindowExA(0, kHostClassName, kHostTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0,
                         0, 640, 480, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

Session::Session(const Plugin& plugin, Audio* audio, const SessionSetup& setup)
    : plugin_(plugin), audio_(audio), progress_(setup.showProgress, setup.terminal) {
  block_ = GlobalAlloc(GHND, plugin.info().paramSize);
  if (!block_) {
    throw failure("cannot allocate a parameter block of " +
                  std::to_string(plugin.info().paramSize) + " bytes");
  }
  hostWindow_ = createHostWindow();

  std::memset(&record_, 0, sizeof record_);
  record_.channels = static_cast<WORD>(setup.channels);
  record_.sampleRate = setup.sampleRate;
  record_.paramBlock = block_;
  record_.selFirst = setup.selFirst;
  record_.selLast = setup.selLast;
  record_.title = kHostTitle;
  record_.cancelFlag = &cancelFlag_;
  record_.autoPreset = setup.autoConfirm ? 0 : -1;
  record_.autoShowDialogs = setup.autoConfirm ? 0 : 1;
  record_.readFormat = 0;
  record_.writeFormat = 0;
  record_.waveHandle = kWaveToken;
  installCallbacks(&record_);
  currentSession = this;
}

Session::~Session() {
  progress_.finish();
  if (currentSession == this) currentSession = nullptr;
  if (hostWindow_ && IsWindow(hostWindow_)) DestroyWindow(hostWindow_);
  if (block_) GlobalFree(block_);
}

Session* Session::current() { return currentSession; }

int Session::init() {
  int result = plugin_.exports().xfmInit(&record_);
  calls_.xfmInit = result;
  return result;
}

int Session::setup() {
  int result = plugin_.exports().xfmSetup(hostWindow_, plugin_.module(), &record_);
  calls_.xfmSetup = result;
  return result;
}

int Session::run() {
  int result = plugin_.exports().xfmDo(&record_);
  progress_.finish();
  calls_.xfmDo = result;
  return result;
}

int Session::destroy() {
  int result = plugin_.exports().xfmDestroy(&record_);
  calls_.xfmDestroy = result;
  return result;
}

bool Session::loadBlock(const std::vector<unsigned char>& bytes) {
  if (!block_ || bytes.size() != plugin_.info().paramSize) return false;
  void* p = GlobalLock(block_);
  if (!p) return false;
  std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(block_);
  return true;
}

std::vector<unsigned char> Session::blockBytes() const {
  std::vector<unsigned char> bytes;
  if (!block_) return bytes;
  const void* p = GlobalLock(block_);
  if (!p) return bytes;
  const auto* b = static_cast<const unsigned char*>(p);
  bytes.assign(b, b + plugin_.info().paramSize);
  GlobalUnlock(block_);
  return bytes;
}

void Session::releaseBlock() {
  if (block_) GlobalFree(block_);
  block_ = nullptr;
  record_.paramBlock = nullptr;
}

void Session::dialogInitCalled(HWND dialog) { dialogInits_.push_back(dialogResourceOf(dialog)); }

int Session::transferSamples(bool write, DWORD waveHandle, float* buffer, LONG first, LONG frames,
                             LONG format) {
  auto refuse = [&](const std::string& reason) {
    ++samples_.refusals;
    if (samples_.refused.size() < kRefusalsKept) {
      samples_.refused.push_back({write ? "writeSamples" : "readSamples", static_cast<long>(first),
                                  static_cast<long>(frames), static_cast<long>(format), reason});
    }
    return 0;
  };
  if (!audio_) return refuse("there is no waveform");
  if (waveHandle != record_.waveHandle) return refuse("not the host's waveHandle");
  if (!(format & kXfmFloatFormat)) return refuse("format without the float bit 0x20");
  int channels = format & 0x0f;
  // A stereo read of a mono waveform gets the channel in both positions, as an editor gives it.
  const bool monoAsStereo = !write && channels == 2 && audio_->channels == 1;
  if (channels != audio_->channels && !monoAsStereo) {
    return refuse("format names " + std::to_string(channels) + " channels, the waveform has " +
                  std::to_string(audio_->channels));
  }
  if (first < 0 || frames < 0 || static_cast<long long>(first) + frames > audio_->frames) {
    return refuse("frames outside the waveform of " + std::to_string(audio_->frames) + " frames");
  }
  if (!buffer && frames > 0) return refuse("null buffer");

  size_t offset = static_cast<size_t>(first) * audio_->channels;
  size_t count = static_cast<size_t>(frames) * channels;
  // A recording the host cannot serve ends the run as a cancel would: nothing may be measured
  // from frames that are not the recording's.
  auto fail = [&](const std::string& problem) {
    if (audioProblem_.empty()) {
      audioProblem_ = problem;
      audioWriteFailed_ = write;
    }
    cancelFlag_ = 1;
    return refuse(problem);
  };
  if (write) {
    std::string problem;
    if (audio_->stream) {
      if (audio_->writeBack && !audio_->writeBack->write(first, frames, buffer, &problem))
        return fail(problem);
    } else if (count) {
      std::memcpy(audio_->samples.data() + offset, buffer, count * sizeof(float));
    }
    ++samples_.writes;
    samples_.framesWritten += frames;
    if (frames > 0) {
      long last = first + frames - 1;
      if (!audio_->written) {
        audio_->writtenFirst = first;
        audio_->writtenLast = last;
      } else {
        if (first < audio_->writtenFirst) audio_->writtenFirst = first;
        if (last > audio_->writtenLast) audio_->writtenLast = last;
      }
      audio_->written = true;
    }
    return 1;
  }
  if (audio_->stream) {
    std::string problem;
    if (!audio_->stream->read(first, frames, channels, buffer, &problem))
      return fail("cannot read " + audio_->path + ": " + problem);
    // At its first sample that is no number, the run ends as a person's cancel ends it.
    if (audio_->stream->badSample()) cancelFlag_ = 1;
  } else if (monoAsStereo) {
    const float* from = audio_->samples.data() + offset;
    for (long i = 0; i < frames; ++i) buffer[2 * i] = buffer[2 * i + 1] = from[i];
  } else if (count) {
    std::memcpy(buffer, audio_->samples.data() + offset, count * sizeof(float));
  }
  ++samples_.reads;
  samples_.framesRead += frames;
  samples_.monoAsStereo |= monoAsStereo;
  return 1;
}

}  // namespace orvane
