// The results dialog (resource 107): the settings the design used, the run's figures and the
// plot of the filters placed on the clipboard.
#include <stdio.h>

#include "frame/dialog_skeleton.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/designer_params.h"
#include "inversefilter/dialog_fields.h"
#include "inversefilter/dialog_ids.h"
#include "inversefilter/filter_image.h"

namespace {

const COLORREF kGridColour = 0x404040;
const COLORREF kBackground = 0x000000;
const COLORREF kCurveColour[2] = {0xFFFF00, 0x0000FF};

void send(HWND display, int attribute, int target, LPARAM value) {
  SendMessageA(display, DISPLAY_SET, displaySetParam(attribute, target), value);
}

// The ranges travel as addresses: the messages are handled at once, while they still exist.
void configureCurve(HWND display, int curve, const double* top, const double* bottom,
                    const double* left, const double* right) {
  send(display, kDisplayViewMode, curve, 8);
  send(display, kDisplayCurveColour, curve, (LPARAM)kCurveColour[curve - 1]);
  send(display, kDisplayYTop, curve, (LPARAM)top);
  send(display, kDisplayYBottom, curve, (LPARAM)bottom);
  send(display, kDisplayXLeft, curve, (LPARAM)left);
  send(display, kDisplayXRight, curve, (LPARAM)right);
}

// The x range spans the image's frames (twice the filter length for the 2x2 network, whose
// second half holds slots RL and RR); a second curve only for a two-channel image.
void configureDisplay(HWND display, const FilterImageShape& shape) {
  const double top = 1.0, bottom = -1.0, left = 0.0, right = (double)shape.frames;
  send(display, kDisplayXLabel, 0, (LPARAM) "s");
  send(display, kDisplayGridColour, 0, (LPARAM)kGridColour);
  send(display, kDisplayBackground, 0, (LPARAM)kBackground);
  configureCurve(display, 1, &top, &bottom, &left, &right);
  if (shape.channels == 2) configureCurve(display, 2, &top, &bottom, &left, &right);
  EnableWindow(display, TRUE);
}

// The doubled ampersands show as one.
void showSmoothing(HWND dialog, const DesignerParams* p) {
  const char* average = nullptr;
  switch (p->AverageType) {
    case kAverageRealImag:
      average = "Real && Imaginary";
      break;
    case kAverageMagPhase:
      average = "Amplitude && Phase";
      break;
    case kAverageCepstrum:
      average = "Cepstrum";
      break;
  }
  // Any other type designs without smoothing, so it reads as none.
  if (average == nullptr || (p->WindowType != kWindowLinear && p->WindowType != kWindowOctaves)) {
    SetDlgItemTextA(dialog, kShownAverageType, average != nullptr ? average : "No average");
    SetDlgItemTextA(dialog, kShownWindowType, "none");
    SetDlgItemTextA(dialog, kShownWindowWidth, "none");
    return;
  }
  SetDlgItemTextA(dialog, kShownAverageType, average);
  SetDlgItemTextA(dialog, kShownWindowType, p->WindowType == kWindowLinear ? "Linear" : "Octave");
  showSignificant(dialog, kShownWindowWidth, p->WindowWidth);
}

void initialise(HWND dialog, LPARAM initParam) {
  const XFMINSTANCE* instance = (const XFMINSTANCE*)initParam;
  DesignerParams* p = (DesignerParams*)GlobalLock(instance->paramBlock);
  if (p == nullptr) {
    EndDialog(dialog, 0);
    return;
  }
  const long filterLength = FilterLengthRule(p->InverseFilterLength);
  // Without a run's image (the dialog opened on its own) the plot stays empty.
  FilterImageShape shape = {1, filterLength};
  if (const BYTE* image = (const BYTE*)lockBlockBuffer(p->FilterSamples)) {
    shape = filterImageShape(image);
    unlockBlockBuffer(p->FilterSamples);
  }

  // The display paints after this initialisation has unlocked the block: its callback gets
  // the block's handle and locks the block for each point.
  const HWND display =
      instance->createDisplay(dialog, kDisplayFrame, 0, DisplayCallback, instance->paramBlock);
  storeHandle(&p->DisplayWindow, display);
  configureDisplay(display, shape);

  showSignificant(dialog, kShownInBand, p->InBandRegularisation);
  showSignificant(dialog, kShownOutBand, p->OutBandRegularisation);
  showInteger(dialog, kShownLowerCut, p->LowerCutHz);
  showInteger(dialog, kShownHigherCut, p->HigherCutHz);
  showSignificant(dialog, kShownTransition, p->TransitionOctaves);
  // The length and the channels of the filters designed, which the run may have rounded to
  // an even length or, in the single-filter form, made mono.
  showInteger(dialog, kShownFilterLength, filterLength);
  showInteger(dialog, kShownChannels, shape.channels);
  showInteger(dialog, kShownSampleRate, instance->sampleRate);
  char elapsed[40];
  snprintf(elapsed, sizeof elapsed, "%li.%.3li", (long)(p->ElapsedMs / 1000),
           (long)(p->ElapsedMs % 1000));
  SetDlgItemTextA(dialog, kShownElapsed, elapsed);
  showSignificant(dialog, kShownGain, p->GainDb);
  showSmoothing(dialog, p);

  GlobalUnlock(instance->paramBlock);
  autoConfirm(dialog, instance);
}

// OK, and Escape (IDCANCEL) as on any dialog with nothing to cancel.
void command(HWND dialog, int id) {
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, 1);
}

}  // namespace

extern "C" INT_PTR CALLBACK DIALOGMsgProc2(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  const DialogHandlers handlers = {IDOK, initialise, command};
  return dispatchDialogMessage(handlers, dialog, message, wParam, lParam);
}
