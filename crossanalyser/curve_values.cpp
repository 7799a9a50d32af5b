#include "crossanalyser/curve_values.h"

#include <math.h>
#include <stdint.h>

namespace {

const float* arrayAt(int32_t address) { return (const float*)(uintptr_t)(uint32_t)address; }

}  // namespace

RunSpectra RunSpectraOf(const AnalyserParams* p) {
  return {arrayAt(p->AutoLeft),       arrayAt(p->AutoRight),      arrayAt(p->CrossSpectrum),
          arrayAt(p->ResultSpectrum), arrayAt(p->SecondSpectrum), (long)p->FftSize};
}

float RealAt(const float* spectrum, long n, long r) {
  if (r == 0) return spectrum[0];
  if (r == n / 2) return spectrum[1];
  return spectrum[2 * r];
}

float ImagAt(const float* spectrum, long n, long r) {
  if (r == 0 || r == n / 2) return 0.0f;
  return spectrum[2 * r + 1];
}

double Decibels(double factor, double power) {
  if (!(power > 0.0)) return -200.0;
  const double level = factor * log10(power);
  return level < -200.0 ? -200.0 : level;
}

double AbsorptionAt(const RunSpectra& s, long r) {
  const double cross = fabs((double)RealAt(s.glr, s.n, r));
  const float autoSum = RealAt(s.grr, s.n, r) + RealAt(s.gll, s.n, r);
  const double denominator = cross + autoSum * 0.5;
  if (denominator == 0.0) return 0.0;
  return 2.0 * cross / denominator;
}

double ResultDbFactor(int function) {
  return function == kFnCrossCorrelation || function == kFnWhiteCrossCorrelation ||
                 function == kFnCrossPowerPhase
             ? 5.0
             : 10.0;
}
