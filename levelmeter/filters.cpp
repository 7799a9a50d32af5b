#include "levelmeter/filters.h"

#include <math.h>

namespace {

// Angular corner frequencies (rad/s) of the first-order stages.
constexpr double kAHighPass1 = 129.4336173278995;  // 20.6 Hz, twice
constexpr double kAHighPass2 = 676.6990575832415;  // 107.7 Hz
constexpr double kAHighPass3 = 4636.362438167816;  // 737.9 Hz
constexpr double kALowPass = 76654.86074759095;    // 12200 Hz, twice
constexpr double kAGain = 1.1655011655011656;      // 1 / 0.858: 0 dB at 1 kHz

constexpr double kBodyHighPass = 4.990734089492745;  // 0.7943 Hz, twice
constexpr double kBodyLowPass1 = 35.71362528600877;  // 5.684 Hz
constexpr double kBodyLowPass2 = 628.3185307179587;  // 100 Hz, twice
constexpr double kBodyGain = 1.19;

// Gain of the first-order smoother s <- a*u + (1 - a)*s for an angular corner frequency w.
double smootherGain(double w, float fs) { return 1.0 - exp(-w / fs); }

enum SectionKind { kHighPass, kLowPass, kBandPass };

// The coefficients of y = 2 (alpha (x + d x1 + e x2) + gamma y1 - beta y2).
struct Section {
  double alpha, beta, gamma, d, e;
};

Section designSection(SectionKind kind, float f, float q, long sampleRate) {
  const float fs = (float)sampleRate;
  const double theta = 6.283185307179586 * f / fs;
  const double k = tan(theta / (2.0 * q));
  const double beta = 0.5 * (1.0 - k) / (1.0 + k);
  const double gamma = (0.5 + beta) * cos(theta);
  switch (kind) {
    case kHighPass:
      return {(0.5 + beta + gamma) / 4.0, beta, gamma, -2.0, 1.0};
    case kLowPass:
      return {(0.5 + beta - gamma) / 4.0, beta, gamma, 2.0, 1.0};
    default:
      return {(0.5 - beta) / 2.0, beta, gamma, 0.0, -1.0};
  }
}

void designedSection(SectionKind kind, float f, float q, float* signal, long sampleRate, long n) {
  const Section c = designSection(kind, f, q, sampleRate);
  secondOrderSection(signal, n, c.alpha, c.beta, c.gamma, c.d, c.e);
}

// y = 2 (alpha (x + d x1 + e x2) + gamma y1 - beta y2) with the past values as stored floats.
inline float sectionOutput(const Section& c, float x, float x1, float x2, float y1, float y2) {
  return (float)(2.0 * (c.alpha * ((double)x + c.d * x1 + c.e * x2) + c.gamma * y1 - c.beta * y2));
}

// Five sections one after the other, then a gain, in one pass over the array: the same
// operations as one pass per stage, sample by sample. A section's past inputs are the previous
// section's past outputs, the floats it stored, so six histories serve the five sections. In
// one pass the recurrences overlap instead of following each other, which makes the cascade
// fast.
void cascadeOfFive(float* signal, long n, const Section (&c)[5], float gain) {
  float in1 = 0, in2 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0, c1 = 0, c2 = 0, d1 = 0, d2 = 0, e1 = 0,
        e2 = 0;
  for (long i = 0; i < n; ++i) {
    const float x = signal[i];
    const float a = sectionOutput(c[0], x, in1, in2, a1, a2);
    const float b = sectionOutput(c[1], a, a1, a2, b1, b2);
    const float cc = sectionOutput(c[2], b, b1, b2, c1, c2);
    const float d = sectionOutput(c[3], cc, c1, c2, d1, d2);
    const float e = sectionOutput(c[4], d, d1, d2, e1, e2);
    in2 = in1, in1 = x;
    a2 = a1, a1 = a;
    b2 = b1, b1 = b;
    c2 = c1, c1 = cc;
    d2 = d1, d1 = d;
    e2 = e1, e1 = e;
    signal[i] = e * gain;
  }
}

float gainFactor(float gainDb) { return (float)pow(10.0, gainDb * 0.05); }

}  // namespace

void removeMean(float* signal, long n) {
  if (n <= 0) return;
  double sum = 0.0;
  for (long i = 0; i < n; ++i) sum += signal[i];
  const double mean = sum / n;
  for (long i = 0; i < n; ++i) signal[i] = (float)(signal[i] - mean);
}

