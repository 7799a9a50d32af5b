// The settings dialog (resource 100): a weighting per channel and the calibration values.
#include "frame/dialog_controls.h"
#include "frame/dialog_numbers.h"
#include "frame/dialog_skeleton.h"
#include "levelmeter/dialog_ids.h"
#include "levelmeter/meter_params.h"

#include <stdio.h>

namespace {

// At most 39 characters of each edit are read.
constexpr int kEditCharacters = 39;

const int kLeftBoxes[3] = {kLeftItu, kLeftIec, kLeftIso};
const int kRightBoxes[3] = {kRightItu, kRightIec, kRightIso};
const char kBoxCodes[3] = {kFilterItuBandPass, kFilterAWeighting, kFilterWholeBody};

void checkFilterBox(HWND dialog, const int boxes[3], char code) {
  for (int i = 0; i < 3; ++i)
    if (code == kBoxCodes[i]) CheckDlgButton(dialog, boxes[i], BST_CHECKED);
}

// The three boxes of a column act as a group in which at most one is checked.
void keepOneChecked(HWND dialog, const int boxes[3], int clicked) {
  if (!checked(dialog, clicked)) return;
  for (int i = 0; i < 3; ++i)
    if (boxes[i] != clicked) CheckDlgButton(dialog, boxes[i], BST_UNCHECKED);
}

// Tested in box order, so that the last checked box wins.
char readFilterCode(HWND dialog, const int boxes[3]) {
  char code = kFilterWideBand;
  for (int i = 0; i < 3; ++i)
    if (checked(dialog, boxes[i])) code = kBoxCodes[i];
  return code;
}

void showValues(HWND dialog, float left, float right) {
  char text[40];
  snprintf(text, sizeof text, "%.2f", left);
  SetDlgItemTextA(dialog, kLeftValue, text);
  snprintf(text, sizeof text, "%.2f", right);
  SetDlgItemTextA(dialog, kRightValue, text);
}

void initialise(HWND dialog, LPARAM initParam) {
  DialogState state = beginDialog(dialog, initParam, kStateHolder, true);
  if (state.block == nullptr) return;
  MeterParams* p = (MeterParams*)state.block;
  checkFilterBox(dialog, kLeftBoxes, p->filterLeft);
  checkFilterBox(dialog, kRightBoxes, p->filterRight);
  // The dialog always opens in the full-scale view, whatever mode the last run used.
  CheckDlgButton(dialog, kFullScaleRadio, BST_CHECKED);
  p->calMode = kCalFullScale;
  showValues(dialog, p->fullScaleLeft, p->fullScaleRight);
  if (state.instance->channels == 1) {
    const int rightColumn[] = {kLeftHeading, kRightHeading, kRightValue,    kRightItu,
                               kRightIec,    kRightIso,     kRightColumnBox};
    for (int id : rightColumn) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
  }
  autoConfirm(dialog, state.instance);
}

void store(HWND dialog, const DialogState& state) {
  MeterParams* p = (MeterParams*)state.block;
  p->filterLeft = readFilterCode(dialog, kLeftBoxes);
  p->filterRight = readFilterCode(dialog, kRightBoxes);
  bool leqMode = checked(dialog, kLeqRadio);
  p->calMode = leqMode ? kCalLeq : kCalFullScale;
  float left = readFloatEdit(dialog, kLeftValue, kEditCharacters);
  if (leqMode)
    p->leqCalLeft = left;
  else
    p->fullScaleLeft = left;
  // In a mono run the right value is hidden and never read.
  if (state.instance->channels == 2) {
    float right = readFloatEdit(dialog, kRightValue, kEditCharacters);
    if (leqMode)
      p->leqCalRight = right;
    else
      p->fullScaleRight = right;
  }
}

bool accept(HWND dialog, const DialogState& state) {
  store(dialog, state);
  return true;
}

const StandardButtons kButtons = {kHelpButton, kHelpKeyword, accept};

void command(HWND dialog, int id) {
  DialogState state = readDialogState(dialog, kStateHolder);
  if (state.block == nullptr || standardCommand(dialog, state, id, kButtons)) return;
  MeterParams* p = (MeterParams*)state.block;
  switch (id) {
    case kLeftItu:
    case kLeftIec:
    case kLeftIso:
      keepOneChecked(dialog, kLeftBoxes, id);
      break;
    case kRightItu:
    case kRightIec:
    case kRightIso:
      keepOneChecked(dialog, kRightBoxes, id);
      break;
    case kFullScaleRadio:
      showValues(dialog, p->fullScaleLeft, p->fullScaleRight);
      break;
    case kLeqRadio:
      showValues(dialog, p->leqCalLeft, p->leqCalRight);
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
