#include "host/assess/pass_band.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/assess/assessment.h"
#include "host/assess/third_octaves.h"
#include "host/errors.h"

namespace orvane {

namespace {

// The audible bands, 20 Hz ... 20 kHz (x = -17 ... 13).
constexpr int kLowestBand = -17;
constexpr int kHighestBand = 13;
// How far below its loudest band a response still has something to correct, dB.
constexpr double kResponseRangeDb = 30.0;
// How far from its in-band level the equalised level may lie where the filter corrects, dB:
// the plug-in's designs hold it within some 0.5 dB in their pass band and fall 1.5 dB or more
// one band outside it.
constexpr double kCorrectedWithinDb = 1.0;

}  // namespace

const char* bandSourceName(BandSource source) {
  switch (source) {
    case BandSource::Given:
      return "given";
    case BandSource::Design:
      return "design";
    case BandSource::Corrected:
      return "corrected";
  }
  return "";
}

PassBand correctedPassBand(const std::vector<ChannelPowers>& channels, double binHz,
                           double nyquist) {
  const std::size_t lastBin = channels.front().direct->size() - 1;
  const auto bands =
      thirdOctaveBandsWithin(thirdOctaveEdgeHz(kLowestBand, -1),
                             std::min(nyquist, thirdOctaveEdgeHz(kHighestBand, 1)), binHz, lastBin);
  if (bands.empty()) throw badInput("the response's sample rate leaves no third-octave band");
  double lo = 0.0, hi = std::numeric_limits<double>::infinity();
  for (const ChannelPowers& c : channels) {
    const auto direct = powerDb(bandMeans(*c.direct, bands));
    const auto equalised = powerDb(bandMeans(*c.equalised, bands));
    const double loudest = *std::max_element(direct.begin(), direct.end());
    if (!std::isfinite(loudest))
      throw badInput("the response of the " + c.name + " channel is silent");
    std::vector<bool> loud(bands.size());
    std::vector<double> loudLevels;
    for (std::size_t b = 0; b < bands.size(); ++b) {
      loud[b] = direct[b] >= loudest - kResponseRangeDb;
      if (loud[b] && std::isfinite(equalised[b])) loudLevels.push_back(equalised[b]);
    }
    std::size_t first = bands.size(), last = 0;
    if (!loudLevels.empty()) {
      const double inBand = median(loudLevels);
      for (std::size_t b = 0; b < bands.size(); ++b) {
        if (loud[b] && std::fabs(equalised[b] - inBand) <= kCorrectedWithinDb) {
          first = std::min(first, b);
          last = b;
        }
      }
    }
    if (first == bands.size())
      throw badInput("the filter corrects no band of the " + c.name + " channel");
    lo = std::max(lo, bands[first].lowHz);
    hi = std::min(hi, bands[last].highHz);
  }
  if (lo >= hi) throw badInput("the channels' corrected bands share no pass band");
  PassBand p;
  p.lowHz = lo;
  p.highHz = hi;
  p.source = BandSource::Corrected;
  p.why = "where the filter corrects: the bands within " + fixedText(kResponseRangeDb, 0) +
          " dB of the response's loudest whose equalised level lies within " +
          fixedText(kCorrectedWithinDb, 0) + " dB of its in-band median";
  return p;
}

}  // namespace orvane
