// Numbers as the analyser's dialogs read them from their edits: the leading decimal number of
// the text, the same way on every system (no hexadecimal, no "inf" or "nan"), 0 when the text
// does not start with one.
#pragma once

#include "frame/xfm.h"

// "1/3" reads 1, " -2.5e1x" reads -25, "abc" and "" read 0.
float ParseLeadingDecimal(const char* text);
// "250%" reads 250, "-7" reads -7, "x5" reads 0.
long ParseLeadingInteger(const char* text);

// The first 9 characters of edit `id`, read as above.
float readDecimalEdit(HWND dialog, int id);
long readIntegerEdit(HWND dialog, int id);
