// The display control's source of points: curve 1 and curve 2 at frequency x (Hz), each showing
// the quantity its check boxes selected (LeftCurve, RightCurve).
#include "crossanalyser/curve_values.h"

#include <math.h>

namespace {

// -(80/pi): a phase of +-180 degrees spans -+80, the range of the dB scale.
const double kPhaseToScale = -25.464790894703256;

// The bin of frequency x, kept within 1 ... N/2-2 whatever the display asks for.
long binOf(double x, const AnalyserParams* p) {
  const long n = p->FftSize;
  const double k = trunc(x / p->SampleRate * n);
  const long last = n / 2 - 2;
  if (!(k >= 1.0)) return 1;  // below 1, and a frequency that is not a number
  if (k > last) return last;
  return (long)k;
}

double firstCurve(const RunSpectra& s, int selection, int function, long k, double x) {
  const float re = RealAt(s.result, s.n, k), im = ImagAt(s.result, s.n, k);
  switch (selection) {
    case 0:
      return -100.0;
    case 1:
      return Decibels(10.0, RealAt(s.gll, s.n, k));
    case 2:
      return Decibels(ResultDbFactor(function), re * re + im * im);
    case 3:
      return Decibels(ResultDbFactor(function), re * re);
    case 4:
      return AbsorptionAt(s, k);
    default:
      return x;
  }
}

double secondCurve(const RunSpectra& s, int selection, int function, long k, double x) {
  const float re = RealAt(s.result, s.n, k), im = ImagAt(s.result, s.n, k);
  switch (selection) {
    case 0:
      return -100.0;
    case 1:
      return Decibels(10.0, RealAt(s.grr, s.n, k));
    case 2:
      return kPhaseToScale * atan2((double)im, (double)re);
    case 3:
      return Decibels(ResultDbFactor(function), im * im);
    case 4:
      return RealAt(s.second, s.n, k);
    default:
      return x;
  }
}

}  // namespace

// `user` is the parameter block, which the results dialog holds locked while it lives; the
// spectra are locked for each point.
extern "C" int WINAPI DisplayCallback(double x, void* user, short curve, double* y) {
  const AnalyserParams* p = (const AnalyserParams*)user;
  RunSpectra s;
  const bool there = LockRunSpectra(p, &s);
  if (there) {
    const long k = binOf(x, p);
    if (curve == 1)
      *y = firstCurve(s, p->LeftCurve, p->ProcessingFunction, k, x);
    else if (curve == 2)
      *y = secondCurve(s, p->RightCurve, p->ProcessingFunction, k, x);
    else
      *y = x;
  }
  UnlockRunSpectra(p, &s);
  return there ? 1 : 0;
}
