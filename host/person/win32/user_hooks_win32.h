// The person on the real system. A plug-in calls DialogBoxParamA, EndDialog, MessageBoxA,
// GetSaveFileNameA, WinHelpA, MessageBeep and the Global* memory calls straight from its own
// import table; watchPluginModule (system.h) points those entries of a loaded plug-in at the
// host's hooks, which show the system's own dialogs and let the installed OrvaneUser act on them
// exactly as on the Linux layer:
//   - a plug-in dialog runs with a relay procedure in front of the plug-in's: once it is
//     initialised and painted, a timer gives the person a turn (dialogShown, then dialogIdle);
//     when the person has nothing more to do the dialog is sent WM_CLOSE, and a dialog still
//     open on the next turn is ended with -1, so no dialog waits for a person who is not there;
//   - a message box is shown and its button is pressed as the person answered;
//   - the save dialog is shown with the person's file type, the person's file name typed into
//     it and OK pressed (or it is cancelled);
//   - any other dialog box that appears (a system prompt) gets its default button pressed;
//   - help is recorded only: an unattended run must not leave a help viewer open.
// Everything runs on the thread that runs the plug-in.
#pragma once

#include <windows.h>

#include <vector>

#include "host/system/system.h"

namespace orvane {

// The blocks watched plug-ins handed to the clipboard, in order (clipboardTransfers).
std::vector<ClipboardItem>& clipboardTransferLog();

// The plug-in dialog `dialog` (open now) came from resource `resource` of module `module`.
// False when `dialog` is no plug-in dialog running through the hooks.
bool hookedDialogOf(HWND dialog, HINSTANCE* module, int* resource);

}  // namespace orvane
