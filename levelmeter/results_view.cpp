// Filling the result fields of the results dialog.
#include "levelmeter/dialog_ids.h"
#include "levelmeter/result_fields.h"
#include "levelmeter/results_dialog.h"
#include "levelmeter/results_values.h"

#include <stdio.h>
#include <string.h>

namespace {

void setNumber(HWND dialog, int id, const char* format, double value) {
  char text[64];
  snprintf(text, sizeof text, format, value);
  SetDlgItemTextA(dialog, id, text);
}

void showColumn(HWND dialog, const ResultColumn& c, const ResultSummary& s) {
  if (c.fullScale != 0) setNumber(dialog, c.fullScale, "%.2f", s.fullScale);
  setNumber(dialog, c.leq, "%.2f", s.leq);
  setNumber(dialog, c.sel, "%.2f", s.sel);
  setNumber(dialog, c.duration, "%.2f", s.duration);
  setNumber(dialog, c.active, "%.2f", s.activeLevel);
  setNumber(dialog, c.threshold, "%.2f", s.thresholdLevel);
  setNumber(dialog, c.activity, "%.1f", s.activityPercent);
  setNumber(dialog, c.maxPeak, "%.2f", s.maxPeak);
  setNumber(dialog, c.maxImpulse, "%.2f", s.maxImpulse);
  setNumber(dialog, c.maxFast, "%.2f", s.maxFast);
  setNumber(dialog, c.maxSlow, "%.2f", s.maxSlow);
  setNumber(dialog, c.eventDuration, "%.3f", s.eventDuration);
  SetDlgItemTextA(dialog, c.impulsive, s.impulsive ? kImpulsiveYes : kImpulsiveNo);
}

void clearColumn(HWND dialog, const ResultColumn& c) {
  const int ids[] = {c.leq,     c.sel,        c.duration, c.active,  c.threshold,     c.activity,
                     c.maxPeak, c.maxImpulse, c.maxFast,  c.maxSlow, c.eventDuration, c.impulsive};
  for (int id : ids) SetDlgItemTextA(dialog, id, kNotShown);
}

int curveButton(char letter) {
  switch (letter) {
    case '3':
      return kCurveItu;
    case 'F':
      return kCurveFast;
    case 'S':
      return kCurveSlow;
    case 'I':
      return kCurveImpulse;
    default:
      return kCurveRms;
  }
}

}  // namespace

int historyOfCurve(char curveLetter) {
  switch (curveLetter) {
    case '3':
      return kHistItu;
    case 'F':
      return kHistFast;
    case 'S':
      return kHistSlow;
    case 'I':
      return kHistImpulse;
    default:
      return kHistRms;
  }
}

void showResults(HWND dialog, const MeterParams* p) {
  char weighting[80];
  snprintf(weighting, sizeof weighting, "%s", filterName(p->filterLeft));
  showColumn(dialog, kLeftColumn, channelSummary(p, p->left, p->fullScaleLeft));
  if (p->runChannels == 2) {
    showColumn(dialog, kRightColumn, channelSummary(p, p->right, p->fullScaleRight));
    size_t used = strlen(weighting);
    snprintf(weighting + used, sizeof weighting - used, " | %s", filterName(p->filterRight));
    if (p->averageColumn != 0) {
      CheckDlgButton(dialog, kAverageBox, BST_CHECKED);
      showColumn(dialog, kAverageColumn, averageSummary(p));
    } else {
      CheckDlgButton(dialog, kAverageBox, BST_UNCHECKED);
      clearColumn(dialog, kAverageColumn);
    }
  }
  CheckRadioButton(dialog, kCurveRms, kCurveImpulse, curveButton(p->displayCurve));
  SetDlgItemTextA(dialog, kWeightingName, weighting);
}
