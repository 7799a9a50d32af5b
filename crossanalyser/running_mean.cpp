// The public accumulations are plain loops; AccumulateBlock, which the averaging runs, does the
// same float operations four lanes at a time over the in-band bins (IEEE arithmetic lane by
// lane gives the same bits as the plain loops).
#include "crossanalyser/running_mean.h"

#include <emmintrin.h>
#include <math.h>

#include "crossanalyser/complex_bins.h"

namespace {

long clampEdge(long edge, long n) { return edge < 0 ? 0 : (edge > n / 2 ? n / 2 : edge); }

// The bins of each range, clamped to the spectrum: decay 1 ... lo, new lo+1 ... hi-1,
// decay hi ... N/2-1.
struct Ranges {
  long decayLowEnd;         // last bin of the low decay range (0: none)
  long bandFirst, bandEnd;  // in-band bins [bandFirst, bandEnd)
  long decayHighFirst;      // first bin of the high decay range (up to N/2-1)
  bool touchEnds;           // lo = 0: DC and Nyquist take the new value
};

Ranges ranges(long n, long lo, long hi) {
  lo = clampEdge(lo, n);
  hi = clampEdge(hi, n);
  const long last = n / 2 - 1;
  Ranges r;
  r.decayLowEnd = lo < last ? lo : last;
  r.bandFirst = lo + 1;
  r.bandEnd = hi;
  r.decayHighFirst = hi < 1 ? 1 : hi;
  r.touchEnds = lo == 0;
  return r;
}

// One bin of each kind, as the plain loops write it.
inline void autoBin(float* g, const float* x, long k, float fb, float fb1) {
  g[2 * k] = (x[2 * k] * x[2 * k] + x[2 * k + 1] * x[2 * k + 1] + fb * g[2 * k]) / fb1;
}

inline void decayBin(float* g, long k, float fb, float fb1) { g[2 * k] = fb * g[2 * k] / fb1; }

template <bool phaseOnly>
inline void complexBin(float* g, const float* xr, const float* xl, long k, float fb, float fb1) {
  ComplexBin c = ConjugateProduct({xr[2 * k], xr[2 * k + 1]}, {xl[2 * k], xl[2 * k + 1]});
  if (phaseOnly) {
    const float magnitude = sqrtf(c.re * c.re + c.im * c.im);
    c = magnitude == 0.0f ? ComplexBin{0.0f, 0.0f} : ComplexBin{c.re / magnitude, c.im / magnitude};
  }
  g[2 * k] = (fb * g[2 * k] + c.re) / fb1;
  g[2 * k + 1] = (fb * g[2 * k + 1] + c.im) / fb1;
}

inline void decayComplexBin(float* g, long k, float fb, float fb1) {
  g[2 * k] = fb * g[2 * k] / fb1;
  g[2 * k + 1] = fb * g[2 * k + 1] / fb1;
}

// DC and Nyquist: plain products.
inline void autoEnds(float* g, const float* x, float fb, float fb1) {
  g[0] = (x[0] * x[0] + fb * g[0]) / fb1;
  g[1] = (x[1] * x[1] + fb * g[1]) / fb1;
}

inline void complexEnds(float* g, const float* xr, const float* xl, float fb, float fb1) {
  g[0] = (fb * g[0] + xr[0] * xl[0]) / fb1;
  g[1] = (xr[1] * xl[1] + fb * g[1]) / fb1;
}

// The cross and phase accumulations differ only in the in-band value.
template <bool phaseOnly>
void accumulateComplex(float* g, const float* xr, const float* xl, long n, long b, long lo,
                       long hi) {
  const float fb = (float)b, fb1 = (float)(b + 1);
  const Ranges r = ranges(n, lo, hi);
  if (r.touchEnds) complexEnds(g, xr, xl, fb, fb1);
  for (long k = 1; k <= r.decayLowEnd; ++k) decayComplexBin(g, k, fb, fb1);
  for (long k = r.bandFirst; k < r.bandEnd; ++k) complexBin<phaseOnly>(g, xr, xl, k, fb, fb1);
  for (long k = r.decayHighFirst; k < n / 2; ++k) decayComplexBin(g, k, fb, fb1);
}

}  // namespace

