// The cross-talk cancelling design: four measured paths from two loudspeakers to two listening
// points, inverted bin by bin as a 2x2 matrix with the regularisation of the single-channel
// design (kirkeby.h), so that each loudspeaker feed cancels the cross-talk to the opposite ear.
//
// The responses: HLL and HLR are the left and right channels of the left loudspeaker's response
// (heard at the left and at the right point), HRL and HRR those of the right loudspeaker's. On
// return each buffer holds a filter of N samples in the slot of its input: slot LL in HLL, LR in
// HLR, RL in HRL, RR in HRR; input left feeds the left loudspeaker through LL and the right one
// through LR, input right feeds them through RL and RR. Every filter's time zero sits at sample
// N/2, and every filter carries the factor N/2 of the inverse transforms on every path.
//
// Inversion, by the block's flags:
//  - full (CrossTalkOnly 0, ActiveNoiseControl 0): det = HLL HRR - HLR HRL, D = its regularised
//    inverse (InvertRegularised), LL = HRR D, LR = -HLR D, RL = -HRL D, RR = HLL D;
//  - cross-talk only (CrossTalkOnly 1): RL = -HRL/HLL and LR = -HLR/HRR, both regularised
//    (InvertRegularisedRatio), LL = RR = 1 (pure delays of N/2);
//  - single filter (ActiveNoiseControl 1, CrossTalkOnly 0): LL = HRR D only; the other three
//    buffers hold no filter and are not part of the output.
// The regularisation is that of the determinant (or of the direct path for cross-talk only).
//
// Paths as in the single-channel design (inverse_design.h): R when N < A (all four transformed
// and pre-processed at A, then reduced to N), D when N is not a power of two, F otherwise.
// Progress: caption kDipoleCaption, 10 steps; texts kDipoleDftTexts (path D),
// kReducingLengthText (path R), kDipoleIdftTexts (N not a power of two), all of
// progress_texts.h. Entry checks (design_steps.h) and failures as in the single-channel design:
// the design stops at the first failure and returns false.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/design_notice.h"
#include "inversefilter/designer_params.h"

// HLL, HLR, HRL, HRR: responses zero-padded, at least max(N, A) floats each; receive the
//          filters (see above).
// scratch, determinant: at least N floats each.
// A, N, nonPow2, instance, work1, work2, notice: as for DesignInverseFilter.
// params:  as for DesignInverseFilter, and CrossTalkOnly, ActiveNoiseControl.
bool DesignStereoDipole(float* HLL, float* HLR, float* HRL, float* HRR, float* scratch,
                        float* determinant, long A, long N, bool nonPow2,
                        const DesignerParams* params, const XFMINSTANCE* instance, float* work1,
                        float* work2, DesignNotice* notice = nullptr);
