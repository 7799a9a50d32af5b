// The graphs of an impulse response's and a room's pictures: what each column shows, the
// ranges, the markers and the notes. Drawing them is the system's (linux/, none/, win32/).
#include "host/room/room_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/pictures/graph_layout.h"
#include "host/report/text_encoding.h"
#include "host/room/room_rules.h"

namespace orvane {

namespace {

constexpr long kBlack = 0x000000;  // COLORREF
constexpr long kGrey = 0xA0A0A0;
constexpr long kBlue = 0xC00000;
constexpr long kGreen = 0x00A000;
constexpr long kRed = 0x0000FF;
constexpr long kMarker = 0x808080;
// The time picture reaches this far below the peak, dB; the frequency picture this far below
// its largest level.
constexpr double kTimeSpanDb = 120.0;
constexpr double kFrequencySpanDb = 80.0;

using Columns = std::vector<std::optional<double>>;

GraphSource blankGraph(const char* xLabel, const char* yLabel, bool logFrequency, double left,
                       double right, double top, double bottom) {
  GraphSource g;
  g.width = kRoomPictureWidth;
  g.height = kRoomPictureHeight;
  DisplaySettings& whole = g.targets[0];
  whole.configured = true;
  whole.viewMode = logFrequency ? kFrequencyViewMode : 8;
  whole.xLabel = xLabel;
  whole.yLabel = yLabel;
  whole.xLeft = left;
  whole.xRight = right;
  whole.yTop = top;
  whole.yBottom = bottom;
  g.markerColour = kMarker;
  return g;
}

void setCurve(GraphSource* g, int curve, long colour, Columns values) {
  g->targets[curve].configured = true;
  g->targets[curve].curveColour = colour;
  g->curves[curve] = std::move(values);
}

// Values every `stepMs` from 0, read at each column's time (the nearest), kept above `floor`.
Columns stepColumns(const GraphXAxis& axis, const std::vector<double>& values, double stepMs,
                    double floor) {
  Columns columns(static_cast<std::size_t>(axis.width));
  for (int k = 0; k < axis.width; ++k) {
    const double at = std::round(graphXAt(axis, k) / stepMs);
    if (at < 0.0 || at >= static_cast<double>(values.size())) continue;
    const double v = values[static_cast<std::size_t>(at)];
    columns[static_cast<std::size_t>(k)] = std::isfinite(v) ? std::max(v, floor) : floor;
  }
  return columns;
}

GraphSource impulseTime(const ImpulseResponse& r) {
  const double lengthMs = 1000.0 * static_cast<double>(r.h.size()) / r.sampleRate;
  const double top = std::ceil(r.peakGainDb / 10.0) * 10.0 + 10.0;
  GraphSource g = blankGraph("ms", "dB", false, 0.0, lengthMs, top, top - kTimeSpanDb);
  const GraphXAxis axis = *graphXAxis(g.targets, g.width);
  // The largest |h| of each column's samples, so that no peak falls between columns.
  Columns columns(static_cast<std::size_t>(axis.width));
  const double perColumn = static_cast<double>(r.h.size()) / (axis.width - 1);
  for (int k = 0; k < axis.width; ++k) {
    const double centre = graphXAt(axis, k) * r.sampleRate / 1000.0;
    const long first = std::max(0L, std::lround(centre - perColumn / 2.0));
    const long last =
        std::min(static_cast<long>(r.h.size()) - 1, std::lround(centre + perColumn / 2.0));
    double largest = 0.0;
    for (long i = first; i <= last; ++i) largest = std::max(largest, std::fabs(r.h[i]));
    columns[static_cast<std::size_t>(k)] =
        largest > 0.0 ? std::max(20.0 * std::log10(largest), top - kTimeSpanDb) : top - kTimeSpanDb;
  }
  setCurve(&g, 1, kBlack, columns);
  g.markers = {r.timeOfFlightMs};
  g.note = printed("time of flight %.3f ms, peak %.2f dB", r.timeOfFlightMs, r.peakGainDb) +
           (r.peakToNoiseDb ? printed(", %.1f dB over the noise", *r.peakToNoiseDb) : "");
  return g;
}

GraphSource impulseFrequency(const ImpulseResponse& r) {
  double largest = -INFINITY;
  for (double v : r.spectrumDb) largest = std::max(largest, v);
  if (!std::isfinite(largest)) largest = 0.0;
  const double top = std::ceil(largest / 10.0) * 10.0 + 10.0;
  GraphSource g = blankGraph("Hz", "dB", true, r.spectrumHz.front(), r.sampleRate / 2.0, top,
                             top - kFrequencySpanDb);
  const GraphXAxis axis = *graphXAxis(g.targets, g.width);
  Columns columns(static_cast<std::size_t>(axis.width));
  for (int k = 0; k < axis.width; ++k) {
    const double f = graphXAt(axis, k);
    const std::size_t i = static_cast<std::size_t>(
        std::lower_bound(r.spectrumHz.begin(), r.spectrumHz.end(), f) - r.spectrumHz.begin());
    const std::size_t nearest =
        i > 0 && (i == r.spectrumHz.size() || f / r.spectrumHz[i - 1] < r.spectrumHz[i] / f) ? i - 1
                                                                                             : i;
    const double v = r.spectrumDb[nearest];
    columns[static_cast<std::size_t>(k)] =
        std::isfinite(v) ? std::max(v, top - kFrequencySpanDb) : top - kFrequencySpanDb;
  }
  setCurve(&g, 1, kBlack, columns);
  g.markers = {r.bandLowHz, r.bandHighHz};
  g.note = printed("band %.1f - %.1f Hz", r.bandLowHz, r.bandHighHz) +
           (r.bandGiven ? " (given)" : " (the excitation's)");
  return g;
}

GraphSource bandDecay(const BandParameters& b) {
  const std::string name = b.nominalHz ? std::to_string(*b.nominalHz) + " Hz" : "broadband";
  const double endMs = b.truncationMs ? std::max(50.0, *b.truncationMs * 1.25)
                                      : std::max(50.0, b.energyDb.size() * kDecayPictureStepMs);
  GraphSource g = blankGraph("ms", "dB", false, 0.0, endMs, 5.0, kDecayPictureFloorDb);
  const GraphXAxis axis = *graphXAxis(g.targets, g.width);
  setCurve(&g, 2, kGrey, stepColumns(axis, b.energyDb, kDecayPictureStepMs, kDecayPictureFloorDb));
  setCurve(&g, 1, kBlack, stepColumns(axis, b.decayDb, kDecayPictureStepMs, kDecayPictureFloorDb));
  std::string figures;
  const struct {
    const char* name;
    const DecayTime& time;
    long colour;
  } fits[] = {{"EDT", b.edt, kBlue}, {"T20", b.t20, kGreen}, {"T30", b.t30, kRed}};
  for (const auto& fit : fits) {
    if (!fit.time.seconds) continue;
    Columns line(static_cast<std::size_t>(axis.width));
    for (int k = 0; k < axis.width; ++k) {
      const double v =
          fit.time.line.interceptDb + fit.time.line.slopeDbPerS * graphXAt(axis, k) / 1000.0;
      if (v >= kDecayPictureFloorDb && v <= 5.0) line[static_cast<std::size_t>(k)] = v;
    }
    g.overlays.push_back({fit.colour, line});
    figures += std::string(", ") + fit.name + printed(" %.3f s", *fit.time.seconds);
  }
  if (b.truncationMs) g.markers = {*b.truncationMs};
  g.note = name + ": " + (figures.empty() ? std::string("no decay time") : figures.substr(2)) +
           (b.truncationMs ? printed(", meets the noise at %.0f ms", *b.truncationMs) : "");
  return g;
}

}  // namespace

std::vector<RoomGraph> impulseGraphs(const ImpulseResponse& r) {
  return {{"impulse-time", impulseTime(r)}, {"impulse-frequency", impulseFrequency(r)}};
}

std::vector<RoomGraph> roomGraphs(const RoomParameters& room) {
  std::vector<RoomGraph> graphs;
  for (const BandParameters& b : room.bands)
    graphs.push_back({"room-decay-" + std::to_string(b.nominalHz.value_or(0)), bandDecay(b)});
  graphs.push_back({"room-decay-broadband", bandDecay(room.broadband)});
  return graphs;
}

}  // namespace orvane
