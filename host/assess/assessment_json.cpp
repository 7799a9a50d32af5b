// The assessment as JSON (the keys `orvane assess --help` documents) and as readable text.
#include <cmath>
#include <cstdio>
#include <sstream>

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

std::string fixedText(double v, int decimals) {
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

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

namespace {

// A figure the JSON holds as null is none: no early energy, a silent band.
std::string fixed(const Json& v, int decimals, const char* none = "none") {
  return v.is_number() ? fixedText(v.get<double>(), decimals) : none;
}

// One channel's figures, under its name (`title`).
void channelText(std::ostream& out, const std::string& title, const Json& c) {
  out << "\n" << title << "\n";
  for (const char* when : {"before", "after"}) {
    const Json& f = c["flatness_db"][when];
    out << "  Flatness " << when << (when[0] == 'b' ? ":      max " : ":       max ")
        << fixed(f["max"], 2) << " dB, rms " << fixed(f["rms"], 2) << " dB\n";
  }
  out << "  Peak offset:          " << fixed(c["peak_offset_ms"], 3)
      << " ms from the intended arrival (" << fixed(c["intended_arrival_ms"], 3) << " ms)\n";
  out << "  Main share (+-1 ms):  " << fixed(c["main_share"], 6) << "\n";
  out << "  Pre-ringing:          " << fixed(c["pre_ringing_db"], 1, "-inf") << " dB\n";
  if (c["pre_echo_db"].is_number()) {
    out << "  Largest pre-echo:     " << fixed(c["pre_echo_db"], 1) << " dB, "
        << fixed(c["pre_echo_ms"], 2) << " ms before the peak\n";
  } else {
    out << "  Largest pre-echo:     none\n";
  }
  out << "  Pre-echo per octave:  ";
  bool firstOctave = true;
  for (const Json& o : c["pre_echo_octaves"]) {
    out << (firstOctave ? "" : ", ") << fixed(o["octave_hz"], 0) << " Hz "
        << fixed(o["level_db"], 1) << " dB";
    if (o["before_ms"].is_number()) out << " @-" << fixed(o["before_ms"], 0) << " ms";
    firstOctave = false;
  }
  out << "\n";
  out << "  Below 10x regularisation: " << fixed(c["below_regularisation_share"], 3)
      << " of the pass band's bins\n";
  if (c.contains("separation_db")) {
    out << "  Separation:           min " << fixed(c["separation_db"]["min"], 1) << " dB, median "
        << fixed(c["separation_db"]["median"], 1) << " dB\n";
  }
}

}  // namespace

std::string assessmentText(const Json& a) {
  std::ostringstream out;
  out << "Assessment (" << a.value("mode", "") << ", filter of " << a.value("filter_length", 0L)
      << " samples at " << a.value("sample_rate", 0) << " Hz)\n";
  out << "  Pass band:            " << fixed(a["band_hz"][0], 1) << " ... "
      << fixed(a["band_hz"][1], 1) << " Hz, " << a.value("band_why", "") << "\n";
  if (a.contains("positions")) {
    for (const Json& p : a["positions"]) {
      for (const Json& c : p["channels"])
        channelText(out, p.value("response", "") + ": " + c.value("name", ""), c);
    }
    out << "\nSpread across the positions (levels after, each re its position's mean)\n";
    for (const Json& s : a["position_spread_db"]) {
      out << "  " << s.value("name", "") << ": largest " << fixed(s["max"], 2) << " dB at "
          << fixed(s["max_hz"], 1) << " Hz; per band:";
      for (std::size_t b = 0; b < s["band_hz"].size(); ++b)
        out << (b ? ", " : " ") << fixed(s["band_hz"][b], 0) << " Hz " << fixed(s["spread"][b], 2);
      out << " dB\n";
    }
  } else {
    for (const Json& c : a["channels"]) channelText(out, c.value("name", ""), c);
  }
  const Json& g = a["filter_gain_db"];
  out << "\nFilter gain\n";
  out << "  Largest:              " << fixed(g["max"], 2) << " dB at " << fixed(g["max_hz"], 1)
      << " Hz\n";
  out << "  At the band edges:    " << fixed(g["at_band_edges"][0], 2, "-inf") << " dB, "
      << fixed(g["at_band_edges"][1], 2, "-inf") << " dB\n";
  out << "  Per feed:             ";
  for (std::size_t f = 0; f < g["feeds"].size(); ++f)
    out << (f ? ", " : "") << fixed(g["feeds"][f], 2, "-inf") << " dB";
  out << "\n  Ends (start, end):    ";
  for (std::size_t f = 0; f < a["filter_ends_db"].size(); ++f) {
    const Json& e = a["filter_ends_db"][f];
    out << (f ? "; " : "") << fixed(e["start"], 1, "-inf") << ", " << fixed(e["end"], 1, "-inf")
        << " dB";
  }
  out << "\n";
  out << "\nWarnings\n";
  if (a["warnings"].empty()) out << "  none\n";
  for (const Json& w : a["warnings"]) out << "  " << w.get<std::string>() << "\n";
  return out.str();
}

}  // namespace orvane
