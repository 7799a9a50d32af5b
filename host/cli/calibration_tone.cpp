#include "host/cli/calibration_tone.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvane {

namespace {

// 16-bit scale: an RMS of 32768 is full scale.
constexpr double kFullScale = 32768.0;

double levelDb(double sumOfSquares, long count) {
  return 10.0 * std::log10(sumOfSquares / count / (kFullScale * kFullScale));
}

std::string dB(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dB", value);
  return text;
}

}  // namespace

std::string toneProblem(const Audio& tone) {
  const long second = tone.sampleRate;
  if (tone.frames < second) return "shorter than 1 s, too short to tell whether it is steady";
  for (int c = 0; c < tone.channels; ++c) {
    const std::string channel = "channel " + std::to_string(c + 1);
    double total = 0.0, lowest = HUGE_VAL, highest = -HUGE_VAL;
    double sum = 0.0;
    for (long i = 0; i < tone.frames; ++i) {
      const double s = tone.samples[(size_t)i * tone.channels + c];
      if (std::fabs(s) >= kClippedSample)
        return channel + " is clipped: frame " + std::to_string(i) + " reaches full scale";
      sum += s * s;
      if ((i + 1) % second == 0) {  // each whole second's Leq
        const double level = levelDb(sum, second);
        lowest = std::min(lowest, level);
        highest = std::max(highest, level);
        total += sum;
        sum = 0.0;
      }
    }
    total += sum;
    const double level = levelDb(total, tone.frames);
    if (!(level >= kSilentToneDb))
      return channel + " is silent: " + (total > 0.0 ? dB(level) : "no sound") + " re full scale";
    if (highest - lowest > kSteadyToneSpreadDb) {
      return channel + " is not steady: its 1 s Leq varies from " + dB(lowest) + " to " +
             dB(highest) + " re full scale, more than " + dB(kSteadyToneSpreadDb);
    }
  }
  return "";
}

}  // namespace orvane
