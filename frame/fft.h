// The radix-2 FFT shared by the two spectral plug-ins: a complex transform, a real-data
// transform built on it, whose packed spectrum every spectral array of those plug-ins uses, and
// a zero fill. Everything works in place on arrays the caller owns; nothing is allocated and
// nothing is kept between calls.
//
// Sign convention: the forward transform is X[k] = sum_j x[j] * e^(+2 pi i j k / n),
// unnormalised. Its imaginary parts are the negatives of those of the e^(-2 pi i) convention, so
// a sine at bin 1 reads +n/2 in the imaginary part of bin 1.
//
// Arithmetic, fixed so that every build computes the same bits: the data stay 32-bit floats
// throughout; the angle, the twiddle factor and its recurrence are doubles; a butterfly's
// product t = w * a[j] is formed in double and rounded to float once, then added to and
// subtracted from a[i] in float; the half-sums of the real-transform unpacking are floats, and
// each unpacked value is formed in double (left to right as written below) and rounded once.
// The routines are vectorised over independent butterflies and reordered for the cache, but
// every output bit equals that of the plain loops described here.
#pragma once

// Complex array of nn points: 2*nn floats, real and imaginary parts interleaved.
//
// ComplexFFT(data, nn, direction): in place, nn a power of two (nn >= 1). direction is +1 or -1;
// the result is sum_j a[j] * e^(direction * 2 pi i j k / nn), never scaled. Decimation in
// time: a bit-reversal permutation, then for span = 2, 4, ... (counted in floats) butterflies
// whose twiddle (wr, wi) starts at (1, 0) and advances per butterfly column by
//   wr <- wr*wpr - wi*wpi + wr,  wi <- wi*wpr + wr_old*wpi + wi,
// with theta = direction * (6.28318530717959 / span), wpr = -2 sin^2(theta/2), wpi = sin theta.
void ComplexFFT(float* data, long nn, short direction);

// Real signal of n points (n a power of two, n >= 2) and its packed spectrum, which takes the
// same n floats: element 0 holds X[0] (real), element 1 holds X[n/2] (real), elements 2k and
// 2k+1 hold the real and imaginary part of X[k] for k = 1 ... n/2 - 1. Read as n/2 complex
// pairs, pair 0 is (X[0], X[n/2]).
//
// RealFFT(data, n, direction, scaleInverse): in place. direction exactly 1 is the forward
// transform (signal to packed spectrum); any other value is the inverse (packed spectrum to
// signal). The inverse returns n/2 times the signal when scaleInverse is false and the signal
// itself when it is true (each of the n results divided by n/2). The forward transform is the
// same either way. The unpacking angle is theta = +-pi / (n/2) with pi = 3.141592653589793.
void RealFFT(float* data, long n, int direction, bool scaleInverse);

// RealFFT of two arrays of n points each with the same direction and scaling: bit for bit the
// same results as two RealFFT calls, faster because both share one twiddle recurrence. The
// arrays must not overlap.
void RealFFTPair(float* first, float* second, long n, int direction, bool scaleInverse);

// Sets count floats of buffer to 0; nothing when count <= 0.
void ZeroFill(float* buffer, long count);
