#include "crossanalyser/curve_values.h"

#include <math.h>

namespace {

constexpr int kSpectra = 5;

// The fields in the order of RunSpectra's arrays.
void fieldsOf(const AnalyserParams* p, BlockBuffer fields[kSpectra]) {
  fields[0] = p->AutoLeft;
  fields[1] = p->AutoRight;
  fields[2] = p->CrossSpectrum;
  fields[3] = p->ResultSpectrum;
  fields[4] = p->SecondSpectrum;
}

}  // namespace

bool LockRunSpectra(const AnalyserParams* p, RunSpectra* s) {
  BlockBuffer fields[kSpectra];
  fieldsOf(p, fields);
  void* arrays[kSpectra];
  lockBlockBuffers(fields, kSpectra, arrays);
  *s = {(const float*)arrays[0], (const float*)arrays[1], (const float*)arrays[2],
        (const float*)arrays[3], (const float*)arrays[4], (long)p->FftSize};
  for (void* a : arrays)
    if (a == nullptr) return false;
  return true;
}

void UnlockRunSpectra(const AnalyserParams* p, const RunSpectra* s) {
  BlockBuffer fields[kSpectra];
  fieldsOf(p, fields);
  void* const arrays[kSpectra] = {(void*)s->gll, (void*)s->grr, (void*)s->glr, (void*)s->result,
                                  (void*)s->second};
  unlockBlockBuffers(fields, kSpectra, arrays);
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
