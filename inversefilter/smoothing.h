// Smoothing of a measured spectrum along the frequency axis, so that the inverse filter does
// not try to correct narrow peaks and notches: on the real and imaginary parts or on the
// magnitude and the unwrapped phase, over a Hann-weighted window of fixed width in spectral
// points or a rectangular window of fixed width in octaves. The designs call SmoothSpectrum for
// the average types 1 and 2; the cepstral processing uses the pieces.
//
// These routines work with pi taken as 3.14159 and 2 pi as 6.28318, as the designer always has;
// sums are held in extended precision. Arrays of "n points" have N/2+1 floats for an N-point
// spectrum: index 0 is DC, index N/2 the Nyquist frequency. Their messages go through `notice`
// (design_notice.h): owned by the run's window, the failure recorded for the run.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/design_notice.h"
#include "inversefilter/designer_params.h"

// Smooths the packed N-point spectrum in place by the block's AverageType (1 Real,Imag: split,
// SmoothArrays, pack; 2 Mag,Phase: MagnitudePhase, Unwrapper, SmoothArrays, PolarToPacked; any
// other value: nothing), with WindowType and WindowWidth. work1 and work2 hold N/2+1 floats
// each. A step that fails (its allocation message shown) leaves its array as it was and the
// smoothing goes on. Always true.
bool SmoothSpectrum(float* spectrum, long N, const XFMINSTANCE* instance,
                    const DesignerParams* params, float* work1, float* work2,
                    DesignNotice* notice = nullptr);

// Smooths both arrays of N/2+1 points: window type 0 by MediaL with the width truncated toward
// zero (a width below 1 or not a number counts as 1, which changes nothing), window type 1 by
// MedioO, any other type not at all. Always true.
bool SmoothArrays(float* a, float* b, long N, int windowType, float width,
                  DesignNotice* notice = nullptr);

// Smooths one array of n points the same way (window type 0 MediaL, 1 MedioO, else nothing).
void SmoothOneArray(float* x, long n, int windowType, float width, DesignNotice* notice = nullptr);

// Hann-weighted moving average of W points over x[0 ... n-1]. With h = W/2 (rounded down) and
// w[i] = (1 - cos(6.28318 i/(W-1)))/2, S the sum of the W weights:
//   y[j] = sum_i w[i] x~[j-h+i] / S for j = 1 ... n-1, x~[m] = x[m] for 1 <= m <= n-1, else 0;
// x[0] (DC) is kept and takes part in no average, and points beyond either end count as 0 while
// S stays the full sum, so the averages near both ends are pulled toward zero.
// Guards: a window of W <= 1 point is the identity (nothing is done; the Hann formula would
// divide 0 by 0); a window wider than the array (2h+1 > n) is narrowed to the widest odd window
// that fits, 2*((n-1)/2)+1 points; n <= 1 leaves x alone. Working memory: a window buffer and
// an output buffer (movable, zero-filled); when they cannot be had: "MediaL, No allocation,
// exit ....", caption "MediaL", error icon, x untouched, false.
bool MediaL(float* x, long n, long W, DesignNotice* notice = nullptr);

// Octave-wide moving average: with s = 2^(octaves/2), bin j (j >= 1) becomes the plain mean of
// the bins round(j/s) ... trunc(j s), computed in one pass with a running sum; y[0] = x[0];
// indices above n-1 take the value mirrored about the last point, x[2(n-1) - m], and the
// window never reaches beyond the end of that mirror (2(n-1)). A width that is not greater
// than 0 (or not a number) changes nothing. Working memory: an output buffer; when it cannot
// be had: "Sorry,Cannot  allocate vector\n becayse there is non enough memory...", caption
// "MedioO", error icon, x untouched, false.
bool MedioO(float* x, long n, float octaves, DesignNotice* notice = nullptr);

// Packed N-point spectrum to magnitude and phase (N/2+1 points each): DC and Nyquist have
// magnitude |x| and phase 0, or 3.14159 when x is negative; bins 1 ... N/2-1 sqrt(Re^2 + Im^2)
// and atan2(Im, Re).
void MagnitudePhase(const float* spectrum, float* magnitude, float* phase, long N);

// Magnitude and phase back to a packed spectrum: DC is the magnitude, negated when
// 1 < fmod(phase, 3.14159) < 3 (fmod keeps the sign of the phase); Nyquist likewise with its own
// phase; bins (m cos phi, m sin phi).
void PolarToPacked(float* spectrum, const float* magnitude, const float* phase, long N);

// Unwraps the first N/2 phase values in place (the Nyquist entry is not touched): each value is
// reduced into [pmin, pmin + 6.28318) (pmin the smallest of them), then every step between
// neighbours larger than 3.14159 in magnitude is undone by adding -6.28318 or +6.28318 to all
// the values from there on (a first value above 3.14159 counts as such a step). Working memory:
// an array of N/2 floats; when it cannot be had: "Sorry, cannot allocate vector\nthere is
// not enough memory...", caption "Unwrapper", error icon, phase untouched, false.
bool Unwrapper(float* phase, long N, DesignNotice* notice = nullptr);
