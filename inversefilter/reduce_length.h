// Re-sampling of a spectrum onto a coarser frequency grid, for responses longer than the
// filter: the spectrum is computed at the response's power of two A and reduced to the filter
// length N before the inversion.
#pragma once

#include "inversefilter/design_notice.h"

// Re-samples the packed A-point spectrum in `spectrum` (at least A floats) to a packed N-point
// spectrum in its first N floats (A and N even, N <= A), by linear interpolation of the real and
// imaginary parts over the normalised frequency 0 ... 0.5: source bin i sits at i/A, target bin
// j at j/N (both ends at 0.5 exactly), and target j takes the two source bins around it.
//
// Working memory: six zero-filled movable blocks (real and imaginary parts of both grids and
// the two frequency axes). When one cannot be had: "Failed in memory allocation\nPlease retry,
// better luck next time!", caption "myReduceLength", error icon; the blocks obtained so far are
// released, the spectrum is untouched, false. When N > A: "Error, Cannot work with input
// vectores\n DimInp<DimOut", caption "myReduceLengthI", plain OK box, spectrum untouched,
// false. Lengths that are not design lengths (design_lengths.h): false without a message.
bool myReduceLength(float* spectrum, long A, long N, DesignNotice* notice = nullptr);
