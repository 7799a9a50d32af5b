#include "host/report/wave_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/session/audio_stream.h"

namespace orvane {

namespace {

constexpr long kChannelColours[] = {0xC00000, 0x0000FF};  // COLORREF: blue, red
constexpr const char* kChannelNames[] = {"Left", "Right"};
constexpr double kHeadroom = 1.1;  // the y range's reach over the largest peak
constexpr long kPlainLinear = 8;   // view mode: a linear x axis

}  // namespace

GraphSource waveGraph(const WaveImage& image) {
  GraphSource g;
  g.width = kWavePictureWidth;
  g.height = kWavePictureHeight;
  DisplaySettings& whole = g.targets[0];
  whole.configured = true;
  whole.viewMode = kPlainLinear;
  whole.xLabel = "ms";
  whole.yLabel = "full scale";
  const int channels = std::min(image.channels, 2);
  const long frames = image.frames;
  if (channels < 1 || frames < 1 || image.sampleRate <= 0) return g;
  const double msPerFrame = 1000.0 / image.sampleRate;
  whole.xLeft = 0.0;
  whole.xRight = std::max(frames - 1, 1L) * msPerFrame;
  auto sample = [&](long i, int c) {
    return image.samples[static_cast<std::size_t>(i) * image.channels + c] / kHostSampleScale;
  };
  // The largest peak of every channel, and per column the sample of largest magnitude among the
  // frames the column spans (at least one, the nearest).
  long peakFrame = 0;
  int peakChannel = 0;
  double peak = 0.0;
  for (int c = 0; c < channels; ++c) {
    std::vector<std::optional<double>> columns(static_cast<std::size_t>(g.width));
    for (int k = 0; k < g.width; ++k) {
      const double centre = (double)k * (frames - 1) / (g.width - 1);
      const double half = 0.5 * (frames - 1) / (g.width - 1);
      long first = std::max(0L, (long)std::ceil(centre - half));
      long last = std::min(frames - 1, (long)std::floor(centre + half));
      if (last < first) first = last = std::min(frames - 1, std::lround(centre));
      double largest = sample(first, c);
      for (long i = first + 1; i <= last; ++i)
        if (std::fabs(sample(i, c)) > std::fabs(largest)) largest = sample(i, c);
      columns[static_cast<std::size_t>(k)] = largest;
    }
    for (long i = 0; i < frames; ++i) {
      if (std::fabs(sample(i, c)) > std::fabs(peak)) {
        peak = sample(i, c);
        peakFrame = i;
        peakChannel = c;
      }
    }
    g.curves[c + 1] = columns;
    g.targets[c + 1].configured = true;
    g.targets[c + 1].curveColour = kChannelColours[c];
  }
  const double reach = peak != 0.0 ? kHeadroom * std::fabs(peak) : 1.0;
  whole.yTop = reach;
  whole.yBottom = -reach;
  const double peakMs = peakFrame * msPerFrame;
  g.markers = {peakMs};
  char note[96];
  std::snprintf(note, sizeof note, "peak %.4g at %.3f ms", peak, peakMs);
  g.note = note + std::string(channels > 1 ? std::string(" (") + kChannelNames[peakChannel] + ")"
                                           : std::string());
  if (channels > 1)
    for (int c = 0; c < channels; ++c) g.legend.push_back({kChannelColours[c], kChannelNames[c]});
  return g;
}

}  // namespace orvane
