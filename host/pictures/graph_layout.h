// Where the parts of a display's graph go, with no drawing library behind it: which target
// each setting comes from, the defaults, the rows and columns of values, grid lines and the
// texts of tick labels (where labels go: graph_labels.h), all as pictures.h lays a graph out. The
// Linux host draws its pictures by these rules (picture_display.cpp) and the Windows display
// control paints by them (display_paint_win32.cpp), so that what a person sees on the screen is the
// graph in the pictures.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/pictures/display.h"

namespace orvane {

using DisplayTargets = std::array<DisplaySettings, 3>;                   // graph, curve 1, curve 2
using CurveColumns = std::map<int, std::vector<std::optional<double>>>;  // curve -> per column

// Colours when the plug-in set none, as Win32 COLORREF values (0x00BBGGRR).
constexpr long kGraphDefaultBackground = 0xFFFFFF;  // white
constexpr long kGraphDefaultGrid = 0xC0C0C0;
constexpr long kGraphDefaultCurve1 = 0x000000;  // black
constexpr long kGraphDefaultCurve2 = 0x0000FF;  // red
constexpr long kGraphFrame = 0x000000;          // the 1-pixel frame and the labels' text
constexpr long kGraphFrameOnDark = 0xFFFFFF;    // the same on a dark background

// The view mode (DISPLAY_SET attribute 1) of the frequency view, drawn on a log frequency axis.
constexpr long kFrequencyViewMode = 2;

// The y values at the top row and the bottom row of a graph.
struct GraphYRange {
  double top;
  double bottom;
};

// Settings of the whole graph: target 0's, else curve 1's, else curve 2's; the colours as
// COLORREF with the defaults above.
long graphBackground(const DisplayTargets& targets);
long graphGridColour(const DisplayTargets& targets);
// The colour of the frame and the labels: black, or white on a dark background.
long graphInk(const DisplayTargets& targets);
std::optional<double> graphXLeft(const DisplayTargets& targets);
std::optional<double> graphXRight(const DisplayTargets& targets);
std::optional<std::string> graphXLabel(const DisplayTargets& targets);
std::optional<std::string> graphYLabel(const DisplayTargets& targets);
// The settings a display's graph is drawn with: its own, and on an axis none of its targets
// labels, the label it inherited from the display it replaced (set on the whole graph).
DisplayTargets graphTargets(const DisplayTargets& own, const AxisLabels& inherited);
// A curve's own colour (1 or 2), else its default.
long graphCurveColour(const DisplayTargets& targets, int curve);
// A curve's y range: its own top and bottom, else the whole graph's, else the other curve's,
// else the range of all finite values in `columns` widened by 5 % each way (one unit each way
// when they are all equal, 1 ... 0 when there are none). A range of no height or with a
// non-finite end becomes top + 1 ... top - 1. The y axis (grid rows, tick labels) is curve 1's.
GraphYRange graphYRange(const DisplayTargets& targets, const CurveColumns& columns, int curve);

// Row of value v in a graph `height` px high, fractional, 0 at the top: top on row 0, bottom
// on row height - 1. Kept within -2 ... 3 heights so that far-off values still give lines
// leaving the graph. A value is drawn on pixel row floor(row + 0.5).
double graphRow(double v, GraphYRange range, int height);
// Column of abscissa x in a graph `width` px wide: left on column 0, right on width - 1.
double graphColumn(double x, double left, double right, int width);

// The x axis of a graph `width` px wide: linear from left to right, or, in the frequency view
// (view mode 2 of the whole graph, else of curve 1) with both ends above 0, logarithmic, so
// that every octave of frequency takes the same width.
struct GraphXAxis {
  double left = 0, right = 0;  // the abscissae at column 0 and column width - 1
  int width = 0;
  bool logarithmic = false;
};
std::optional<GraphXAxis> graphXAxis(const DisplayTargets& targets, int width);
// The abscissa sampled at pixel column k: evenly spaced in x, or in log x on a log axis.
double graphXAt(const GraphXAxis& axis, int k);
// The fractional column of abscissa x (the inverse of graphXAt).
double graphXColumn(const GraphXAxis& axis, double x);

// A vertical grid line of the x axis and its label (empty: the line alone).
struct GraphXTick {
  double value;
  double column;  // fractional; painters round it to a pixel
  std::string label;
};
// Linear: the multiples of graphGridStep(span, width - 1, minGap), labelled by graphTickText.
// Logarithmic: a line at every decade (10, 100, 1k, ...) and at every octave of 1 kHz (125, 250,
// 500, 1k, 2k, ...), labelled with their usual names ("31.5", "63", "125", "1k", "16k"); the
// decades come first, so that their labels win where labels would crowd.
std::vector<GraphXTick> graphXTicks(const GraphXAxis& axis, double minGap);

// Grid step: the smallest 1, 2 or 5 x 10^n that keeps lines `minGap` px apart when `span`
// (units) covers `pixels` px; 0 when there is nothing to divide.
double graphGridStep(double span, double pixels, double minGap);
// The multiples of `step` from min(a, b) to max(a, b), ascending; none for a step of 0 or
// when there would be more than a thousand.
std::vector<double> graphGridValues(double a, double b, double step);
// A tick label: as many decimals as the step needs, and no "-0".
std::string graphTickText(double v, double step);

}  // namespace orvane
