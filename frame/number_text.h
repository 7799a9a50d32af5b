// Numbers in general notation with a given count of significant digits, written the same on
// every system: the C "%.*g" form (fixed notation for decimal exponents from -4 to digits - 1,
// otherwise a mantissa and "e" with a sign and at least two exponent digits; trailing zeros and
// a trailing decimal point removed). The system libraries differ in the exponent's digits and
// in how they spell infinities, which would make the same result read differently.
#pragma once

#include <stddef.h>

// Writes `value` with `digits` (1 ... 17) significant digits into `text` (at least 32 bytes):
// 98.765 with 5 digits is "98.765", 1.25 with 4 is "1.25", 1234567 with 4 is "1.235e+06",
// 0.0001 with 4 is "0.0001", 0 is "0"; infinities are "inf" and "-inf", a NaN "nan".
void formatGeneral(char* text, size_t size, double value, int digits);
