// Numbers into the designer's dialog controls, in the dialogs' formats.
#pragma once

#include "frame/xfm.h"

// `value` with 7 significant digits (formatSignificant): 0.33 shows "0.33", 1.0 "1.".
void showSignificant(HWND dialog, int id, double value);
// `value` in decimal ("%li").
void showInteger(HWND dialog, int id, long value);
