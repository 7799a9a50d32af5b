// The spectral pre-processing that a design applies before the inversion, by the block's
// AverageType: 1 and 2 smoothing (smoothing.h), 3 the cepstral decomposition (cepstrum.h),
// anything else nothing.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/design_notice.h"
#include "inversefilter/designer_params.h"

// spectrum: packed, `length` floats; work1, work2: length/2+1 floats each. fftForm chooses
// CepstrumFFT (length a power of two) rather than CepstrumDFT for the cepstral processing.
// Returns the pre-processing's result (true when there is none); its messages go through
// `notice`.
bool PreprocessSpectrum(float* spectrum, long length, bool fftForm, const XFMINSTANCE* instance,
                        const DesignerParams* params, float* work1, float* work2,
                        DesignNotice* notice = nullptr);
