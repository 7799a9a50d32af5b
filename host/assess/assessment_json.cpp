// The assessment as JSON (the keys `orvane assess --help` documents).
#include <cmath>

#include "host/assess/assessment.h"

namespace orvane {

namespace {

// A number, or null for one that is none (the -inf of a response with no early energy).
Json number(double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); }
Json number(const std::optional<double>& v) { return v ? number(*v) : Json(nullptr); }

Json flatnessJson(const Flatness& f) {
  return Json{{"max", number(f.maxDb)}, {"rms", number(f.rmsDb)}};
}

}  // namespace

namespace {

Json channelJson(const ChannelAssessment& c) {
  Json j;
  j["name"] = c.name;
  j["flatness_db"] = {{"before", flatnessJson(c.before)}, {"after", flatnessJson(c.after)}};
  j["peak_offset_ms"] = number(c.peakOffsetMs);
  j["intended_arrival_ms"] = number(c.intendedArrivalMs);
  j["main_share"] = number(c.mainShare);
  j["pre_ringing_db"] = number(c.preRingingDb);
  j["pre_echo_db"] = number(c.preEchoDb);
  j["pre_echo_ms"] = number(c.preEchoMs);
  Json octaves = Json::array();
  for (const OctavePreEcho& o : c.preEchoOctaves) {
    octaves.push_back({{"octave_hz", o.centreHz},
                       {"level_db", number(o.levelDb)},
                       {"before_ms", number(o.beforeMs)},
                       {"main_ms", number(o.mainMs)}});
  }
  j["pre_echo_octaves"] = octaves;
  j["below_regularisation_share"] = number(c.belowRegularisationShare);
  if (c.separationMinDb) {
    j["separation_db"] = {{"min", number(c.separationMinDb)},
                          {"median", number(c.separationMedianDb)}};
  }
  return j;
}

Json channelsJson(const std::vector<ChannelAssessment>& channels) {
  Json j = Json::array();
  for (const ChannelAssessment& c : channels) j.push_back(channelJson(c));
  return j;
}

Json numbers(const std::vector<double>& values) {
  Json j = Json::array();
  for (double v : values) j.push_back(number(v));
  return j;
}

}  // namespace

Json assessmentJson(const Assessment& a) {
  const FilterGain& g = a.filterGain;
  Json body;
  body["band_hz"] = {a.bandLowHz, a.bandHighHz};
  body["band_source"] = bandSourceName(a.bandSource);
  body["band_why"] = a.bandWhy;
  body["regularisation"] = number(a.beta);
  if (a.positions.size() == 1) {
    body["channels"] = channelsJson(a.positions.front().channels);
  } else {
    Json positions = Json::array();
    for (const PositionAssessment& p : a.positions)
      positions.push_back({{"response", p.response}, {"channels", channelsJson(p.channels)}});
    body["positions"] = positions;
    Json spread = Json::array();
    for (const PositionSpread& s : a.spread) {
      spread.push_back({{"name", s.name},
                        {"band_hz", numbers(s.bandCentreHz)},
                        {"spread", numbers(s.spreadDb)},
                        {"max", number(s.maxDb)},
                        {"max_hz", number(s.maxHz)}});
    }
    body["position_spread_db"] = spread;
  }
  body["filter_gain_db"] = {
      {"max", number(g.maxDb)},
      {"max_hz", number(g.maxHz)},
      {"at_band_edges", {number(g.atBandEdgesDb[0]), number(g.atBandEdgesDb[1])}}};
  Json feeds = Json::array();
  for (double f : g.feedsDb) feeds.push_back(number(f));
  body["filter_gain_db"]["feeds"] = feeds;
  Json ends = Json::array();
  for (const FilterEnds& e : a.filterEnds)
    ends.push_back({{"start", number(e.startDb)}, {"end", number(e.endDb)}});
  body["filter_ends_db"] = ends;
  body["warnings"] = a.warnings;
  body["mode"] = filterModeName(a.mode);
  body["filter_length"] = a.filterLength;
  body["sample_rate"] = a.sampleRate;
  if (a.design) body["design"] = designRecordJson(*a.design)["design"];
  return Json{{"assessment", body}};
}

}  // namespace orvane
