// The assessment as readable text, made from its figures: a figure that is no number prints
// as the warnings state it ("inf", "-inf"), one that is none as "none".
#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <sstream>

#include "host/assess/assessment.h"

namespace orvane {

namespace {

// NaN (a spread over a silent band) is none.
std::string figure(double v, int decimals) {
  return std::isnan(v) ? "none" : fixedText(v, decimals);
}
std::string figure(const std::optional<double>& v, int decimals) {
  return v ? figure(*v, decimals) : "none";
}

// One channel's figures, under its name (`title`).
void channelText(std::ostream& out, const std::string& title, const ChannelAssessment& c) {
  out << "\n" << title << "\n";
  out << "  Flatness before:      max " << figure(c.before.maxDb, 2) << " dB, rms "
      << figure(c.before.rmsDb, 2) << " dB\n";
  out << "  Flatness after:       max " << figure(c.after.maxDb, 2) << " dB, rms "
      << figure(c.after.rmsDb, 2) << " dB\n";
  out << "  Peak offset:          " << figure(c.peakOffsetMs, 3)
      << " ms from the intended arrival (" << figure(c.intendedArrivalMs, 3) << " ms)\n";
  out << "  Main share (+-1 ms):  " << figure(c.mainShare, 6) << "\n";
  out << "  Pre-ringing:          " << figure(c.preRingingDb, 1) << " dB\n";
  if (c.preEchoDb) {
    out << "  Largest pre-echo:     " << figure(c.preEchoDb, 1) << " dB, " << figure(c.preEchoMs, 2)
        << " ms before the peak\n";
  } else {
    out << "  Largest pre-echo:     none\n";
  }
  out << "  Pre-echo per octave:  ";
  for (std::size_t o = 0; o < c.preEchoOctaves.size(); ++o) {
    const OctavePreEcho& e = c.preEchoOctaves[o];
    out << (o ? ", " : "") << figure(e.centreHz, 0) << " Hz " << figure(e.levelDb, 1) << " dB";
    if (e.beforeMs) out << " @-" << figure(e.beforeMs, 0) << " ms";
  }
  out << "\n";
  out << "  Below 10x regularisation: " << figure(c.belowRegularisationShare, 3)
      << " of the pass band's bins\n";
  if (c.separationMinDb) {
    out << "  Separation:           min " << figure(c.separationMinDb, 1) << " dB, median "
        << figure(c.separationMedianDb, 1) << " dB\n";
  }
}

void spreadText(std::ostream& out, const std::vector<PositionSpread>& spreads) {
  out << "\nSpread across the positions (levels after, each re its position's mean)\n";
  for (const PositionSpread& s : spreads) {
    out << "  " << s.name << ": largest " << figure(s.maxDb, 2) << " dB at " << figure(s.maxHz, 1)
        << " Hz; per band:";
    for (std::size_t b = 0; b < s.bandCentreHz.size(); ++b) {
      out << (b ? ", " : " ") << figure(s.bandCentreHz[b], 0) << " Hz " << figure(s.spreadDb[b], 2);
    }
    out << " dB\n";
  }
}

void filterText(std::ostream& out, const Assessment& a) {
  const FilterGain& g = a.filterGain;
  out << "\nFilter gain\n";
  out << "  Largest:              " << figure(g.maxDb, 2) << " dB at " << figure(g.maxHz, 1)
      << " Hz\n";
  out << "  At the band edges:    " << figure(g.atBandEdgesDb[0], 2) << " dB, "
      << figure(g.atBandEdgesDb[1], 2) << " dB\n";
  out << "  Per feed:             ";
  for (std::size_t f = 0; f < g.feedsDb.size(); ++f)
    out << (f ? ", " : "") << figure(g.feedsDb[f], 2) << " dB";
  out << "\n  Ends (start, end):    ";
  for (std::size_t f = 0; f < a.filterEnds.size(); ++f) {
    out << (f ? "; " : "") << figure(a.filterEnds[f].startDb, 1) << ", "
        << figure(a.filterEnds[f].endDb, 1) << " dB";
  }
  out << "\n";
}

}  // namespace

std::string fixedText(double v, int decimals) {
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string assessmentText(const Assessment& a) {
  std::ostringstream out;
  out << "Assessment (" << filterModeName(a.mode) << ", filter of " << a.filterLength
      << " samples at " << a.sampleRate << " Hz)\n";
  out << "  Pass band:            " << figure(a.bandLowHz, 1) << " ... " << figure(a.bandHighHz, 1)
      << " Hz, " << a.bandWhy << "\n";
  const bool several = a.positions.size() > 1;
  for (const PositionAssessment& p : a.positions) {
    for (const ChannelAssessment& c : p.channels)
      channelText(out, several ? p.response + ": " + c.name : c.name, c);
  }
  if (several) spreadText(out, a.spread);
  filterText(out, a);
  out << "\nWarnings\n";
  if (a.warnings.empty()) out << "  none\n";
  for (const std::string& w : a.warnings) out << "  " << w << "\n";
  return out.str();
}

}  // namespace orvane
