#include "crossanalyser/averaging.h"

#include "crossanalyser/block_plan.h"
#include "crossanalyser/multispectrum.h"
#include "crossanalyser/running_mean.h"
#include "crossanalyser/window_shapes.h"
#include "frame/fft.h"
#include "frame/progress.h"

#include <math.h>

namespace {

struct Sums {
  double ll, rr, lr;
};

void readFrames(const XFMINSTANCE* instance, float* samples, long first, long frames) {
  instance->readSamples(instance->waveHandle, samples, first, frames, kXfmStereoFormat);
}

// XL[i] = left * W[i], XR[i] = right * W[i] for the first `count` frames, zeros up to n; the
// squares and the product of the windowed samples are added to the sums (exact products in
// double, in sample order).
void windowBlock(const float* samples, const float* w, float* xl, float* xr, long count, long n,
                 Sums* sums) {
  double ll = sums->ll, rr = sums->rr, lr = sums->lr;
  for (long i = 0; i < count; ++i) {
    const float l = samples[2 * i] * w[i];
    const float r = samples[2 * i + 1] * w[i];
    xl[i] = l;
    xr[i] = r;
    ll += (double)l * l;
    rr += (double)r * r;
    lr += (double)l * r;
  }
  *sums = {ll, rr, lr};
  ZeroFill(xl + count, n - count);
  ZeroFill(xr + count, n - count);
}

// The following filter of one block: the peak moves to the block's strongest line and the band
// follows it; off, the band is the whole spectrum.
void followBand(const SpectraSettings* s, const FollowBand& band, const float* xl, const float* xr,
                long* peak, long* lo, long* hi) {
  const long n = s->fftSize;
  if (s->followMode == kFollowLeft) {
    FindFollowPeak(xl, n, peak);
  } else if (s->followMode == kFollowRight) {
    FindFollowPeak(xr, n, peak);
  } else {
    *lo = 0;
    *hi = n / 2;
    return;
  }
  FollowBandEdges(band, *peak, n, lo, hi);
}

}  // namespace

SpectraSettings SpectraSettingsFrom(const AnalyserParams* params) {
  return {params->FftSize,
          params->WindowShape,
          params->FollowMode,
          params->BandwidthOctaves,
          params->SaveMultiSpectrum != 0,
          params->ProcessingFunction};
}

bool AverageSpectra(const AnalyserBuffers* b, const SpectraSettings* s, const XFMINSTANCE* instance,
                    SpectraStatistics* statistics) {
  const long n = s->fftSize;
  Sums sums = {0.0, 0.0, 0.0};
  long peak = 0, lo = 0, hi = n / 2;
  const FollowBand band = MakeFollowBand(s->bandwidthOctaves);
  float* csp = s->processingFunction == kFnCrossPowerPhase ? b->csp : nullptr;

  MultiSpectrumLog log = {};
  const bool logging =
      s->saveMultiSpectrum &&
      OpenMultiSpectrum(&log, (double*)b->display1, (double*)b->display2, n, instance->sampleRate);

  const BlockPlan plan = PlanBlocks(instance->selFirst, instance->selLast, n);
  MakeWindow(b->window, s->windowShape, n);
  bool cancelled = false;
  for (long j = 0; j < plan.fullBlocks; ++j) {
    readFrames(instance, b->samples, FullBlockStart(instance->selFirst, n, j), n);
    windowBlock(b->samples, b->window, b->xl, b->xr, n, n, &sums);
    RealFFTPair(b->xl, b->xr, n, 1, false);
    if (logging && j % 4 == 0) HoldMultiSpectrumPeaks(&log, b->xr);
    followBand(s, band, b->xl, b->xr, &peak, &lo, &hi);
    AccumulateBlock(b->gll, b->grr, b->glr, csp, b->xl, b->xr, n, j, lo, hi);
    if (!progressStepGoesOn(instance, (int)(j + 1), (int)(plan.fullBlocks + 1))) {
      cancelled = true;
      break;
    }
  }

  if (logging) {
    // Consecutive blocks without overlap, at the full-length window, as far as the full blocks
    // reach: ceil(A/4) of them.
    const long rows = (plan.fullBlocks + 3) / 4;
    for (long row = 0; row < rows; ++row) {
      readFrames(instance, b->samples, (long)(instance->selFirst + (long long)n * row), n);
      for (long i = 0; i < n; ++i) b->xr[i] = b->samples[2 * i + 1] * b->window[i];
      RealFFT(b->xr, n, 1, false);
      WriteMultiSpectrumRow(&log, row + 1, b->xr);
    }
  }
  CloseMultiSpectrum(&log);

  if (plan.partialLength > 0) {
    const long m = plan.partialLength;  // < N by the plan, so the block fits the buffer
    readFrames(instance, b->samples, plan.partialStart, m);
    MakeWindow(b->window, s->windowShape, m);
    windowBlock(b->samples, b->window, b->xl, b->xr, m, n, &sums);
    RealFFTPair(b->xl, b->xr, n, 1, false);
    followBand(s, band, b->xl, b->xr, &peak, &lo, &hi);
    AccumulateBlock(b->gll, b->grr, b->glr, csp, b->xl, b->xr, n, plan.fullBlocks, lo, hi);
    const int last = (int)(plan.fullBlocks + 1);
    if (!progressStepGoesOn(instance, last, last)) cancelled = true;
  }

  // The partial block counts as a full N samples.
  statistics->blockCount = plan.blockCount;
  const double total = (double)n * plan.blockCount;
  if (total > 0.0) {
    statistics->rmsLeft = (float)sqrt(sums.ll / total);
    statistics->rmsRight = (float)sqrt(sums.rr / total);
    statistics->meanProduct = (float)(sums.lr / total);
  } else {
    statistics->rmsLeft = statistics->rmsRight = statistics->meanProduct = 0.0f;
  }
  return !cancelled;
}
