// A display's graph as its pictures draw it for a person.
#include <algorithm>
#include <cmath>

#include "host/pictures/graph_layout.h"
#include "host/pictures/pictures.h"

namespace orvane {

namespace {

constexpr const char* kChannelNames[] = {"Left", "Right"};  // curves 1 and 2

bool drawn(const std::vector<std::optional<double>>& values) {
  for (const auto& v : values)
    if (v && std::isfinite(*v)) return true;
  return false;
}

}  // namespace

GraphSource readableGraph(GraphSource g, const DisplayNames& names) {
  if (!names.xUnit.empty()) g.targets[0].xLabel = names.xUnit;
  if (!names.yUnit.empty()) g.targets[0].yLabel = names.yUnit;
  std::vector<GraphLegendItem> legend;
  for (const auto& [curve, values] : g.curves) {
    if (curve < 1 || curve > 2 || !drawn(values)) continue;
    const long colour = graphCurveColour(g.targets, curve);
    std::string name = kChannelNames[curve - 1];
    for (const DisplayNames::Curve& c : names.curves)
      if (c.curve == curve && (c.colour & 0xFFFFFF) == (colour & 0xFFFFFF)) name = c.name;
    legend.push_back({colour, name});
  }
  if (legend.size() > 1) g.legend = legend;
  // A peak on the top row is lost in the frame. Curves drawn on one range keep one range.
  GraphYRange ranges[3];
  double tops[3] = {0, 0, 0};
  for (int curve : {1, 2}) {
    ranges[curve] = graphYRange(g.targets, g.curves, curve);
    tops[curve] = ranges[curve].top;
    const auto values = g.curves.find(curve);
    if (values == g.curves.end() || g.height < 2) continue;
    const double span = ranges[curve].top - ranges[curve].bottom;
    double largest = -INFINITY;
    for (const auto& v : values->second)
      if (v && std::isfinite(*v)) largest = std::max(largest, *v);
    if (largest > ranges[curve].top - span / (g.height - 1))
      tops[curve] = std::max(largest, ranges[curve].top) + kGraphPeakRoom * span;
  }
  const bool shared = ranges[1].top == ranges[2].top && ranges[1].bottom == ranges[2].bottom;
  for (int curve : {1, 2}) {
    const double top = shared ? std::max(tops[1], tops[2]) : tops[curve];
    if (top == ranges[curve].top) continue;
    g.targets[curve].yTop = top;
    g.targets[curve].yBottom = ranges[curve].bottom;
  }
  return g;
}

}  // namespace orvane
