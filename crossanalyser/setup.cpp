// XfmSetup: the settings dialog decides; a confirmed dialog leaves the host window and module
// instance in the block for the run.
#include "crossanalyser/analyser_params.h"
#include "frame/dialog_skeleton.h"

namespace {

const char kCaption[] = "Cross Functions 2";
const char kTooShortText[] =
    "Highlighted area is too short to perform\nthe processing with this FFT size";

}  // namespace

extern "C" int WINAPI XfmSetup(HWND hostWindow, HINSTANCE module, XFMINSTANCE* instance) {
  AnalyserParams* p = (AnalyserParams*)GlobalLock(instance->paramBlock);
  // The host then goes on to XfmDo, which meets the same block and ends at once.
  if (p == nullptr) return 1;
  DLGPROC procedure = dialogProcedure(module, kOrdSettingsDialog);
  INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(kSettingsDialogResource), hostWindow,
                                   procedure, (LPARAM)instance);
  int answer;
  switch ((short)result) {
    case 1:
      storeHandle(&p->HostWindow, hostWindow);
      storeHandle(&p->ModuleInstance, module);
      answer = 1;
      break;
    case 2:
      MessageBoxA(hostWindow, kTooShortText, kCaption, MB_OK | MB_ICONERROR);
      answer = 0;
      break;
    case -1:
      // The dialog could not be shown: the person made no settings, so the run must not go on.
      answer = 0;
      break;
    case 0:
      answer = 0;
      break;
    default:
      answer = 1;
      break;
  }
  GlobalUnlock(instance->paramBlock);
  return answer;
}
