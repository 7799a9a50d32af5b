// Kirkeby's regularised inversion, bin by bin on packed spectra (packed_spectrum.h): the
// spectrum H(k) becomes conj(H(k)) / (|H(k)|^2 + eps(k)), with eps(k) = epsIn inside the pass
// band, epsOut outside it, and geometric (log-domain) transitions between them.
#pragma once

// The four band-edge bins on the N-point grid of the final filter.
struct BandEdgeBins {
  long kL1, kL2;  // lower transition: bins kL1 ... kL2-1
  long kH1, kH2;  // upper transition: bins kH1 ... kH2-1
};

// With g = 2^(-TW/2) and m = 2^(+TW/2), in double and truncated toward zero:
//   kL1 = N fL g / fs, kL2 = N fL m / fs, kH1 = N fH g / fs, kH2 = N fH m / fs,
// so each transition spans TW octaves centred geometrically on its cut frequency. All four are
// clamped to the bins 1 ... N/2-1 (to 1 when N/2-1 < 1), so that an edge beyond the Nyquist bin
// (a lower cut near fs/2 with a wide transition) or below bin 1 never addresses a bin outside
// the spectrum; a value that is not a number (fs = 0 with fL = 0, a NaN width) counts as 1.
BandEdgeBins BandEdges(long N, long fL, long fH, double TW, long fs);

// True when both regularisation values can be used: finite and greater than 0 (the log-domain
// transition needs their logarithms, and a denominator |H|^2 + eps must never vanish).
bool ValidRegularisation(float epsIn, float epsOut);

// Replaces the halfN complex pairs of a packed spectrum of 2*halfN points by their regularised
// inverse. With the edges clamped to 1 ... halfN-1 (a, b, c, d in order), eps(k) is assigned
// region by region, a later region overwriting an earlier one where they overlap:
//   bins 1 ... a-1 epsOut; a ... b-1 exp(ln epsOut + (k-a)(ln epsIn - ln epsOut)/(b-a));
//   b ... c-1 epsIn; c ... d-1 exp(ln epsIn + (k-c)(ln epsOut - ln epsIn)/(d-c));
//   d ... halfN-1 epsOut;
// the exponential as 2^(x log2 e) in extended precision. A bin becomes (Re/D, -Im/D) with
// D = Re^2 + Im^2 + eps(k) formed in extended precision and rounded to double; DC and Nyquist
// (pair 0) become x / (x^2 + epsOut). Results go through `scratch` (2*halfN floats) and are then
// copied over the spectrum. The caller guarantees ValidRegularisation.
void InvertRegularised(float* spectrum, float* scratch, long halfN, float epsIn, float epsOut,
                       long kL1, long kL2, long kH1, long kH2);

// Replaces X by minus the regularised ratio X/Y: -X conj(Y) / (|Y|^2 + eps(k)), with eps(k)
// exactly as in InvertRegularised; DC and Nyquist -x y / (y^2 + epsOut). Y is not changed.
void InvertRegularisedRatio(float* X, const float* Y, float* scratch, long halfN, float epsIn,
                            float epsOut, long kL1, long kL2, long kH1, long kH2);
