#include "crossanalyser/spectral_functions.h"

#include <math.h>

namespace {

constexpr float kEps12 = 1e-12f;
constexpr double kEps12d = 1e-12;

long binFrequency(long k, long sampleRate, long n) { return (long)((long long)k * sampleRate / n); }

bool inBand(long f, float maxFrequency) { return !(f < 24 || (double)f > maxFrequency); }

// theta = 2 pi dm fs k / (c N) of the probe filters.
double probePhase(long k, long n, float soundSpeed, float probeDistanceMm, long sampleRate) {
  const double pi = 4.0 * atan(1.0);
  const float dm = (float)(probeDistanceMm * 0.001);
  return 2.0 * pi * dm * sampleRate * k / ((double)soundSpeed * n);
}

void setBin(float* out, long k, double re, double im) {
  const bool finite = isfinite(re) && isfinite(im);
  out[2 * k] = finite ? (float)re : 0.0f;
  out[2 * k + 1] = finite ? (float)im : 0.0f;
}

}  // namespace

void Coherence(float* out, const float* gll, const float* grr, const float* glr, long n) {
  const float dc = sqrtf(glr[0] * glr[0] / (gll[0] * grr[0] + kEps12));
  const float nyquist = sqrtf(glr[1] * glr[1] / (gll[1] * grr[1] + kEps12));
  for (long k = 1; k < n / 2; ++k) {
    const float re = glr[2 * k], im = glr[2 * k + 1];
    out[2 * k] = sqrtf((re * re + im * im) / (gll[2 * k] * grr[2 * k] + kEps12));
    out[2 * k + 1] = 0.0f;
  }
  out[0] = dc;
  out[1] = nyquist;
}

void MagnitudeRatio(float* out, const float* gll, const float* grr, long n) {
  out[0] = sqrtf(grr[0] / (gll[0] + kEps12));
  out[1] = sqrtf(grr[1] / (gll[1] + kEps12));
  for (long k = 1; k < n / 2; ++k) {
    out[2 * k] = sqrtf(grr[2 * k] / (gll[2 * k] + kEps12));
    out[2 * k + 1] = 0.0f;
  }
}

void WeightByCoherence(float* x, const float* gamma, long n) {
  for (long k = 1; k < n / 2; ++k) {
    const float weight = gamma[2 * k] * gamma[2 * k];
    x[2 * k] *= weight;
    x[2 * k + 1] *= weight;
  }
}

void WhitenCrossSpectrum(float* gammaOut, const float* gll, const float* grr, float* glr, long n) {
  Coherence(gammaOut, gll, grr, glr, n);
  glr[0] = glr[1] = 0.0f;
  float largest = 0.0f;
  for (long k = 1; k < n / 2; ++k) {
    const float magnitude = sqrtf(glr[2 * k] * glr[2 * k] + glr[2 * k + 1] * glr[2 * k + 1]);
    if (magnitude > largest) largest = magnitude;
  }
  const float threshold = 0.01f * largest;
  for (long k = 1; k < n / 2; ++k) {
    const float magnitude = sqrtf(glr[2 * k] * glr[2 * k] + glr[2 * k + 1] * glr[2 * k + 1]);
    if (magnitude > threshold) {
      glr[2 * k] /= magnitude;
      glr[2 * k + 1] /= magnitude;
    } else {
      glr[2 * k] = glr[2 * k + 1] = 0.0f;
    }
  }
}

void BandMask(float* out, long n, long sampleRate, float maxFrequency) {
  out[0] = out[1] = 1.0f;
  for (long k = 1; k < n / 2; ++k) {
    out[2 * k] = inBand(binFrequency(k, sampleRate, n), maxFrequency) ? 1.0f : 0.0f;
    out[2 * k + 1] = 0.0f;
  }
}

