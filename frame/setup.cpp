// XfmSetup, the same in every plug-in: the settings dialog decides, and a confirmed dialog
// leaves the host window and module instance in the block for the run. What differs by plug-in
// comes from its description (frame/plugin.h).
#include "frame/dialog_skeleton.h"
#include "frame/plugin.h"

// The dialog's result, carried by the host interface as 16 bits: 0 (Cancel) and -1 (the dialog
// could not be shown: nobody made any settings) end the setup with 0; 2 is a selection too
// short, said with the plug-in's message where it has one; any other result stores the handles
// and is returned.
extern "C" int WINAPI XfmSetup(HWND hostWindow, HINSTANCE module, XFMINSTANCE* instance) {
  const PluginDescription& d = kPluginDescription;
  char* block = nullptr;
  if (d.lockBeforeSettings) {
    block = (char*)GlobalLock(instance->paramBlock);
    if (block == nullptr) return 1;
  }
  const INT_PTR result =
      DialogBoxParamA(module, MAKEINTRESOURCEA(kSettingsDialogResource), hostWindow,
                      dialogProcedure(module, kOrdSettingsDialog), (LPARAM)instance);
  short answer = (short)result;
  if (answer == 2 && d.tooShortText != nullptr) {
    MessageBoxA(hostWindow, d.tooShortText, d.tooShortCaption, MB_OK | MB_ICONERROR);
    answer = 0;
  }
  if (answer > 0 && block == nullptr) block = (char*)GlobalLock(instance->paramBlock);
  if (answer > 0 && block != nullptr) {
    storeHandle((BlockHandle*)(block + d.hostWindowOffset), hostWindow);
    storeHandle((BlockHandle*)(block + d.moduleInstanceOffset), module);
  }
  if (block != nullptr) GlobalUnlock(instance->paramBlock);
  return answer > 0 && block != nullptr ? answer : 0;
}
