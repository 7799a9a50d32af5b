#include "crossanalyser/complex_bins.h"

ComplexBin ConjugateProduct(ComplexBin a, ComplexBin b) {
  return {a.re * b.re + a.im * b.im, a.im * b.re - a.re * b.im};
}

ComplexBin RegularisedDivide(ComplexBin a, ComplexBin b) {
  const float d = b.re * b.re + b.im * b.im + 1e-24f;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

namespace {

void divideBins(float* out, const float* num, const float* den, long n, float denSign) {
  const float dc = num[0] / (den[0] + 1e-12f);
  const float nyquist = num[1] / (den[1] + 1e-12f);
  for (long k = 1; k < n / 2; ++k) {
    const ComplexBin q =
        RegularisedDivide({num[2 * k], num[2 * k + 1]}, {den[2 * k], denSign * den[2 * k + 1]});
    out[2 * k] = q.re;
    out[2 * k + 1] = q.im;
  }
  out[0] = dc;
  out[1] = nyquist;
}

}  // namespace

void DivideSpectra(float* out, const float* num, const float* den, long n) {
  divideBins(out, num, den, n, 1.0f);
}

void TransferH2(float* out, const float* grr, const float* glr, long n) {
  divideBins(out, grr, glr, n, -1.0f);
}
