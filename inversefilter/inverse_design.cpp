#include "inversefilter/inverse_design.h"

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

// The body of the design; every step runs only while the design is still successful.
bool design(float* signal, float* scratch, long A, long N, bool direct,
            const DesignerParams* params, const XFMINSTANCE* instance, float* work1, float* work2,
            DesignNotice* notice) {
  const bool reduce = A > N;
  const int steps = direct && !reduce ? 8 : 6;
  auto step = [&](int k) { return progressStepGoesOn(instance, k, steps); };

  if (reduce) {
    RealFFT(signal, A, 1, false);
  } else if (!direct) {
    RealFFT(signal, N, 1, false);
    if (!step(1)) return false;
  } else {
    progressText(instance, kInverseDftText);
    if (!step(1)) return false;
    if (!DirectDFT(signal, work1, work2, N, notice)) return false;
    PackSpectrum(work1, work2, signal, N);
  }

  const long length = reduce ? A : N;
  if (!PreprocessSpectrum(signal, length, reduce, instance, params, work1, work2, notice))
    return false;
  if (reduce && !myReduceLength(signal, A, N, notice)) return false;
  if (!step(2) || !step(3)) return false;

  progressText(instance, kInvertModulusText);
  const BandEdgeBins edges = DesignBandEdges(N, params, instance);
  InvertRegularised(signal, scratch, N / 2, params->InBandRegularisation,
                    params->OutBandRegularisation, edges.kL1, edges.kL2, edges.kH1, edges.kH2);
  if (!step(4)) return false;

  if (direct) {
    SplitSpectrum(signal, work1, work2, N);
    progressText(instance, kInverseIdftText);
    if (!DirectIDFT(signal, work1, work2, N, notice)) return false;
  } else {
    RealFFT(signal, N, -1, false);
  }
  if (!step(5)) return false;
  SwapHalves(signal, scratch, N / 2);
  if (!step(6)) return false;
  return CheckFiniteFilter(params, signal, N);
}

}  // namespace

bool DesignInverseFilter(float* signal, float* scratch, long A, long N, bool nonPow2,
                         const DesignerParams* params, const XFMINSTANCE* instance, float* work1,
                         float* work2, DesignNotice* notice) {
  if (!DesignInputAccepted(A, N, params)) return false;
  const bool direct = UsesDirectTransforms(N, nonPow2);
  progressBegin(instance, kInverseCaption);
  const bool done = design(signal, scratch, A, N, direct, params, instance, work1, work2, notice);
  progressEnd(instance);
  return done;
}
