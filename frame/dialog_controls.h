// The few control calls every plug-in dialog makes alike: check boxes and radio buttons read
// and set, controls enabled. Numbers typed into edits: frame/dialog_numbers.h.
#pragma once

#include "frame/xfm.h"

inline bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

inline void check(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

inline void enable(HWND dialog, int id, bool on) {
  EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}