void TubeCalibration(float* out, const float* glr, const float* grr, long n, float soundSpeed,
                     float probeDistanceMm, long sampleRate, float maxFrequency) {
  out[0] = out[1] = 0.0f;
  for (long k = 1; k < n / 2; ++k) {
    if (!inBand(binFrequency(k, sampleRate, n), maxFrequency)) {
      setBin(out, k, 0.0, 0.0);
      continue;
    }
    const double t = tan(probePhase(k, n, soundSpeed, probeDistanceMm, sampleRate));
    const double d = grr[2 * k] + kEps12d;
    setBin(out, k, glr[2 * k + 1] / d * t, glr[2 * k] / d * t);
  }
}

void FreeFieldCalibration(float* out, const float* glr, const float* grr, long n, float soundSpeed,
                          float probeDistanceMm, long sampleRate, float maxFrequency) {
  out[0] = out[1] = 0.0f;
  for (long k = 1; k < n / 2; ++k) {
    const double theta = probePhase(k, n, soundSpeed, probeDistanceMm, sampleRate);
    if (!inBand(binFrequency(k, sampleRate, n), maxFrequency) || grr[2 * k] == 0.0f ||
        theta == 0.0) {
      setBin(out, k, 0.0, 0.0);
      continue;
    }
    const double a = (double)glr[2 * k] / grr[2 * k];
    const double b = (double)glr[2 * k + 1] / grr[2 * k];
    setBin(out, k, -(a + b / theta), b - a / theta);
  }
}

void SurfaceImpedance(float* out, const float* grr, const float* glr, long n, float soundSpeed,
                      float probeDistanceMm, long sampleRate) {
  const double pi = 4.0 * atan(1.0);
  out[0] = out[1] = 0.0f;
  for (long k = 1; k < n / 2; ++k) {
    const long f = binFrequency(k, sampleRate, n);
    const double kw = 2.0 * pi * f / soundSpeed;
    const double phi = 2.0 * kw * probeDistanceMm * 0.001;
    const double d = grr[2 * k] + kEps12d;
    const double u = -glr[2 * k] / d, v = -glr[2 * k + 1] / d;
    const double c = cos(phi), s = sin(phi);
    const double a = u * u + v * v - 1.0;
    const double bd = u * (u + 2.0) + v * v + 1.0;  // |z + 1|^2
    if (bd == 0.0) {
      setBin(out, k, -1.0, 0.0);  // z = -1: R and R' infinite, (1 + R') / (1 - R') -> -1
      continue;
    }
    const double x = (a * c - 2.0 * v * s) / bd;
    const double y = (a * s + 2.0 * v * c) / bd;
    const double m = x * x + y * y + 1.0 - 2.0 * x;  // |1 - R'|^2
    if (m == 0.0) {
      setBin(out, k, 0.0, 0.0);
      continue;
    }
    setBin(out, k, (1.0 - x * x - y * y) / m, 2.0 * y / m);
  }
}

void RotateQuarter(float* x, long n) {
  x[0] = x[1] = 0.0f;
  for (long k = 1; k < n / 2; ++k) {
    const float re = x[2 * k];
    x[2 * k] = x[2 * k + 1];
    x[2 * k + 1] = -re;
  }
}

void SwapHalves(float* x, long half) {
  for (long i = 0; i < half; ++i) {
    const float t = x[i];
    x[i] = x[half + i];
    x[half + i] = t;
  }
}

void FindPeak(float* x, long n, float* peak, long* index, bool removeMean) {
  if (removeMean && n > 0) {
    long double sum = 0.0L;
    for (long i = 0; i < n; ++i) sum += x[i];
    const float mean = (float)(sum / n);
    for (long i = 0; i < n; ++i) x[i] -= mean;
  }
  float largest = 0.0f;
  long at = n;
  for (long i = 0; i < n; ++i) {
    const float magnitude = fabsf(x[i]);
    if (magnitude > largest) {
      largest = magnitude;
      at = i;
    }
  }
  if (largest > *peak) *peak = largest;
  *index = at;
}
