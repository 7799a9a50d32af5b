#include "inversefilter/design_checks.h"

#include <math.h>

#include "inversefilter/kirkeby.h"

namespace {

void refuse(const DesignerParams* params, LPCSTR text) {
  MessageBoxA(loadHandle<HWND>(params->HostWindow), text, "Kirkeby plus", MB_OK | MB_ICONERROR);
}

}  // namespace

bool CheckRegularisation(const DesignerParams* params) {
  if (ValidRegularisation(params->InBandRegularisation, params->OutBandRegularisation)) return true;
  refuse(params,
         "The IN-band and OUT-band regularisation parameters\nmust be numbers greater than "
         "0.\nCorrect them in the settings and design again.");
  return false;
}

bool CheckFiniteFilter(const DesignerParams* params, const float* samples, long n) {
  for (long i = 0; i < n; ++i) {
    if (!isfinite(samples[i])) {
      refuse(params,
             "The inverse filter does not come out as finite numbers.\nCheck the impulse "
             "response and the settings.");
      return false;
    }
  }
  return true;
}
