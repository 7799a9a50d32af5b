// Whether a recording is fit to calibrate a meter from: a calibrator's tone, steady, neither
// silent nor clipped, in every channel.
#pragma once

#include <string>

#include "host/session/audio.h"

namespace orvane {

// A tone's 1 s equivalent levels may spread over this much at most (dB): a calibrator's tone
// is steady; one that varies more was moved, handled or picked up something else.
constexpr double kSteadyToneSpreadDb = 0.5;
// A channel whose level (re an RMS of full scale) is below this is silent (dB).
constexpr double kSilentToneDb = -90.0;
// A sample this large (16-bit scale) or larger is clipped: the 16-bit full scale.
constexpr double kClippedSample = 32767.0;

// "" when every channel of `tone` (its samples read whole, at 16-bit scale) is a steady tone,
// else why not, naming the channel (1-based) and what was measured.
std::string toneProblem(const Audio& tone);

}  // namespace orvane
