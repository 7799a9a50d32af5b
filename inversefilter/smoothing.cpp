#include "inversefilter/smoothing.h"

#include <limits.h>
#include <math.h>

#include "frame/run_buffers.h"
#include "inversefilter/packed_spectrum.h"

namespace {

constexpr double kPi = 3.14159;
constexpr double kTwoPi = 6.28318;

}  // namespace

bool SmoothSpectrum(float* spectrum, long N, const XFMINSTANCE* instance,
                    const DesignerParams* params, float* work1, float* work2,
                    DesignNotice* notice) {
  switch (params->AverageType) {
    case kAverageRealImag:
      SplitSpectrum(spectrum, work1, work2, N);
      SmoothArrays(work1, work2, N, params->WindowType, params->WindowWidth, notice);
      PackSpectrum(work1, work2, spectrum, N);
      break;
    case kAverageMagPhase:
      MagnitudePhase(spectrum, work1, work2, N);
      Unwrapper(work2, N, notice);
      SmoothArrays(work1, work2, N, params->WindowType, params->WindowWidth, notice);
      PolarToPacked(spectrum, work1, work2, N);
      break;
    default:
      break;
  }
  return true;
}

bool SmoothArrays(float* a, float* b, long N, int windowType, float width, DesignNotice* notice) {
  SmoothOneArray(a, N / 2 + 1, windowType, width, notice);
  SmoothOneArray(b, N / 2 + 1, windowType, width, notice);
  return true;
}

void SmoothOneArray(float* x, long n, int windowType, float width, DesignNotice* notice) {
  if (windowType == kWindowLinear) {
    long points = 1;
    if (width >= 1.0f) points = width < (float)LONG_MAX ? (long)width : LONG_MAX;
    MediaL(x, n, points, notice);
  } else if (windowType == kWindowOctaves) {
    MedioO(x, n, width, notice);
  }
}

bool MediaL(float* x, long n, long W, DesignNotice* notice) {
  if (W <= 1 || n <= 1) return true;
  long h = W / 2;
  if (2 * h + 1 > n) {
    h = (n - 1) / 2;
    W = 2 * h + 1;
    if (W <= 1) return true;
  }
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* w = (float*)allocRunBuffer(&blocks, (SIZE_T)W * sizeof(float));
  float* y = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  if (blocks.failedStep != 0) {
    releaseRunBuffers(&blocks);
    noticeFailure(notice, kDesignNoMemory, "MediaL, No allocation, exit ....", "MediaL",
                  MB_OK | MB_ICONERROR);
    return false;
  }
  long double sum = 0.0L;
  for (long i = 0; i < W; ++i) {
    w[i] = (float)((1.0 - cos(kTwoPi * (double)i / (double)(W - 1))) / 2.0);
    sum += w[i];
  }
  for (long j = 1; j < n; ++j) {
    // Only the window positions over x[1 ... n-1] contribute; the rest are zeros.
    const long first = j - h < 1 ? 1 - (j - h) : 0;
    const long last = j - h + W - 1 > n - 1 ? n - 1 - (j - h) : W - 1;
    long double acc = 0.0L;
    for (long i = first; i <= last; ++i) acc += (long double)w[i] * x[j - h + i];
    y[j] = (float)(acc / sum);
  }
  for (long j = 1; j < n; ++j) x[j] = y[j];
  releaseRunBuffers(&blocks);
  return true;
}

bool MedioO(float* x, long n, float octaves, DesignNotice* notice) {
  if (!(octaves > 0.0f) || n <= 1) return true;
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* y = (float*)allocRunBuffer(&blocks, (SIZE_T)n * sizeof(float));
  if (y == nullptr) {
    releaseRunBuffers(&blocks);
    // The system's own text, its spelling and spacing included.
    noticeFailure(notice, kDesignNoMemory,
                  "Sorry,Cannot  allocate vector\n becayse there is non enough memory...", "MedioO",
                  MB_OK | MB_ICONERROR);
    return false;
  }
  const double s = sqrt(pow(2.0, (double)octaves));
  const long last = n - 1, mirrorEnd = 2 * (n - 1);
  auto at = [x, last](long m) { return m <= last ? x[m] : x[2 * last - m]; };
  y[0] = x[0];
  long double running = x[0];
  long lo = 0, hi = 0;
  for (long j = 1; j < n; ++j) {
    const long newLo = (long)(j / s + 0.5);
    const double top = j * s;
    const long newHi = top >= (double)mirrorEnd ? mirrorEnd : (long)top;
    for (long m = lo; m < newLo; ++m) running -= at(m);
    for (long m = hi + 1; m <= newHi; ++m) running += at(m);
    lo = newLo;
    hi = newHi;
    y[j] = (float)(running / (long double)(hi - lo + 1));
  }
  for (long j = 0; j < n; ++j) x[j] = y[j];
  releaseRunBuffers(&blocks);
  return true;
}

void MagnitudePhase(const float* spectrum, float* magnitude, float* phase, long N) {
  const long half = N / 2;
  magnitude[0] = fabsf(spectrum[0]);
  phase[0] = spectrum[0] < 0.0f ? (float)kPi : 0.0f;
  magnitude[half] = fabsf(spectrum[1]);
  phase[half] = spectrum[1] < 0.0f ? (float)kPi : 0.0f;
  for (long k = 1; k < half; ++k) {
    const double re = spectrum[2 * k], im = spectrum[2 * k + 1];
    magnitude[k] = (float)sqrt(re * re + im * im);
    phase[k] = (float)atan2(im, re);
  }
}

void PolarToPacked(float* spectrum, const float* magnitude, const float* phase, long N) {
  const long half = N / 2;
  auto signedEnd = [](float m, float phi) {
    const double r = fmod((double)phi, kPi);
    return r > 1.0 && r < 3.0 ? -m : m;
  };
  spectrum[0] = signedEnd(magnitude[0], phase[0]);
  spectrum[1] = signedEnd(magnitude[half], phase[half]);
  for (long k = 1; k < half; ++k) {
    const double m = magnitude[k], phi = phase[k];
    spectrum[2 * k] = (float)(m * cos(phi));
    spectrum[2 * k + 1] = (float)(m * sin(phi));
  }
}

bool Unwrapper(float* phase, long N, DesignNotice* notice) {
  const long M = N / 2;
  if (M < 1) return true;
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* q = (float*)allocRunBuffer(&blocks, (SIZE_T)M * sizeof(float));
  if (q == nullptr) {
    releaseRunBuffers(&blocks);
    noticeFailure(notice, kDesignNoMemory,
                  "Sorry, cannot allocate vector\nthere is not enough memory...", "Unwrapper",
                  MB_OK | MB_ICONERROR);
    return false;
  }
  float pmin = phase[0];
  for (long i = 1; i < M; ++i)
    if (phase[i] < pmin) pmin = phase[i];
  for (long i = 0; i < M; ++i)
    q[i] = (float)(phase[i] - kTwoPi * trunc(((double)phase[i] - pmin) / kTwoPi));
  // The running correction stays in double: after thousands of wraps a float would no longer
  // hold it to a fraction of a radian.
  double correction = 0.0;
  for (long i = 0; i < M; ++i) {
    const double step = i == 0 ? (double)q[0] : (double)q[i] - q[i - 1];
    if (step > kPi)
      correction -= kTwoPi;
    else if (step < -kPi)
      correction += kTwoPi;
    phase[i] = (float)(q[i] + correction);
  }
  releaseRunBuffers(&blocks);
  return true;
}
