#include "frame/dialog_skeleton.h"

const char kHelpFile[] = "Orvane4.hlp";

DialogState beginDialog(HWND dialog, LPARAM initParam, int holderId, bool callDialogInit) {
  DialogState state;
  state.instance = (XFMINSTANCE*)initParam;
  state.blockHandle = state.instance->paramBlock;
  state.block = GlobalLock(state.blockHandle);
  if (state.block == nullptr) {
    EndDialog(dialog, 0);
    return state;
  }
  writeDialogState(dialog, holderId, state);
  if (callDialogInit) state.instance->dialogInit(dialog, 0);
  return state;
}

void autoConfirm(HWND dialog, const XFMINSTANCE* instance) {
  if (instance->autoPreset != -1 && instance->autoShowDialogs == 0) postCommand(dialog, IDOK);
}

INT_PTR dispatchDialogMessage(const DialogHandlers& handlers, HWND dialog, UINT message,
                              WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      postCommand(dialog, handlers.closeCommand);
      return TRUE;
    case WM_INITDIALOG:
      handlers.initialise(dialog, lParam);
      return TRUE;
    case WM_COMMAND:
      handlers.command(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void postCommand(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

void endDialog(HWND dialog, const DialogState& state, INT_PTR result) {
  if (state.block != nullptr) GlobalUnlock(state.blockHandle);
  EndDialog(dialog, result);
}

bool standardCommand(HWND dialog, const DialogState& state, int id,
                     const StandardButtons& buttons) {
  if (id == IDOK) {
    if (buttons.accept == nullptr || buttons.accept(dialog, state)) endDialog(dialog, state, 1);
  } else if (id == IDCANCEL) {
    endDialog(dialog, state, 0);
  } else if (id == buttons.helpId) {
    openHelp(dialog, buttons.helpKeyword);
  } else {
    return false;
  }
  return true;
}

void openHelp(HWND dialog, LPCSTR keyword) {
  WinHelpA(dialog, kHelpFile, HELP_KEY, (ULONG_PTR)keyword);
}

DLGPROC dialogProcedure(HINSTANCE module, int ordinal) {
  return (DLGPROC)(void*)GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

INT_PTR showResults(HINSTANCE module, HWND owner, XFMINSTANCE* instance) {
  MessageBeep(0);
  return DialogBoxParamA(module, MAKEINTRESOURCEA(kResultsDialogResource), owner,
                         dialogProcedure(module, kOrdResultsDialog), (LPARAM)instance);
}
