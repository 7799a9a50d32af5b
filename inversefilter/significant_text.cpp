#include "inversefilter/significant_text.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Removes the zeros at the end of the fraction of a number written with a decimal point.
void trimFraction(char* digits) {
  char* point = strchr(digits, '.');
  if (point == nullptr) return;
  char* end = digits + strlen(digits);
  while (end > point + 1 && end[-1] == '0') --end;
  *end = '\0';
}

}  // namespace

void formatSignificant(char* text, size_t size, double value) {
  if (!isfinite(value)) {
    snprintf(text, size, "%s", isnan(value) ? "nan" : value < 0 ? "-inf" : "inf");
    return;
  }
  if (value == 0.0) value = 0.0;  // a negative zero reads "0." as well
  // The exponent is that of the value rounded to 7 significant digits, so that 9999999.6
  // counts as 1.000000e+007 and 0.09999999 as 0.1.
  char scientific[32];
  snprintf(scientific, sizeof scientific, "%.6e", value);
  char* e = strchr(scientific, 'e');
  const int exponent = atoi(e + 1);
  char digits[64];
  if (value != 0.0 && (exponent < -1 || exponent > 6)) {
    *e = '\0';
    trimFraction(scientific);
    snprintf(text, size, "%se%c%03d", scientific, exponent < 0 ? '-' : '+', abs(exponent));
    return;
  }
  // '#' keeps the decimal point when there are no decimals (seven integer digits).
  snprintf(digits, sizeof digits, "%#.*f", 6 - exponent, value);
  trimFraction(digits);
  snprintf(text, size, "%s", digits);
}
