// What a run hands on after a successful design: which filters form the clipboard image, in
// which shape, and the gain that scales them to 16-bit full scale.
//
// Output forms: the run's mode (design_lengths.h), or form 4, the single-filter output, when
// the block's ActiveNoiseControl is set. Every filter is filterLength (= IFL) samples long, and
// every design leaves the factor IFL/2 of the unnormalised inverse transforms in it, so one gain
// reference serves all forms:
//   form 0 Mono:      1 channel,  IFL frames, filter C;
//   form 1 Dual Mono: 2 channels, IFL frames (C[i], D[i]);
//   form 2 Stereo:    2 channels, IFL frames (C[i], D[i]) = slots LL, LR;
//   form 3 2x2:       2 channels, 2 IFL frames: (C[i], D[i]) for i < IFL, then (E[i], F[i]) =
//                     slots LL, LR, then RL, RR;
//   form 4 single:    1 channel,  IFL frames, filter C (slot LL in Stereo and 2x2), in every mode.
#pragma once

#include "inversefilter/design_lengths.h"
#include "inversefilter/designer_params.h"

struct FilterOutput {
  int form;              // 0 ... 4, see above
  int channels;          // channels of the image
  long frames;           // frames of the image
  long filterLength;     // samples of each filter written
  int filterCount;       // filters written: 1 (C), 2 (C, D) or 4 (C, D, E, F)
  double gainReference;  // IFL/2: a filter sample v means v / gainReference at unity gain
};

FilterOutput DesignerOutputLayout(const DesignerParams* params, const DesignerLengths* lengths);

// Scales the filters to write (filters[0 ... filterCount-1], filterLength samples each) in
// place by the float 32767/divisor, with peak the largest |sample| over all of them:
//  - Autorange 1: GainDb <- 20 log10(gainReference/peak) (stored in the block), divisor peak, so
//    the largest sample becomes 32767;
//  - Autorange 0: divisor 10^(-GainDb/20) gainReference, so a sample v becomes
//    v 32767 10^(GainDb/20) / (IFL/2).
// Refused, with a message (caption "Kirkeby plus", error icon, owner HostWindow), the filters
// and GainDb untouched, false:
//  - a sample that is not finite: the message of CheckFiniteFilter (design_checks.h);
//  - every sample 0 (a silent selection, or a set-up whose determinant vanishes everywhere),
//    whatever the gain mode: "The inverse filter is silent: all its samples are 0.\nSelect an
//    impulse response that is not silent.";
//  - a gain that cannot be applied: a GainDb that is not finite under manual gain, or a factor
//    that makes the largest sample infinite or 0: "The gain cannot be applied: the scaled
//    inverse filter\nwould be silent or beyond the range of numbers.\nCheck the gain (dB)."
bool ApplyFilterGain(float* const filters[4], const FilterOutput* output, DesignerParams* params);
