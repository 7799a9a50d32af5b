#include "inversefilter/dipole_design.h"

#include "frame/fft.h"
#include "frame/progress.h"
#include "inversefilter/any_length_dft.h"
#include "inversefilter/design_checks.h"
#include "inversefilter/design_steps.h"
#include "inversefilter/kirkeby.h"
#include "inversefilter/packed_spectrum.h"
#include "inversefilter/preprocessing.h"
#include "inversefilter/progress_texts.h"
#include "inversefilter/reduce_length.h"

namespace {

constexpr int kSteps = 10;

// The flat spectrum 1: DC = Nyquist = 1, every bin 1 + 0j.
void flat(float* spectrum, long N) {
  spectrum[0] = 1.0f;
  spectrum[1] = 1.0f;
  for (long k = 2; k < N; k += 2) {
    spectrum[k] = 1.0f;
    spectrum[k + 1] = 0.0f;
  }
}

// det = HLL HRR - HLR HRL, packed.
void determinantOf(const float* const H[4], float* det, long N) {
  const float *ll = H[0], *lr = H[1], *rl = H[2], *rr = H[3];
  for (int i = 0; i < 2; ++i) det[i] = (float)((double)ll[i] * rr[i] - (double)lr[i] * rl[i]);
  for (long k = 2; k < N; k += 2) {
    const double ar = ll[k], ai = ll[k + 1], dr = rr[k], di = rr[k + 1];
    const double br = lr[k], bi = lr[k + 1], cr = rl[k], ci = rl[k + 1];
    det[k] = (float)((ar * dr - ai * di) - (br * cr - bi * ci));
    det[k + 1] = (float)((ar * di + ai * dr) - (br * ci + bi * cr));
  }
}

// The slots from the regularised inverse determinant D: all four (full inversion) or slot LL
// alone (single filter). The new LL goes through a temporary, as the old HLL makes slot RR.
void slotsFromInverse(float* const H[4], const float* D, long N, bool onlyLL) {
  float *ll = H[0], *lr = H[1], *rl = H[2], *rr = H[3];
  for (int i = 0; i < 2; ++i) {  // DC and Nyquist, real
    const double d = D[i];
    const float newLL = (float)(rr[i] * d);
    if (!onlyLL) {
      rr[i] = (float)(ll[i] * d);
      lr[i] = (float)(-lr[i] * d);
      rl[i] = (float)(-rl[i] * d);
    }
    ll[i] = newLL;
  }
  for (long k = 2; k < N; k += 2) {
    const double dr = D[k], di = D[k + 1];
    auto product = [dr, di](const float* x, double sign, float* out) {
      const double xr = x[0], xi = x[1];
      out[0] = (float)(sign * (xr * dr - xi * di));
      out[1] = (float)(sign * (xr * di + xi * dr));
    };
    float newLL[2];
    product(rr + k, 1.0, newLL);
    if (!onlyLL) {
      product(ll + k, 1.0, rr + k);
      product(lr + k, -1.0, lr + k);
      product(rl + k, -1.0, rl + k);
    }
    ll[k] = newLL[0];
    ll[k + 1] = newLL[1];
  }
}

bool step(const XFMINSTANCE* instance, int k) { return progressStepGoesOn(instance, k, kSteps); }

// What the three steps of the design work with.
struct Dipole {
  float* const* H;  // HLL, HLR, HRL, HRR: the responses, then their spectra, then the filters
  float* scratch;
  float* det;
  long A, N;
  bool direct;  // the direct transforms (design_steps.h)
  const DesignerParams* params;
  const XFMINSTANCE* instance;
  float* work1;
  float* work2;
  DesignNotice* notice;
};

bool preprocess(const Dipole& d, long length, bool fftForm) {
  for (int r = 0; r < 4; ++r)
    if (!PreprocessSpectrum(d.H[r], length, fftForm, d.instance, d.params, d.work1, d.work2,
                            d.notice))
      return false;
  return true;
}

// Steps 1 to 5: the four spectra of N points, pre-processed, on path R, D or F.
bool forwardSpectra(const Dipole& d) {
  float* const* H = d.H;
  const long A = d.A, N = d.N;
  if (A > N) {
    RealFFT(H[0], A, 1, false);
    RealFFT(H[1], A, 1, false);
    if (!step(d.instance, 1)) return false;
    RealFFT(H[2], A, 1, false);
    RealFFT(H[3], A, 1, false);
    if (!preprocess(d, A, true) || !step(d.instance, 2)) return false;
    progressText(d.instance, kReducingLengthText);
    for (int r = 0; r < 4; ++r)
      if (!myReduceLength(H[r], A, N, d.notice)) return false;
    if (!step(d.instance, 3)) return false;
  } else if (d.direct) {
    for (int r = 0; r < 4; ++r) {
      progressText(d.instance, kDipoleDftTexts[r]);
      if (!DirectDFT(H[r], d.work1, d.work2, N, d.notice)) return false;
      PackSpectrum(d.work1, d.work2, H[r], N);
      if (!step(d.instance, r + 1)) return false;
    }
    if (!preprocess(d, N, false)) return false;
  } else {
    RealFFT(H[0], N, 1, false);
    RealFFT(H[1], N, 1, false);
    if (!step(d.instance, 1)) return false;
    RealFFT(H[2], N, 1, false);
    RealFFT(H[3], N, 1, false);
    if (!preprocess(d, N, false) || !step(d.instance, 2)) return false;
  }
  return step(d.instance, 5);
}

// Steps 6 to 8: the regularised 2x2 inversion into the four slots, by the block's flags.
bool invertMatrix(const Dipole& d) {
  float* const* H = d.H;
  const long N = d.N, halfN = N / 2;
  const float epsIn = d.params->InBandRegularisation, epsOut = d.params->OutBandRegularisation;
  const BandEdgeBins e = DesignBandEdges(N, d.params, d.instance);
  if (d.params->CrossTalkOnly != 0) {
    InvertRegularisedRatio(H[2], H[0], d.scratch, halfN, epsIn, epsOut, e.kL1, e.kL2, e.kH1, e.kH2);
    flat(H[0], N);
    if (!step(d.instance, 6)) return false;
    InvertRegularisedRatio(H[1], H[3], d.scratch, halfN, epsIn, epsOut, e.kL1, e.kL2, e.kH1, e.kH2);
    flat(H[3], N);
    return step(d.instance, 7);
  }
  determinantOf(H, d.det, N);
  InvertRegularised(d.det, d.scratch, halfN, epsIn, epsOut, e.kL1, e.kL2, e.kH1, e.kH2);
  if (!step(d.instance, 8)) return false;
  slotsFromInverse(H, d.det, N, d.params->ActiveNoiseControl != 0);
  return true;
}

// Steps 9 and 10: back to the time domain, each filter rotated by half its length and checked.
bool backToFilters(const Dipole& d) {
  float* const* H = d.H;
  const long N = d.N;
  if (d.direct) {
    for (int r = 0; r < 4; ++r) {
      SplitSpectrum(H[r], d.work1, d.work2, N);
      progressText(d.instance, kDipoleIdftTexts[r]);
      if (!DirectIDFT(H[r], d.work1, d.work2, N, d.notice)) return false;
      if (r == 1 && !step(d.instance, 9)) return false;
    }
    if (!step(d.instance, 10)) return false;
  } else {
    RealFFT(H[0], N, -1, false);
    RealFFT(H[1], N, -1, false);
    if (!step(d.instance, 9)) return false;
    RealFFT(H[2], N, -1, false);
    RealFFT(H[3], N, -1, false);
  }
  for (int r = 0; r < 4; ++r) SwapHalves(H[r], d.scratch, N / 2);
  for (int r = 0; r < 4; ++r)
    if (!CheckFiniteFilter(d.params, H[r], N)) return false;
  return true;
}

}  // namespace

bool DesignStereoDipole(float* HLL, float* HLR, float* HRL, float* HRR, float* scratch,
                        float* determinant, long A, long N, bool nonPow2,
                        const DesignerParams* params, const XFMINSTANCE* instance, float* work1,
                        float* work2, DesignNotice* notice) {
  if (!DesignInputAccepted(A, N, params)) return false;
  float* const H[4] = {HLL, HLR, HRL, HRR};
  const Dipole d = {.H = H,
                    .scratch = scratch,
                    .det = determinant,
                    .A = A,
                    .N = N,
                    .direct = UsesDirectTransforms(N, nonPow2),
                    .params = params,
                    .instance = instance,
                    .work1 = work1,
                    .work2 = work2,
                    .notice = notice};
  progressBegin(instance, kDipoleCaption);
  const bool done = forwardSpectra(d) && invertMatrix(d) && backToFilters(d);
  progressEnd(instance);
  return done;
}
