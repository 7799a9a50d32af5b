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

std::string fixed(double v, int decimals) {
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

}  // namespace

Json assessmentJson(const Assessment& a) {
  Json channels = Json::array();
  for (const ChannelAssessment& c : a.channels) {
    Json j;
    j["flatness_db"] = {{"before", flatnessJson(c.before)}, {"after", flatnessJson(c.after)}};
    j["peak_offset_ms"] = number(c.peakOffsetMs);
    j["main_share"] = number(c.mainShare);
    j["pre_ringing_db"] = number(c.preRingingDb);
    j["pre_echo_db"] = number(c.preEchoDb);
    j["pre_echo_ms"] = number(c.preEchoMs);
    if (c.separationMinDb) {
      j["separation_db"] = {{"min", number(c.separationMinDb)},
                            {"median", number(c.separationMedianDb)}};
    }
    channels.push_back(j);
  }
  const FilterGain& g = a.filterGain;
  Json body;
  body["band_hz"] = {a.bandLowHz, a.bandHighHz};
  body["channels"] = channels;
  body["filter_gain_db"] = {
      {"max", number(g.maxDb)},
      {"max_hz", number(g.maxHz)},
      {"at_band_edges", {number(g.atBandEdgesDb[0]), number(g.atBandEdgesDb[1])}}};
  body["warnings"] = a.warnings;
  return Json{{"assessment", body}};
}

std::string assessmentText(const Assessment& a) {
  std::ostringstream out;
  out << "Assessment (" << filterModeName(a.mode) << ", filter of " << a.filterLength
      << " samples at " << a.sampleRate << " Hz)\n";
  out << "  Pass band:            " << fixed(a.bandLowHz, 1) << " ... " << fixed(a.bandHighHz, 1)
      << " Hz (" << (a.channels.empty() ? 0 : a.channels[0].bandCentreHz.size())
      << " third-octave bands)\n";
  for (const ChannelAssessment& c : a.channels) {
    out << "\n" << c.name << "\n";
    out << "  Flatness before:      max " << fixed(c.before.maxDb, 2) << " dB, rms "
        << fixed(c.before.rmsDb, 2) << " dB\n";
    out << "  Flatness after:       max " << fixed(c.after.maxDb, 2) << " dB, rms "
        << fixed(c.after.rmsDb, 2) << " dB\n";
    out << "  Peak offset:          " << fixed(c.peakOffsetMs, 3)
        << " ms from the filter's delay\n";
    out << "  Main share (+-1 ms):  " << fixed(c.mainShare, 6) << "\n";
    out << "  Pre-ringing:          " << fixed(c.preRingingDb, 1) << " dB\n";
    if (c.preEchoDb) {
      out << "  Largest pre-echo:     " << fixed(*c.preEchoDb, 1) << " dB, "
          << fixed(*c.preEchoMs, 2) << " ms before the peak\n";
    } else {
      out << "  Largest pre-echo:     none\n";
    }
    if (c.separationMinDb) {
      out << "  Separation:           min " << fixed(*c.separationMinDb, 1) << " dB, median "
          << fixed(*c.separationMedianDb, 1) << " dB\n";
    }
  }
  const FilterGain& g = a.filterGain;
  out << "\nFilter gain\n";
  out << "  Largest:              " << fixed(g.maxDb, 2) << " dB at " << fixed(g.maxHz, 1)
      << " Hz\n";
  out << "  At the band edges:    " << fixed(g.atBandEdgesDb[0], 2) << " dB, "
      << fixed(g.atBandEdgesDb[1], 2) << " dB\n";
  out << "\nWarnings\n";
  if (a.warnings.empty()) out << "  none\n";
  for (const std::string& w : a.warnings) out << "  " << w << "\n";
  return out.str();
}

}  // namespace orvane
