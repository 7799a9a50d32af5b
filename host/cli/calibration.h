// orvane run ... --calibrate TONE=LEVEL: a sound level meter calibrated from a recording of a
// calibrator, as a person calibrates it by hand. The tone is measured with the meter in its
// Leq calibration mode at LEVEL, unweighted; the full scale the meter derives from it (per
// channel) then measures the recording in its Full Scale mode.
//
// The host knows the meter by what its dialogs show a person: the radio buttons "Leq" and
// "Full Scale", the edits on the row labelled "Calibration values (dB):" (left to right, one
// per channel), the check boxes of its settings (its weightings, all turned off for the tone)
// and the result "Full Scale Level" per channel. A plug-in without them cannot be calibrated so.
#pragma once

#include <string>
#include <vector>

#include "host/cli/options.h"
#include "host/report/json.h"
#include "host/session/plugin.h"

namespace orvane {

struct MeterCalibration {
  std::string tone;                    // the tone's file, as given
  std::string level;                   // LEVEL as typed: the calibrator's level, dB
  std::vector<std::string> fullScale;  // dB, per channel of the tone, as the meter showed them
};

// Checks the tone (calibration_tone.h), measures it and returns what it gave. Throws HostError
// kExitBadInput when the tone is refused, the plug-in shows no calibration controls, or the
// tone's run did not complete or gave no full scale.
MeterCalibration calibrateFromTone(const RunOptions& o, Plugin& plugin);

// The options that measure a recording of `channels` channels at `sampleRate` Hz: o's, with the
// calibration's settings after the person's. A one-channel tone calibrates every channel, a
// two-channel tone each channel its own; a two-channel tone cannot calibrate a one-channel
// recording (HostError kExitBadInput).
RunOptions calibratedOptions(const RunOptions& o, Plugin& plugin, const MeterCalibration& c,
                             int channels, int sampleRate);

// The report's "calibration": {"tone", "level", "fullScale": [dB per channel of the tone]}.
Json calibrationJson(const MeterCalibration& c);

}  // namespace orvane
