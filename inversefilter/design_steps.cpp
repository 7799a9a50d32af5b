#include "inversefilter/design_steps.h"

#include "inversefilter/design_checks.h"
#include "inversefilter/design_lengths.h"

bool DesignInputAccepted(long A, long N, const DesignerParams* params) {
  if (!IsDesignLength(N) || !IsPowerOfTwo(A) || A > kMaxTransformLength) return false;
  return CheckRegularisation(params);
}

bool UsesDirectTransforms(long N, bool nonPow2) { return nonPow2 || !IsPowerOfTwo(N); }

BandEdgeBins DesignBandEdges(long N, const DesignerParams* params, const XFMINSTANCE* instance) {
  return BandEdges(N, params->LowerCutHz, params->HigherCutHz, params->TransitionOctaves,
                   instance->sampleRate);
}
