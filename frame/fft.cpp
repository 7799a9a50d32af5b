// The transforms run the butterflies two at a time in SSE2 registers and in a cache-friendly
// order, but each butterfly performs exactly the operations of the plain loop: the products and
// the sum or difference of t in double, one rounding of t to float, then the float sum and
// difference with a[i]. The twiddles of each stage come from the same recurrence, stepped in the
// same sequence, so every output bit equals that of the plain loops. The pair forms transform two
// arrays with one twiddle recurrence, which is a serial chain of dependent double operations and
// otherwise a large part of the cost.
#include "frame/fft.h"

#include <emmintrin.h>
#include <math.h>
#include <stdint.h>

namespace {

// Stages whose butterfly groups fit in this many floats (8 KB per array) run block by block, so
// that a block stays in the first-level cache through all of them.
constexpr long kBlockFloats = 2048;
// Twiddles of the in-block stages (spans 4 ... kBlockFloats/2: 2 + 4 + ... + kBlockFloats/4
// columns, two doubles each), computed once per call.
constexpr long kBlockTwiddleDoubles = kBlockFloats;
// Columns of a larger stage whose twiddles are produced at a time.
constexpr long kChunkColumns = 256;

// The twiddle recurrence of one stage: (wr, wi) starts at (1, 0) and advances once per
// butterfly column.
struct Twiddle {
  double wr, wi, wpr, wpi;
};

Twiddle startStage(long span, short direction) {
  const double theta = direction * (6.28318530717959 / span);
  const double s = sin(0.5 * theta);
  return {1.0, 0.0, -2.0 * s * s, sin(theta)};
}

inline void advance(Twiddle* w) {
  const double wold = w->wr;
  w->wr = w->wr * w->wpr - w->wi * w->wpi + w->wr;
  w->wi = w->wi * w->wpr + wold * w->wpi + w->wi;
}

// Stores the next `count` twiddles (count even) and advances the recurrence past them. Two
// columns share four doubles, wr of both then wi of both, so that a vector lane holds a column.
void fillTwiddles(Twiddle* w, double* out, long count) {
  Twiddle v = *w;  // kept in registers: out never aliases the recurrence
  for (long m = 0; m < count; m += 2, out += 4) {
    out[0] = v.wr;
    out[2] = v.wi;
    advance(&v);
    out[1] = v.wr;
    out[3] = v.wi;
    advance(&v);
  }
  *w = v;
}

inline uint32_t reverseBits(uint32_t v, int bits) {
  v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
  v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
  v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
  v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
  v = (v >> 16) | (v << 16);
  return v >> (32 - bits);
}

// Exchanges every complex element with the one at its bit-reversed index, each pair once.
void bitReverse(float* a, long nn) {
  if (nn < 4) return;  // one or two points are their own reversals
  int bits = 0;
  while ((1L << bits) < nn) ++bits;
  double* x = (double*)a;  // one complex element moved as one 8-byte unit
  for (long k = 1; k < nn - 1; ++k) {
    const long r = (long)reverseBits((uint32_t)k, bits);
    if (k < r) {
      const __m128d u = _mm_load_sd(x + k);
      const __m128d v = _mm_load_sd(x + r);
      _mm_store_sd(x + k, v);
      _mm_store_sd(x + r, u);
    }
  }
}

// Two butterflies: u holds the upper values (re0, im0, re1, im1), x the lower ones, w the two
// columns' twiddles as (wr0, wr1, wi0, wi1). t = w * x is formed per lane exactly as the plain
// loop forms it, (wr*re - wi*im, wr*im + wi*re) in double, and rounded to float once; the
// results are u + t and u - t in float.
inline void butterflyPair(__m128 u, __m128 x, __m128d wr, __m128d wi, __m128* sum, __m128* diff) {
  const __m128 split = _mm_shuffle_ps(x, x, _MM_SHUFFLE(3, 1, 2, 0));  // re0 re1 im0 im1
  const __m128d re = _mm_cvtps_pd(split);
  const __m128d im = _mm_cvtps_pd(_mm_movehl_ps(split, split));
  const __m128d tr = _mm_sub_pd(_mm_mul_pd(wr, re), _mm_mul_pd(wi, im));
  const __m128d ti = _mm_add_pd(_mm_mul_pd(wr, im), _mm_mul_pd(wi, re));
  const __m128 t = _mm_unpacklo_ps(_mm_cvtpd_ps(tr), _mm_cvtpd_ps(ti));  // tr0 ti0 tr1 ti1
  *sum = _mm_add_ps(u, t);
  *diff = _mm_sub_ps(u, t);
}

// Butterflies of `count` consecutive columns (count even): the upper values at p, the lower at
// q, the column twiddles in w.
inline void butterflyRun(float* p, float* q, const double* w, long count) {
  for (long m = 0; m < count; m += 2, p += 4, q += 4, w += 4) {
    __m128 sum, diff;
    butterflyPair(_mm_loadu_ps(p), _mm_loadu_ps(q), _mm_loadu_pd(w), _mm_loadu_pd(w + 2), &sum,
                  &diff);
    _mm_storeu_ps(q, diff);
    _mm_storeu_ps(p, sum);
  }
}

// The first stage (span 2: one column, twiddle (1, 0) of the recurrence) over `floats` floats,
// two groups of four floats at a time (at least 8 floats).
void firstStage(float* a, long floats, const Twiddle& w) {
  const __m128d wr = _mm_set1_pd(w.wr), wi = _mm_set1_pd(w.wi);
  for (long i = 0; i < floats; i += 8) {
    const __m128 x0 = _mm_loadu_ps(a + i);
    const __m128 x1 = _mm_loadu_ps(a + i + 4);
    __m128 sum, diff;
    butterflyPair(_mm_movelh_ps(x0, x1), _mm_movehl_ps(x1, x0), wr, wi, &sum, &diff);
    _mm_storeu_ps(a + i, _mm_movelh_ps(sum, diff));
    _mm_storeu_ps(a + i + 4, _mm_movehl_ps(diff, sum));
  }
}

// The plain loop, for arrays too short for the vector forms (fewer than 4 points).
void plainButterflies(float* a, long n, short direction) {
  for (long span = 2; span < n; span *= 2) {
    const long step = 2 * span;
    Twiddle w = startStage(span, direction);
    for (long m = 0; m < span; m += 2) {
      for (long i = m; i < n; i += step) {
        const long j = i + span;
        const float tr = (float)(w.wr * a[j] - w.wi * a[j + 1]);
        const float ti = (float)(w.wr * a[j + 1] + w.wi * a[j]);
        a[j] = a[i] - tr;
        a[j + 1] = a[i + 1] - ti;
        a[i] += tr;
        a[i + 1] += ti;
      }
      advance(&w);
    }
  }
}

// ComplexFFT on `count` arrays of nn points at once, sharing the twiddles.
template <int count>
void complexTransform(float* const* arrays, long nn, short direction) {
  for (int c = 0; c < count; ++c) bitReverse(arrays[c], nn);
  const long n = 2 * nn;
  if (n < 8) {
    for (int c = 0; c < count; ++c) plainButterflies(arrays[c], n, direction);
    return;
  }
  // Stages whose groups (2*span floats) fit in a block: the twiddles of all of them first, then
  // block by block through those stages.
  const long block = n < kBlockFloats ? n : kBlockFloats;
  const Twiddle first = startStage(2, direction);
  double twiddles[kBlockTwiddleDoubles];
  for (long span = 4, at = 0; 2 * span <= block; at += span, span *= 2) {
    Twiddle w = startStage(span, direction);
    fillTwiddles(&w, twiddles + at, span / 2);
  }
  for (long b = 0; b < n; b += block) {
    for (int c = 0; c < count; ++c) {
      float* x = arrays[c] + b;
      firstStage(x, block, first);
      for (long span = 4, at = 0; 2 * span <= block; at += span, span *= 2) {
        for (long i = 0; i < block; i += 2 * span)
          butterflyRun(x + i, x + i + span, twiddles + at, span / 2);
      }
    }
  }
  // The larger stages over the whole array, a chunk of columns at a time.
  double chunk[2 * kChunkColumns];
  for (long span = block; span < n; span *= 2) {
    const long step = 2 * span;
    Twiddle w = startStage(span, direction);
    for (long m = 0; m < span; m += 2 * kChunkColumns) {
      const long columns = (span - m) / 2 < kChunkColumns ? (span - m) / 2 : kChunkColumns;
      fillTwiddles(&w, chunk, columns);
      for (int c = 0; c < count; ++c) {
        float* a = arrays[c];
        for (long i = m; i < n; i += step) butterflyRun(a + i, a + i + span, chunk, columns);
      }
    }
  }
}

// The unpacking (forward) or packing (inverse) step of the real transform for bins k and k+1 of
// an array: front holds (re, im) of bins k, k+1, back those of bins n/2-k-1, n/2-k.
inline void unpackPair(float* front, float* back, __m128 c1, __m128 c2, __m128d wr, __m128d wi) {
  const __m128 f = _mm_loadu_ps(front);                             // r(k) i(k) r(k+1) i(k+1)
  const __m128 g = _mm_loadu_ps(back);                              // r3(k+1) i4(k+1) r3(k) i4(k)
  const __m128 fs = _mm_shuffle_ps(f, f, _MM_SHUFFLE(3, 1, 2, 0));  // r(k) r(k+1) i(k) i(k+1)
  const __m128 gs = _mm_shuffle_ps(g, g, _MM_SHUFFLE(1, 3, 0, 2));  // r3(k) r3(k+1) i4(k) i4(k+1)
  const __m128 sum = _mm_add_ps(fs, gs);                            // a[i1]+a[i3] | a[i2]+a[i4]
  const __m128 diff = _mm_sub_ps(fs, gs);                           // a[i1]-a[i3] | a[i2]-a[i4]
  // h1 = c1 * (sums of the real parts, differences of the imaginary parts); h2 = (-c2 * sums of
  // the imaginary parts, c2 * differences of the real parts).
  const __m128 h1 = _mm_mul_ps(c1, _mm_shuffle_ps(sum, diff, _MM_SHUFFLE(3, 2, 1, 0)));
  const __m128 minusC2 = _mm_sub_ps(_mm_setzero_ps(), c2);
  const __m128 h2 =
      _mm_mul_ps(_mm_movelh_ps(minusC2, c2), _mm_shuffle_ps(sum, diff, _MM_SHUFFLE(1, 0, 3, 2)));
  const __m128d h1r = _mm_cvtps_pd(h1), h1i = _mm_cvtps_pd(_mm_movehl_ps(h1, h1));
  const __m128d h2r = _mm_cvtps_pd(h2), h2i = _mm_cvtps_pd(_mm_movehl_ps(h2, h2));
  const __m128d p1 = _mm_mul_pd(wr, h2r), p2 = _mm_mul_pd(wi, h2i);
  const __m128d p3 = _mm_mul_pd(wr, h2i), p4 = _mm_mul_pd(wi, h2r);
  const __m128d o1 = _mm_sub_pd(_mm_add_pd(h1r, p1), p2);
  const __m128d o2 = _mm_add_pd(_mm_add_pd(h1i, p3), p4);
  const __m128d o3 = _mm_add_pd(_mm_sub_pd(h1r, p1), p2);
  const __m128d minusH1i = _mm_sub_pd(_mm_setzero_pd(), h1i);  // exact: -h1i in float
  const __m128d o4 = _mm_add_pd(_mm_add_pd(minusH1i, p3), p4);
  const __m128 f12 = _mm_unpacklo_ps(_mm_cvtpd_ps(o1), _mm_cvtpd_ps(o2));  // r i r i (k, k+1)
  const __m128 f34 = _mm_unpacklo_ps(_mm_cvtpd_ps(o3), _mm_cvtpd_ps(o4));  // bins n/2-k, n/2-k-1
  _mm_storeu_ps(front, f12);
  _mm_storeu_ps(back, _mm_shuffle_ps(f34, f34, _MM_SHUFFLE(1, 0, 3, 2)));
}

// The same step for one bin, as the plain loop writes it.
inline void unpackOne(float* a, long n, long k, float c1, float c2, double wr, double wi) {
  const long i1 = 2 * k, i2 = i1 + 1, i3 = n - i1, i4 = i3 + 1;
  const float h1r = c1 * (a[i1] + a[i3]);
  const float h1i = c1 * (a[i2] - a[i4]);
  const float h2r = -c2 * (a[i2] + a[i4]);
  const float h2i = c2 * (a[i1] - a[i3]);
  a[i1] = (float)(h1r + wr * h2r - wi * h2i);
  a[i2] = (float)(h1i + wr * h2i + wi * h2r);
  a[i3] = (float)(h1r - wr * h2r + wi * h2i);
  a[i4] = (float)(-h1i + wr * h2i + wi * h2r);
}

// RealFFT on `count` arrays of n points at once, sharing the twiddles.
template <int count>
void realTransform(float* const* arrays, long n, int direction, bool scaleInverse) {
  const float c1 = 0.5f;
  float c2;
  double theta = 3.141592653589793 / (double)(n >> 1);
  if (direction == 1) {
    c2 = -0.5f;
    complexTransform<count>(arrays, n >> 1, 1);
  } else {
    c2 = 0.5f;
    theta = -theta;
  }
  const double s = sin(0.5 * theta);
  Twiddle w = {1.0, 0.0, -2.0 * s * s, sin(theta)};
  w.wr = 1.0 + w.wpr;
  w.wi = w.wpi;
  const __m128 vc1 = _mm_set1_ps(c1), vc2 = _mm_set1_ps(c2);
  long k = 1;
  for (; k + 1 < n / 4; k += 2) {
    const double wr0 = w.wr, wi0 = w.wi;
    advance(&w);
    const __m128d wr = _mm_set_pd(w.wr, wr0), wi = _mm_set_pd(w.wi, wi0);
    advance(&w);
    for (int c = 0; c < count; ++c)
      unpackPair(arrays[c] + 2 * k, arrays[c] + n - 2 * k - 2, vc1, vc2, wr, wi);
  }
  if (k < n / 4) {
    for (int c = 0; c < count; ++c) unpackOne(arrays[c], n, k, c1, c2, w.wr, w.wi);
  }
  for (int c = 0; c < count; ++c) {
    float* a = arrays[c];
    const float h = a[0];
    if (direction == 1) {
      a[0] = h + a[1];
      a[1] = h - a[1];
    } else {
      a[0] = c1 * (h + a[1]);
      a[1] = c1 * (h - a[1]);
    }
  }
  if (direction == 1) return;
  complexTransform<count>(arrays, n >> 1, -1);
  if (!scaleInverse) return;
  // n/2 is a power of two, so the division is an exact scaling, as a division by n/2.
  const __m128 half = _mm_set1_ps((float)(n >> 1));
  for (int c = 0; c < count; ++c) {
    float* a = arrays[c];
    long i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_ps(a + i, _mm_div_ps(_mm_loadu_ps(a + i), half));
    for (; i < n; ++i) a[i] /= (float)(n >> 1);
  }
}

}  // namespace

void ComplexFFT(float* data, long nn, short direction) {
  float* arrays[1] = {data};
  complexTransform<1>(arrays, nn, direction);
}

void RealFFT(float* data, long n, int direction, bool scaleInverse) {
  float* arrays[1] = {data};
  realTransform<1>(arrays, n, direction, scaleInverse);
}

void RealFFTPair(float* first, float* second, long n, int direction, bool scaleInverse) {
  float* arrays[2] = {first, second};
  realTransform<2>(arrays, n, direction, scaleInverse);
}

void ZeroFill(float* buffer, long count) {
  for (long i = 0; i < count; ++i) buffer[i] = 0.0f;
}