void AccumulateAuto(float* g, const float* x, long n, long b, long lo, long hi) {
  const float fb = (float)b, fb1 = (float)(b + 1);
  const Ranges r = ranges(n, lo, hi);
  if (r.touchEnds) autoEnds(g, x, fb, fb1);
  for (long k = 1; k <= r.decayLowEnd; ++k) decayBin(g, k, fb, fb1);
  for (long k = r.bandFirst; k < r.bandEnd; ++k) autoBin(g, x, k, fb, fb1);
  for (long k = r.decayHighFirst; k < n / 2; ++k) decayBin(g, k, fb, fb1);
  for (long k = 1; k < n / 2; ++k) g[2 * k + 1] = 0.0f;
}

void AccumulateCross(float* glr, const float* xr, const float* xl, long n, long b, long lo,
                     long hi) {
  accumulateComplex<false>(glr, xr, xl, n, b, lo, hi);
}

void AccumulatePhase(float* csp, const float* xr, const float* xl, long n, long b, long lo,
                     long hi) {
  accumulateComplex<true>(csp, xr, xl, n, b, lo, hi);
}

namespace {

// Decays bins [first, end) of the four spectra: the auto-spectra's real parts (their
// imaginary parts cleared), both parts of the complex ones.
void decayBlock(float* gll, float* grr, float* glr, float* csp, long first, long end, float fbs,
                float fb1s) {
  const __m128 fb = _mm_set1_ps(fbs), fb1 = _mm_set1_ps(fb1s);
  const __m128 realMask = _mm_castsi128_ps(_mm_set_epi32(0, -1, 0, -1));
  long k = first;
  for (; k + 2 <= end; k += 2) {
    float* g[4] = {gll + 2 * k, grr + 2 * k, glr + 2 * k, csp ? csp + 2 * k : nullptr};
    for (int s = 0; s < 4; ++s) {
      if (!g[s]) continue;
      __m128 v = _mm_div_ps(_mm_mul_ps(fb, _mm_loadu_ps(g[s])), fb1);
      if (s < 2) v = _mm_and_ps(v, realMask);
      _mm_storeu_ps(g[s], v);
    }
  }
  for (; k < end; ++k) {
    decayBin(gll, k, fbs, fb1s);
    gll[2 * k + 1] = 0.0f;
    decayBin(grr, k, fbs, fb1s);
    grr[2 * k + 1] = 0.0f;
    decayComplexBin(glr, k, fbs, fb1s);
    if (csp) decayComplexBin(csp, k, fbs, fb1s);
  }
}

// New values for bins [first, end) of the four spectra.
void bandBlock(float* gll, float* grr, float* glr, float* csp, const float* xl, const float* xr,
               long first, long end, float fbs, float fb1s) {
  const __m128 fb = _mm_set1_ps(fbs), fb1 = _mm_set1_ps(fb1s);
  const __m128 realMask = _mm_castsi128_ps(_mm_set_epi32(0, -1, 0, -1));
  long k = first;
  for (; k + 2 <= end; k += 2) {
    const __m128 l = _mm_loadu_ps(xl + 2 * k);  // re0 im0 re1 im1
    const __m128 r = _mm_loadu_ps(xr + 2 * k);
    // Powers re^2 + im^2 in the real lanes; the imaginary lanes are cleared.
    const __m128 l2 = _mm_mul_ps(l, l), r2 = _mm_mul_ps(r, r);
    const __m128 lp = _mm_add_ps(l2, _mm_shuffle_ps(l2, l2, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128 rp = _mm_add_ps(r2, _mm_shuffle_ps(r2, r2, _MM_SHUFFLE(2, 3, 0, 1)));
    float* pl = gll + 2 * k;
    float* pr = grr + 2 * k;
    const __m128 nl = _mm_div_ps(_mm_add_ps(lp, _mm_mul_ps(fb, _mm_loadu_ps(pl))), fb1);
    const __m128 nr = _mm_div_ps(_mm_add_ps(rp, _mm_mul_ps(fb, _mm_loadu_ps(pr))), fb1);
    _mm_storeu_ps(pl, _mm_and_ps(nl, realMask));
    _mm_storeu_ps(pr, _mm_and_ps(nr, realMask));
    // c = XR conj(XL): re = rr*lr + ri*li, im = ri*lr - rr*li.
    const __m128 p = _mm_mul_ps(r, l);                                              // rr*lr ri*li
    const __m128 q = _mm_mul_ps(_mm_shuffle_ps(r, r, _MM_SHUFFLE(2, 3, 0, 1)), l);  // ri*lr rr*li
    const __m128 odd = _mm_shuffle_ps(p, q, _MM_SHUFFLE(2, 0, 2, 0));               // p0 p2 q0 q2
    const __m128 even = _mm_shuffle_ps(p, q, _MM_SHUFFLE(3, 1, 3, 1));              // p1 p3 q1 q3
    const __m128 parts = _mm_shuffle_ps(_mm_add_ps(odd, even), _mm_sub_ps(odd, even),
                                        _MM_SHUFFLE(3, 2, 1, 0));          // re0 re1 im0 im1
    const __m128 c = _mm_unpacklo_ps(parts, _mm_movehl_ps(parts, parts));  // re0 im0 re1 im1
    float* pc = glr + 2 * k;
    _mm_storeu_ps(pc, _mm_div_ps(_mm_add_ps(_mm_mul_ps(fb, _mm_loadu_ps(pc)), c), fb1));
    if (csp) {
      const __m128 c2 = _mm_mul_ps(c, c);
      const __m128 m = _mm_sqrt_ps(_mm_add_ps(c2, _mm_shuffle_ps(c2, c2, _MM_SHUFFLE(2, 3, 0, 1))));
      // A product of zero magnitude contributes 0 (0/0 lanes are masked).
      const __m128 unit = _mm_andnot_ps(_mm_cmpeq_ps(m, _mm_setzero_ps()), _mm_div_ps(c, m));
      float* ps = csp + 2 * k;
      _mm_storeu_ps(ps, _mm_div_ps(_mm_add_ps(_mm_mul_ps(fb, _mm_loadu_ps(ps)), unit), fb1));
    }
  }
  for (; k < end; ++k) {
    autoBin(gll, xl, k, fbs, fb1s);
    gll[2 * k + 1] = 0.0f;
    autoBin(grr, xr, k, fbs, fb1s);
    grr[2 * k + 1] = 0.0f;
    complexBin<false>(glr, xr, xl, k, fbs, fb1s);
    if (csp) complexBin<true>(csp, xr, xl, k, fbs, fb1s);
  }
}

}  // namespace

void AccumulateBlock(float* gll, float* grr, float* glr, float* csp, const float* xl,
                     const float* xr, long n, long b, long lo, long hi) {
  const float fb = (float)b, fb1 = (float)(b + 1);
  const Ranges r = ranges(n, lo, hi);
  if (r.touchEnds) {
    autoEnds(gll, xl, fb, fb1);
    autoEnds(grr, xr, fb, fb1);
    complexEnds(glr, xr, xl, fb, fb1);
    if (csp) complexEnds(csp, xr, xl, fb, fb1);
  }
  decayBlock(gll, grr, glr, csp, 1, r.decayLowEnd + 1, fb, fb1);
  bandBlock(gll, grr, glr, csp, xl, xr, r.bandFirst, r.bandEnd, fb, fb1);
  decayBlock(gll, grr, glr, csp, r.decayHighFirst, n / 2, fb, fb1);
}

void FindFollowPeak(const float* x, long n, long* peak) {
  double best = 0.0;
  long found = -1;
  for (long k = 11; k < n / 2; ++k) {
    const double power = (double)x[2 * k] * x[2 * k] + (double)x[2 * k + 1] * x[2 * k + 1];
    if (power > best) {
      best = power;
      found = k;
    }
  }
  if (found >= 0) *peak = found;
}

FollowBand MakeFollowBand(float bandwidthOctaves) {
  const double half = (double)bandwidthOctaves / 2.0;
  return {pow(2.0, -half), pow(2.0, half)};
}

namespace {

long bandEdge(double bin, long n) {
  if (!(bin > 0.0)) return 0;  // also NaN (0 times an infinite factor)
  if (bin >= n / 2) return n / 2;
  return (long)bin;  // truncation toward zero
}

}  // namespace

void FollowBandEdges(const FollowBand& band, long peak, long n, long* lo, long* hi) {
  *lo = bandEdge(peak * band.down, n);
  *hi = bandEdge(peak * band.up, n);
}
