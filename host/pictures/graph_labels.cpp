#include "host/pictures/graph_labels.h"

#include <algorithm>
#include <cmath>

namespace orvane {

bool graphLabelFits(const GraphLabelBox& box, const std::vector<GraphLabelBox>& placed, int width,
                    int height) {
  if (box.left < 1 || box.top < 1 || box.right > width - 1 || box.bottom > height - 1) return false;
  for (const GraphLabelBox& o : placed) {
    if (box.left < o.right + 2 && o.left < box.right + 2 && box.top < o.bottom + 1 &&
        o.top < box.bottom + 1) {
      return false;
    }
  }
  return true;
}

namespace {

class Placement {
 public:
  Placement(int width, int height, const GraphLabelFont& font)
      : width_(width), height_(height), font_(font) {}

  double width(const std::string& text) const { return font_.width(text); }

  bool place(const std::string& text, double x, double baseline, long swatch = -1) {
    const double lead = swatch >= 0 ? kGraphLegendLine + kGraphLegendGap : 0;
    GraphLabel label{
        text,
        x,
        baseline,
        {x - 1 - lead, baseline - font_.above, x + width(text) + 1, baseline + font_.below},
        swatch};
    if (!graphLabelFits(label.box, boxes_, width_, height_)) return false;
    boxes_.push_back(label.box);
    labels_.push_back(std::move(label));
    return true;
  }

  std::vector<GraphLabel> take() { return std::move(labels_); }

 private:
  int width_, height_;
  const GraphLabelFont& font_;
  std::vector<GraphLabelBox> boxes_;
  std::vector<GraphLabel> labels_;
};

}  // namespace

std::vector<GraphLabel> graphLabels(const DisplayTargets& targets, GraphYRange yAxis, double yStep,
                                    const std::vector<GraphXTick>& xTicks, int width, int height,
                                    const GraphLabelFont& font, const std::string& note,
                                    const std::vector<GraphLegendItem>& legend) {
  Placement labels(width, height, font);
  if (auto y = graphYLabel(targets)) labels.place(*y, 4, 3 + font.above);
  const double top = 3 + font.above, line = font.above + font.below + 1;
  if (!note.empty()) {
    const double left = width - 4 - labels.width(note);
    if (!labels.place(note, left, top)) labels.place(note, left, top + line);
  }
  // Each curve on the first line free of the labels above, right-aligned.
  double baseline = top;
  for (const GraphLegendItem& item : legend) {
    const double left = width - 4 - labels.width(item.name);
    while (baseline + font.below < height / 2.0 &&
           !labels.place(item.name, left, baseline, item.colour))
      baseline += line;
    baseline += line;
  }

  const double tickBaseline = height - 4;
  for (const GraphXTick& tick : xTicks) {
    const double w = labels.width(tick.label);
    const double centre = std::floor(tick.column + 0.5) + 0.5;
    labels.place(tick.label, std::max(3.0, std::min(centre - w / 2, width - 3.0 - w)),
                 tickBaseline);
  }
  // After the ticks: the last of them keeps its place, the axis label moves up a line.
  if (auto x = graphXLabel(targets)) {
    const double left = width - 4 - labels.width(*x);
    if (!labels.place(*x, left, tickBaseline)) {
      labels.place(*x, left, tickBaseline - font.above - font.below - 1);
    }
  }

  for (double v : graphGridValues(yAxis.top, yAxis.bottom, yStep)) {
    const double centre = std::floor(graphRow(v, yAxis, height) + 0.5) + 0.5;
    labels.place(graphTickText(v, yStep), 4, centre + font.digitHeight / 2);
  }
  return labels.take();
}

}  // namespace orvane
