#include "crossanalyser/dialog_numbers.h"

#include <ctype.h>
#include <stdlib.h>

namespace {

// At most 9 characters of each edit are read.
constexpr int kEditCharacters = 9;

const char* skipSpace(const char* p) {
  while (*p != '\0' && isspace((unsigned char)*p)) ++p;
  return p;
}

const char* skipDigits(const char* p) {
  while (isdigit((unsigned char)*p)) ++p;
  return p;
}

}  // namespace

float ParseLeadingDecimal(const char* text) {
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
  if (!any) return 0.0f;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    const char* end = skipDigits(q);
    if (end != q) p = end;
  }
  char number[32];
  int length = 0;
  for (const char* c = start; c < p && length < (int)sizeof number - 1; ++c) number[length++] = *c;
  number[length] = '\0';
  return (float)strtod(number, nullptr);
}

long ParseLeadingInteger(const char* text) {
  const char* start = skipSpace(text);
  const char* p = start;
  if (*p == '+' || *p == '-') ++p;
  if (!isdigit((unsigned char)*p)) return 0;
  return strtol(start, nullptr, 10);
}

float readDecimalEdit(HWND dialog, int id) {
  char text[kEditCharacters + 1] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return ParseLeadingDecimal(text);
}

long readIntegerEdit(HWND dialog, int id) {
  char text[kEditCharacters + 1] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return ParseLeadingInteger(text);
}
