// Where a graph's labels go: the axis labels beside the tick labels, none hiding another.
#include "host/pictures/graph_labels.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/pictures/pictures.h"

using namespace orvane;

namespace {

// A font of 6 px per character, its boxes 8 px above and 2 px below the baseline.
GraphLabelFont evenFont() {
  GraphLabelFont f;
  f.width = [](const std::string& text) { return 6.0 * static_cast<double>(text.size()); };
  f.above = 8;
  f.below = 2;
  f.digitHeight = 7;
  return f;
}

bool overlap(const GraphLabelBox& a, const GraphLabelBox& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The labels of a graph W x H with these settings, laid out as the painters lay them out.
std::vector<GraphLabel> labelsOf(const DisplayTargets& t, int width, int height) {
  const GraphYRange y = graphYRange(t, {}, 1);
  const double yStep = graphGridStep(y.top - y.bottom, height - 1, kGraphMinGridRows);
  std::vector<GraphXTick> xTicks = graphXTicks(*graphXAxis(t, width), kGraphMinGridColumns);
  return graphLabels(t, y, yStep, xTicks, width, height, evenFont());
}

const GraphLabel* find(const std::vector<GraphLabel>& labels, const std::string& text) {
  auto it = std::find_if(labels.begin(), labels.end(),
                         [&](const GraphLabel& l) { return l.text == text; });
  return it == labels.end() ? nullptr : &*it;
}

// crossanalyser's frequency view: 20 Hz ... 24 kHz on a log axis, -80 ... 80, 408 x 367 px.
DisplayTargets frequencyView() {
  DisplayTargets t;
  t[0].xLabel = "f[Hz]";
  t[1].viewMode = kFrequencyViewMode;
  t[1].xLeft = 20.0;
  t[1].xRight = 24000.0;
  t[1].yTop = 80.0;
  t[1].yBottom = -80.0;
  return t;
}

}  // namespace

TEST(GraphLabels, TheXLabelLeavesEveryTickLabelItsPlace) {
  DisplayTargets t = frequencyView();
  const std::vector<GraphLabel> labels = labelsOf(t, 408, 367);
  const GraphLabel* axis = find(labels, "f[Hz]");
  ASSERT_NE(axis, nullptr);
  // The last tick label stands, and no tick label that fits on its own is dropped for the
  // axis label.
  const std::vector<GraphXTick> ticks = graphXTicks(*graphXAxis(t, 408), kGraphMinGridColumns);
  ASSERT_EQ(ticks.back().label, "16k");
  ASSERT_NE(find(labels, "16k"), nullptr);
  t[0].xLabel.reset();
  const std::vector<GraphLabel> withoutAxis = labelsOf(t, 408, 367);
  for (const GraphXTick& tick : ticks) {
    EXPECT_EQ(find(labels, tick.label) != nullptr, find(withoutAxis, tick.label) != nullptr)
        << tick.label;
  }
  for (const GraphLabel& l : labels) {
    if (&l != axis) {
      EXPECT_FALSE(overlap(axis->box, l.box)) << l.text;
    }
  }
}

TEST(GraphLabels, TheYAxisCarriesTheUnitThePluginGaveAndNoOther) {
  DisplayTargets t = frequencyView();
  t[2].yLabel = "dB";  // given to a curve only
  std::vector<GraphLabel> labels = labelsOf(t, 408, 367);
  const GraphLabel* unit = find(labels, "dB");
  ASSERT_NE(unit, nullptr);
  EXPECT_LT(unit->box.left, 10);  // top left, above the y tick labels
  for (const GraphLabel& l : labels) {
    if (&l != unit && l.box.left < 10) {
      EXPECT_GT(l.box.top, unit->box.bottom) << l.text;
    }
  }
  // Without a unit from the plug-in, none is drawn.
  t[2].yLabel.reset();
  for (const GraphLabel& l : labelsOf(t, 408, 367)) EXPECT_NE(l.text, "dB");
}
