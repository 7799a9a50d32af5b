// Spectra and linear convolutions of real signals by the plug-ins' radix-2 transform
// (frame/fft.h), long enough that nothing wraps around. The transform works in floats; the
// spectra are handed out and multiplied in doubles. Its rounding leaves a floor some 145 dB
// below the signal (a pure delay's pre-ringing through 2^19 points), far under the figures
// judged here (pre-ringing to -100 dB, band levels to hundredths of a dB).
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace orvane {

using Spectrum = std::vector<std::complex<double>>;  // bins 0 ... n/2 of an n-point transform

// The smallest power of two >= `length` (at least 2).
std::size_t transformLengthFor(std::size_t length);

// X[k] = sum_j x[j] e^(-2 pi i j k / n), k = 0 ... n/2, of `count` samples zero-padded to n
// (n a power of two >= 2, count <= n).
Spectrum realSpectrum(const double* x, std::size_t count, std::size_t n);

// The first `count` samples of the real signal whose n-point spectrum is `X` (bins 0 ... n/2).
std::vector<double> inverseRealSpectrum(const Spectrum& X, std::size_t n, std::size_t count);

// a * b, bin by bin; `sum` += a * b.
Spectrum multiplySpectra(const Spectrum& a, const Spectrum& b);
void addProduct(Spectrum* sum, const Spectrum& a, const Spectrum& b);

}  // namespace orvane
