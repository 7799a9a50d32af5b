// The single-channel design: one measured impulse response to its Kirkeby inverse filter,
// rotated by half its length so that the filter's time zero (a modelling delay of N/2) sits in
// the middle. Serves the Mono and Dual Mono modes of a run.
//
// Lengths: N is the filter length (a design length, design_lengths.h); A the smallest power of
// two not below the response's length. One of three paths, all in the designer's one sign
// convention and all leaving the inverse transforms' factor N/2 in the filter, so the gain stage
// treats every path alike:
//   F (N a power of two, A <= N): RealFFT of length N, back with the inverse RealFFT;
//   D (N not a power of two, A <= N): DirectDFT of length N, back with DirectIDFT;
//   R (A > N): RealFFT of length A, pre-processing at A, myReduceLength to N, back with the
//     inverse RealFFT (N a power of two) or DirectIDFT (otherwise).
// The pre-processing (AverageType) runs on the forward spectrum: smoothing, or the cepstral
// processing in its direct form on paths F and D and its FFT form on path R.
//
// Progress: caption kInverseCaption; steps of 6 (of 8 on path D); texts kInverseDftText (path
// D), kInvertModulusText, kInverseIdftText (whenever N is not a power of two), all of
// progress_texts.h. The cancel flag is read after every step.
//
// Failure: the design stops at the first failure, closes the progress display and returns
// false; the caller discards the buffers. Failures are: a cancel; the entry checks of
// design_steps.h (lengths outside the rule, silently; unusable regularisation values, with the
// message of design_checks.h and no progress display); a failed pre-processing or direct
// transform (their own messages); a failed length reduction (its own message: the design does
// not go on with a spectrum of the wrong length); a filter that is not finite everywhere
// (message of design_checks.h).
#pragma once

#include "frame/xfm.h"
#include "inversefilter/design_notice.h"
#include "inversefilter/designer_params.h"

// signal:  the response zero-padded, at least max(N, A) floats; receives the filter in its
//          first N floats.
// scratch: at least N floats.
// A, N:    see above; nonPow2 true when the run's filter length is not a power of two (a
//          length N that is not a power of two takes the direct transforms in any case).
// params:  InBandRegularisation, OutBandRegularisation, LowerCutHz, HigherCutHz,
//          TransitionOctaves, AverageType, WindowType, WindowWidth; HostWindow owns messages.
// instance: sampleRate, cancelFlag and the progress callbacks.
// work1, work2: at least max(N, A)/2 + 1 floats each.
// notice: where the numerical steps' messages go and the failure is recorded (design_notice.h).
bool DesignInverseFilter(float* signal, float* scratch, long A, long N, bool nonPow2,
                         const DesignerParams* params, const XFMINSTANCE* instance, float* work1,
                         float* work2, DesignNotice* notice = nullptr);
