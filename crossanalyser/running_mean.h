// The running means of the averaged spectra and the following filter that restricts each
// block's contribution to a band around the strongest spectral line (for sine sweeps).
//
// Spectra are packed (N floats: DC, Nyquist, then bins k = 1 ... N/2-1 as (re, im)). Adding
// block b (0-based) gives G <- (b G + new) / (b + 1) with b and b + 1 held as floats, all in
// float in the order written. Only bins lo+1 ... hi-1 receive the new value; bins 1 ... lo and
// hi ... N/2-1 decay by b / (b+1) (a bin in both ranges, possible when hi <= lo, decays twice).
// DC and Nyquist take the new value only when lo = 0 and are left untouched otherwise. lo and hi
// are clamped to 0 ... N/2 so that no range reaches past the spectrum.
#pragma once

// Auto-spectrum: new value X.re^2 + X.im^2 (DC and Nyquist: the squares); G.im stays 0.
void AccumulateAuto(float* g, const float* x, long n, long b, long lo, long hi);

// Cross-spectrum: new value ConjugateProduct(XR[k], XL[k]) = XR conj(XL), per part;
// DC and Nyquist the plain products.
void AccumulateCross(float* glr, const float* xr, const float* xl, long n, long b, long lo,
                     long hi);

// Cross-power spectrum phase: as AccumulateCross, but the in-band new value is c / |c|
// (|c| = sqrt(re^2 + im^2) in float). A product of exactly zero magnitude has no phase: it
// contributes 0, as a bin with no signal would. DC and Nyquist take the plain products.
void AccumulatePhase(float* csp, const float* xr, const float* xl, long n, long b, long lo,
                     long hi);

// The three accumulations of one block at once (CSP only when csp is not null): the same bits
// as AccumulateAuto(gll), AccumulateAuto(grr), AccumulateCross(glr), AccumulatePhase(csp), in
// one pass over the spectra.
void AccumulateBlock(float* gll, float* grr, float* glr, float* csp, const float* xl,
                     const float* xr, long n, long b, long lo, long hi);

// Scans bins 11 ... N/2-1 of the block spectrum x for the largest power re^2 + im^2 (compared
// in double, the lowest of equal maxima winning) and sets *peak to its bin; a spectrum with no
// power there leaves *peak as it was.
void FindFollowPeak(const float* x, long n, long* peak);

// The band of the following filter: factors 2^(-B/2) and 2^(+B/2) computed once per run in
// double from the bandwidth B (octaves).
struct FollowBand {
  double down, up;
};
FollowBand MakeFollowBand(float bandwidthOctaves);

// lo = trunc(p 2^(-B/2)), hi = trunc(p 2^(B/2)), each clamped to 0 ... N/2 (a negative, huge or
// non-finite bandwidth gives edges at the spectrum's ends, never beyond).
void FollowBandEdges(const FollowBand& band, long peak, long n, long* lo, long* hi);
