// The results dialog (resource 107): the result fields, the graph of one time history per
// channel, and the exports.
#pragma once

#include "levelmeter/meter_params.h"

// Writes every result field of the last run and the weighting name, checks the radio button
// of the shown curve, and after a stereo run fills the right and (when chosen) average columns.
void showResults(HWND dialog, const MeterParams* p);

// The history of kind `curveLetter` ('1', '3', 'F', 'S', 'I'; anything else RMS) as the index
// into the stored history addresses.
int historyOfCurve(char curveLetter);

// "Export to File...": the results table or the time histories into a text file.
void exportResults(const XFMINSTANCE* instance, MeterParams* p);
