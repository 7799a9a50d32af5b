// XfmDo: averages the selection's spectra, applies the processing function, notes the time of
// flight in "timedelay.txt", shows the results and then puts the output waveform on the
// clipboard. The host's waveform is only read.
#include "crossanalyser/analyser_buffers.h"
#include "crossanalyser/analyser_params.h"
#include "crossanalyser/averaging.h"
#include "crossanalyser/process_function.h"
#include "crossanalyser/run_outputs.h"
#include "crossanalyser/time_delay_log.h"
#include "frame/clipboard_transfer.h"
#include "frame/dialog_skeleton.h"
#include "frame/own_module.h"
#include "frame/progress.h"
#include "frame/wave_image.h"

#include <math.h>
#include <stdint.h>

namespace {

const char kCaption[] = "Cross Functions 2";
const char kOutOfMemoryText[] =
    "The system cannot allocate enough memory\nto perform processing.\n\nRetry after closing some "
    "windows or\nwith a lower IRS order.";
const char kTimeDelayText[] =
    "timedelay.txt\ncannot be written in the current folder.\n\nThe results of this run stand, "
    "but its trigger time\nand time of flight are not saved there.";

// The two outputs always travel as stereo frames (the cross function left, the second output
// right), also after a mono run, so the image says two channels.
constexpr int kImageChannels = 2;

// What a completed run stores, gathered first so that a cancel leaves the block as it was.
struct RunFigures {
  SpectraStatistics statistics;
  FunctionResults results;
  StatisticsLevels levels;
  float timeOfFlightMs;
  float triggerTimeMs;
};

// Steps 3 to 10 of a run: averaging, processing, statistics, trigger and the time-delay line.
// Returns false after a cancel.
bool analyse(const AnalyserBuffers* b, const AnalyserParams* p, const XFMINSTANCE* instance,
             HWND owner, RunFigures* f) {
  const SpectraSettings spectra = SpectraSettingsFrom(p);
  progressBegin(instance, "Averaging data...");
  const bool averaged = AverageSpectra(b, &spectra, instance, &f->statistics);
  progressEnd(instance);
  if (!averaged) return false;

  progressBegin(instance, "Processing Cross Function");
  const FunctionSettings settings = FunctionSettingsFrom(p, instance);
  if (!ProcessFunction(b, &settings, instance, &f->results)) {
    progressEnd(instance);
    return false;
  }
  f->levels = LevelsOf(&f->statistics);
  FinishFunction(b, &f->statistics, &settings, &f->results);
  // A result with no peak (a silent channel, a selection of a few frames) has no time of
  // flight: it is stored as not a number, shown as "no signal" and never logged.
  const bool signal = f->results.peak > 0.0f && isfinite(f->results.peak);
  f->timeOfFlightMs =
      signal ? TimeOfFlightMs(f->results.flightSamples, instance->sampleRate) : NAN;
  const long trigger = TriggerIndex(b->samples, settings.fftSize, p->TriggerLevel);
  f->triggerTimeMs =
      TriggerTimeMs(trigger, settings.fftSize, settings.shiftHalf, instance->sampleRate);
  // The last step is reported before the line is written, so that a cancel seen there still
  // leaves nothing behind.
  if (!progressStepGoesOn(instance, 4, 5)) {
    progressEnd(instance);
    return false;
  }
  if (signal && !AppendTimeDelay(f->triggerTimeMs, f->timeOfFlightMs))
    MessageBoxA(owner, kTimeDelayText, kCaption, MB_OK | MB_ICONERROR);
  progressEnd(instance);
  return true;
}

void storeResults(AnalyserParams* p, const RunBuffers* buffers, const AnalyserBuffers* b,
                  const XFMINSTANCE* instance, const RunFigures& f, DWORD elapsedMs) {
  p->RmsLeftDb = f.levels.rmsLeftDb;
  p->RmsRightDb = f.levels.rmsRightDb;
  p->RmsCrossDb = f.levels.rmsCrossDb;
  p->NccMax = f.results.nccMax;
  p->TimeOfFlightMs = f.timeOfFlightMs;
  p->TriggerTimeMs = f.triggerTimeMs;
  p->ElapsedMs = (int32_t)elapsedMs;
  p->BlockCount = saturatedBlockCount(f.statistics.blockCount);
  p->AveragedBlocks = (int32_t)f.statistics.blockCount;
  p->Channels = (char)(instance->channels & 0xff);
  p->SampleRate = instance->sampleRate;
  p->LeftScale = f.results.leftDivisor;
  p->AutoLeft = runBufferField(buffers, b->gll);
  p->AutoRight = runBufferField(buffers, b->grr);
  p->CrossSpectrum = runBufferField(buffers, f.results.shownCross);
  p->ResultSpectrum = runBufferField(buffers, b->display1);
  p->SecondSpectrum = runBufferField(buffers, b->display2);
}

}  // namespace

extern "C" int WINAPI XfmDo(XFMINSTANCE* instance) {
  AnalyserParams* p = (AnalyserParams*)GlobalLock(instance->paramBlock);
  if (p == nullptr) return 1;
  // Without a confirmed settings dialog the handles are still 0: the dialogs then have no
  // owner, and the results dialog comes from this module itself.
  const HWND owner = loadHandle<HWND>(p->HostWindow);
  const HINSTANCE module = runModule(loadHandle<HINSTANCE>(p->ModuleInstance));
  const long n = FftSizeOf(p->FftSizeIndex);
  p->FftSize = (int32_t)n;

  RunBuffers buffers;
  initRunBuffers(&buffers);
  AnalyserBuffers b;
  if (!AllocateAnalyserBuffers(&buffers, n, &b)) {
    releaseRunBuffers(&buffers);
    GlobalUnlock(instance->paramBlock);
    MessageBoxA(owner, kOutOfMemoryText, kCaption, MB_OK | MB_ICONERROR);
    return 1;
  }

  const DWORD start = GetTickCount();
  RunFigures figures = {};
  const bool completed = analyse(&b, p, instance, owner, &figures);
  if (completed) storeResults(p, &buffers, &b, instance, figures, GetTickCount() - start);
  const int sampleRate = instance->sampleRate;
  GlobalUnlock(instance->paramBlock);
  if (!completed) {
    releaseRunBuffers(&buffers);
    return 1;
  }

  showResults(module, owner, instance);  // its result is not used

  WriteWaveHeader(b.wav, kImageChannels, sampleRate, n);
  // Handed over, the block is the clipboard's; refused, the transfer has freed it.
  transferToClipboard(owner, CF_WAVE, detachRunBuffer(&buffers, kWavBlockIndex), kCaption);
  releaseRunBuffers(&buffers);
  return 0;
}
