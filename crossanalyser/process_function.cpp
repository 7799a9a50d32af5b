#include "crossanalyser/process_function.h"

#include <math.h>
#include <string.h>

#include "crossanalyser/complex_bins.h"
#include "crossanalyser/spectral_functions.h"
#include "frame/fft.h"
#include "frame/progress.h"

namespace {

void copySpectrum(float* to, const float* from, long n) {
  memcpy(to, from, (size_t)n * sizeof(float));
}

int effectiveFunction(int function) {
  return function >= kFnCrossCorrelation && function <= kFnCrossPowerPhase ? function
                                                                           : kFnCrossCorrelation;
}

bool isCalibration(int function) {
  return function == kFnTubeCalibration || function == kFnAbsorption ||
         function == kFnFreeFieldCalibration;
}

// Step 1: the result spectrum into XL, the second spectrum into XR.
void formSpectra(const AnalyserBuffers* b, const FunctionSettings* s, int function) {
  const long n = s->fftSize;
  switch (function) {
    case kFnTransferH1:
      DivideSpectra(b->xl, b->glr, b->gll, n);
      break;
    case kFnTransferH2:
      TransferH2(b->xl, b->grr, b->glr, n);
      break;
    case kFnTransferH3:
      MagnitudeRatio(b->xl, b->gll, b->grr, n);
      break;
    case kFnAutoCorrelations:
      copySpectrum(b->xl, b->gll, n);
      copySpectrum(b->xr, b->grr, n);
      return;
    case kFnWhiteCrossCorrelation:
      WhitenCrossSpectrum(b->xr, b->gll, b->grr, b->glr, n);
      copySpectrum(b->xl, b->glr, n);
      return;
    case kFnTubeCalibration:
      BandMask(b->xl, n, s->sampleRate, s->maxFrequency);
      TubeCalibration(b->xr, b->glr, b->grr, n, s->soundSpeed, s->probeDistanceMm, s->sampleRate,
                      s->maxFrequency);
      return;
    case kFnAbsorption:
      SurfaceImpedance(b->xl, b->grr, b->glr, n, s->soundSpeed, s->probeDistanceMm, s->sampleRate);
      break;
    case kFnFreeFieldCalibration:
      BandMask(b->xl, n, s->sampleRate, s->maxFrequency);
      FreeFieldCalibration(b->xr, b->glr, b->grr, n, s->soundSpeed, s->probeDistanceMm,
                           s->sampleRate, s->maxFrequency);
      return;
    case kFnCrossPowerPhase:
      copySpectrum(b->xl, b->csp, n);
      break;
    default:  // cross-correlation
      copySpectrum(b->xl, b->glr, n);
      break;
  }
  Coherence(b->xr, b->gll, b->grr, b->glr, n);
}

void inverse(float* x, long n, bool shiftHalf) {
  RealFFT(x, n, -1, true);
  if (shiftHalf) SwapHalves(x, n / 2);
}

void squaredEnvelope(float* x, const float* rotated, long n) {
  for (long i = 0; i < n; ++i) x[i] = rotated[i] * rotated[i] + x[i] * x[i];
}

}  // namespace

FunctionSettings FunctionSettingsFrom(const AnalyserParams* p, const XFMINSTANCE* instance) {
  FunctionSettings s;
  s.fftSize = p->FftSize;
  s.sampleRate = instance->sampleRate;
  s.function = p->ProcessingFunction;
  s.coherenceWeighting = p->CoherenceWeighting != 0;
  s.squaredHilbert = p->SquaredHilbert != 0;
  s.shiftHalf = p->ShiftHalf != 0;
  s.normalize = p->Normalize != 0;
  s.timeReversal = p->TimeReversal != 0;
  s.soundSpeed = p->SoundSpeed;
  s.probeDistanceMm = p->ProbeDistance;
  s.maxFrequency = p->MaxFrequency;
  return s;
}

