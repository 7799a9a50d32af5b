// The per-block spectrum log "MultiSpectrum.txt": a header of bin frequencies, then one row per
// non-overlapping block of the right channel, each bin projected on the phase it had in the
// strongest of the blocks 0, 4, 8, ... of the averaging. The file is created (replacing an older
// one) in the current directory and written with explicit CR LF line ends, the same bytes on
// every platform. A file that cannot be created is skipped silently: the log is a by-product
// and the averaging never depends on it.
#pragma once

#include <stdio.h>

struct MultiSpectrumLog {
  FILE* file;         // null when the file could not be created
  double* peakPower;  // N/2 doubles owned by the run: strongest power per bin so far
  double* peakPhase;  // N/2 doubles owned by the run: phase (rad) of that strongest block
  long n;             // FFT size N
};

// Creates the file, writes the header line ("N\xB0 " as "%s ", then fs k / N as "%.1f " for
// k = 0 ... N/2-1, then CR LF) and zeroes both peak arrays. Returns false (file null) when the
// file cannot be created.
bool OpenMultiSpectrum(MultiSpectrumLog* log, double* peakPower, double* peakPhase, long n,
                       long sampleRate);

// Peak hold over the pairs k = 0 ... N/2-1 of a right-channel block spectrum (pair 0 is
// (DC, Nyquist)): where re^2 + im^2 is strictly larger than the held power, hold it and its
// phase atan2(im, re).
void HoldMultiSpectrumPeaks(MultiSpectrumLog* log, const float* xr);

// One row: row number as "%i ", then for every pair cos(atan2(im, re) - phase[k]) *
// sqrt(re^2 + im^2) * N * 0.5 as "%.5f ", then CR LF.
void WriteMultiSpectrumRow(MultiSpectrumLog* log, long row, const float* xr);

// Closes the file (nothing when it was never created).
void CloseMultiSpectrum(MultiSpectrumLog* log);
