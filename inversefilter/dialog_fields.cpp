#include "inversefilter/dialog_fields.h"

#include <stdio.h>

#include "inversefilter/significant_text.h"

void showSignificant(HWND dialog, int id, double value) {
  char text[40];
  formatSignificant(text, sizeof text, value);
  SetDlgItemTextA(dialog, id, text);
}

void showInteger(HWND dialog, int id, long value) {
  char text[40];
  snprintf(text, sizeof text, "%li", value);
  SetDlgItemTextA(dialog, id, text);
}
