#include "inversefilter/any_length_dft.h"

#include <math.h>
#include <stdint.h>

#include "frame/fft.h"
#include "frame/run_buffers.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/packed_spectrum.h"

namespace {

constexpr double kPi = 3.141592653589793238462643;

// chirp[2j], chirp[2j+1] = e^(sign i pi j^2/m) for j < m, the angle taken from the residue
// j^2 mod 2m so that it stays exact however large j grows.
void fillChirp(double* chirp, long m, int sign) {
  for (long j = 0; j < m; ++j) {
    const uint64_t r = ((uint64_t)j * (uint64_t)j) % (uint64_t)(2 * m);
    const double angle = kPi * (double)r / (double)m;
    chirp[2 * j] = cos(angle);
    chirp[2 * j + 1] = sign * sin(angle);
  }
}

// Unnormalised complex transform of m points (m >= 1, any), sum_j z[j] e^(sign 2 pi i jk/m),
// in place on the first 2m floats of `a` (2L floats); `b` is a second array of 2L floats; L is
// the power of two >= 2m - 1; `chirp` holds the chirp of this sign (fillChirp).
void bluestein(float* a, float* b, const double* chirp, long m, long L) {
  // a[j] <- z[j] c[j], b[j] = b[L-j] = conj(c[j]).
  for (long j = 0; j < m; ++j) {
    const double c = chirp[2 * j], s = chirp[2 * j + 1];
    const double re = a[2 * j], im = a[2 * j + 1];
    a[2 * j] = (float)(re * c - im * s);
    a[2 * j + 1] = (float)(re * s + im * c);
  }
  ZeroFill(a + 2 * m, 2 * (L - m));
  ZeroFill(b, 2 * L);
  for (long j = 0; j < m; ++j) {
    const float c = (float)chirp[2 * j], s = (float)-chirp[2 * j + 1];
    b[2 * j] = c;
    b[2 * j + 1] = s;
    if (j > 0) {
      b[2 * (L - j)] = c;
      b[2 * (L - j) + 1] = s;
    }
  }
  // Circular convolution of length L; no wrap-around reaches the first m outputs because
  // L >= 2m - 1.
  ComplexFFT(a, L, 1);
  ComplexFFT(b, L, 1);
  const double scale = 1.0 / (double)L;  // exact: L is a power of two
  for (long j = 0; j < L; ++j) {
    const double ar = a[2 * j], ai = a[2 * j + 1], br = b[2 * j], bi = b[2 * j + 1];
    a[2 * j] = (float)((ar * br - ai * bi) * scale);
    a[2 * j + 1] = (float)((ar * bi + ai * br) * scale);
  }
  ComplexFFT(a, L, -1);
  for (long k = 0; k < m; ++k) {
    const double c = chirp[2 * k], s = chirp[2 * k + 1];
    const double re = a[2 * k], im = a[2 * k + 1];
    a[2 * k] = (float)(re * c - im * s);
    a[2 * k + 1] = (float)(re * s + im * c);
  }
}

// The unpacking twiddle e^(+2 pi i k/N), k < N.
inline void twiddle(long k, long N, double* c, double* s) {
  const double angle = 2.0 * kPi * (double)k / (double)N;
  *c = cos(angle);
  *s = sin(angle);
}

void showNoMemory(LPCSTR caption, DesignNotice* notice) {
  noticeFailure(notice, kDesignNoMemory,
                "Failed in memory allocation\nPlease retry, better luck next time!", caption,
                MB_OK | MB_ICONERROR);
}

// Forward: packed spectrum of the signal in data, through the workspace.
void forward(float* data, float* a, float* b, double* chirp, long N, long L) {
  const long m = N / 2;
  // The signal read as m complex points z[j] = x[2j] + i x[2j+1].
  for (long i = 0; i < N; ++i) a[i] = data[i];
  fillChirp(chirp, m, 1);
  bluestein(a, b, chirp, m, L);
  // X[k] = E[k] + w^k O[k], with E[k] = (Z[k] + conj Z[m-k])/2, O[k] = (Z[k] - conj Z[m-k])/2i.
  const double z0r = a[0], z0i = a[1];
  data[0] = (float)(z0r + z0i);
  data[1] = (float)(z0r - z0i);
  for (long k = 1; k < m; ++k) {
    const double zr = a[2 * k], zi = a[2 * k + 1];
    const double yr = a[2 * (m - k)], yi = -a[2 * (m - k) + 1];  // conj Z[m-k]
    const double er = 0.5 * (zr + yr), ei = 0.5 * (zi + yi);
    const double or_ = 0.5 * (zi - yi), oi = -0.5 * (zr - yr);
    double c, s;
    twiddle(k, N, &c, &s);
    data[2 * k] = (float)(er + (c * or_ - s * oi));
    data[2 * k + 1] = (float)(ei + (c * oi + s * or_));
  }
}

// Inverse: N/2 times the signal of the packed spectrum in data, through the workspace.
void inverse(float* data, float* a, float* b, double* chirp, long N, long L) {
  const long m = N / 2;
  // Z[k] = E[k] + i O[k], with E[k] = (X[k] + conj X[m-k])/2, O[k] = (X[k] - conj X[m-k]) w^-k/2.
  a[0] = (float)(0.5 * ((double)data[0] + data[1]));
  a[1] = (float)(0.5 * ((double)data[0] - data[1]));
  for (long k = 1; k < m; ++k) {
    const double xr = data[2 * k], xi = data[2 * k + 1];
    const double yr = data[2 * (m - k)], yi = -data[2 * (m - k) + 1];  // conj X[m-k]
    const double er = 0.5 * (xr + yr), ei = 0.5 * (xi + yi);
    const double dr = 0.5 * (xr - yr), di = 0.5 * (xi - yi);
    double c, s;
    twiddle(k, N, &c, &s);
    const double or_ = dr * c + di * s, oi = di * c - dr * s;  // times e^(-2 pi i k/N)
    a[2 * k] = (float)(er - oi);
    a[2 * k + 1] = (float)(ei + or_);
  }
  fillChirp(chirp, m, -1);
  bluestein(a, b, chirp, m, L);
  for (long i = 0; i < N; ++i) data[i] = a[i];
}

}  // namespace

