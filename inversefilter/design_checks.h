// The checks that keep a design from handing on numbers that are not numbers. Both show their
// message with caption "Kirkeby plus" (the designer's run caption), an error icon and the
// block's HostWindow as owner, and return false; the design then fails, so the run stores and
// outputs nothing.
#pragma once

#include "inversefilter/designer_params.h"

// The block's regularisation values must be finite and greater than 0 (the settings dialog
// stores them as typed): "The IN-band and OUT-band regularisation parameters\nmust be numbers
// greater than 0.\nCorrect them in the settings and design again."
bool CheckRegularisation(const DesignerParams* params);

// Every one of the n samples must be finite: "The inverse filter does not come out as finite
// numbers.\nCheck the impulse response and the settings."
bool CheckFiniteFilter(const DesignerParams* params, const float* samples, long n);
