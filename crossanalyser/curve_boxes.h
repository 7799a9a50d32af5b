// The curve check boxes of crossanalyser's results dialog (107): for each of the display's two
// curves, the boxes that choose what it shows, with the selection (LeftCurve, RightCurve), the
// colour it is drawn in and the box's text.
#pragma once

#include "crossanalyser/dialog_ids.h"
#include "frame/xfm.h"

struct CurveBox {
  int id;
  int selection;
  COLORREF colour;
  const char* name;  // as the box reads
};
constexpr CurveBox kFirstCurveBoxes[] = {{kCurveLeft, 1, 0x00FF00, "Left"},
                                         {kCurveMagnitude, 2, 0xFFFF00, "Magnitude"},
                                         {kCurveReal, 3, 0xFFFFFF, "Real"},
                                         {kCurveAlpha, 4, 0xFF00FF, "Alpha"}};
constexpr CurveBox kSecondCurveBoxes[] = {{kCurveRight, 1, 0x0000FF, "Right"},
                                          {kCurvePhase, 2, 0x800080, "Phase"},
                                          {kCurveImag, 3, 0x808080, "Imag"},
                                          {kCurveCoherence, 4, 0x00FFFF, "Coherence"}};
