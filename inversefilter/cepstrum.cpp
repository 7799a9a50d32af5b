#include "inversefilter/cepstrum.h"

#include <math.h>

#include "frame/fft.h"
#include "frame/progress.h"
#include "frame/run_buffers.h"
#include "inversefilter/any_length_dft.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/packed_spectrum.h"
#include "inversefilter/progress_texts.h"
#include "inversefilter/smoothing.h"

namespace {

constexpr long double kLog2e = 1.4426950408889634073599246810018921L;

struct CepstrumForm {
  bool direct;  // DirectIDFT/DirectDFT with progress texts, or RealFFT
  LPCSTR caption;
  LPCSTR noMemoryText;
};

// The memory messages are the system's own, misspellings and blanks at the end included.
const CepstrumForm kDirectForm = {true, "Cepstrum DFT",
                                  "There is no enough memory to allocate vectors "};
const CepstrumForm kFftForm = {
    false, "Cepstrum FFT",
    "Sorry, we have a problem\nI cannot allocate vectores\n no enough memory to do this "};

const char kExactZeroText[] =
    "The spectrum has an exact zero:\nits logarithm does not exist and the cepstrum\n"
    "cannot be computed.";
const char kNotFiniteText[] =
    "The cepstral decomposition does not give finite values\nfor this spectrum.";

void stepText(const XFMINSTANCE* instance, const CepstrumForm& form, LPCSTR text) {
  if (form.direct) progressText(instance, text);
}

// The work memory of one decomposition: four packed spectra of N floats and five arrays of
// n = N/2+1 floats.
struct Work {
  RunBuffers blocks;
  long N, n;
  float* H0;  // the spectrum as it came
  float* Hmp;
  float* Hep;
  float* c;  // the cepstrum
  float* magnitude;
  float* phase;
  float* logMagnitude;
  float* re;
  float* im;
};

float* floats(RunBuffers* blocks, long count) {
  return (float*)allocRunBuffer(blocks, (SIZE_T)count * sizeof(float));
}

// False after a failed allocation, with the blocks released.
bool allocateWork(Work* w, long N) {
  w->N = N;
  w->n = N / 2 + 1;
  initRunBuffers(&w->blocks);
  w->H0 = floats(&w->blocks, N);
  w->Hmp = floats(&w->blocks, N);
  w->Hep = floats(&w->blocks, N);
  w->c = floats(&w->blocks, N);
  w->magnitude = floats(&w->blocks, w->n);
  w->phase = floats(&w->blocks, w->n);
  w->logMagnitude = floats(&w->blocks, w->n);
  w->re = floats(&w->blocks, w->n);
  w->im = floats(&w->blocks, w->n);
  if (w->blocks.failedStep == 0) return true;
  releaseRunBuffers(&w->blocks);
  return false;
}

// log|H| into logMagnitude, with im zeroed; H is kept in H0. False at an exact zero.
bool logMagnitudeOf(const float* H, Work* w, const XFMINSTANCE* instance,
                    const CepstrumForm& form) {
  const long N = w->N, n = w->n;
  float *re = w->re, *im = w->im;
  stepText(instance, form, kCepstrumStartText);
  for (long i = 0; i < N; ++i) w->H0[i] = H[i];
  SplitSpectrum(H, re, im, N);

  // Only the magnitude is needed: the phase of H comes back through the quotient H / H_MP.
  stepText(instance, form, kCepstrumPolarText);
  for (long i = 0; i < n; ++i) {
    const double r = re[i], j = im[i];
    re[i] = (float)sqrt(r * r + j * j);
  }

  stepText(instance, form, kCepstrumLogText);
  if (!form.direct) progressText(instance, kCepstrumFftLogText);
  for (long i = 0; i < n; ++i) {
    if (re[i] == 0.0f) return false;
    w->logMagnitude[i] = (float)log((double)re[i]);
    im[i] = 0.0f;
  }
  return true;
}

// H_MP from the real cepstrum of log|H|, normalised and folded into the minimum-phase
// cepstrum. False when a direct transform failed (after its own message).
bool minimumPhaseSpectrum(Work* w, const XFMINSTANCE* instance, const CepstrumForm& form,
                          DesignNotice* notice) {
  const long N = w->N, n = w->n;
  float *c = w->c, *re = w->re, *im = w->im;
  // The real cepstrum of log|H|, normalised.
  stepText(instance, form, kCepstrumIdftText);
  if (form.direct) {
    if (!DirectIDFT(c, w->logMagnitude, im, N, notice)) return false;
  } else {
    PackSpectrum(w->logMagnitude, im, c, N);
    RealFFT(c, N, -1, false);
  }
  const double half = (double)(N / 2);
  for (long i = 0; i < N; ++i) c[i] = (float)(c[i] / half);

  // Folded into the minimum-phase cepstrum.
  const long D = N / 2;
  for (long i = 1; i < D; ++i) c[i] = 2.0f * c[i];
  for (long i = D + 1; i < N; ++i) c[i] = 0.0f;

  stepText(instance, form, kCepstrumDftText);
  if (form.direct) {
    if (!DirectDFT(c, re, im, N, notice)) return false;
  } else {
    RealFFT(c, N, 1, false);
    SplitSpectrum(c, re, im, N);
  }
  for (long i = 0; i < n; ++i) {
    const long double size = exp2l((long double)re[i] * kLog2e);
    const double angle = im[i];
    re[i] = (float)(size * cos(angle));
    im[i] = (float)(size * sin(angle));
  }
  PackSpectrum(re, im, w->Hmp, N);
  return true;
}

// H_EP = H / H_MP with its unwrapped phase smoothed, and H_MP reduced to its smoothed
// magnitude.
void smoothParts(Work* w, const XFMINSTANCE* instance, const DesignerParams* params,
                 const CepstrumForm& form, DesignNotice* notice) {
  const long N = w->N, n = w->n;
  float *magnitude = w->magnitude, *phase = w->phase;
  stepText(instance, form, kMinimumPhaseText);
  stepText(instance, form, kExcessPhaseText);
  SpectrumQuotient(w->H0, w->Hmp, w->Hep, N);

  const int windowType = params->WindowType;
  const float width = params->WindowWidth;
  stepText(instance, form, kExcessPolarText);
  MagnitudePhase(w->Hep, magnitude, phase, N);
  stepText(instance, form, kAveragingPhaseText);
  Unwrapper(phase, N, notice);
  SmoothOneArray(phase, n, windowType, width, notice);
  PolarToPacked(w->Hep, magnitude, phase, N);

  MagnitudePhase(w->Hmp, magnitude, phase, N);
  for (long i = 0; i < n; ++i) phase[i] = 0.0f;
  stepText(instance, form, kAveragingMagnitudeText);
  SmoothOneArray(magnitude, n, windowType, width, notice);
  PolarToPacked(w->Hmp, magnitude, phase, N);
}

// H' = H_MP' H_EP' into H; false, with H untouched, when it is not finite everywhere.
bool rebuild(float* H, Work* w, const XFMINSTANCE* instance, const CepstrumForm& form) {
  const long N = w->N;
  stepText(instance, form, kRebuildText);
  SpectrumProduct(w->Hmp, w->Hep, w->Hep, N);
  for (long i = 0; i < N; ++i)
    if (!isfinite(w->Hep[i])) return false;
  for (long i = 0; i < N; ++i) H[i] = w->Hep[i];
  return true;
}

bool decompose(float* H, long N, const XFMINSTANCE* instance, const DesignerParams* params,
               const CepstrumForm& form, DesignNotice* notice) {
  if (!IsDesignLength(N) || (!form.direct && !IsPowerOfTwo(N))) return false;
  Work w;
  if (!allocateWork(&w, N)) {
    noticeFailure(notice, kDesignNoMemory, form.noMemoryText, form.caption, MB_OK);
    return false;
  }
  LPCSTR failure = nullptr;
  DesignFailure why = kDesignDone;
  bool done = false;
  if (!logMagnitudeOf(H, &w, instance, form)) {
    failure = kExactZeroText;
    why = kDesignZeroSpectrum;
  } else if (minimumPhaseSpectrum(&w, instance, form, notice)) {
    smoothParts(&w, instance, params, form, notice);
    done = rebuild(H, &w, instance, form);
    if (!done) {
      failure = kNotFiniteText;
      why = kDesignNotFinite;
    }
  }
  releaseRunBuffers(&w.blocks);
  if (failure != nullptr) noticeFailure(notice, why, failure, form.caption, MB_OK | MB_ICONERROR);
  return done;
}

}  // namespace

bool CepstrumDFT(float* spectrum, long N, const XFMINSTANCE* instance, const DesignerParams* params,
                 DesignNotice* notice) {
  return decompose(spectrum, N, instance, params, kDirectForm, notice);
}

bool CepstrumFFT(float* spectrum, long N, const XFMINSTANCE* instance, const DesignerParams* params,
                 DesignNotice* notice) {
  return decompose(spectrum, N, instance, params, kFftForm, notice);
}
