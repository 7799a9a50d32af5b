// The settings dialog (resource 100): FFT size, window, processing function, probe constants,
// following filter, output options and trigger level.
#include "crossanalyser/analyser_params.h"
#include "crossanalyser/dialog_ids.h"
#include "frame/dialog_controls.h"
#include "frame/dialog_numbers.h"
#include "frame/dialog_skeleton.h"

#include <stdio.h>

namespace {

// At most 9 characters of each edit are read.
constexpr int kEditCharacters = 9;

const char* const kFftSizes[] = {"256",   "512",   "1024",   "2048",   "4096",   "8192",   "16384",
                                 "32768", "65536", "131072", "262144", "524288", "1048576"};
const char* const kWindowNames[] = {"RECT",     "HANNING",    "BLACKMAN",
                                    "FLAT-TOP", "TRIANGULAR", "HALF-SINE"};

// The function radio buttons in the order OK reads them, with the code each one stands for.
const struct {
  int id;
  int function;
} kFunctionRadios[] = {
    {kRadioCrossCorrelation, kFnCrossCorrelation},
    {kRadioTransferH1, kFnTransferH1},
    {kRadioTransferH2, kFnTransferH2},
    {kRadioTransferH3, kFnTransferH3},
    {kRadioAutoCorrelations, kFnAutoCorrelations},
    {kRadioWhiteCross, kFnWhiteCrossCorrelation},
    {kRadioTubeCalibration, kFnTubeCalibration},
    {kRadioAbsorption, kFnAbsorption},
    {kRadioFreeField, kFnFreeFieldCalibration},
    {kRadioCrossPowerPhase, kFnCrossPowerPhase},
};

// The controls that belong to the following filter.
const int kFollowControls[] = {kBandwidthEdit, kFollowLeftRadio, kFollowRightRadio,
                               kBandwidthLabel};

void enableFollowControls(HWND dialog, bool on) {
  for (int id : kFollowControls) enable(dialog, id, on);
}

void fillList(HWND dialog, int id, const char* const* items, int count, int selected) {
  for (int i = 0; i < count; ++i)
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)items[i]);
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)selected, 0);
}

void showNumber(HWND dialog, int id, const char* format, double value) {
  char text[40];
  snprintf(text, sizeof text, format, value);
  SetDlgItemTextA(dialog, id, text);
}

void initialise(HWND dialog, LPARAM initParam) {
  DialogState state = beginDialog(dialog, initParam, kSettingsStateHolder, true);
  if (state.block == nullptr) return;
  const AnalyserParams* p = (const AnalyserParams*)state.block;
  // The list shows the size the run will use, also for an index from outside the list.
  fillList(dialog, kFftSizeList, kFftSizes, kMaxFftSizeIndex + 1,
           ValidFftSizeIndex(p->FftSizeIndex));
  fillList(dialog, kWindowList, kWindowNames, 6, p->WindowShape);

  check(dialog, kNormalizeBox, p->Normalize != 0);
  check(dialog, kShiftHalfBox, p->ShiftHalf != 0);
  check(dialog, kTimeReversalBox, p->TimeReversal != 0);
  check(dialog, kCoherenceWeightingBox, p->CoherenceWeighting != 0);
  check(dialog, kSquaredHilbertBox, p->SquaredHilbert != 0);
  check(dialog, kMultiSpectrumBox, p->SaveMultiSpectrum != 0);
  for (const auto& radio : kFunctionRadios)
    if (radio.function == p->ProcessingFunction) check(dialog, radio.id, true);

  switch (p->FollowMode) {
    case kFollowOff:
      check(dialog, kFollowBox, false);
      enableFollowControls(dialog, false);
      break;
    case kFollowLeft:
      check(dialog, kFollowBox, true);
      enableFollowControls(dialog, true);
      check(dialog, kFollowLeftRadio, true);
      break;
    case kFollowRight:
      check(dialog, kFollowBox, true);
      enableFollowControls(dialog, true);
      check(dialog, kFollowRightRadio, true);
      break;
    default:
      break;
  }
  showNumber(dialog, kBandwidthEdit, "%.2f", p->BandwidthOctaves);
  showNumber(dialog, kSoundSpeedEdit, "%.1f", p->SoundSpeed);
  showNumber(dialog, kProbeDistanceEdit, "%.1f", p->ProbeDistance);
  showNumber(dialog, kMaxFrequencyEdit, "%.1f", p->MaxFrequency);
  char trigger[16];
  snprintf(trigger, sizeof trigger, "%i", (int)p->TriggerLevel);
  SetDlgItemTextA(dialog, kTriggerLevelEdit, trigger);
  autoConfirm(dialog, state.instance);
}

void store(HWND dialog, AnalyserParams* p) {
  p->FftSizeIndex = (int32_t)SendDlgItemMessageA(dialog, kFftSizeList, CB_GETCURSEL, 0, 0);
  p->WindowShape = (int16_t)SendDlgItemMessageA(dialog, kWindowList, CB_GETCURSEL, 0, 0);
  p->Normalize = checked(dialog, kNormalizeBox) ? 1 : 0;
  p->ShiftHalf = checked(dialog, kShiftHalfBox) ? 1 : 0;
  p->SaveMultiSpectrum = checked(dialog, kMultiSpectrumBox) ? 1 : 0;
  p->TimeReversal = checked(dialog, kTimeReversalBox) ? 1 : 0;
  p->CoherenceWeighting = checked(dialog, kCoherenceWeightingBox) ? 1 : 0;
  p->SquaredHilbert = checked(dialog, kSquaredHilbertBox) ? 1 : 0;
  // Tested in order, so that the last checked button wins; none checked keeps the field.
  for (const auto& radio : kFunctionRadios)
    if (checked(dialog, radio.id)) p->ProcessingFunction = (int16_t)radio.function;
  if (!checked(dialog, kFollowBox))
    p->FollowMode = kFollowOff;
  else
    p->FollowMode = checked(dialog, kFollowLeftRadio) ? kFollowLeft : kFollowRight;
  p->BandwidthOctaves = readFloatEdit(dialog, kBandwidthEdit, kEditCharacters);
  p->SoundSpeed = readFloatEdit(dialog, kSoundSpeedEdit, kEditCharacters);
  p->ProbeDistance = readFloatEdit(dialog, kProbeDistanceEdit, kEditCharacters);
  p->MaxFrequency = readFloatEdit(dialog, kMaxFrequencyEdit, kEditCharacters);
  p->TriggerLevel = (int16_t)readIntegerEdit(dialog, kTriggerLevelEdit, kEditCharacters);
}

bool accept(HWND dialog, const DialogState& state) {
  store(dialog, (AnalyserParams*)state.block);
  return true;
}

const StandardButtons kButtons = {kHelpButton, kHelpKeyword, accept};

void command(HWND dialog, int id) {
  DialogState state = readDialogState(dialog, kSettingsStateHolder);
  if (state.block == nullptr || standardCommand(dialog, state, id, kButtons)) return;
  switch (id) {
    case kRadioCrossCorrelation:
    case kRadioTransferH1:
    case kRadioTransferH2:
    case kRadioTransferH3:
    case kRadioWhiteCross:
      enable(dialog, kCoherenceWeightingBox, true);
      break;
    case kRadioAutoCorrelations:
      enable(dialog, kCoherenceWeightingBox, false);
      break;
    case kFollowBox:
      if (checked(dialog, kFollowBox)) {
        enableFollowControls(dialog, true);
        if (!checked(dialog, kFollowRightRadio)) check(dialog, kFollowLeftRadio, true);
      } else {
        enableFollowControls(dialog, false);
      }
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
