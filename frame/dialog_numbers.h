// Numbers as the plug-ins' dialogs read them from their edits: the leading decimal number of
// the text, the same on every system. Optional blanks and a sign, digits with an optional point
// and fraction, an optional exponent: what the Windows C library reads; hexadecimal, "inf" and
// "nan", which other C libraries also read, are no numbers here. A text that does not start
// with a number reads 0, and a number beyond the range read is the largest of that range, so
// that no typed text ever gives an infinite value or not a number, nor one that wraps.
#pragma once

#include "frame/xfm.h"

// "1/3" reads 1, " -2.5e1x" reads -25, "abc", "" and "nan" read 0, "1e999" reads the largest
// double.
double ParseLeadingDecimal(const char* text);
// "250%" reads 250, "-7" reads -7, "x5" reads 0; beyond 32 bits the nearest 32-bit value.
long ParseLeadingInteger(const char* text);

// The first `characters` characters of edit `id`, read as above; as a float, a decimal beyond
// the float range is the largest float.
double readDecimalEdit(HWND dialog, int id, int characters);
float readFloatEdit(HWND dialog, int id, int characters);
long readIntegerEdit(HWND dialog, int id, int characters);
