// What a person should look at first: each line names the channel and says by how much.
#include <cmath>
#include <string>

#include "host/assess/assessment.h"
#include "host/assess/assessment_rules.h"

namespace orvane {

namespace {

// Flatness is stated to hundredths of a dB; a filter that leaves it as it was (a pure delay)
// must not be called worse for the transform's rounding.
constexpr double kFlatnessMarginDb = 0.01;

std::string octaveName(double hz) {
  return hz >= 1000.0 ? fixedText(hz / 1000.0, 0) + " kHz" : fixedText(hz, 0) + " Hz";
}

// `position`: the position's name and ": " when there are several, else nothing.
void channelWarnings(const std::string& position, const ChannelAssessment& c, double beta,
                     std::vector<std::string>* w) {
  const std::string who = position + c.name + ": ";
  if (std::fabs(c.peakOffsetMs) > kPeakMoveMs) {
    w->push_back(
        who + "the main peak comes " + fixedText(std::fabs(c.peakOffsetMs), 2) + " ms " +
        (c.peakOffsetMs > 0 ? "later" : "earlier") +
        " than the filter intends (the response's main peak plus the filter's; more than " +
        fixedText(kPeakMoveMs, 0) + " ms)");
  }
  if (c.after.maxDb > c.before.maxDb + kFlatnessMarginDb) {
    w->push_back(who + "the equalised response is less flat than the unequalised one (" +
                 fixedText(c.after.maxDb, 2) + " dB largest deviation against " +
                 fixedText(c.before.maxDb, 2) + " dB)");
  }
  if (c.preEchoDb && *c.preEchoDb > -kPreEchoWithinDb) {
    w->push_back(who + "a pre-echo only " + fixedText(-*c.preEchoDb, 1) + " dB below the peak, " +
                 fixedText(*c.preEchoMs, 2) + " ms before it");
  }
  for (const OctavePreEcho& o : c.preEchoOctaves) {
    if (o.levelDb && *o.levelDb > -kOctavePreEchoWithinDb) {
      w->push_back(who + "a pre-echo in the " + octaveName(o.centreHz) + " octave, " +
                   fixedText(*o.levelDb, 1) + " dB re the main arrival, " +
                   fixedText(*o.beforeMs, 1) + " ms before it (within " +
                   fixedText(kOctavePreEchoWithinDb, 0) + " dB)");
    }
  }
  if (c.separationMedianDb && *c.separationMedianDb < kSeparationDb) {
    w->push_back(who + "the median cross-talk separation is only " +
                 fixedText(*c.separationMedianDb, 1) + " dB (under " + fixedText(kSeparationDb, 0) +
                 " dB)");
  }
  if (c.belowRegularisationShare > kDominatedShare) {
    w->push_back(who + fixedText(100.0 * c.belowRegularisationShare, 0) +
                 " % of the pass band's bins have |H|^2 below " + fixedText(kDominatedRatio, 0) +
                 " times the regularisation " + fixedText(beta, 6) +
                 ", so the regularisation, not the response, decides the inversion there; " +
                 "scale the response to full scale first, or scale the regularisation by the " +
                 "response's power");
  }
}

}  // namespace

std::vector<std::string> assessmentWarnings(const Assessment& a) {
  std::vector<std::string> w;
  for (const PositionAssessment& p : a.positions) {
    const std::string position = a.positions.size() > 1 ? p.response + ": " : "";
    for (const ChannelAssessment& c : p.channels) channelWarnings(position, c, a.beta, &w);
  }
  for (std::size_t f = 0; f < a.filterEnds.size(); ++f) {
    const FilterEnds& e = a.filterEnds[f];
    const double worst = std::max(e.startDb, e.endDb);
    if (worst > kTruncatedAboveDb) {
      w.push_back(std::string("filter ") + filterChannelName(a.mode, f) +
                  ": truncated, its level at its " + (e.startDb >= e.endDb ? "start" : "end") +
                  " is " + fixedText(worst, 1) + " dB re its peak (above " +
                  fixedText(kTruncatedAboveDb, 0) + " dB): a longer filter, or a window");
    }
  }
  return w;
}

}  // namespace orvane
