#include "frame/dialog_numbers.h"

#include <ctype.h>
#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>

namespace {

const char* skipSpace(const char* p) {
  while (*p != '\0' && isspace((unsigned char)*p)) ++p;
  return p;
}

const char* skipDigits(const char* p) {
  while (isdigit((unsigned char)*p)) ++p;
  return p;
}

// The text of an edit, at most `characters` of it.
template <typename Read>
auto readEdit(HWND dialog, int id, int characters, Read read) {
  char text[256] = "";
  GetDlgItemTextA(dialog, id, text, characters + 1 < (int)sizeof text ? characters + 1 : 256);
  return read(text);
}

}  // namespace

double ParseLeadingDecimal(const char* text) {
  const char* start = skipSpace(text);
  const char* p = start;
  if (*p == '+' || *p == '-') ++p;
  const char* digits = p;
  p = skipDigits(p);
  bool any = p != digits;
  if (*p == '.') {
    const char* fraction = p + 1;
    const char* end = skipDigits(fraction);
    if (any || end != fraction) {
      any = true;
      p = end;
    }
  }
  if (!any) return 0.0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    const char* end = skipDigits(q);
    if (end != q) p = end;
  }
  // Only the decimal number itself reaches the library, which rounds it correctly.
  char number[256];
  int length = 0;
  for (const char* c = start; c < p && length < (int)sizeof number - 1; ++c) number[length++] = *c;
  number[length] = '\0';
  const double value = strtod(number, nullptr);
  return isinf(value) ? copysign(DBL_MAX, value) : value;
}

long ParseLeadingInteger(const char* text) {
  const char* start = skipSpace(text);
  const char* p = start;
  if (*p == '+' || *p == '-') ++p;
  if (!isdigit((unsigned char)*p)) return 0;
  // In 64 bits first, then into 32: a long is 64 bits on some systems and 32 on others.
  const long long value = strtoll(start, nullptr, 10);
  return (long)(value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value);
}

double readDecimalEdit(HWND dialog, int id, int characters) {
  return readEdit(dialog, id, characters, ParseLeadingDecimal);
}

float readFloatEdit(HWND dialog, int id, int characters) {
  const double value = readDecimalEdit(dialog, id, characters);
  return (float)fmax(-FLT_MAX, fmin(FLT_MAX, value));
}

long readIntegerEdit(HWND dialog, int id, int characters) {
  return readEdit(dialog, id, characters, ParseLeadingInteger);
}
