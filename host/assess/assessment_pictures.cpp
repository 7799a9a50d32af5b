// The graphs of an assessment's pictures: what each column shows, the ranges, the markers and
// the notes. Drawing them is the system's (linux/, win32/).
#include "host/assess/assessment_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

#include "host/assess/assessment_rules.h"
#include "host/assess/third_octaves.h"
#include "host/report/text_encoding.h"
#include "host/pictures/graph_layout.h"

namespace orvane {

namespace {

constexpr long kBeforeColour = 0x909090;  // COLORREF: grey
constexpr long kAfterColour = 0x0000FF;   // red
constexpr long kFirstColour = 0xC00000;   // blue
constexpr long kPlainColour = 0x000000;   // black
// The after levels of the second, third, ... position, over the first's (red).
struct NamedColour {
  long colour;
  const char* name;
};
constexpr NamedColour kPositionColours[] = {{kFirstColour, "blue"},
                                            {0x0080FF, "orange"},
                                            {0x800080, "purple"},
                                            {0x808000, "teal"},
                                            {kPlainColour, "black"}};
// The time picture's floor, dB re the peak: below it lies the float transform's rounding.
constexpr double kTimeFloorDb = -120.0;
// How far under the filter's largest gain its picture reaches, and its grid and room above, dB.
constexpr double kFilterSpanDb = 100.0;
constexpr double kFilterStepDb = 10.0;
constexpr double kFilterMarginDb = 3.0;

using Columns = std::vector<std::optional<double>>;

std::string withSuffix(const std::string& stem, std::size_t index) {
  return index == 0 ? stem : stem + "-" + std::to_string(index + 1);
}

GraphSource blankGraph(const char* xLabel, const char* yLabel, bool logFrequency) {
  GraphSource g;
  g.width = kAssessmentPictureWidth;
  g.height = kAssessmentPictureHeight;
  DisplaySettings& whole = g.targets[0];
  whole.configured = true;
  whole.viewMode = logFrequency ? kFrequencyViewMode : 8;
  whole.xLabel = xLabel;
  whole.yLabel = yLabel;
  return g;
}

void setXRange(GraphSource* g, double left, double right) {
  g->targets[0].xLeft = left;
  g->targets[0].xRight = right;
}

// A range of whole multiples of `step` holding every finite value with `margin` to spare.
void setYRange(GraphSource* g, double step, double margin, double floor = -INFINITY) {
  double lo = INFINITY, hi = -INFINITY;
  auto take = [&](const Columns& values) {
    for (const auto& v : values) {
      if (v && std::isfinite(*v)) {
        lo = std::min(lo, *v);
        hi = std::max(hi, *v);
      }
    }
  };
  for (const auto& [curve, values] : g->curves) take(values);
  for (const GraphSource::Overlay& o : g->overlays) take(o.values);
  if (!(lo <= hi)) lo = hi = 0.0;
  g->targets[0].yTop = std::ceil((hi + margin) / step) * step;
  g->targets[0].yBottom = std::max(floor, std::floor((lo - margin) / step) * step);
}

void setCurveColour(GraphSource* g, int curve, long colour) {
  g->targets[curve].configured = true;
  g->targets[curve].curveColour = colour;
}

// Per band values as steps: each column takes the band its frequency falls in.
Columns bandSteps(const GraphXAxis& axis, const std::vector<double>& centreHz,
                  const std::vector<double>& values) {
  Columns columns(static_cast<std::size_t>(axis.width));
  for (int k = 0; k < axis.width; ++k) {
    const double f = graphXAt(axis, k);
    for (std::size_t b = 0; b < centreHz.size() && b < values.size(); ++b) {
      const double lo = centreHz[b] * std::pow(10.0, -kHalfBandDecades);
      const double hi = centreHz[b] * std::pow(10.0, kHalfBandDecades);
      if (f >= lo && f < hi) {
        columns[static_cast<std::size_t>(k)] = values[b];
        break;
      }
    }
  }
  return columns;
}

// A band picture's frequency axis: the pass band with a band's width to spare each way.
GraphSource bandGraph(const Assessment& a, const char* yLabel) {
  GraphSource g = blankGraph("Hz", yLabel, true);
  setXRange(&g, a.bandLowHz * std::pow(10.0, -2 * kHalfBandDecades),
            a.bandHighHz * std::pow(10.0, 2 * kHalfBandDecades));
  g.markers = {a.bandLowHz, a.bandHighHz};
  return g;
}

// Channel `channel` of every position: the first's levels before and after, the others'
// after levels over them.
GraphSource bandLevels(const Assessment& a, std::size_t channel) {
  const ChannelAssessment& c = a.positions.front().channels[channel];
  GraphSource g = bandGraph(a, "dB");
  const GraphXAxis axis = *graphXAxis(g.targets, g.width);
  g.curves[1] = bandSteps(axis, c.bandCentreHz, c.bandBeforeDb);
  g.curves[2] = bandSteps(axis, c.bandCentreHz, c.bandAfterDb);
  setCurveColour(&g, 1, kBeforeColour);
  setCurveColour(&g, 2, kAfterColour);
  g.legend = {{kBeforeColour, "before"}, {kAfterColour, "after"}};
  const std::size_t colours = std::size(kPositionColours);
  for (std::size_t p = 1; p < a.positions.size(); ++p) {
    const ChannelAssessment& other = a.positions[p].channels[channel];
    g.overlays.push_back({kPositionColours[(p - 1) % colours].colour,
                          bandSteps(axis, other.bandCentreHz, other.bandAfterDb)});
  }
  setYRange(&g, 5.0, 2.0);
  if (a.positions.size() == 1) {
    g.note = c.name + printed(": before (grey) max %.2f dB, after (red) max %.2f dB from the mean",
                              c.before.maxDb, c.after.maxDb);
    return g;
  }
  std::string legend = " (red";
  for (std::size_t p = 1; p < a.positions.size(); ++p)
    legend += std::string(", ") + kPositionColours[(p - 1) % colours].name;
  const PositionSpread& s = a.spread[channel];
  g.note = c.name + ": before (grey, the first), after at " + std::to_string(a.positions.size()) +
           " positions" + legend + printed("), spread up to %.2f dB at %.0f Hz", s.maxDb, s.maxHz);
  return g;
}

GraphSource separation(const Assessment& a, const ChannelAssessment& c) {
  GraphSource g = bandGraph(a, "dB");
  const GraphXAxis axis = *graphXAxis(g.targets, g.width);
  g.curves[1] = bandSteps(axis, c.bandCentreHz, c.separationDb);
  setCurveColour(&g, 1, kPlainColour);
  setYRange(&g, 10.0, 3.0);
  g.note = c.name + printed(": separation min %.1f dB, median %.1f dB",
                            c.separationMinDb.value_or(NAN), c.separationMedianDb.value_or(NAN));
  return g;
}

// The largest |y| of each column's span of samples, dB re the largest of all (the nearest
// sample when the span holds none), above kTimeFloorDb.
Columns peakColumns(const GraphXAxis& axis, const std::vector<double>& t,
                    const std::vector<double>& y, double peak) {
  const double half = (axis.right - axis.left) / (axis.width - 1) / 2;
  Columns columns(static_cast<std::size_t>(axis.width));
  for (int k = 0; k < axis.width; ++k) {
    const double at = graphXAt(axis, k);
    auto first = std::lower_bound(t.begin(), t.end(), at - half);
    auto last = std::lower_bound(t.begin(), t.end(), at + half);
    double largest = -1.0;
    for (auto it = first; it != last; ++it)
      largest = std::max(largest, std::fabs(y[it - t.begin()]));
    if (largest < 0.0) {
      std::size_t n = std::min(static_cast<std::size_t>(first - t.begin()), t.size() - 1);
      if (n > 0 && at - t[n - 1] < t[n] - at) --n;
      largest = std::fabs(y[n]);
    }
    const double db = largest > 0.0 ? 20.0 * std::log10(largest / peak) : -INFINITY;
    columns[static_cast<std::size_t>(k)] = std::max(db, kTimeFloorDb);
  }
  return columns;
}

// The level of each column: the largest |y| among the samples of the column's span (the
// nearest sample when the span holds none), in dB re the largest of all.
GraphSource timeResponse(const ChannelAssessment& c) {
  GraphSource g = blankGraph("ms", "dB re peak", false);
  setCurveColour(&g, 1, kPlainColour);
  const std::vector<double>& t = c.aroundPeakMs;
  const std::vector<double>& y = c.aroundPeak;
  double peak = 0.0;
  for (double v : y) peak = std::max(peak, std::fabs(v));
  if (t.size() >= 2 && t.size() == y.size() && peak > 0.0) {
    setXRange(&g, t.front(), t.back());
    g.curves[1] = peakColumns(*graphXAxis(g.targets, g.width), t, y, peak);
    g.markers = {-kMainWindowMs};
  }
  g.targets[0].yTop = 10.0;
  g.targets[0].yBottom = kTimeFloorDb;
  g.note =
      c.name + (std::isfinite(c.preRingingDb)
                    ? printed(": pre-ringing (before -1 ms) %.1f dB of the energy", c.preRingingDb)
                    : std::string(": no pre-ringing (before -1 ms)"));
  return g;
}

// The whole equalised response, ms from the intended arrival, dB re its peak; the worst
// octave's pre-echo marked and noted.
GraphSource wholeResponse(const Assessment& a, const ChannelAssessment& c) {
  GraphSource g = blankGraph("ms", "dB re peak", false);
  setCurveColour(&g, 1, kPlainColour);
  double peak = 0.0;
  for (double v : c.equalised) peak = std::max(peak, std::fabs(v));
  g.targets[0].yTop = 10.0;
  g.targets[0].yBottom = kTimeFloorDb;
  if (c.equalised.size() < 2 || peak <= 0.0) return g;
  std::vector<double> t(c.equalised.size());
  for (std::size_t n = 0; n < t.size(); ++n) t[n] = n * 1000.0 / a.sampleRate - c.intendedArrivalMs;
  setXRange(&g, t.front(), t.back());
  g.curves[1] = peakColumns(*graphXAxis(g.targets, g.width), t, c.equalised, peak);
  const OctavePreEcho* worst = nullptr;
  for (const OctavePreEcho& o : c.preEchoOctaves)
    if (o.levelDb && (!worst || *o.levelDb > *worst->levelDb)) worst = &o;
  g.markers = {0.0};
  if (worst) {
    g.markers.push_back(worst->mainMs - *worst->beforeMs - c.intendedArrivalMs);
    g.note = c.name + printed(": worst pre-echo %.1f dB in the %.0f Hz octave, %.1f ms early",
                              *worst->levelDb, worst->centreHz, *worst->beforeMs);
  } else {
    g.note = c.name + ": no pre-echo";
  }
  return g;
}

// The gain of one filter channel at frequency f: linear in log f between the grid's points.
std::optional<double> gainAt(const std::vector<double>& gridHz, const std::vector<double>& db,
                             double f) {
  if (gridHz.empty() || db.size() != gridHz.size()) return std::nullopt;
  auto upper = std::upper_bound(gridHz.begin(), gridHz.end(), f);
  if (upper == gridHz.begin()) return db.front();
  if (upper == gridHz.end()) return db.back();
  const std::size_t i = static_cast<std::size_t>(upper - gridHz.begin());
  const double w = std::log(f / gridHz[i - 1]) / std::log(gridHz[i] / gridHz[i - 1]);
  if (!std::isfinite(db[i - 1]) || !std::isfinite(db[i])) return w < 0.5 ? db[i - 1] : db[i];
  return db[i - 1] + w * (db[i] - db[i - 1]);
}

GraphSource filterGain(const Assessment& a, std::size_t first) {
  const FilterGain& fg = a.filterGain;
  GraphSource g = blankGraph("Hz", "dB", true);
  if (fg.gridHz.size() < 2) return g;
  setXRange(&g, fg.gridHz.front(), fg.gridHz.back());
  const GraphXAxis axis = *graphXAxis(g.targets, g.width);
  std::string legend;
  const long colours[2] = {kFirstColour, kAfterColour};
  for (int curve = 1; curve <= 2; ++curve) {
    const std::size_t channel = first + static_cast<std::size_t>(curve - 1);
    if (channel >= fg.channelDb.size()) break;
    Columns columns(static_cast<std::size_t>(axis.width));
    for (int k = 0; k < axis.width; ++k) {
      columns[static_cast<std::size_t>(k)] =
          gainAt(fg.gridHz, fg.channelDb[channel], graphXAt(axis, k));
    }
    // Each point on its own column too: the columns between two points would round a peak off.
    for (std::size_t i = 0; i < fg.gridHz.size(); ++i) {
      const long k = std::lround(graphXColumn(axis, fg.gridHz[i]));
      const double db = fg.channelDb[channel][i];
      if (k < 0 || k >= axis.width || !std::isfinite(db)) continue;
      std::optional<double>& column = columns[static_cast<std::size_t>(k)];
      if (!column || *column < db) column = db;
    }
    g.curves[curve] = columns;
    setCurveColour(&g, curve, colours[curve - 1]);
    g.legend.push_back({colours[curve - 1], filterChannelName(a.mode, channel)});
    legend += std::string(legend.empty() ? " (" : ", ") + filterChannelName(a.mode, channel) +
              (curve == 1 ? " blue" : " red");
  }
  if (!legend.empty()) legend += ")";
  if (g.legend.size() < 2) g.legend.clear();
  setYRange(&g, kFilterStepDb, kFilterMarginDb,
            std::floor((fg.maxDb - kFilterSpanDb) / kFilterStepDb) * kFilterStepDb);
  // The largest gain the note states lies inside, even where it is a network's (its largest
  // singular value, above every channel's curve).
  g.targets[0].yTop = std::max(
      *g.targets[0].yTop, std::ceil((fg.maxDb + kFilterMarginDb) / kFilterStepDb) * kFilterStepDb);
  g.markers = {a.bandLowHz, a.bandHighHz, fg.maxHz};
  g.note = printed("largest gain %.1f dB at %.1f Hz", fg.maxDb, fg.maxHz) + legend;
  return g;
}

}  // namespace

std::vector<AssessmentGraph> assessmentGraphs(const Assessment& a) {
  std::vector<AssessmentGraph> graphs;
  const std::vector<ChannelAssessment>& channels = a.positions.front().channels;
  for (std::size_t c = 0; c < channels.size(); ++c)
    graphs.push_back({withSuffix("assessment-bands", c), bandLevels(a, c)});
  for (std::size_t c = 0; c < channels.size(); ++c)
    graphs.push_back({withSuffix("assessment-time", c), timeResponse(channels[c])});
  for (std::size_t c = 0; c < channels.size(); ++c)
    graphs.push_back({withSuffix("assessment-whole", c), wholeResponse(a, channels[c])});
  for (std::size_t first = 0; first < a.filterGain.channelDb.size(); first += 2)
    graphs.push_back({withSuffix("assessment-filter", first / 2), filterGain(a, first)});
  if (a.mode == FilterMode::Stereo || a.mode == FilterMode::TwoByTwo) {
    for (std::size_t c = 0; c < channels.size(); ++c)
      graphs.push_back({withSuffix("assessment-separation", c), separation(a, channels[c])});
  }
  return graphs;
}

}  // namespace orvane
