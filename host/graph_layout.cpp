#include "host/graph_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvane {

namespace {

// A setting of the whole graph, else of curve 1, else of curve 2.
template <typename T>
std::optional<T> graphSetting(const DisplayTargets& targets,
                              std::optional<T> DisplaySettings::*field) {
  for (const DisplaySettings& s : targets) {
    if (s.*field) return s.*field;
  }
  return std::nullopt;
}

// A curve's own setting, else the whole graph's, else the other curve's.
template <typename T>
std::optional<T> curveSetting(const DisplayTargets& targets, int curve,
                              std::optional<T> DisplaySettings::*field) {
  const int order[3] = {curve, 0, curve == 1 ? 2 : 1};
  for (int target : order) {
    if (targets[target].*field) return targets[target].*field;
  }
  return std::nullopt;
}

GraphYRange valueRange(const CurveColumns& columns) {
  double lo = INFINITY, hi = -INFINITY;
  for (const auto& [curve, values] : columns) {
    for (const auto& v : values) {
      if (v && std::isfinite(*v)) {
        lo = std::min(lo, *v);
        hi = std::max(hi, *v);
      }
    }
  }
  if (!(lo <= hi)) return {1.0, 0.0};
  if (lo == hi) return {hi + 1.0, lo - 1.0};
  const double margin = (hi - lo) * 0.05;
  return {hi + margin, lo - margin};
}

}  // namespace

long graphBackground(const DisplayTargets& targets) {
  return graphSetting(targets, &DisplaySettings::background).value_or(kGraphDefaultBackground);
}

long graphGridColour(const DisplayTargets& targets) {
  return graphSetting(targets, &DisplaySettings::gridColour).value_or(kGraphDefaultGrid);
}

std::optional<double> graphXLeft(const DisplayTargets& targets) {
  return graphSetting(targets, &DisplaySettings::xLeft);
}

std::optional<double> graphXRight(const DisplayTargets& targets) {
  return graphSetting(targets, &DisplaySettings::xRight);
}

std::optional<std::string> graphXLabel(const DisplayTargets& targets) {
  return graphSetting(targets, &DisplaySettings::xLabel);
}

std::optional<std::string> graphYLabel(const DisplayTargets& targets) {
  return graphSetting(targets, &DisplaySettings::yLabel);
}

long graphCurveColour(const DisplayTargets& targets, int curve) {
  const long fallback = curve == 1 ? kGraphDefaultCurve1 : kGraphDefaultCurve2;
  if (curve < 1 || curve > 2) return fallback;
  return targets[curve].curveColour.value_or(fallback);
}

GraphYRange graphYRange(const DisplayTargets& targets, const CurveColumns& columns, int curve) {
  if (curve < 1 || curve > 2) curve = 1;
  const std::optional<double> top = curveSetting(targets, curve, &DisplaySettings::yTop);
  const std::optional<double> bottom = curveSetting(targets, curve, &DisplaySettings::yBottom);
  GraphYRange r = valueRange(columns);
  if (top) r.top = *top;
  if (bottom) r.bottom = *bottom;
  if (r.top == r.bottom || !std::isfinite(r.top) || !std::isfinite(r.bottom)) {
    r = {r.top + 1.0, r.top - 1.0};
  }
  return r;
}

double graphRow(double v, GraphYRange range, int height) {
  const double row = (range.top - v) / (range.top - range.bottom) * (height - 1);
  return std::clamp(row, -2.0 * height, 3.0 * height);
}

double graphColumn(double x, double left, double right, int width) {
  return (x - left) / (right - left) * (width - 1);
}

double graphGridStep(double span, double pixels, double minGap) {
  span = std::fabs(span);
  if (!(span > 0) || !std::isfinite(span) || pixels <= 0) return 0.0;
  const double raw = span * minGap / pixels;
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * decade >= raw * (1 - 1e-9)) return m * decade;
  }
  return 10.0 * decade;
}

std::vector<double> graphGridValues(double a, double b, double step) {
  std::vector<double> values;
  if (!(step > 0)) return values;
  const double lo = std::min(a, b), hi = std::max(a, b);
  const double first = std::ceil(lo / step - 1e-9);
  const double last = std::floor(hi / step + 1e-9);
  if (last - first > 1000) return values;
  for (double i = first; i <= last; ++i) values.push_back(i * step);
  return values;
}

std::string graphTickText(double v, double step) {
  const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  if (std::fabs(v) < step * 1e-6) v = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

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

}  // namespace orvane
