// The pass band an assessment judges flatness over, and why it is that one.
#pragma once

#include <string>
#include <vector>

namespace orvane {

enum class BandSource {
  Given,      // --band
  Design,     // the design's own record: where its in-band regularisation holds
  Corrected,  // neither: where the filter is seen to correct (correctedPassBand)
};

struct PassBand {
  double lowHz = 0;   // Hz
  double highHz = 0;  // Hz
  BandSource source = BandSource::Given;
  std::string why;  // one plain-English sentence saying where the edges come from
};

// One channel's power spectra on the transform's bins 0 ... n/2 (|X(k)|^2, response at scale 1).
struct ChannelPowers {
  std::string name;
  const std::vector<double>* direct = nullptr;     // the unequalised response
  const std::vector<double>* equalised = nullptr;  // the response through the filter
};

// Where a filter of unknown design corrects, from the lowest to the highest audible
// third-octave band (20 Hz ... 20 kHz) in which
//   - the response's level lies within 30 dB of its loudest band's (there is something to
//     correct), and
//   - the equalised level lies within 1 dB of its in-band level, the median over the bands of
//     the first rule (the filter holds the level it corrects to: outside its pass band a
//     regularised inverse lets the level fall away).
// For several channels, their common part. Throws badInput when a response is silent or the
// channels share no band.
PassBand correctedPassBand(const std::vector<ChannelPowers>& channels, double binHz,
                           double nyquist);

const char* bandSourceName(BandSource source);  // "given", "design", "corrected"

}  // namespace orvane
