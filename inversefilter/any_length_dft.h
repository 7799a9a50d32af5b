// Real transforms of any even length, in the convention and scaling of RealFFT (frame/fft.h):
// forward X[k] = sum_n x[n] e^(+2 pi i kn/N), unnormalised; the inverse returns N/2 times the
// signal. So a spectrum means the same on every design path whatever transform made it, and a
// filter carries the same N/2 factor whether its length is a power of two or not.
//
// A power-of-two length goes straight to RealFFT. Any other even length N is computed exactly
// as defined (the angles taken from integer residues, e.g. k n mod N, with the exact 2 pi) by an
// O(N log N) algorithm: the N real samples are read as N/2 complex points, whose transform is a
// chirp convolution (Bluestein) done with ComplexFFT of the next power of two >= N - 1; the
// chirps and the real/complex unpacking twiddles are evaluated in double. The results agree with
// the exact sums to float rounding.
//
// Working memory, movable blocks allocated and freed within the call: for a length that is not
// a power of two, two blocks of 2L floats (L that power of two, at most 2N) and the chirp (N
// doubles); DirectDFT and DirectIDFT add a copy of N floats, so that a failure leaves their
// output as it was. When a block cannot be had, the routine shows "Failed in memory
// allocation\nPlease retry, better luck next time!" with its own name as the caption and an
// error icon (through `notice`, design_notice.h), leaves its output untouched and returns false.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/design_notice.h"

// In place on `data` (N floats): direction exactly 1 turns a signal into its packed spectrum;
// any other direction turns a packed spectrum into N/2 times its signal. `caption` names the
// caller in the allocation message. False after the message when memory is short, false
// without one when N is not a design length (design_lengths.h).
bool AnyLengthRealFFT(float* data, long N, int direction, LPCSTR caption,
                      DesignNotice* notice = nullptr);

// Spectrum of the real N-point `signal` (not changed) as a split spectrum: re and im, N/2+1
// floats each, im[0] = im[N/2] = 0. Caption "DirectDFT".
bool DirectDFT(const float* signal, float* re, float* im, long N, DesignNotice* notice = nullptr);

// N/2 times the real N-point signal whose split spectrum is re, im (N/2+1 floats each, not
// changed; im[0] and im[N/2] are ignored). Caption "DirectIDFT".
bool DirectIDFT(float* signal, const float* re, const float* im, long N,
                DesignNotice* notice = nullptr);
