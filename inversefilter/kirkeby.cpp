#include "inversefilter/kirkeby.h"

#include <math.h>

namespace {

constexpr long double kLog2e = 1.4426950408889634073599246810018921L;

long clampedBin(double x, long top) {
  if (!(x >= 1.0)) return 1;  // also NaN
  if (x >= (double)top) return top;
  return (long)x;  // truncation toward zero
}

// The regularisation profile of one spectrum: calls put(k, eps) for every bin 1 ... halfN-1,
// region by region in the order that lets a later region overwrite an earlier one.
template <class Put>
void forEachRegularisedBin(long halfN, float epsIn, float epsOut, long kL1, long kL2, long kH1,
                           long kH2, Put put) {
  const long top = halfN - 1 > 1 ? halfN - 1 : 1;
  auto clamp = [top](long k) { return k < 1 ? 1 : (k > top ? top : k); };
  const long a = clamp(kL1), b = clamp(kL2), c = clamp(kH1), d = clamp(kH2);
  const long double lnIn = logl((long double)epsIn);
  const long double lnOut = logl((long double)epsOut);
  for (long k = 1; k < a; ++k) put(k, (long double)epsOut);
  for (long k = a; k < b; ++k)
    put(k, exp2l((lnOut + (long double)(k - a) * (lnIn - lnOut) / (long double)(b - a)) * kLog2e));
  for (long k = b; k < c; ++k) put(k, (long double)epsIn);
  for (long k = c; k < d; ++k)
    put(k, exp2l((lnIn + (long double)(k - c) * (lnOut - lnIn) / (long double)(d - c)) * kLog2e));
  for (long k = d; k < halfN; ++k) put(k, (long double)epsOut);
}

}  // namespace

BandEdgeBins BandEdges(long N, long fL, long fH, double TW, long fs) {
  const double g = pow(2.0, -TW / 2.0);
  const double m = pow(2.0, TW / 2.0);
  const long top = N / 2 - 1 > 1 ? N / 2 - 1 : 1;
  const double n = (double)N;
  BandEdgeBins e;
  e.kL1 = clampedBin(n * fL * g / fs, top);
  e.kL2 = clampedBin(n * fL * m / fs, top);
  e.kH1 = clampedBin(n * fH * g / fs, top);
  e.kH2 = clampedBin(n * fH * m / fs, top);
  return e;
}

bool ValidRegularisation(float epsIn, float epsOut) {
  return isfinite(epsIn) && isfinite(epsOut) && epsIn > 0.0f && epsOut > 0.0f;
}

void InvertRegularised(float* spectrum, float* scratch, long halfN, float epsIn, float epsOut,
                       long kL1, long kL2, long kH1, long kH2) {
  for (int i = 0; i < 2; ++i) {
    const double x = spectrum[i];
    scratch[i] = (float)(x / (double)((long double)x * x + epsOut));
  }
  forEachRegularisedBin(halfN, epsIn, epsOut, kL1, kL2, kH1, kH2, [&](long k, long double eps) {
    const double re = spectrum[2 * k], im = spectrum[2 * k + 1];
    const double d = (double)((long double)re * re + (long double)im * im + eps);
    scratch[2 * k] = (float)(re / d);
    scratch[2 * k + 1] = (float)(-im / d);
  });
  for (long i = 0; i < 2 * halfN; ++i) spectrum[i] = scratch[i];
}

void InvertRegularisedRatio(float* X, const float* Y, float* scratch, long halfN, float epsIn,
                            float epsOut, long kL1, long kL2, long kH1, long kH2) {
  for (int i = 0; i < 2; ++i) {
    const double x = X[i], y = Y[i];
    scratch[i] = (float)(x * y / (double)((long double)y * y + epsOut));
  }
  forEachRegularisedBin(halfN, epsIn, epsOut, kL1, kL2, kH1, kH2, [&](long k, long double eps) {
    const double xr = X[2 * k], xi = X[2 * k + 1], yr = Y[2 * k], yi = Y[2 * k + 1];
    const double d = (double)((long double)yr * yr + (long double)yi * yi + eps);
    scratch[2 * k] = (float)((xr * yr + xi * yi) / d);
    scratch[2 * k + 1] = (float)((xi * yr - xr * yi) / d);
  });
  for (long i = 0; i < 2 * halfN; ++i) X[i] = -scratch[i];
}