bool ProcessFunction(const AnalyserBuffers* b, const FunctionSettings* s,
                     const XFMINSTANCE* instance, FunctionResults* r) {
  const long n = s->fftSize;
  const int function = effectiveFunction(s->function);
  *r = {};
  r->leftDivisor = r->rightDivisor = 1.0f;
  r->shownCross = function == kFnCrossPowerPhase ? b->csp : b->glr;

  formSpectra(b, s, function);
  if (s->coherenceWeighting && function != kFnAutoCorrelations && !isCalibration(function))
    WeightByCoherence(b->xl, b->xr, n);
  const bool envelope = s->squaredHilbert && !isCalibration(function);
  const bool rightEnvelope = envelope && function == kFnAutoCorrelations;
  if (envelope) {
    copySpectrum(b->window, b->xl, n);
    RotateQuarter(b->window, n);
  }
  if (rightEnvelope) {
    copySpectrum(b->csp, b->xr, n);
    RotateQuarter(b->csp, n);
  }
  if (!progressStepGoesOn(instance, 1, 5)) return false;

  copySpectrum(b->display1, b->xl, n);
  copySpectrum(b->display2, b->xr, n);

  RealFFT(b->xl, n, -1, true);
  if (s->shiftHalf) SwapHalves(b->xl, n / 2);
  progressStep(instance, 2, 5);
  bool cancelled = isCancelled(instance);
  inverse(b->xr, n, s->shiftHalf);
  progressStep(instance, 3, 5);

  if (envelope) {
    inverse(b->window, n, s->shiftHalf);
    squaredEnvelope(b->xl, b->window, n);
  }
  if (rightEnvelope) {
    inverse(b->csp, n, s->shiftHalf);
    squaredEnvelope(b->xr, b->csp, n);
  }
  if (cancelled || isCancelled(instance)) return false;

  FindPeak(b->xl, n, &r->peak, &r->peakIndex, !envelope);
  if (s->shiftHalf) {
    r->flightSamples = r->peakIndex - n / 2;
  } else {
    r->flightSamples = r->peakIndex < n / 2 ? r->peakIndex : r->peakIndex - n;
  }
  return true;
}

void FinishFunction(const AnalyserBuffers* b, const SpectraStatistics* statistics,
                    const FunctionSettings* s, FunctionResults* r) {
  const long n = s->fftSize;
  const int function = effectiveFunction(s->function);
  float left = r->peak, right = 1.0f;
  r->nccMax = 0.0f;
  if (function == kFnCrossCorrelation) {
    // The left output is the blocks' averaged circular cross-correlation, each block windowed:
    // at lag t, the mean over blocks of sum_i wl[i] wr[i + t]. By Cauchy-Schwarz its magnitude
    // is at most N rmsL rmsR (the RMS of the windowed samples over N per block), which it
    // reaches for identical channels at lag 0; its peak over that is the normalised
    // cross-correlation, between 0 and 1. A delay lowers it by how far the shifted window
    // still overlaps, so it depends on the delay and on N, never on how long the recording
    // is. The scale comes from the double sums of the samples, not from the lag-0 value of
    // the averaged spectra, which the float running means blur as blocks add up.
    const double scale = (double)n * statistics->rmsLeft * statistics->rmsRight;
    if (scale > 0.0 && isfinite(scale)) {
      // Rounding may lift the float peak a hair above the bound: the coefficient stays in it.
      r->nccMax = (float)fmin(r->peak / scale, 1.0);
      if (!s->normalize) left = (float)scale;
    }
  } else if (function == kFnAutoCorrelations && s->normalize) {
    long ignored;
    FindPeak(b->xr, n, &right, &ignored, true);
  }
  if (left == 0.0f) left = 1.0f;
  if (isCalibration(function)) left = 1.0f;
  r->leftDivisor = left;
  r->rightDivisor = right;

  const float leftGain = 32767.0f / left, rightGain = 32767.0f / right;
  float* frames = b->samples;
  for (long i = 0; i < n; ++i) {
    const long from = s->timeReversal ? n - 1 - i : i;
    frames[2 * i] = leftGain * b->xl[from];
    frames[2 * i + 1] = rightGain * b->xr[from];
  }
  if (s->timeReversal) r->flightSamples = -r->flightSamples;
}
