// The settings dialog (resource 100): the mode, the filter length, the regularisation and its
// band, the spectral smoothing and the gain.
#include <stdint.h>
#include <stdio.h>

#include "frame/dialog_controls.h"
#include "frame/dialog_numbers.h"
#include "frame/dialog_skeleton.h"
#include "inversefilter/designer_params.h"
#include "inversefilter/dialog_fields.h"
#include "inversefilter/dialog_ids.h"
#include "inversefilter/settings_store.h"

namespace {

const char* const kAverageTypeNames[] = {"No Average", "Real,Imag", "Mag,Phase", "Cepstrum"};
const char* const kWindowTypeNames[] = {"Linear", "Octaves"};
const int kWindowControls[] = {kWindowGroup, kWindowTypeLabel, kWindowWidthLabel, kWindowTypeList,
                               kWindowWidthEdit};

void enableWindowGroup(HWND dialog, bool on) {
  for (int id : kWindowControls) enable(dialog, id, on);
}

void enableManualGain(HWND dialog, bool on) {
  enable(dialog, kManualGainLabel, on);
  enable(dialog, kManualGainEdit, on);
}

// A stored index outside the list selects its first item, so that OK stores what was shown.
template <size_t N>
void fillList(HWND dialog, int id, const char* const (&names)[N], int32_t chosen) {
  for (const char* name : names) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)name);
  const WPARAM index = chosen >= 0 && chosen < (int32_t)N ? (WPARAM)chosen : 0;
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
}

long long selectionFrames(const XFMINSTANCE* instance) {
  return (long long)instance->selLast - (long long)instance->selFirst + 1;
}

// A stereo waveform offers the three stereo modes; a block from a mono run (Mode 0) or with a
// mode the dialog does not know opens as Dual Mono without cross-talk cancellation.
void showModes(HWND dialog, const XFMINSTANCE* instance, DesignerParams* p) {
  const int modeButtons[] = {kDualMonoButton, kStereoButton, k2x2Button};
  if (instance->channels == 2) {
    for (int id : modeButtons) enable(dialog, id, true);
    enable(dialog, kCrossTalkOnlyBox, false);
    if (p->Mode < kModeDualMono || p->Mode > kMode2x2) {
      p->Mode = kModeDualMono;
      p->CrossTalkOnly = 0;
    }
    CheckDlgButton(dialog, modeButtons[p->Mode - 1], BST_CHECKED);
    if (p->Mode >= kModeStereo) enable(dialog, kCrossTalkOnlyBox, true);
  } else {
    for (int id : modeButtons) enable(dialog, id, false);
    enable(dialog, kCrossTalkOnlyBox, false);
  }
  if (p->CrossTalkOnly != 0) CheckDlgButton(dialog, kCrossTalkOnlyBox, BST_CHECKED);
  if (p->ActiveNoiseControl != 0) CheckDlgButton(dialog, kActiveNoiseControlBox, BST_CHECKED);
}

void initialise(HWND dialog, LPARAM initParam) {
  DialogState state = beginDialog(dialog, initParam, kSettingsStateHolder, true);
  if (state.block == nullptr) return;
  DesignerParams* p = (DesignerParams*)state.block;
  const XFMINSTANCE* instance = state.instance;

  char info[96];
  snprintf(info, sizeof info, "%ld Hz/%s%lld Samples", (long)instance->sampleRate,
           instance->channels == 2 ? "Stereo/" : "Mono/", selectionFrames(instance));
  SetDlgItemTextA(dialog, kSelectionInfo, info);
  showModes(dialog, instance, p);

  fillList(dialog, kAverageTypeList, kAverageTypeNames, p->AverageType);
  fillList(dialog, kWindowTypeList, kWindowTypeNames, p->WindowType);

  showInteger(dialog, kFilterLengthEdit, p->InverseFilterLength);
  showSignificant(dialog, kInBandEdit, p->InBandRegularisation);
  showSignificant(dialog, kOutBandEdit, p->OutBandRegularisation);
  showInteger(dialog, kLowerCutEdit, p->LowerCutHz);
  showInteger(dialog, kHigherCutEdit, p->HigherCutHz);
  showSignificant(dialog, kTransitionEdit, p->TransitionOctaves);
  showSignificant(dialog, kWindowWidthEdit, p->WindowWidth);
  if (p->AverageType > kAverageNone) enableWindowGroup(dialog, true);

  showSignificant(dialog, kManualGainEdit, p->GainDb);
  CheckDlgButton(dialog, kAutorangeBox, p->Autorange != 0 ? BST_CHECKED : BST_UNCHECKED);
  enableManualGain(dialog, p->Autorange == 0);
  autoConfirm(dialog, instance);
}

// A filter shorter than the selected response cannot invert it: the dialog stays open.
bool filterLengthAccepted(HWND dialog, const XFMINSTANCE* instance) {
  if ((long long)readIntegerEdit(dialog, kFilterLengthEdit, kEditCharacters) >=
      selectionFrames(instance))
    return true;
  MessageBeep(MB_ICONQUESTION);
  MessageBoxA(dialog, "Warning:\nlength of Inverse Filter is less than length of IR", "Error",
              MB_OK | MB_ICONERROR);
  return false;
}

// OK stores only a length the selection fits in; a shorter one keeps the dialog open.
bool accept(HWND dialog, const DialogState& state) {
  if (!filterLengthAccepted(dialog, state.instance)) return false;
  storeSettings(dialog, state);
  return true;
}

const StandardButtons kButtons = {kHelpButton, kHelpKeyword, accept};

void command(HWND dialog, int id) {
  DialogState state = readDialogState(dialog, kSettingsStateHolder);
  if (state.block == nullptr || standardCommand(dialog, state, id, kButtons)) return;
  switch (id) {
    // Cross-talk cancellation needs the 2x2 inversion of the Stereo and 2x2 modes.
    case kDualMonoButton:
      enable(dialog, kCrossTalkOnlyBox, !checked(dialog, kDualMonoButton));
      break;
    case kStereoButton:
    case k2x2Button:
      enable(dialog, kCrossTalkOnlyBox, checked(dialog, id));
      break;
    case kAverageTypeList: {
      // Any notification: the window settings matter only when there is an average.
      LRESULT chosen = SendDlgItemMessageA(dialog, kAverageTypeList, CB_GETCURSEL, 0, 0);
      enableWindowGroup(dialog, chosen != 0);
      break;
    }
    case kAutorangeBox:
      enableManualGain(dialog, !checked(dialog, kAutorangeBox));
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" INT_PTR CALLBACK DIALOGMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const DialogHandlers handlers = {IDCANCEL, initialise, command};
  return dispatchDialogMessage(handlers, dialog, message, wParam, lParam);
}
