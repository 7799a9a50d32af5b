#include "inversefilter/cepstrum.h"

#include <math.h>

#include "frame/fft.h"
#include "frame/progress.h"
#include "frame/run_buffers.h"
#include "inversefilter/any_length_dft.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/packed_spectrum.h"
#include "inversefilter/smoothing.h"

namespace {

constexpr long double kLog2e = 1.4426950408889634073599246810018921L;

struct CepstrumForm {
  bool direct;  // DirectIDFT/DirectDFT with progress texts, or RealFFT
  LPCSTR caption;
  LPCSTR noMemoryText;
};

const CepstrumForm kDirectForm = {true, "Cepstrum DFT",
                                  "There is no enough memory to allocate vectors "};
const CepstrumForm kFftForm = {
    false, "Cepstrum FFT",
    "Sorry, we have a problem\nI cannot allocate vectores\n no enough memory to do this "};

void stepText(const XFMINSTANCE* instance, const CepstrumForm& form, LPCSTR text) {
  if (form.direct) progressText(instance, text);
}

bool decompose(float* H, long N, const XFMINSTANCE* instance, const DesignerParams* params,
               const CepstrumForm& form) {
  if (!IsDesignLength(N) || (!form.direct && !IsPowerOfTwo(N))) return false;
  const long n = N / 2 + 1;
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* H0 = (float*)allocRunBuffer(&blocks, (SIZE_T)N * sizeof(float));
  float* Hmp = (float*)allocRunBuffer(&blocks, (SIZE_T)N * sizeof(float));
  float* Hep = (float*)allocRunBuffer(&blocks, (SIZE_T)N * sizeof(float));
  float* c = (float*)allocRunBuffer(&blocks, (SIZE_T)N * sizeof(float));
  float* magnitude = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  float* phase = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  float* logMagnitude = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  float* re = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  float* im = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  if (blocks.failedStep != 0) {
    releaseRunBuffers(&blocks);
    MessageBoxA(nullptr, form.noMemoryText, form.caption, MB_OK);
    return false;
  }
  auto fail = [&](LPCSTR text) {
    releaseRunBuffers(&blocks);
    if (text != nullptr) MessageBoxA(nullptr, text, form.caption, MB_OK | MB_ICONERROR);
    return false;
  };

  stepText(instance, form, "Initalizing Cepstrum procedure...");
  for (long i = 0; i < N; ++i) H0[i] = H[i];
  SplitSpectrum(H, re, im, N);

  stepText(instance, form, "H, calcolo modulo e fase...");
  for (long i = 0; i < n; ++i) {
    const double r = re[i], j = im[i];
    re[i] = (float)sqrt(r * r + j * j);
    im[i] = (float)atan2(j, r);
  }

  stepText(instance, form, "Calcolo il log del modulo...");
  if (!form.direct) progressText(instance, "Log| |");
  for (long i = 0; i < n; ++i) {
    if (re[i] == 0.0f) {
      return fail(
          "The spectrum has an exact zero:\nits logarithm does not exist and the cepstrum\n"
          "cannot be computed.");
    }
    logMagnitude[i] = (float)log((double)re[i]);
    im[i] = 0.0f;
  }

  // The real cepstrum of log|H|, normalised.
  stepText(instance, form, "Calc. IDFT(log|H|)...");
  if (form.direct) {
    if (!DirectIDFT(c, logMagnitude, im, N)) return fail(nullptr);
  } else {
    PackSpectrum(logMagnitude, im, c, N);
    RealFFT(c, N, -1, false);
  }
  const double half = (double)(N / 2);
  for (long i = 0; i < N; ++i) c[i] = (float)(c[i] / half);

  // Folded into the minimum-phase cepstrum.
  const long D = N / 2;
  for (long i = 1; i < D; ++i) c[i] = 2.0f * c[i];
  for (long i = D + 1; i < N; ++i) c[i] = 0.0f;

  stepText(instance, form, "Calc. DFT(Cepstrum)...");
  if (form.direct) {
    if (!DirectDFT(c, re, im, N)) return fail(nullptr);
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
  PackSpectrum(re, im, Hmp, N);

  stepText(instance, form, "Finding mp(t) i.r. ");
  stepText(instance, form, "Finding Hep");
  SpectrumQuotient(H0, Hmp, Hep, N);

  const int windowType = params->WindowType;
  const float width = params->WindowWidth;
  stepText(instance, form, "Calc. |Hep| and Arg(Hep) ...");
  MagnitudePhase(Hep, magnitude, phase, N);
  stepText(instance, form, "Averaging Arg(Hep) ");
  Unwrapper(phase, N);
  SmoothOneArray(phase, n, windowType, width);
  PolarToPacked(Hep, magnitude, phase, N);

  MagnitudePhase(Hmp, magnitude, phase, N);
  for (long i = 0; i < n; ++i) phase[i] = 0.0f;
  stepText(instance, form, "Averaging |Hmp|");
  SmoothOneArray(magnitude, n, windowType, width);
  PolarToPacked(Hmp, magnitude, phase, N);

  stepText(instance, form, "Ricao H'=H_MP*H_EP");
  SpectrumProduct(Hmp, Hep, Hep, N);
  for (long i = 0; i < N; ++i) {
    if (!isfinite(Hep[i]))
      return fail("The cepstral decomposition does not give finite values\nfor this spectrum.");
  }
  for (long i = 0; i < N; ++i) H[i] = Hep[i];
  releaseRunBuffers(&blocks);
  return true;
}

}  // namespace

bool CepstrumDFT(float* spectrum, long N, const XFMINSTANCE* instance,
                 const DesignerParams* params) {
  return decompose(spectrum, N, instance, params, kDirectForm);
}

bool CepstrumFFT(float* spectrum, long N, const XFMINSTANCE* instance,
                 const DesignerParams* params) {
  return decompose(spectrum, N, instance, params, kFftForm);
}
