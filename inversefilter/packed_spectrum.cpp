#include "inversefilter/packed_spectrum.h"

#include <math.h>

void SplitSpectrum(const float* packed, float* re, float* im, long N) {
  const long half = N / 2;
  re[0] = packed[0];
  im[0] = 0.0f;
  for (long k = 1; k < half; ++k) {
    re[k] = packed[2 * k];
    im[k] = packed[2 * k + 1];
  }
  re[half] = packed[1];
  im[half] = 0.0f;
}

void PackSpectrum(const float* re, const float* im, float* packed, long N) {
  const long half = N / 2;
  packed[0] = re[0];
  packed[1] = re[half];
  for (long k = 1; k < half; ++k) {
    packed[2 * k] = re[k];
    packed[2 * k + 1] = im[k];
  }
}

void SwapHalves(float* signal, float* scratch, long half) {
  for (long i = 0; i < half; ++i) {
    scratch[i] = signal[half + i];
    scratch[half + i] = signal[i];
  }
  for (long i = 0; i < 2 * half; ++i) signal[i] = scratch[i];
}

void SpectrumProduct(const float* a, const float* b, float* out, long N) {
  out[0] = a[0] * b[0];
  out[1] = a[1] * b[1];
  for (long k = 2; k < N; k += 2) {
    const double ar = a[k], ai = a[k + 1], br = b[k], bi = b[k + 1];
    out[k] = (float)(ar * br - ai * bi);
    out[k + 1] = (float)(ar * bi + ai * br);
  }
}

void SpectrumQuotient(const float* a, const float* b, float* out, long N) {
  // e^-32: keeps a zero DC or Nyquist divisor from dividing by zero.
  const double tiny = exp(-32.0);
  for (int i = 0; i < 2; ++i) {
    const double divisor = b[i] != 0.0f ? (double)b[i] : tiny;
    out[i] = (float)(a[i] / divisor);
  }
  for (long k = 2; k < N; k += 2) {
    const double ar = a[k], ai = a[k + 1], br = b[k], bi = b[k + 1];
    const double power = br * br + bi * bi;
    if (br == 0.0 && bi == 0.0) {
      out[k] = 0.0f;
      out[k + 1] = 0.0f;
      continue;
    }
    out[k] = (float)((ar * br + ai * bi) / power);
    out[k + 1] = (float)((ai * br - ar * bi) / power);
  }
}
