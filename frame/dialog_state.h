// The dialog state holder: a hidden static control in which a dialog procedure keeps the
// addresses it needs between messages, since the plug-ins keep nothing in static variables.
// The text is three signed decimals: parameter block address, parameter block handle, instance
// record address, each at the full width of an address ("%ld,%d,%ld" on x86 32-bit; at most
// 62 characters on x86-64).
#pragma once

#include "frame/xfm.h"

struct DialogState {
  void* block;            // the locked parameter block; null when unknown
  HGLOBAL blockHandle;    // its handle
  XFMINSTANCE* instance;  // the instance record the dialog was created with
};

// Writes the three values into control `holderId` of `dialog`.
void writeDialogState(HWND dialog, int holderId, const DialogState& state);
// Reads them back (at most 79 characters); an empty or unreadable text yields all zeros.
DialogState readDialogState(HWND dialog, int holderId);
// The text form, for a buffer of at least 80 characters.
void formatDialogState(char* text, size_t size, const DialogState& state);
DialogState parseDialogState(const char* text);
