// What a person should look at first: each line names the channel and says by how much.
#include <cmath>
#include <cstdio>
#include <string>

#include "host/assess/assessment.h"

namespace orvane {

namespace {

constexpr double kPeakMoveMs = 1.0;
constexpr double kPreEchoWithinDb = 20.0;
constexpr double kSeparationDb = 20.0;
// Flatness is stated to hundredths of a dB; a filter that leaves it as it was (a pure delay)
// must not be called worse for the transform's rounding.
constexpr double kFlatnessMarginDb = 0.01;
// The regularised inversion F = H* / (|H|^2 + beta) follows 1/H only where |H|^2 stands well
// above beta: at |H|^2 = 10 beta it already falls 0.8 dB short, and below that beta decides.
constexpr double kDominatedRatio = 10.0;

}  // namespace

std::vector<std::string> assessmentWarnings(const Assessment& a, double beta) {
  std::vector<std::string> w;
  for (const ChannelAssessment& c : a.channels) {
    const std::string who = c.name + ": ";
    if (std::fabs(c.peakOffsetMs) > kPeakMoveMs) {
      w.push_back(who + "the main peak comes " + fixedText(std::fabs(c.peakOffsetMs), 2) + " ms " +
                  (c.peakOffsetMs > 0 ? "later" : "earlier") +
                  " than the filter intends (more than 1 ms)");
    }
    if (c.after.maxDb > c.before.maxDb + kFlatnessMarginDb) {
      w.push_back(who + "the equalised response is less flat than the unequalised one (" +
                  fixedText(c.after.maxDb, 2) + " dB largest deviation against " +
                  fixedText(c.before.maxDb, 2) + " dB)");
    }
    if (c.preEchoDb && *c.preEchoDb > -kPreEchoWithinDb) {
      w.push_back(who + "a pre-echo only " + fixedText(-*c.preEchoDb, 1) + " dB below the peak, " +
                  fixedText(*c.preEchoMs, 2) + " ms before it");
    }
    if (c.separationMedianDb && *c.separationMedianDb < kSeparationDb) {
      w.push_back(who + "the median cross-talk separation is only " +
                  fixedText(*c.separationMedianDb, 1) + " dB (under 20 dB)");
    }
    if (beta > 0.0 && c.inBandPowerGain < kDominatedRatio * beta) {
      const double above = 10.0 * std::log10(c.inBandPowerGain / beta);
      const std::string where = above >= 0.0 ? "only " + fixedText(above, 1) + " dB above"
                                             : fixedText(-above, 1) + " dB below";
      w.push_back(who + "the response's mean power gain in the pass band (" +
                  fixedText(10.0 * std::log10(c.inBandPowerGain), 1) + " dB) is " + where +
                  " the regularisation " + fixedText(beta, 6) +
                  ", so the regularisation dominates the inversion; scale the response to full " +
                  "scale first, or scale the regularisation by the response's power");
    }
  }
  return w;
}

}  // namespace orvane