bool AnyLengthRealFFT(float* data, long N, int direction, LPCSTR caption, DesignNotice* notice) {
  if (!IsDesignLength(N)) return false;
  if (IsPowerOfTwo(N)) {
    RealFFT(data, N, direction, false);
    return true;
  }
  const long m = N / 2;
  long L = 1;
  while (L < 2 * m - 1) L *= 2;
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* a = (float*)allocRunBuffer(&blocks, (SIZE_T)(2 * L) * sizeof(float));
  float* b = (float*)allocRunBuffer(&blocks, (SIZE_T)(2 * L) * sizeof(float));
  double* chirp = (double*)allocRunBuffer(&blocks, (SIZE_T)(2 * m) * sizeof(double));
  if (blocks.failedStep != 0) {
    releaseRunBuffers(&blocks);
    showNoMemory(caption, notice);
    return false;
  }
  if (direction == 1)
    forward(data, a, b, chirp, N, L);
  else
    inverse(data, a, b, chirp, N, L);
  releaseRunBuffers(&blocks);
  return true;
}

bool DirectDFT(const float* signal, float* re, float* im, long N, DesignNotice* notice) {
  if (!IsDesignLength(N)) return false;
  // Transformed in a copy: the signal stays as it is.
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* copy = (float*)allocRunBuffer(&blocks, (SIZE_T)N * sizeof(float));
  if (copy == nullptr) {
    releaseRunBuffers(&blocks);
    showNoMemory("DirectDFT", notice);
    return false;
  }
  for (long i = 0; i < N; ++i) copy[i] = signal[i];
  const bool done = AnyLengthRealFFT(copy, N, 1, "DirectDFT", notice);
  if (done) SplitSpectrum(copy, re, im, N);
  releaseRunBuffers(&blocks);
  return done;
}

bool DirectIDFT(float* signal, const float* re, const float* im, long N, DesignNotice* notice) {
  if (!IsDesignLength(N)) return false;
  // Packed in a copy, so that a failure leaves the signal as it was.
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* packed = (float*)allocRunBuffer(&blocks, (SIZE_T)N * sizeof(float));
  if (packed == nullptr) {
    releaseRunBuffers(&blocks);
    showNoMemory("DirectIDFT", notice);
    return false;
  }
  PackSpectrum(re, im, packed, N);
  const bool done = AnyLengthRealFFT(packed, N, -1, "DirectIDFT", notice);
  if (done)
    for (long i = 0; i < N; ++i) signal[i] = packed[i];
  releaseRunBuffers(&blocks);
  return done;
}
