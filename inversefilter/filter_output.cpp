#include "inversefilter/filter_output.h"

#include <math.h>

#include "inversefilter/design_checks.h"

namespace {

void refuse(const DesignerParams* params, LPCSTR text) {
  MessageBoxA(loadHandle<HWND>(params->HostWindow), text, "Kirkeby plus", MB_OK | MB_ICONERROR);
}

}  // namespace

FilterOutput DesignerOutputLayout(const DesignerParams* params, const DesignerLengths* lengths) {
  FilterOutput out;
  out.form = params->ActiveNoiseControl != 0 ? 4 : lengths->mode;
  out.filterLength = lengths->filterLength;
  out.gainReference = 0.5 * (double)lengths->filterLength;
  switch (out.form) {
    case kModeDualMono:
    case kModeStereo:
      out.channels = 2;
      out.frames = out.filterLength;
      out.filterCount = 2;
      break;
    case kMode2x2:
      out.channels = 2;
      out.frames = 2 * out.filterLength;
      out.filterCount = 4;
      break;
    default:  // Mono and the single filter
      out.channels = 1;
      out.frames = out.filterLength;
      out.filterCount = 1;
      break;
  }
  return out;
}

bool ApplyFilterGain(float* const filters[4], const FilterOutput* output, DesignerParams* params) {
  float peak = 0.0f;
  for (int f = 0; f < output->filterCount; ++f) {
    if (!CheckFiniteFilter(params, filters[f], output->filterLength)) return false;
    for (long i = 0; i < output->filterLength; ++i) {
      const float v = fabsf(filters[f][i]);
      if (v > peak) peak = v;
    }
  }
  if (peak == 0.0f) {
    refuse(params,
           "The inverse filter is silent: all its samples are 0.\nSelect an impulse response "
           "that is not silent.");
    return false;
  }
  double divisor, gainDb = 0.0;
  if (params->Autorange != 0) {
    gainDb = 20.0 * log10(output->gainReference / peak);
    divisor = peak;
  } else {
    divisor =
        isfinite(params->GainDb) ? pow(10.0, -0.05 * params->GainDb) * output->gainReference : 0.0;
  }
  const float factor = (float)(32767.0 / divisor);
  const float top = peak * factor;
  if (!(divisor > 0.0) || !isfinite(factor) || !isfinite(top) || !(top > 0.0f)) {
    refuse(params,
           "The gain cannot be applied: the scaled inverse filter\nwould be silent or beyond the "
           "range of numbers.\nCheck the gain (dB).");
    return false;
  }
  for (int f = 0; f < output->filterCount; ++f)
    for (long i = 0; i < output->filterLength; ++i) filters[f][i] *= factor;
  if (params->Autorange != 0) params->GainDb = gainDb;
  return true;
}
