// XfmDo: reads the selection, measures each channel, shows the results and, when the person
// keeps the filtered waveform, writes it back.
#include "frame/dialog_skeleton.h"
#include "frame/own_module.h"
#include "frame/progress.h"
#include "frame/run_buffers.h"
#include "levelmeter/blocks.h"
#include "levelmeter/levels.h"
#include "levelmeter/meter_params.h"

#include <stdint.h>

namespace {

const char kOutOfMemoryText[] =
    "The system cannot allocate enough memory\nto calculate levels.\n\nRetry after closing some "
    "windows or\nwith a shorter waveform.";
const char kRateTooLowText[] =
    "The sample rate is below 1000 Hz.\n\nLevels are calculated in blocks of one millisecond;\n"
    "resample the waveform to 1000 Hz or more.";
const char kSelectionTooShortText[] =
    "The highlighted area is shorter than one millisecond.\n\nHighlight a longer part of the "
    "waveform.";

const float kToUnit = 3.0518509e-05f;  // 1 / 32767 as a 32-bit float
const float kToHost = 32767.0f;

struct ChannelHistories {
  float* h[kHistoryKinds];
};

// A rate below 1000 Hz gives no block at all, and a selection shorter than one block gives no
// level: both are refused before anything divides by the block length.
bool checkSelection(const XFMINSTANCE* instance, HWND owner, int frames) {
  const char* text = nullptr;
  if (meterBlockLength(instance->sampleRate) <= 0)
    text = kRateTooLowText;
  else if (meterBlockCount(frames, instance->sampleRate) <= 0)
    text = kSelectionTooShortText;
  if (text == nullptr) return true;
  MessageBoxA(owner, text, instance->title, MB_OK | MB_ICONERROR);
  return false;
}

// Measures channel `offset` of `channels` interleaved channels through the work buffer, and
// leaves the filtered channel in the wave buffer whether or not the measurement completed.
bool measureChannel(float* wave, float* work, int frames, int channels, int offset, MeterParams* p,
                    char channelCode, char filterCode, const ChannelHistories& histories,
                    const XFMINSTANCE* instance) {
  // Indexes in SIZE_T: a long stereo selection has more samples than an int counts.
  for (int i = 0; i < frames; ++i) work[i] = wave[(SIZE_T)i * channels + offset] * kToUnit;
  bool done = analyseChannel(work, p, channelCode, filterCode, histories.h[kHistRms],
                             histories.h[kHistItu], histories.h[kHistFast], histories.h[kHistSlow],
                             histories.h[kHistImpulse], instance);
  for (int i = 0; i < frames; ++i) wave[(SIZE_T)i * channels + offset] = work[i] * kToHost;
  return done;
}

void storeHistories(BlockBuffer out[kHistoryKinds], const RunBuffers* buffers,
                    const ChannelHistories& histories) {
  for (int k = 0; k < kHistoryKinds; ++k) out[k] = runBufferField(buffers, histories.h[k]);
}

}  // namespace

extern "C" int WINAPI XfmDo(XFMINSTANCE* instance) {
  const int channels = instance->channels;
  const int frames = instance->selLast - instance->selFirst + 1;
  MeterParams* p = (MeterParams*)GlobalLock(instance->paramBlock);
  if (p == nullptr) return 1;
  const HWND host = loadHandle<HWND>(p->HostWindow);
  const HINSTANCE module = runModule(loadHandle<HINSTANCE>(p->ModuleInstance));
  if (!checkSelection(instance, host, frames)) {
    GlobalUnlock(instance->paramBlock);
    return 1;
  }
  const int blockCount = meterBlockCount(frames, instance->sampleRate);

  progressBegin(instance, "Initializing...");
  progressStep(instance, 1, 3);
  RunBuffers buffers;
  initRunBuffers(&buffers);
  ChannelHistories left = {}, right = {};
  // Sizes are checked against the address space first: a request that cannot be expressed is
  // the same to the person as one the system refuses.
  const uint64_t waveBytes = (uint64_t)frames * (uint64_t)channels * sizeof(float);
  const bool fits = waveBytes <= (uint64_t)PTRDIFF_MAX;
  float* work = fits ? (float*)allocRunBuffer(&buffers, (SIZE_T)frames * sizeof(float)) : nullptr;
  float* wave = fits ? (float*)allocRunBuffer(&buffers, (SIZE_T)waveBytes) : nullptr;
  for (int k = 0; k < kHistoryKinds; ++k)
    left.h[k] = (float*)allocRunBuffer(&buffers, (SIZE_T)blockCount * sizeof(float));
  if (channels == 2)
    for (int k = 0; k < kHistoryKinds; ++k)
      right.h[k] = (float*)allocRunBuffer(&buffers, (SIZE_T)blockCount * sizeof(float));
  if (!fits || buffers.failedStep != 0) {
    progressEnd(instance);
    MessageBoxA(host, kOutOfMemoryText, instance->title, MB_OK | MB_ICONERROR);
    releaseRunBuffers(&buffers);
    GlobalUnlock(instance->paramBlock);
    return 1;
  }

  const LONG format = instance->readFormat | kXfmFloatFormat | channels;
  progressStep(instance, 2, 3);
  instance->readSamples(instance->waveHandle, wave, instance->selFirst, frames, format);
  progressStep(instance, 3, 3);
  progressEnd(instance);

  bool completed;
  if (channels == 2) {
    completed = measureChannel(wave, work, frames, 2, 1, p, 'r', p->filterRight, right, instance);
    if (completed)
      completed = measureChannel(wave, work, frames, 2, 0, p, 'l', p->filterLeft, left, instance);
  } else {
    completed = measureChannel(wave, work, frames, 1, 0, p, 'm', p->filterLeft, left, instance);
  }

  storeHistories(p->leftHistories, &buffers, left);
  // After a mono run there are no right histories: empty fields, never stale ones.
  storeHistories(p->rightHistories, &buffers, right);
  p->runSampleRate = instance->sampleRate;
  p->runFrames = frames;
  p->runChannels = channels;
  GlobalUnlock(instance->paramBlock);

  if (completed) {
    const INT_PTR kept = showResults(module, host, instance);
    if (kept != 0 && kept != -1) {
      progressBegin(instance, "Exporting Filtered Signal...");
      progressStep(instance, 2, 10);
      instance->writeSamples(instance->waveHandle, wave, instance->selFirst, frames,
                             instance->writeFormat | kXfmFloatFormat | channels);
      progressStep(instance, 10, 10);
      progressEnd(instance);
    }
  }
  releaseRunBuffers(&buffers);
  return completed ? 0 : 1;
}
