// brokenmeter's dialogs, on the frame's skeleton: the settings dialog edits the gain, the
// results dialog shows the peaks and copies them to the clipboard.
#include <stdio.h>
#include <stdlib.h>

#include "frame/clipboard_transfer.h"
#include "frame/dialog_skeleton.h"
#include "tests/broken/broken_params.h"

namespace {

const int kStateHolder = 120;
const int kGainEdit = 1006;
const int kPeakText = 1010;
const int kDisplayFrame = 1301;
const int kCopyButton = 1051;
const char kCaption[] = "Peak Meter";

void peakText(char* text, size_t size, const BrokenParams* p) {
  if (p->runChannels == 2)
    snprintf(text, size, "Peak %.2f | %.2f", p->peakLeft, p->peakRight);
  else
    snprintf(text, size, "Peak %.2f", p->peakLeft);
}

}  // namespace

extern "C" INT_PTR CALLBACK DIALOGMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      postCommand(dialog, IDCANCEL);
      return TRUE;
    case WM_INITDIALOG: {
      if (brokenFault() == kFaultNoDialog) {  // as a system without a display answers
        EndDialog(dialog, -1);
        return TRUE;
      }
      DialogState state = beginDialog(dialog, lParam, kStateHolder, true);
      if (state.block == nullptr) return TRUE;
      char text[40];
      snprintf(text, sizeof text, "%.3f", ((BrokenParams*)state.block)->gain);
      SetDlgItemTextA(dialog, kGainEdit, text);
      autoConfirm(dialog, state.instance);
      return TRUE;
    }
    case WM_COMMAND: {
      DialogState state = readDialogState(dialog, kStateHolder);
      if (state.block == nullptr) return TRUE;
      if (LOWORD(wParam) == IDOK) {
        char text[40] = "";
        GetDlgItemTextA(dialog, kGainEdit, text, sizeof text);
        ((BrokenParams*)state.block)->gain = (float)strtod(text, nullptr);
        endDialog(dialog, state, 1);
      } else if (LOWORD(wParam) == IDCANCEL) {
        endDialog(dialog, state, 0);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// The stubborn fault: the results dialog refuses to be closed, with a message box.
static bool refusedToClose(HWND dialog) {
  if (brokenFault() != kFaultStubborn) return false;
  MessageBoxA(dialog, "Press OK, please.", kCaption, MB_OK | MB_ICONINFORMATION);
  return true;
}

extern "C" INT_PTR CALLBACK DIALOGMsgProc2(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (!refusedToClose(dialog)) postCommand(dialog, IDCANCEL);
      return TRUE;
    case WM_INITDIALOG: {
      DialogState state = beginDialog(dialog, lParam, kStateHolder, true);
      if (state.block == nullptr) return TRUE;
      state.instance->createDisplay(dialog, kDisplayFrame, 0, DisplayCallback, state.block);
      char text[64];
      peakText(text, sizeof text, (BrokenParams*)state.block);
      SetDlgItemTextA(dialog, kPeakText, text);
      autoConfirm(dialog, state.instance);
      return TRUE;
    }
    case WM_COMMAND: {
      DialogState state = readDialogState(dialog, kStateHolder);
      if (state.block == nullptr) return TRUE;
      const BrokenParams* p = (const BrokenParams*)state.block;
      switch (LOWORD(wParam)) {
        case IDOK:
          endDialog(dialog, state, 1);
          break;
        case IDCANCEL:
          if (!refusedToClose(dialog)) endDialog(dialog, state, 0);
          break;
        case kCopyButton: {
          HGLOBAL block;
          char* text = beginClipboardText(64, &block);
          if (text == nullptr) break;
          peakText(text, 64, p);
          finishClipboardText(loadHandle<HWND>(p->HostWindow), block, kCaption);
          break;
        }
        default:
          break;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

extern "C" int WINAPI DisplayCallback(double x, void* user, short curve, double* y) {
  const BrokenParams* p = (const BrokenParams*)user;
  if (curve != 1) {
    *y = -200.0;
    return 0;
  }
  *y = p->peakLeft;
  return 1;
}
