// The results dialog procedure (resource 107).
#include "levelmeter/results_dialog.h"

#include "frame/clipboard_transfer.h"
#include "frame/dialog_controls.h"
#include "frame/dialog_skeleton.h"
#include "levelmeter/dialog_ids.h"
#include "levelmeter/results_text.h"

namespace {

const char kClipboardCaption[] = "ITU-T P.56";
const COLORREF kLeftColour = 0x800000;
const COLORREF kRightColour = 0x800080;

void send(HWND display, int attribute, int target, LPARAM value) {
  SendMessageA(display, DISPLAY_SET, displaySetParam(attribute, target), value);
}

void configureCurve(HWND display, int curve, COLORREF colour, int sampleRate, const double* top,
                    const double* bottom, const double* left, const double* right) {
  send(display, kDisplayXLabel, curve, (LPARAM) "s");
  send(display, kDisplayYLabel, curve, (LPARAM) "dB");
  send(display, kDisplayViewMode, curve, 8);
  send(display, kDisplayCurveColour, curve, (LPARAM)colour);
  send(display, kDisplayYTop, curve, (LPARAM)top);
  send(display, kDisplayYBottom, curve, (LPARAM)bottom);
  send(display, kDisplayXLeft, curve, (LPARAM)left);
  send(display, kDisplayXRight, curve, (LPARAM)right);
  send(display, kDisplaySampleRate, curve, sampleRate);
  send(display, kDisplayStyle, curve, 1300);
}

void initialise(HWND dialog, LPARAM initParam) {
  DialogState state = beginDialog(dialog, initParam, kStateHolder, false);
  if (state.block == nullptr) return;
  MeterParams* p = (MeterParams*)state.block;
  const XFMINSTANCE* instance = state.instance;
  HWND display = instance->createDisplay(dialog, kDisplayFrame, 0, DisplayCallback, state.block);
  storeHandle(&p->displayWindow, display);
  // The ranges travel as addresses: they must outlive the messages, which are sent at once.
  const double left = 0.0;
  const double right = (double)(instance->selLast - instance->selFirst) / instance->sampleRate;
  instance->dialogInit(dialog, 0);
  showResults(dialog, p);
  double top = p->fullScaleLeft;
  if (p->runChannels == 2 && p->fullScaleRight > top) top = p->fullScaleRight;
  const double bottom = top - 100.0;

  send(display, kDisplayXLabel, 0, (LPARAM) "s");
  send(display, kDisplayYLabel, 0, (LPARAM) "dB");
  send(display, kDisplayGridColour, 0, 0xC4C4C4);
  send(display, kDisplayBackground, 0, 0xFFFFFF);
  send(display, kDisplaySampleRate, 0, p->runSampleRate);
  send(display, kDisplayStyle, 0, 1300);
  configureCurve(display, 1, kLeftColour, p->runSampleRate, &top, &bottom, &left, &right);
  if (p->runChannels == 2)
    configureCurve(display, 2, kRightColour, p->runSampleRate, &top, &bottom, &left, &right);
  EnableWindow(display, TRUE);
  autoConfirm(dialog, instance);
}

void copyToClipboard(const DialogState& state) {
  const MeterParams* p = (const MeterParams*)state.block;
  const SIZE_T size = (SIZE_T)state.instance->channels * 2000;
  HGLOBAL block;
  char* text = beginClipboardText(size, &block);
  if (text == nullptr) return;  // no memory: the command does nothing
  resultsText(text, size, p);
  finishClipboardText(loadHandle<HWND>(p->HostWindow), block, kClipboardCaption);
}

void showCurve(HWND dialog, MeterParams* p, char letter) {
  p->displayCurve = letter;
  const HWND display = loadHandle<HWND>(p->displayWindow);
  InvalidateRect(display, nullptr, TRUE);
  UpdateWindow(display);
}

// OK keeps the filtered waveform, Close does not; nothing of the dialog is stored.
const StandardButtons kButtons = {kHelpButton, kHelpKeyword, nullptr};

void command(HWND dialog, int id) {
  DialogState state = readDialogState(dialog, kStateHolder);
  if (state.block == nullptr || standardCommand(dialog, state, id, kButtons)) return;
  MeterParams* p = (MeterParams*)state.block;
  switch (id) {
    case kCurveRms:
      showCurve(dialog, p, '1');
      break;
    case kCurveItu:
      showCurve(dialog, p, '3');
      break;
    case kCurveFast:
      showCurve(dialog, p, 'F');
      break;
    case kCurveSlow:
      showCurve(dialog, p, 'S');
      break;
    case kCurveImpulse:
      showCurve(dialog, p, 'I');
      break;
    case kAverageBox:
      p->averageColumn = checked(dialog, kAverageBox) ? 1 : 0;
      showResults(dialog, p);
      break;
    case kCopyToClipboard:
      copyToClipboard(state);
      break;
    case kExportToFile:
      exportResults(state.instance, p);
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" INT_PTR CALLBACK DIALOGMsgProc2(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  const DialogHandlers handlers = {IDCANCEL, initialise, command};
  return dispatchDialogMessage(handlers, dialog, message, wParam, lParam);
}
