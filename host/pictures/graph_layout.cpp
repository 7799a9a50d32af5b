#include "host/pictures/graph_layout.h"

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

long graphInk(const DisplayTargets& targets) {
  const long b = graphBackground(targets);
  const double luminance =
      0.299 * (b & 0xFF) + 0.587 * ((b >> 8) & 0xFF) + 0.114 * ((b >> 16) & 0xFF);
  return luminance < 128.0 ? kGraphFrameOnDark : kGraphFrame;
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

DisplayTargets graphTargets(const DisplayTargets& own, const AxisLabels& inherited) {
  DisplayTargets t = own;
  if (!graphXLabel(t)) t[0].xLabel = inherited.x;
  if (!graphYLabel(t)) t[0].yLabel = inherited.y;
  return t;
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

std::optional<GraphXAxis> graphXAxis(const DisplayTargets& targets, int width) {
  const std::optional<double> left = graphXLeft(targets);
  const std::optional<double> right = graphXRight(targets);
  if (!left || !right || width <= 0) return std::nullopt;
  GraphXAxis axis;
  axis.left = *left;
  axis.right = *right;
  axis.width = width;
  const std::optional<long> mode = graphSetting(targets, &DisplaySettings::viewMode);
  axis.logarithmic = mode && *mode == kFrequencyViewMode && *left > 0 && *right > 0 &&
                     std::isfinite(*left) && std::isfinite(*right) && *left != *right;
  return axis;
}

double graphXAt(const GraphXAxis& a, int k) {
  if (a.width == 1) return a.left;
  const double t = static_cast<double>(k) / (a.width - 1);
  if (a.logarithmic) return a.left * std::pow(a.right / a.left, t);
  return a.left + (a.right - a.left) * k / (a.width - 1);
}

double graphXColumn(const GraphXAxis& a, double x) {
  if (a.logarithmic) return std::log(x / a.left) / std::log(a.right / a.left) * (a.width - 1);
  return graphColumn(x, a.left, a.right, a.width);
}

namespace {

// "1k", "16k", "31.5", "63", "125": the usual short names of octave and decade frequencies.
std::string frequencyName(double hz) {
  // The nominal names of the octaves below 1 kHz that are not whole numbers of Hz.
  const struct {
    double exact;
    const char* name;
  } nominal[] = {{15.625, "16"}, {31.25, "31.5"}, {62.5, "63"}, {7.8125, "8"}, {3.90625, "4"}};
  for (const auto& n : nominal)
    if (std::fabs(hz - n.exact) < 1e-9 * n.exact) return n.name;
  char text[32];
  if (hz >= 1000.0) {
    const double k = hz / 1000.0;
    if (std::fabs(k - std::round(k)) < 1e-9 * k)
      std::snprintf(text, sizeof text, "%.0fk", k);
    else
      std::snprintf(text, sizeof text, "%gk", k);
  } else {
    std::snprintf(text, sizeof text, "%g", hz);
  }
  return text;
}

std::vector<GraphXTick> logTicks(const GraphXAxis& a) {
  const double lo = std::min(a.left, a.right), hi = std::max(a.left, a.right);
  const double inside = 1e-9;
  std::vector<double> values;
  for (double e = std::floor(std::log10(lo)); e <= std::ceil(std::log10(hi)); ++e) {
    const double v = std::pow(10.0, e);
    if (v >= lo * (1 - inside) && v <= hi * (1 + inside)) values.push_back(v);
  }
  for (double e = std::floor(std::log2(lo / 1000.0)); e <= std::ceil(std::log2(hi / 1000.0)); ++e) {
    const double v = 1000.0 * std::pow(2.0, e);
    if (v < lo * (1 - inside) || v > hi * (1 + inside)) continue;
    if (std::fabs(std::log10(v) - std::round(std::log10(v))) < 1e-12) continue;  // a decade
    values.push_back(v);
  }
  std::vector<GraphXTick> ticks;
  if (values.size() > 1000) return ticks;
  for (double v : values) ticks.push_back({v, graphXColumn(a, v), frequencyName(v)});
  return ticks;
}

}  // namespace

std::vector<GraphXTick> graphXTicks(const GraphXAxis& a, double minGap) {
  if (a.logarithmic) return logTicks(a);
  std::vector<GraphXTick> ticks;
  if (a.left == a.right) return ticks;
  const double step = graphGridStep(a.right - a.left, a.width - 1, minGap);
  for (double v : graphGridValues(a.left, a.right, step))
    ticks.push_back({v, graphColumn(v, a.left, a.right, a.width), graphTickText(v, step)});
  return ticks;
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

}  // namespace orvane
