#include "inversefilter/settings_store.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include "frame/dialog_controls.h"
#include "frame/dialog_numbers.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/dialog_ids.h"

namespace {

// The length stored when the typed one is below 1 sample.
constexpr int32_t kForcedFilterLength = 16384;

// The width checks' texts are the system's own, the doubled "Warning:" of the too-wide one
// included.
const char kWidthCaption[] = "Window Width check";
const char kOctaveCaption[] = "Window Width check,O";
const char kLinearTooNarrow[] =
    "Warning:\nLinear Window width forced to 3 points.\n because the value typed is lower";
const char kLinearTooWide[] =
    "Warning:\nLinear Window Warning:\nthe averaging width is too large\n Possible loss of "
    "accuracy";
const char kLinearEven[] = "Attention:\nAveraging width was not odd, it will be increased by 1...";
const char kOctaveTooNarrow[] =
    "Warning:\nOctave window width forced to 0.01 oct.\n because the value typed is \nbelow min "
    "limit";
const char kOctaveTooWide[] =
    "Warning:\nOctave window width forced to 1.0 oct.\n because the value typed is \nabove max "
    "limit";

// A list without a selection stores its first item, which is what the person sees as chosen.
int32_t selection(HWND dialog, int id) {
  LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : (int32_t)index;
}

void warn(HWND dialog, UINT sound, const char* text, const char* caption) {
  MessageBeep(sound);
  MessageBoxA(dialog, text, caption, MB_OK | sound);
}

void storeMode(HWND dialog, const XFMINSTANCE* instance, DesignerParams* p) {
  p->Mode = kModeMono;
  if (instance->channels == 2) {
    if (checked(dialog, kDualMonoButton)) p->Mode = kModeDualMono;
    if (checked(dialog, kStereoButton)) p->Mode = kModeStereo;
    if (checked(dialog, k2x2Button)) p->Mode = kMode2x2;
    p->CrossTalkOnly = checked(dialog, kCrossTalkOnlyBox) ? 1 : 0;
  }
  if (p->Mode < kModeStereo) p->CrossTalkOnly = 0;
}

// A length the designer cannot make is forced to one it can, and the message names the length
// actually stored: below 1 sample the system's 16384, beyond the longest filter that one.
void storeFilterLength(HWND dialog, DesignerParams* p) {
  const long typed = readIntegerEdit(dialog, kFilterLengthEdit, kEditCharacters);
  if (typed >= 1 && typed <= kMaxFilterLength) {
    p->InverseFilterLength = (int32_t)typed;
    return;
  }
  char text[160];
  if (typed < 1) {
    snprintf(text, sizeof text,
             "Warning:\n The IFL value you have typed is below 1 pnt!\n It is forced to %ld pnts",
             (long)kForcedFilterLength);
    p->InverseFilterLength = kForcedFilterLength;
  } else {
    snprintf(text, sizeof text,
             "Warning:\n The IFL value you have typed is above %ld pnts!\n It is forced to %ld "
             "pnts",
             kMaxFilterLength, kMaxFilterLength);
    p->InverseFilterLength = (int32_t)kMaxFilterLength;
  }
  MessageBoxA(dialog, text, "IFL check", MB_OK);
}

void checkLinearWidth(HWND dialog, DesignerParams* p) {
  float w = p->WindowWidth;
  if (w < 3.0f) {
    w = 3.0f;
    p->WindowWidth = w;
    warn(dialog, MB_ICONEXCLAMATION, kLinearTooNarrow, kWidthCaption);
  }
  if (w > (float)(p->InverseFilterLength / 20))
    warn(dialog, MB_ICONEXCLAMATION, kLinearTooWide, kWidthCaption);
  if (fmod(w, 2.0) == 0.0) {
    p->WindowWidth = w + 1.0f;
    warn(dialog, MB_ICONASTERISK, kLinearEven, "Window width EVEN check FAILED");
  }
}

// The limits are compared as floats, so that a typed 0.01 or 1 stands as it is.
void checkOctaveWidth(HWND dialog, DesignerParams* p) {
  const float w = p->WindowWidth;
  if (w < 0.01f) {
    p->WindowWidth = 0.01f;
    warn(dialog, MB_ICONEXCLAMATION, kOctaveTooNarrow, kOctaveCaption);
  }
  if (w > 1.0f) {
    p->WindowWidth = 1.0f;
    warn(dialog, MB_ICONEXCLAMATION, kOctaveTooWide, kOctaveCaption);
  }
}

}  // namespace

void storeSettings(HWND dialog, const DialogState& state) {
  DesignerParams* p = (DesignerParams*)state.block;
  storeMode(dialog, state.instance, p);
  storeFilterLength(dialog, p);
  p->AverageType = selection(dialog, kAverageTypeList);
  p->WindowType = selection(dialog, kWindowTypeList);
  // The regularisation, the band and the transition are stored as typed: the design itself
  // refuses regularisation values it cannot use.
  p->InBandRegularisation = readFloatEdit(dialog, kInBandEdit, kEditCharacters);
  p->OutBandRegularisation = readFloatEdit(dialog, kOutBandEdit, kEditCharacters);
  p->LowerCutHz = (int32_t)readIntegerEdit(dialog, kLowerCutEdit, kEditCharacters);
  p->HigherCutHz = (int32_t)readIntegerEdit(dialog, kHigherCutEdit, kEditCharacters);
  p->TransitionOctaves = readFloatEdit(dialog, kTransitionEdit, kEditCharacters);
  p->WindowWidth = readFloatEdit(dialog, kWindowWidthEdit, kEditCharacters);
  if (p->AverageType != kAverageNone) {
    if (p->WindowType == kWindowLinear) checkLinearWidth(dialog, p);
    if (p->WindowType == kWindowOctaves) checkOctaveWidth(dialog, p);
  }
  p->GainDb = readDecimalEdit(dialog, kManualGainEdit, kEditCharacters);
  p->Autorange = checked(dialog, kAutorangeBox) ? 1 : 0;
}
