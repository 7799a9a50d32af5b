#include "inversefilter/preprocessing.h"

#include "inversefilter/cepstrum.h"
#include "inversefilter/smoothing.h"

bool PreprocessSpectrum(float* spectrum, long length, bool fftForm, const XFMINSTANCE* instance,
                        const DesignerParams* params, float* work1, float* work2,
                        DesignNotice* notice) {
  switch (params->AverageType) {
    case kAverageRealImag:
    case kAverageMagPhase:
      return SmoothSpectrum(spectrum, length, instance, params, work1, work2, notice);
    case kAverageCepstrum:
      return fftForm ? CepstrumFFT(spectrum, length, instance, params, notice)
                     : CepstrumDFT(spectrum, length, instance, params, notice);
    default:
      return true;
  }
}
