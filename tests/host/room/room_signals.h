// Synthetic measurements for the impulse response's and the room's tests: a room with a known
// reverberation time per octave band, a sweep and a noise played through a distorting
// loudspeaker into it with noise 80 dB down, and the figures of the true response computed
// here independently (band limits, octave bands through the analog Butterworth prototype,
// Schroeder's backward integration to the response's end).
#pragma once

#include <vector>

#include "host/room/impulse_response.h"

namespace roomtest {

constexpr int kRate = 48000;
constexpr double kDelayS = 0.005;  // the direct sound's arrival

// The true response: a direct sound of gain 0.25 at kDelayS, reflections and a diffuse tail
// whose octave band b (63 Hz ... 8 kHz) decays by 60 dB in decayS[b]; `lengthS` long.
std::vector<double> trueRoom(const std::vector<double>& decayS, double lengthS);

// An exponential sweep 20 Hz ... 20 kHz of amplitude 0.5 lasting `soundS`, or white noise of
// that RMS, then `silenceS` of silence.
std::vector<double> sweep(double soundS, double silenceS);
std::vector<double> noise(double soundS, double silenceS);

// What a microphone records: `x` through x + 0.02 x^2 + 0.01 x^3 (formed at twice the rate, so
// nothing aliases) and `room`, plus noise 80 dB under `x`'s RMS; as long as `x`.
std::vector<double> recorded(const std::vector<double>& x, const std::vector<double>& room);

// `h` limited to lowHz ... highHz by a rectangular mask over a transform twice its length.
std::vector<double> bandLimited(const std::vector<double>& h, double lowHz, double highHz);

// The figures of one octave band of a response without noise, its decay integrated back from
// its end, time zero where it first rises to within 20 dB of its peak.
struct Reference {
  double edtS, t20S, t30S, c50Db, c80Db;
};
Reference schroeder(const std::vector<double>& h, double midbandHz);

// The room of the tests (decay times 0.5 s at 63 Hz down to 0.25 s at 8 kHz, 0.8 s long) and
// its response deconvolved from a 1 s sweep followed by 0.8 s of silence, made once.
struct SweepMeasurement {
  std::vector<double> room;
  orvane::ImpulseResponse measured;
};
const SweepMeasurement& sweepMeasurement();

}  // namespace roomtest
