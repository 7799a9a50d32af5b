// The two forms in which the designer holds a spectrum, and the per-bin operations on them.
//
// Packed real spectrum of an N-point real signal (N even, at least 2): N floats in place of the
// signal; element 0 is the real value at DC, element 1 the real value at the Nyquist frequency,
// elements 2k and 2k+1 the real and imaginary parts of bin k for k = 1 ... N/2-1. Read as N/2
// complex pairs, pair 0 holds (DC, Nyquist). This is the layout of RealFFT (frame/fft.h), and
// every spectrum of the designer uses its sign convention, e^(+2 pi i jk/N).
//
// Split spectrum: two arrays re[0 ... N/2] and im[0 ... N/2] (N/2+1 floats each); im[0] and
// im[N/2] are 0.
//
// All arrays belong to the caller; nothing is allocated.
#pragma once

// Packed (N floats) to split (N/2+1 floats each); im[0] = im[N/2] = 0.
void SplitSpectrum(const float* packed, float* re, float* im, long N);

// Split to packed; the imaginary parts at DC and Nyquist are dropped.
void PackSpectrum(const float* re, const float* im, float* packed, long N);

// Exchanges the first and second halves of a signal of 2*half samples, through `scratch`
// (2*half floats). Afterwards the sample that was at time 0 sits at index half.
void SwapHalves(float* signal, float* scratch, long half);

// out = a * b, packed: DC and Nyquist as real products, bins 1 ... N/2-1 as complex products
// formed in double. out may be a or b.
void SpectrumProduct(const float* a, const float* b, float* out, long N);

// out = a / b, packed: DC and Nyquist as real quotients with a zero divisor replaced by
// e^-32; a bin whose divisor is exactly 0 + 0j gives 0; otherwise a * conj(b) / |b|^2 in
// double. out may be a or b.
void SpectrumQuotient(const float* a, const float* b, float* out, long N);
