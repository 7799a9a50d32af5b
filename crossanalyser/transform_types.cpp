// The names of the processing functions as the results dialog and the export write them. The
// two wordings differ for the probe functions; both are the system's own texts.
#include "crossanalyser/transform_types.h"

#include "crossanalyser/analyser_params.h"

namespace {

const char* const kDialogTexts[] = {
    "Transform type: Cross-Correlation",
    "Transform type: Transfer Function H1",
    "Transform type: Transfer Function H2",
    "Transform type: Transfer Function H3",
    "Transform type: Auto Spectra",
    "Transform type: White Cross-Correlation",
    "Tr.type: PU probe calibr. in a SW tube",
    "Transform type: PU probe absorption coefficient",
    "Tr.type: PU probe calibr. in free field",
    "Tr.type: Cross-power Spectrum Phase",
};

const char* const kExportTexts[] = {
    "Transform type: Cross-Correlation",
    "Transform type: Transfer Function H1",
    "Transform type: Transfer Function H2",
    "Transform type: Transfer Function H3",
    "Transform type: Auto Spectra",
    "Transform type: White Cross-Correlation",
    "Transform type: PU probe calibration in a SW tube",
    "Transform type: PU probe Absorption Coefficient / Impedance",
    "Transform type: PU probe calibration in free field",
    "Tr.type: Cross-power Spectrum Phase",
};

// A code outside the list is processed as the cross-correlation, and named so.
int known(int function) {
  return function >= kFnCrossCorrelation && function <= kFnCrossPowerPhase ? function
                                                                           : kFnCrossCorrelation;
}

}  // namespace

const char* TransformTypeText(int function) { return kDialogTexts[known(function)]; }
const char* ExportTransformTypeText(int function) { return kExportTexts[known(function)]; }
