// The results dialog (resource 107): the input and statistics of the run, the time of flight,
// the display with two selectable curves, and the spectral export. "Waveform" (or closing the
// window) ends it; the run then puts the output waveform on the clipboard.
#include "crossanalyser/analyser_params.h"
#include "crossanalyser/curve_boxes.h"
#include "crossanalyser/dialog_ids.h"
#include "crossanalyser/spectral_export.h"
#include "crossanalyser/transform_types.h"
#include "frame/clipboard_transfer.h"
#include "frame/dialog_controls.h"
#include "frame/dialog_skeleton.h"
#include "frame/number_text.h"

#include <math.h>
#include <stdio.h>

namespace {

const char kClipboardCaption[] = "Acoustical Parameters";

constexpr int kFrequencyView = 2;
constexpr int kLinearViewMode = 8;
constexpr COLORREF kGridColour = 0x404040;
constexpr COLORREF kBackground = 0x000000;

// The scale and range buttons, in the order a click applies them from.
const int kScaleButtons[] = {kScaleDb, kScaleLinear, kRangeTwoKilohertz, kRangeNyquist};

void send(HWND display, int attribute, int target, LPARAM value) {
  SendMessageA(display, DISPLAY_SET, displaySetParam(attribute, target), value);
}

void redraw(HWND display) {
  InvalidateRect(display, nullptr, TRUE);
  UpdateWindow(display);
}

void setText(HWND dialog, int id, const char* format, long value) {
  char text[40];
  snprintf(text, sizeof text, format, value);
  SetDlgItemTextA(dialog, id, text);
}

void setLevel(HWND dialog, int id, float level) {
  char number[40], text[48];
  formatGeneral(number, sizeof number, level, 4);
  snprintf(text, sizeof text, "%s dB", number);
  SetDlgItemTextA(dialog, id, text);
}

// The lines of the time-of-flight box, shown only when the run found a correlation maximum; a
// result with no peak at all has no time of flight.
void showTimeOfFlight(HWND dialog, const AnalyserParams* p) {
  if (isnan(p->TimeOfFlightMs)) {
    SetDlgItemTextA(dialog, kCorrelationLine, "no signal");
    return;
  }
  if (p->NccMax == 0.0f) return;
  char ncc[40], flight[40], trigger[40], text[128];
  formatGeneral(ncc, sizeof ncc, (double)p->NccMax * 100.0, 5);
  formatGeneral(flight, sizeof flight, p->TimeOfFlightMs, 4);
  snprintf(text, sizeof text, "NCC Max: %s%%  at %s ms", ncc, flight);
  SetDlgItemTextA(dialog, kCorrelationLine, text);
  formatGeneral(trigger, sizeof trigger, p->TriggerTimeMs, 4);
  snprintf(text, sizeof text, "Trigger Time: %i%%  at %s ms", (int)p->TriggerLevel, trigger);
  SetDlgItemTextA(dialog, kTriggerLine, text);
}

void showRun(HWND dialog, const AnalyserParams* p) {
  setText(dialog, kFftSizeText, "%li", FftSizeOf(p->FftSizeIndex));
  setText(dialog, kChannelsText, "%i", p->Channels);
  setText(dialog, kSampleRateText, "%li", p->SampleRate);
  // The count averaged, also beyond the 16-bit field's 32767.
  setText(dialog, kBlockCountText, "%li",
          p->AveragedBlocks > 0 ? (long)p->AveragedBlocks : (long)p->BlockCount);
  char elapsed[64];
  snprintf(elapsed, sizeof elapsed, "Elapsed time: %li.%.3li s", (long)(p->ElapsedMs / 1000),
           (long)(p->ElapsedMs % 1000));
  SetDlgItemTextA(dialog, kElapsedText, elapsed);
  SetDlgItemTextA(dialog, kTransformTypeText, TransformTypeText(p->ProcessingFunction));
  if (p->ProcessingFunction == kFnAutoCorrelations) {
    const int resultBoxes[] = {kCurveMagnitude, kCurvePhase, kCurveReal, kCurveImag};
    for (int id : resultBoxes) EnableWindow(GetDlgItem(dialog, id), FALSE);
  }
  setLevel(dialog, kRmsLeftText, p->RmsLeftDb);
  setLevel(dialog, kRmsRightText, p->RmsRightDb);
  setLevel(dialog, kRmsCrossText, p->RmsCrossDb);
  showTimeOfFlight(dialog, p);
}

// The colour of the checked box of a curve (the last checked one, in box order), or none.
bool checkedColour(HWND dialog, const CurveBox (&boxes)[4], COLORREF* colour) {
  bool found = false;
  for (const CurveBox& box : boxes)
    if (checked(dialog, box.id)) {
      *colour = box.colour;
      found = true;
    }
  return found;
}

// The display in view mode 2 (frequency view) or 8 (linear). The ranges travel as addresses of
// doubles, read while each message is sent.
void createDisplay(HWND dialog, AnalyserParams* p, const XFMINSTANCE* instance, int viewMode) {
  HWND display = instance->createDisplay(dialog, kDisplayFrame, 0, DisplayCallback, p);
  storeHandle(&p->DisplayWindow, display);
  const double top = 80.0, bottom = -80.0;
  const double left = viewMode == kFrequencyView ? 20.0 : 0.0;
  const double sampleRate = (double)p->SampleRate;
  const double right = sampleRate / 2.0;
  if (viewMode == kFrequencyView) send(display, kDisplayXLabel, 0, (LPARAM) "f[Hz]");
  send(display, kDisplayGridColour, 0, kGridColour);
  send(display, kDisplayBackground, 0, kBackground);
  for (int curve = 1; curve <= 2; ++curve) {
    send(display, kDisplayViewMode, curve, viewMode);
    COLORREF colour;
    if (checkedColour(dialog, curve == 1 ? kFirstCurveBoxes : kSecondCurveBoxes, &colour))
      send(display, kDisplayCurveColour, curve, (LPARAM)colour);
    send(display, kDisplayYTop, curve, (LPARAM)&top);
    send(display, kDisplayYBottom, curve, (LPARAM)&bottom);
    send(display, kDisplayXLeft, curve, (LPARAM)&left);
    send(display, kDisplayXRight, curve, (LPARAM)&right);
    send(display, kDisplaySampleRate, curve, (LPARAM)&sampleRate);
  }
  EnableWindow(display, TRUE);
}

void setYRange(HWND display, double top, double bottom) {
  for (int curve = 1; curve <= 2; ++curve) {
    send(display, kDisplayYTop, curve, (LPARAM)&top);
    send(display, kDisplayYBottom, curve, (LPARAM)&bottom);
  }
  redraw(display);
}

void setXRight(HWND display, double right) {
  for (int curve = 1; curve <= 2; ++curve) send(display, kDisplayXRight, curve, (LPARAM)&right);
  redraw(display);
}

// Applies the checked ones of the scale and range buttons, from `from` down the list.
void applyScales(HWND dialog, const AnalyserParams* p, int from) {
  HWND display = loadHandle<HWND>(p->DisplayWindow);
  bool started = false;
  for (int id : kScaleButtons) {
    started = started || id == from;
    if (!started || !checked(dialog, id)) continue;
    switch (id) {
      case kScaleDb:
        setYRange(display, 80.0, -80.0);
        break;
      case kScaleLinear:
        setYRange(display, 1.2, 0.0);
        break;
      case kRangeTwoKilohertz:
        setXRight(display, 2000.0);
        break;
      case kRangeNyquist:
        setXRight(display, (double)p->SampleRate / 2.0);
        break;
    }
  }
}

// A curve's check box clicked: checked, it is the curve's only box and its quantity is shown;
// unchecked, the curve shows nothing.
void selectCurve(HWND dialog, AnalyserParams* p, const CurveBox (&boxes)[4], const CurveBox& box,
                 int curve) {
  int16_t* selection = curve == 1 ? &p->LeftCurve : &p->RightCurve;
  if (checked(dialog, box.id)) {
    for (const CurveBox& other : boxes)
      if (other.id != box.id) CheckDlgButton(dialog, other.id, BST_UNCHECKED);
    *selection = (int16_t)box.selection;
    send(loadHandle<HWND>(p->DisplayWindow), kDisplayCurveColour, curve, (LPARAM)box.colour);
  } else {
    *selection = 0;
  }
  redraw(loadHandle<HWND>(p->DisplayWindow));
}

bool curveBoxClicked(HWND dialog, AnalyserParams* p, int id) {
  for (const CurveBox& box : kFirstCurveBoxes)
    if (box.id == id) {
      selectCurve(dialog, p, kFirstCurveBoxes, box, 1);
      return true;
    }
  for (const CurveBox& box : kSecondCurveBoxes)
    if (box.id == id) {
      selectCurve(dialog, p, kSecondCurveBoxes, box, 2);
      return true;
    }
  return false;
}

// "Spectral Values": the table to the clipboard; without memory for it nothing happens.
void exportSpectralValues(HWND dialog, const DialogState& state) {
  const AnalyserParams* p = (const AnalyserParams*)state.block;
  const SIZE_T size = SpectralValuesBytes(p->FftSize);
  HGLOBAL block;
  char* text = beginClipboardText(size, &block);
  if (text == nullptr) return;
  TextBuffer out;
  initTextBuffer(&out, text, size);
  WriteSpectralValues(&out, p, state.instance, checked(dialog, kRangeTwoKilohertz));
  finishClipboardText(loadHandle<HWND>(p->HostWindow), block, kClipboardCaption);
}

void initialise(HWND dialog, LPARAM initParam) {
  DialogState state = beginDialog(dialog, initParam, kResultsStateHolder, false);
  if (state.block == nullptr) return;
  AnalyserParams* p = (AnalyserParams*)state.block;
  showRun(dialog, p);
  const int initiallyChecked[] = {kCurveLeft, kCurveRight, kScaleDb, kRangeNyquist};
  for (int id : initiallyChecked) CheckDlgButton(dialog, id, BST_CHECKED);
  p->LeftCurve = 1;
  p->RightCurve = 1;
  createDisplay(dialog, p, state.instance, kFrequencyView);
  autoConfirm(dialog, state.instance);
}

void command(HWND dialog, int id) {
  DialogState state = readDialogState(dialog, kResultsStateHolder);
  if (state.block == nullptr) return;
  AnalyserParams* p = (AnalyserParams*)state.block;
  switch (id) {
    case kWaveformButton:
      endDialog(dialog, state, 1);
      return;
    case kSpectralValuesButton:
      exportSpectralValues(dialog, state);
      return;
    case kLinearView:
      DestroyWindow(loadHandle<HWND>(p->DisplayWindow));
      createDisplay(dialog, p, state.instance,
                    checked(dialog, kLinearView) ? kLinearViewMode : kFrequencyView);
      applyScales(dialog, p, kScaleDb);
      return;
    case kScaleDb:
    case kScaleLinear:
    case kRangeTwoKilohertz:
    case kRangeNyquist:
      applyScales(dialog, p, id);
      return;
    default:
      curveBoxClicked(dialog, p, id);
      return;
  }
}

}  // namespace

extern "C" INT_PTR CALLBACK DIALOGMsgProc2(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  const DialogHandlers handlers = {kWaveformButton, initialise, command};
  return dispatchDialogMessage(handlers, dialog, message, wParam, lParam);
}
