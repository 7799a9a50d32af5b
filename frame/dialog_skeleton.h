// The habits every plug-in dialog shares: how it starts (lock the block for the dialog's
// life, keep the context in the state holder, let the host see it), how it confirms itself
// during an automatic preset run, how it closes and ends, and how it opens help.
#pragma once

#include "frame/dialog_state.h"

// Name of the help file every plug-in opens by keyword.
extern const char kHelpFile[];  // "Orvane4.hlp"

// WM_INITDIALOG, first part: takes the instance record from the creation parameter, locks
// its parameter block, writes the state holder and, when `callDialogInit`, calls the host's
// dialogInit. The block stays locked until endDialog. When the block cannot be locked the
// dialog cannot show anything sensible: it is ended with 0 at once and the returned state's
// block is null, so the caller must return without filling controls.
DialogState beginDialog(HWND dialog, LPARAM initParam, int holderId, bool callDialogInit);

// WM_INITDIALOG, last part: in an automatic preset run (autoPreset not -1 and
// autoShowDialogs 0) the dialog confirms itself by posting the OK command.
void autoConfirm(HWND dialog, const XFMINSTANCE* instance);

// The messages every plug-in dialog handles: WM_CLOSE posts `closeCommand` (the close box means
// that button), WM_INITDIALOG calls `initialise` with the creation parameter, WM_COMMAND calls
// `command` with the control id. TRUE for those three, FALSE for every other message, which
// the system handles.
struct DialogHandlers {
  int closeCommand;
  void (*initialise)(HWND dialog, LPARAM initParam);
  void (*command)(HWND dialog, int id);
};
INT_PTR dispatchDialogMessage(const DialogHandlers& handlers, HWND dialog, UINT message,
                              WPARAM wParam, LPARAM lParam);

// WM_CLOSE: behave as if the person had pressed `button`.
void postCommand(HWND dialog, int button);

// The end of a completed run: the default beep, then the results dialog (resource 107 of
// `module`, its procedure the module's ordinal 101) modally over `owner`, with the instance
// record as its creation parameter. Returns the dialog's result (-1 when it could not be shown).
INT_PTR showResults(HINSTANCE module, HWND owner, XFMINSTANCE* instance);

// The dialog procedure a module exports under `ordinal`.
DLGPROC dialogProcedure(HINSTANCE module, int ordinal);

// Unlocks the block the dialog held and ends it with `result`.
void endDialog(HWND dialog, const DialogState& state, INT_PTR result);

// The buttons of every settings dialog and of levelmeter's results dialog: OK lets `accept`
// store the controls (null: nothing to store), which may keep the dialog open by answering
// false, then ends the dialog with 1; Cancel (and Close) ends it with 0; the Help button opens
// the help file at the keyword. Both ends unlock the block the dialog held.
struct StandardButtons {
  int helpId;
  LPCSTR helpKeyword;
  bool (*accept)(HWND dialog, const DialogState& state);
};
// True when `id` was one of those buttons (and has been handled).
bool standardCommand(HWND dialog, const DialogState& state, int id, const StandardButtons& buttons);

// The Help button: the help engine at the plug-in's keyword.
void openHelp(HWND dialog, LPCSTR keyword);
