// The lengths a designer run works with, and the responses it hands to the designs.
//
// The length rule. Every design routine needs an even length of at least 2 (the packed
// spectrum holds N/2 pairs, the half rotation moves N/2 samples), and every buffer size must stay
// far from the 32-bit limits (4 bytes per float, up to four times the filter length in the 2x2
// mode). So:
//  - the filter length `InverseFilterLength` is clamped to 2 ... kMaxFilterLength and an odd
//    value is rounded up to the next even one (1001 designs 1002-sample filters);
//  - a selection whose transform length (the power of two of the response, doubled in the
//    Stereo mode) would exceed kMaxTransformLength cannot be designed: the run reports it as a
//    lack of memory, whose message asks for a shorter selected area;
//  - every routine of the designer refuses a length that is not a design length (IsDesignLength)
//    or, where it needs one, not a power of two, by returning false without a message and
//    without touching its buffers.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/designer_params.h"

constexpr long kMinDesignLength = 2;
// Largest filter length: in the 2x2 mode the working length is four times it, 2^24 floats.
constexpr long kMaxFilterLength = 1L << 22;
// Largest transform length of any design (filter length or response power of two).
constexpr long kMaxTransformLength = 1L << 24;

bool IsPowerOfTwo(long n);

// Even, at least kMinDesignLength and at most kMaxTransformLength.
bool IsDesignLength(long n);

// The filter length a run designs for a requested `InverseFilterLength` (see the rule above).
long FilterLengthRule(long requested);

// Working lengths of one run, in samples (or frames where said).
struct DesignerLengths {
  int mode;                 // DesignerMode in effect: a mono waveform always runs as kModeMono;
                            // a stereo waveform with any Mode other than 1, 2, 3 runs as Dual
                            // Mono, as the settings dialog would store it
  int channels;             // channels of the waveform read: 1, or 2 for a stereo waveform
  long selectionFrames;     // e = selLast - selFirst + 1, doubled in the Stereo mode
  long framesToRead;        // frames read from selFirst: e/2 in Stereo (the selection), else e
  long filterLength;        // IFL after the length rule: samples of each designed filter
  long transformLength;     // IFL', the filter length doubled for modes > 0, again for 2x2
  bool nonPow2;             // IFL' (equivalently IFL) is not a power of two
  long responsePow2;        // A, the smallest power of two >= e
  long allocLength;         // L0 = max(IFL', A): floats per response buffer (per channel of
                            // the read buffer) and per work array
  long designLength;        // K = IFL, doubled for Stereo and 2x2: floats of the scratch and
                            // determinant buffers
  long designFilterLength;  // N handed to the designs (= filterLength in every mode)
  long designPow2;          // A handed to the designs: A, or A/2 for Stereo and 2x2 (>= 1)
};

// Computes the lengths of a run from the parameter block (Mode, InverseFilterLength) and the
// instance record (channels, selFirst, selLast). Returns false, leaving *out undefined, when the
// selection is empty or too long for the transform bound (see the rule above).
bool DesignerWorkingLengths(const DesignerParams* params, const XFMINSTANCE* instance,
                            DesignerLengths* out);

// Splits the samples read (framesToRead frames, `channels` interleaved, 16-bit scale) into the
// responses of the mode, each sample multiplied by 2^-15, each buffer zero beyond its samples
// up to allocLength floats:
//  - Mono: C <- the samples;
//  - Dual Mono: C <- left, D <- right;
//  - Stereo: C <- left, D <- right, E <- a copy of D, F <- a copy of C (the set-up is taken as
//    symmetric);
//  - 2x2: with h = e/2 rounded down, C <- left and D <- right of frames 0 ... h-1 (the left
//    loudspeaker), E <- left and F <- right of frames h ... 2h-1 (the right loudspeaker); the
//    last frame of an odd selection is not used.
// Buffers the mode does not use may be null.
void PrepareResponses(const float* samples, const DesignerLengths* lengths, float* C, float* D,
                      float* E, float* F);
