// The few control calls every plug-in dialog makes alike: check boxes and radio buttons read
// and set, controls enabled, and a number read from an edit.
#pragma once

#include "frame/xfm.h"

#include <stdlib.h>

inline bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

inline void check(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

inline void enable(HWND dialog, int id, bool on) {
  EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

// At most 39 characters of an edit, as a decimal real; text that is not a number reads 0.
inline double readReal(HWND dialog, int id) {
  char text[40] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return strtod(text, nullptr);
}
