// Where the labels of a display's graph go, with no drawing library behind it: the painter
// measures, these rules place, so that the pictures and the screen show the same labels.
//   - the y axis label (the unit the plug-in gave) at the top left;
//   - the tick labels inside the plot along its bottom (x, centred on their lines) and left
//     (y, centred on their rows) edges;
//   - the x axis label at the bottom right, on the tick labels' line where it meets none of
//     them, else on the line above, so that it never takes the place of the last tick label;
//   - each on a box of the background colour; a label is left out where its box would leave
//     the picture or come near a label placed before it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/pictures/graph_layout.h"

namespace orvane {

// The box a label covers, px, edges included.
struct GraphLabelBox {
  double left, top, right, bottom;
};
// A label is drawn only where its box stays a pixel inside a graph `width` x `height` px and
// keeps 2 px across and 1 px up and down from every label already placed.
bool graphLabelFits(const GraphLabelBox& box, const std::vector<GraphLabelBox>& placed, int width,
                    int height);

// How a painter's font sets text, px.
struct GraphLabelFont {
  std::function<double(const std::string&)> width;  // a text's advance
  double above = 0;        // how far a label's box reaches above its baseline
  double below = 0;        // and below it
  double digitHeight = 0;  // a digit's height above the baseline
};

struct GraphLabel {
  std::string text;
  double x = 0;         // the text's left end
  double baseline = 0;  // its baseline
  GraphLabelBox box{};  // x - 1 ... x + width + 1 across, baseline -/+ above/below
  // A legend's line: the curve's colour (COLORREF), drawn kGraphLegendLine px long, 2 px
  // thick, ending kGraphLegendGap px before the text, on the text's middle; -1 for none. The
  // box reaches over it.
  long swatch = -1;
};
constexpr double kGraphLegendLine = 12;  // px
constexpr double kGraphLegendGap = 3;    // px

// One curve of a legend.
struct GraphLegendItem {
  long colour;  // COLORREF
  std::string name;
};

// The labels of a graph `width` x `height` px, in the order they are placed: the y axis label
// of `targets`, the note (when not empty: at the top right, or a line lower where the top line
// is taken), the legend's lines, the x ticks given, the x axis label, and the y ticks at the
// multiples of `yStep` in `yAxis`.
std::vector<GraphLabel> graphLabels(const DisplayTargets& targets, GraphYRange yAxis, double yStep,
                                    const std::vector<GraphXTick>& xTicks, int width, int height,
                                    const GraphLabelFont& font, const std::string& note = {},
                                    const std::vector<GraphLegendItem>& legend = {});

}  // namespace orvane
