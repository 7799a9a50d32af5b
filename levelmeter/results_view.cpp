// Filling the result fields of the results dialog.
#include "levelmeter/dialog_ids.h"
#include "levelmeter/results_dialog.h"
#include "levelmeter/results_values.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kNotShown[] = "- - -";

// The control ids of one column of the result rows.
struct ResultColumn {
  int fullScale, leq, sel, duration, active, threshold, activity, maxPeak, maxImpulse, maxFast,
      maxSlow, eventDuration, impulsive;
};
const ResultColumn kLeftColumn = {1233, 1234, 1247, 1248, 1235, 1236, 1237,
                                  1243, 1238, 1239, 1240, 1241, 1242};
const ResultColumn kRightColumn = {1253, 1254, 1249, 1250, 1255, 1256, 1257,
                                   1245, 1258, 1259, 1260, 1261, 1262};
// The average column has no full-scale field of its own (1263 keeps its template text).
const ResultColumn kAverageColumn = {0,    1264, 1251, 1252, 1270, 1271, 1272,
                                     1246, 1273, 1274, 1275, 1276, 1277};

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
  SetDlgItemTextA(dialog, c.impulsive, s.impulsive ? "yes" : "no");
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