void applyWeighting(char code, float* signal, long n, long sampleRate) {
  switch (code) {
    case 'A':
      aWeighting(signal, n, sampleRate);
      break;
    case 'B':
      ituBandPass(signal, n, sampleRate);
      break;
    case 'W':
      wholeBodyWeighting(signal, n, sampleRate);
      break;
    default:  // 'L' and anything unknown: wide band
      break;
  }
}

void aWeighting(float* signal, long n, long sampleRate) {
  const float fs = (float)sampleRate;
  const double a1 = smootherGain(kAHighPass1, fs), b1 = 1.0 - a1;
  const double a2 = smootherGain(kAHighPass2, fs), b2 = 1.0 - a2;
  const double a3 = smootherGain(kAHighPass3, fs), b3 = 1.0 - a3;
  const double a4 = smootherGain(kALowPass, fs), b4 = 1.0 - a4;
  double s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, s5 = 0.0, s6 = 0.0;
  for (long i = 0; i < n; ++i) {
    const double x = signal[i];
    // Each high-pass output is its input minus the smoother state before the update.
    const double d1 = x - s1;
    s1 = a1 * x + b1 * s1;
    const double d2 = d1 - s2;
    s2 = a1 * d1 + b1 * s2;
    const double d3 = d2 - s3;
    s3 = a2 * d2 + b2 * s3;
    const double d4 = d3 - s4;
    s4 = a3 * d3 + b3 * s4;
    s5 = a4 * d4 + b4 * s5;
    s6 = a4 * s5 + b4 * s6;
    signal[i] = (float)(kAGain * s6);
  }
}

void wholeBodyWeighting(float* signal, long n, long sampleRate) {
  const float fs = (float)sampleRate;
  const double a1 = smootherGain(kBodyHighPass, fs), b1 = 1.0 - a1;
  const double a2 = smootherGain(kBodyLowPass1, fs), b2 = 1.0 - a2;
  const double a3 = smootherGain(kBodyLowPass2, fs), b3 = 1.0 - a3;
  double t1 = 0.0, t2 = 0.0, t3 = 0.0, t4 = 0.0, t5 = 0.0;
  for (long i = 0; i < n; ++i) {
    const double x = signal[i];
    const double h1 = x - t1;
    t1 = a1 * x + b1 * t1;
    const double h2 = h1 - t2;
    t2 = a1 * h1 + b1 * t2;
    t3 = a2 * h2 + b2 * t3;
    t4 = a3 * t3 + b3 * t4;
    t5 = a3 * t4 + b3 * t5;
    signal[i] = (float)(kBodyGain * t5);
  }
}

void ituBandPass(float* signal, long n, long sampleRate) {
  const Section sections[5] = {designSection(kHighPass, 110.0f, 0.7f, sampleRate),
                               designSection(kHighPass, 90.0f, 1.5f, sampleRate),
                               designSection(kLowPass, 6500.0f, 0.8f, sampleRate),
                               designSection(kLowPass, 7500.0f, 1.8f, sampleRate),
                               designSection(kBandPass, 1100.0f, 0.11f, sampleRate)};
  cascadeOfFive(signal, n, sections, gainFactor(-0.15f));
}

void secondOrderSection(float* signal, long n, double alpha, double beta, double gamma, double d,
                        double e) {
  double x1 = 0.0, x2 = 0.0;   // past inputs, exact
  float y1 = 0.0f, y2 = 0.0f;  // past outputs as stored in the array
  for (long i = 0; i < n; ++i) {
    const double x = signal[i];
    const float y = (float)(2.0 * (alpha * (x + d * x1 + e * x2) + gamma * y1 - beta * y2));
    signal[i] = y;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
  }
}

void highPassSection(float f, float q, float* signal, long sampleRate, long n) {
  designedSection(kHighPass, f, q, signal, sampleRate, n);
}

void lowPassSection(float f, float q, float* signal, long sampleRate, long n) {
  designedSection(kLowPass, f, q, signal, sampleRate, n);
}

void bandPassSection(float f, float q, float* signal, long sampleRate, long n) {
  designedSection(kBandPass, f, q, signal, sampleRate, n);
}

void applyGainDb(float gainDb, float* signal, long n) {
  const float factor = gainFactor(gainDb);
  for (long i = 0; i < n; ++i) signal[i] *= factor;
}
