// What an inverse-filter design was asked for, kept beside the filter it made: the cut
// frequencies, the transition and the regularisation, from which `orvane assess` takes the
// pass band the design meant to correct. An `orvane run` of the designer writes it as
// <filter name>.design.json next to the filter's WAV.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "host/report/json.h"

namespace orvane {

struct DesignRecord {
  double lowCutHz = 0;              // the lower cut frequency, Hz
  double highCutHz = 0;             // the higher cut frequency, Hz
  double transitionOctaves = 0;     // the transition's width, octaves, centred on each cut
  double inBandRegularisation = 0;  // beta between the cuts, linear power
  std::optional<double> outBandRegularisation;  // beta outside them, linear power
};

// Where the in-band regularisation holds: the cuts moved inwards by half the transition, Hz.
std::pair<double, double> designPassBand(const DesignRecord& d);

// {"design": {low_cut_hz, high_cut_hz, transition_octaves, in_band_regularisation,
// out_band_regularisation}} and back; reading throws badInput naming `path` when a field is
// missing or no number.
Json designRecordJson(const DesignRecord& d);
DesignRecord designRecordFrom(const Json& j, const std::string& path);

// The record's file for a filter's WAV: "eq/clipboard.wav" -> "eq/clipboard.design.json".
std::string designRecordPathFor(const std::string& filterPath);
// The record beside a filter, none when there is no such file; a file that is there but
// cannot be read as a record throws badInput naming it.
std::optional<DesignRecord> readDesignRecord(const std::string& filterPath);

}  // namespace orvane
