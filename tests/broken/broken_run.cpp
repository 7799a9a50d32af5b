// brokenmeter's XfmDo: the run skeleton of the suite around a peak measurement, with the
// deliberate faults of broken_params.h.
#include <math.h>

#include "frame/dialog_skeleton.h"
#include "frame/progress.h"
#include "frame/run_buffers.h"
#include "tests/broken/broken_params.h"

namespace {

const char kOutOfMemoryText[] = "The system cannot allocate enough memory\nto measure peaks.";
const int kSteps = 10;

}  // namespace

extern "C" int WINAPI XfmDo(XFMINSTANCE* instance) {
  const BrokenFault fault = brokenFault();
  const int channels = instance->channels;
  const long frames = instance->selLast - instance->selFirst + 1;
  BrokenParams* p = (BrokenParams*)GlobalLock(instance->paramBlock);
  if (p == nullptr) return 1;
  const HWND host = loadHandle<HWND>(p->HostWindow);
  const HINSTANCE module = loadHandle<HINSTANCE>(p->ModuleInstance);

  progressBegin(instance, "Reading...");
  progressStep(instance, 1, 2);
  RunBuffers buffers;
  initRunBuffers(&buffers);
  float* wave = (float*)allocRunBuffer(&buffers, (SIZE_T)frames * channels * sizeof(float));
  float* peaks = (float*)allocRunBuffer(&buffers, 2 * sizeof(float));
  if (buffers.failedStep != 0) {
    if (fault == kFaultCrash && buffers.failedStep % 2 == 0) {
      // The fault: a failed lock taken for a buffer.
      peaks[0] = 0.0f;
      wave[0] = 0.0f;
    }
    progressEnd(instance);
    // The silent fault: the person never learns why nothing happened.
    if (fault != kFaultSilent)
      MessageBoxA(host, kOutOfMemoryText, instance->title, MB_OK | MB_ICONERROR);
    // The fault: what was obtained before the failure is never given back.
    if (fault != kFaultLeak) releaseRunBuffers(&buffers);
    GlobalUnlock(instance->paramBlock);
    return 1;
  }
  // The stray fault: one frame too early, the last frame of the selection not read.
  const LONG first =
      fault == kFaultStray && instance->selFirst > 0 ? instance->selFirst - 1 : instance->selFirst;
  instance->readSamples(instance->waveHandle, wave, first, frames,
                        instance->readFormat | kXfmFloatFormat | channels);
  progressStep(instance, 2, 2);
  progressEnd(instance);

  progressBegin(instance, "Measuring...");
  bool cancelled = false;
  peaks[0] = peaks[1] = 0.0f;
  for (int s = 0; s < kSteps && !cancelled; ++s) {
    const long from = frames * s / kSteps, to = frames * (s + 1) / kSteps;
    for (long i = from; i < to; ++i)
      for (int c = 0; c < channels; ++c) peaks[c] = fmaxf(peaks[c], fabsf(wave[i * channels + c]));
    progressStep(instance, s + 1, kSteps);
    cancelled = isCancelled(instance);
    if (cancelled && fault == kFaultHang) {
      // The fault: waiting for something that never comes.
      volatile unsigned spin = 0;  // unsigned: wrapping is defined, so only the wait is wrong
      for (;;) spin = spin + 1;
    }
  }
  // The unclosed fault: a cancelled measurement forgets its progress display.
  if (!(cancelled && fault == kFaultUnclosed)) progressEnd(instance);

  p->peakLeft = peaks[0] * p->gain;
  p->peakRight = peaks[1] * p->gain;
  p->runChannels = channels;
  GlobalUnlock(instance->paramBlock);
  if (!cancelled) {
    MessageBeep(0);
    DialogBoxParamA(module, MAKEINTRESOURCEA(kResultsDialogResource), host,
                    dialogProcedure(module, kOrdResultsDialog), (LPARAM)instance);
  }
  releaseRunBuffers(&buffers);
  return cancelled ? 1 : 0;
}
