// The parameters of ISO 3382-1 from an impulse response, per octave band 63 Hz ... 8 kHz
// (octave_filters.h) and for the whole response: the decay times EDT, T20 and T30 from the
// backward-integrated decay (decay_analysis.h) with the correlation coefficients of their
// fits, and the energy ratios C50, C80, D50 and the centre time Ts. Plain numbers in, records
// out; reading files is the command's (cli/cmd_room.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/report/json.h"
#include "host/room/decay_analysis.h"

namespace orvane {

// A decay time fitted over an evaluation range of the decay curve (room_rules.h).
struct DecayTime {
  std::optional<double> seconds;      // none when the range cannot be measured (notes say why)
  std::optional<double> correlation;  // r of the least-squares fit (negative for a decay)
  double fromS = 0.0, toS = 0.0;      // where the range lies, s from time zero
  DecayLine line;                     // the fit, dB over s from time zero
};

struct BandParameters {
  std::optional<int> nominalHz;  // none for the whole response
  double midbandHz = 0.0;        // 0 for the whole response
  DecayTime edt, t20, t30;
  std::optional<double> c50Db, c80Db, d50, tsMs;  // none where no decay was found
  std::optional<double> decayRangeDb;             // how far the decay falls before the noise, dB
  std::optional<double> truncationMs;             // where it meets the noise, ms from time zero
  double onsetMs = 0.0;                           // time zero, ms from the response's start
  std::vector<std::string> notes;                 // why a figure is none, one line each
  // For the pictures: the decay curve (dB re its start) and the energy (dB re its largest
  // interval), every kDecayPictureStepMs from time zero; the decay curve to the truncation.
  std::vector<double> decayDb;
  std::vector<double> energyDb;
};

struct RoomParameters {
  std::string name;  // the response's file, as given
  double sampleRate = 0.0;
  double lengthS = 0.0;
  std::vector<BandParameters> bands;  // 63 Hz ... 8 kHz
  BandParameters broadband;
};

// `h` at `sampleRate` Hz, samples in any unit (a scale changes nothing but no figure).
RoomParameters analyseRoom(const std::vector<double>& h, double sampleRate,
                           const std::string& name);

// {"room": {"file", "sample_rate_hz", "length_s", "bands": [{"hz", "edt_s", "t20_s", "t30_s",
// "c50_db", "c80_db", "d50", "ts_ms", "notes", then "t20_r", "t30_r", "edt_r",
// "decay_range_db", "truncation_ms", "onset_ms"}], "broadband": {the same but "hz"}}}; figures
// that are none are null.
Json roomJson(const RoomParameters& room);
// The same as a table, a line per band and the broadband, then the notes.
std::string roomText(const RoomParameters& room);
// The figures as the columns of a table of several responses ("T30 s (1000 Hz)", ...).
struct LabelledFigure {
  std::string label;
  std::string value;  // "" for none
};
std::vector<LabelledFigure> roomFigures(const RoomParameters& room);

}  // namespace orvane
