// Waveforms the validator runs plug-ins on: generated in memory, so a validation needs no files
// and every run can be repeated from its seed.
#pragma once

#include <string>

#include "host/session/audio.h"

namespace orvane {

enum class SignalKind {
  ToneAndNoise,    // a 1 kHz tone at -12 dB full scale under soft noise: an ordinary recording
  Silence,         // all zeros
  FullScaleNoise,  // white noise over the whole 16-bit range
  ClippedSquare,   // a square wave stuck at +-32768
  Impulses,        // silence with a few full-scale clicks
  Offset,          // a constant offset with a little noise
  OverFullScale,   // noise up to four times full scale, as a float file may hold
};
constexpr int kSignalKinds = 7;

struct SignalSpec {
  int channels = 2;         // 1 or 2
  long sampleRate = 16000;  // Hz
  long frames = 16000;      // at least 1
  SignalKind kind = SignalKind::ToneAndNoise;
  unsigned seed = 1;  // of the noise
};

// The waveform: frames * channels floats at 16-bit scale, channels interleaved; the right
// channel differs from the left so a plug-in mixing them up can be seen.
Audio makeSignal(const SignalSpec& recipe);
const char* signalKindName(SignalKind kind);

}  // namespace orvane
