#include "host/assess/fft_convolution.h"

#include <algorithm>

#include "frame/fft.h"

namespace orvane {

// The plug-ins' transform keeps e^(+2 pi i jk/n) and a packed layout: element 0 is X[0],
// element 1 X[n/2], elements 2k and 2k+1 the real part and the negated imaginary part of X[k]
// in the e^(-2 pi i jk/n) convention used here.

std::size_t transformLengthFor(std::size_t length) {
  std::size_t n = 2;
  while (n < length) n <<= 1;
  return n;
}

Spectrum realSpectrum(const double* x, std::size_t count, std::size_t n) {
  std::vector<float> data(n, 0.0f);
  for (std::size_t j = 0; j < count && j < n; ++j) data[j] = static_cast<float>(x[j]);
  RealFFT(data.data(), static_cast<long>(n), 1, false);
  Spectrum X(n / 2 + 1);
  X[0] = {data[0], 0.0};
  X[n / 2] = {data[1], 0.0};
  for (std::size_t k = 1; k < n / 2; ++k)
    X[k] = {data[2 * k], -static_cast<double>(data[2 * k + 1])};
  return X;
}

std::vector<double> inverseRealSpectrum(const Spectrum& X, std::size_t n, std::size_t count) {
  std::vector<float> data(n);
  data[0] = static_cast<float>(X[0].real());
  data[1] = static_cast<float>(X[n / 2].real());
  for (std::size_t k = 1; k < n / 2; ++k) {
    data[2 * k] = static_cast<float>(X[k].real());
    data[2 * k + 1] = static_cast<float>(-X[k].imag());
  }
  RealFFT(data.data(), static_cast<long>(n), -1, true);
  return std::vector<double>(data.begin(), data.begin() + static_cast<long>(std::min(count, n)));
}

Spectrum multiplySpectra(const Spectrum& a, const Spectrum& b) {
  Spectrum p(a.size());
  for (std::size_t k = 0; k < a.size(); ++k) {
    p[k] = {a[k].real() * b[k].real() - a[k].imag() * b[k].imag(),
            a[k].real() * b[k].imag() + a[k].imag() * b[k].real()};
  }
  return p;
}

void addProduct(Spectrum* sum, const Spectrum& a, const Spectrum& b) {
  for (std::size_t k = 0; k < a.size(); ++k) {
    (*sum)[k] += std::complex<double>(a[k].real() * b[k].real() - a[k].imag() * b[k].imag(),
                                      a[k].real() * b[k].imag() + a[k].imag() * b[k].real());
  }
}

}  // namespace orvane
