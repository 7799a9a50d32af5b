// The number format of both dialogs: 7 significant digits, the zeros at the end of the
// fraction removed and the decimal point kept.
#pragma once

#include <stddef.h>

// Writes `value` into text[0 ... size-1] (zero-terminated; 32 characters always suffice):
//  - exponent notation when the value, rounded to 7 significant digits, is below 0.1 in
//    magnitude or has more than 7 integer digits: a mantissa with up to 6 decimals, "e", the
//    exponent's sign and three digits (0.001 reads "1.e-003", 12345678 "1.234568e+007");
//  - fixed notation otherwise, with 7 minus the integer digits as decimals (0.33 reads "0.33",
//    1.0 "1.", 5.0 "5.", 0 "0.", 1234567 "1234567.").
// A value that is not finite reads "inf", "-inf" or "nan".
void formatSignificant(char* text, size_t size, double value);
