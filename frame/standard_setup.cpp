// XfmSetup as levelmeter and inversefilter have it: the settings dialog decides, and a
// confirmed dialog leaves the host window and module instance in the block for the run.
#include "frame/dialog_skeleton.h"
#include "frame/plugin.h"

extern "C" int WINAPI XfmSetup(HWND hostWindow, HINSTANCE module, XFMINSTANCE* instance) {
  DLGPROC procedure = dialogProcedure(module, kOrdSettingsDialog);
  INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(kSettingsDialogResource), hostWindow,
                                   procedure, (LPARAM)instance);
  // The host interface carries the dialog's result as 16 bits.
  short shortResult = (short)result;
  if (shortResult == 0) return 0;
  char* block = (char*)GlobalLock(instance->paramBlock);
  if (block == nullptr) return 0;
  const PluginDescription& d = kPluginDescription;
  storeHandle((BlockHandle*)(block + d.hostWindowOffset), hostWindow);
  storeHandle((BlockHandle*)(block + d.moduleInstanceOffset), module);
  GlobalUnlock(instance->paramBlock);
  return shortResult;
}
