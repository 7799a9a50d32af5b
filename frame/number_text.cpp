#include "frame/number_text.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Removes the zeros at the end of a fraction and then a bare decimal point; the text may end
// in an exponent, which is kept.
void trimFraction(char* text) {
  char* point = strchr(text, '.');
  if (point == nullptr) return;
  char* exponent = strchr(text, 'e');
  char* end = exponent != nullptr ? exponent : text + strlen(text);
  char* last = end;
  while (last > point + 1 && last[-1] == '0') --last;
  if (last == point + 1) last = point;
  memmove(last, end, strlen(end) + 1);
}

}  // namespace

void formatGeneral(char* text, size_t size, double value, int digits) {
  if (size == 0) return;
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;
  if (isnan(value)) {
    snprintf(text, size, "nan");
    return;
  }
  if (isinf(value)) {
    snprintf(text, size, value < 0 ? "-inf" : "inf");
    return;
  }
  // The decimal exponent after rounding to `digits` digits decides the notation, as for %g.
  char scientific[48];
  snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
  const char* e = strchr(scientific, 'e');
  const int exponent = e != nullptr ? atoi(e + 1) : 0;
  char result[64];
  if (exponent < -4 || exponent >= digits) {
    const size_t mantissa = e != nullptr ? (size_t)(e - scientific) : strlen(scientific);
    snprintf(result, sizeof result, "%.*se%c%02d", (int)mantissa, scientific,
             exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
  } else {
    snprintf(result, sizeof result, "%.*f", digits - 1 - exponent, value);
  }
  trimFraction(result);
  snprintf(text, size, "%s", result);
}
