// The table of spectral values that "Spectral Values" copies to the clipboard. It reads the
// parameter block of the run whose results dialog is open (its address fields point at the
// run's spectra, alive until the dialog has closed).
#pragma once

#include "crossanalyser/analyser_params.h"
#include "frame/text_buffer.h"

// Bytes of the clipboard block for a table of FFT size n.
inline SIZE_T SpectralValuesBytes(long n) { return (SIZE_T)120 * (SIZE_T)n; }

// Writes the table: a title line with the export's transform type, the column headers
// ("Freq.[Hz]", then the first and the second curve's column, or "GLL", "GRR", "Re[GLR]",
// "Im[GLR]" when neither curve shows anything), then rows 0 up to N/2 (up to the bin of 2 kHz
// with `limitTo2k`): the frequency with 10 significant digits and each value with 12, tab
// separated, CR LF line ends, and one empty line at the end. Reports progress before each row
// and stops at a cancel; the rows written so far stand. Returns the number of rows written.
long WriteSpectralValues(TextBuffer* out, const AnalyserParams* p, const XFMINSTANCE* instance,
                         bool limitTo2k);
