#include "inversefilter/dipole_design.h"

#include "frame/fft.h"
#include "frame/progress.h"
#include "inversefilter/any_length_dft.h"
#include "inversefilter/design_checks.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/kirkeby.h"
#include "inversefilter/packed_spectrum.h"
#include "inversefilter/preprocessing.h"
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

bool design(float* const H[4], float* scratch, float* det, long A, long N, bool direct,
            const DesignerParams* params, const XFMINSTANCE* instance, float* work1, float* work2) {
  auto step = [&](int k) {
    progressStep(instance, k, kSteps);
    return !isCancelled(instance);
  };
  auto preprocess = [&](long length, bool fftForm) {
    for (int r = 0; r < 4; ++r)
      if (!PreprocessSpectrum(H[r], length, fftForm, instance, params, work1, work2)) return false;
    return true;
  };

  if (A > N) {
    RealFFT(H[0], A, 1, false);
    RealFFT(H[1], A, 1, false);
    if (!step(1)) return false;
    RealFFT(H[2], A, 1, false);
    RealFFT(H[3], A, 1, false);
    if (!preprocess(A, true) || !step(2)) return false;
    progressText(instance, "Reducing length to IFL");
    for (int r = 0; r < 4; ++r)
      if (!myReduceLength(H[r], A, N)) return false;
    if (!step(3)) return false;
  } else if (direct) {
    const LPCSTR texts[4] = {"Calculating DFT HLL...", "Calculating DFT HLR...",
                             "Calculating DFT HRL...", "Calculating DFT HRR..."};
    for (int r = 0; r < 4; ++r) {
      progressText(instance, texts[r]);
      if (!DirectDFT(H[r], work1, work2, N)) return false;
      PackSpectrum(work1, work2, H[r], N);
      if (!step(r + 1)) return false;
    }
    if (!preprocess(N, false)) return false;
  } else {
    RealFFT(H[0], N, 1, false);
    RealFFT(H[1], N, 1, false);
    if (!step(1)) return false;
    RealFFT(H[2], N, 1, false);
    RealFFT(H[3], N, 1, false);
    if (!preprocess(N, false) || !step(2)) return false;
  }
  if (!step(5)) return false;

  const long halfN = N / 2;
  const float epsIn = params->InBandRegularisation, epsOut = params->OutBandRegularisation;
  const BandEdgeBins e = BandEdges(N, params->LowerCutHz, params->HigherCutHz,
                                   params->TransitionOctaves, instance->sampleRate);
  if (params->CrossTalkOnly != 0) {
    InvertRegularisedRatio(H[2], H[0], scratch, halfN, epsIn, epsOut, e.kL1, e.kL2, e.kH1, e.kH2);
    flat(H[0], N);
    if (!step(6)) return false;
    InvertRegularisedRatio(H[1], H[3], scratch, halfN, epsIn, epsOut, e.kL1, e.kL2, e.kH1, e.kH2);
    flat(H[3], N);
    if (!step(7)) return false;
  } else {
    determinantOf(H, det, N);
    InvertRegularised(det, scratch, halfN, epsIn, epsOut, e.kL1, e.kL2, e.kH1, e.kH2);
    if (!step(8)) return false;
    slotsFromInverse(H, det, N, params->ActiveNoiseControl != 0);
  }

  if (direct) {
    const LPCSTR texts[4] = {"Calculating IDFT 1/HLL...", "Calculating IDFT 1/HLR...",
                             "Calculating IDFT 1/HRL...", "Calculating IDFT 1/HRR..."};
    for (int r = 0; r < 4; ++r) {
      SplitSpectrum(H[r], work1, work2, N);
      progressText(instance, texts[r]);
      if (!DirectIDFT(H[r], work1, work2, N)) return false;
      if (r == 1 && !step(9)) return false;
    }
    if (!step(10)) return false;
  } else {
    RealFFT(H[0], N, -1, false);
    RealFFT(H[1], N, -1, false);
    if (!step(9)) return false;
    RealFFT(H[2], N, -1, false);
    RealFFT(H[3], N, -1, false);
  }
  for (int r = 0; r < 4; ++r) SwapHalves(H[r], scratch, halfN);
  for (int r = 0; r < 4; ++r)
    if (!CheckFiniteFilter(params, H[r], N)) return false;
  return true;
}

}  // namespace

bool DesignStereoDipole(float* HLL, float* HLR, float* HRL, float* HRR, float* scratch,
                        float* determinant, long A, long N, bool nonPow2,
                        const DesignerParams* params, const XFMINSTANCE* instance, float* work1,
                        float* work2) {
  if (!IsDesignLength(N) || !IsPowerOfTwo(A) || A > kMaxTransformLength) return false;
  if (!CheckRegularisation(params)) return false;
  float* const H[4] = {HLL, HLR, HRL, HRR};
  const bool direct = nonPow2 || !IsPowerOfTwo(N);
  progressBegin(instance, "Designing stereo dipole filter...");
  const bool done = design(H, scratch, determinant, A, N, direct, params, instance, work1, work2);
  progressEnd(instance);
  return done;
}
