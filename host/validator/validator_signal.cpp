#include "host/validator/validator_signal.h"

#include <cmath>
#include <random>

namespace orvane {

const char* signalKindName(SignalKind kind) {
  switch (kind) {
    case SignalKind::ToneAndNoise:
      return "tone and noise";
    case SignalKind::Silence:
      return "silence";
    case SignalKind::FullScaleNoise:
      return "full-scale noise";
    case SignalKind::ClippedSquare:
      return "clipped square";
    case SignalKind::Impulses:
      return "impulses";
    case SignalKind::Offset:
      return "offset";
    case SignalKind::OverFullScale:
      return "over full scale";
  }
  return "?";
}

Audio makeSignal(const SignalSpec& recipe) {
  Audio audio;
  audio.path = std::string("(generated: ") + signalKindName(recipe.kind) + ")";
  audio.format = "generated";
  audio.channels = recipe.channels;
  audio.sampleRate = static_cast<int>(recipe.sampleRate);
  audio.frames = recipe.frames;
  audio.samples.assign(static_cast<size_t>(recipe.frames) * recipe.channels, 0.0f);

  std::mt19937 random(recipe.seed);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  const double rate = recipe.sampleRate > 0 ? static_cast<double>(recipe.sampleRate) : 1.0;
  for (long i = 0; i < recipe.frames; ++i) {
    for (int c = 0; c < recipe.channels; ++c) {
      // The right channel a little different from the left: another frequency, another gain.
      const double gain = c == 0 ? 1.0 : 0.5;
      const double t = static_cast<double>(i) / rate;
      double v = 0.0;
      switch (recipe.kind) {
        case SignalKind::ToneAndNoise:
          v = gain * 8192.0 * std::sin(2.0 * M_PI * (1000.0 + 250.0 * c) * t) +
              300.0 * unit(random);
          break;
        case SignalKind::Silence:
          break;
        case SignalKind::FullScaleNoise:
          v = 32767.0 * unit(random);
          break;
        case SignalKind::ClippedSquare:
          v = ((i / (16 + 8 * c)) % 2 == 0) ? 32767.0 : -32768.0;
          break;
        case SignalKind::Impulses:
          v = (i % 4001 == 17 * (c + 1)) ? 32767.0 : 0.0;
          break;
        case SignalKind::Offset:
          v = gain * 16000.0 + 50.0 * unit(random);
          break;
        case SignalKind::OverFullScale:
          v = 4.0 * 32768.0 * unit(random);
          break;
      }
      audio.samples[static_cast<size_t>(i) * recipe.channels + c] = static_cast<float>(v);
    }
  }
  return audio;
}

}  // namespace orvane
