// Complex arithmetic on the bins of packed spectra (N floats: element 0 the DC value, element 1
// the Nyquist value, elements 2k and 2k+1 the real and imaginary part of bin k, k = 1 ... N/2-1).
// All values are 32-bit floats, computed in float in the order written.
#pragma once

struct ComplexBin {
  float re, im;
};

// a * conj(b): (a.re b.re + a.im b.im, a.im b.re - a.re b.im).
ComplexBin ConjugateProduct(ComplexBin a, ComplexBin b);

// a * conj(b) / D with D = b.re^2 + b.im^2 + 1e-24 (a float constant):
// ((a.re b.re + a.im b.im) / D, (a.im b.re - a.re b.im) / D). Never divides by zero.
ComplexBin RegularisedDivide(ComplexBin a, ComplexBin b);

// out = num / den bin by bin: DC and Nyquist are the real quotients num / (den + 1e-12) (a
// float constant); bin k is RegularisedDivide(num[k], den[k]) = num * conj(den) / |den|^2, the
// quotient num / den. out may be num or den. n >= 2.
void DivideSpectra(float* out, const float* num, const float* den, long n);

// H2 = GRR / conj(GLR) bin by bin, i.e. DivideSpectra with the conjugate of GLR as divisor:
// bin k is RegularisedDivide(GRR[k], conj(GLR[k])) = GRR * GLR / |GLR|^2, DC and Nyquist are as
// in DivideSpectra. Since GLR = XR conj(XL), this is XR / XL, equal to H1 = GLR / GLL in
// magnitude and phase on noise-free data (GRR / GLR would be its conjugate: a delay would read
// as an advance). out may be grr or glr. n >= 2.
void TransferH2(float* out, const float* grr, const float* glr, long n);
