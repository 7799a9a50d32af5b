// Storing the settings dialog's controls into the parameter block when the person confirms
// it, with the checks and corrections of the typed values.
#pragma once

#include "frame/dialog_state.h"
#include "inversefilter/designer_params.h"

// Characters of an edit that are read (frame/dialog_numbers.h).
constexpr int kEditCharacters = 39;

// Stores, in this order: the mode and the cross-talk flag; the filter length (below 1 it is
// forced to 16384 with a message); the averaging type and window; the regularisation, the cut
// frequencies, the transition width and the window width as typed; the width checks of the
// averaging window, each with its sound and message; the gain and Autorange. ActiveNoiseControl
// is never changed here. Every message is owned by the dialog.
void storeSettings(HWND dialog, const DialogState& state);
