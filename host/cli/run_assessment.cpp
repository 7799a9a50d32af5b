#include "host/cli/run_assessment.h"

#include "host/errors.h"

namespace orvane {

namespace {

// The designer's results the assessment reads, by the names its table gives them.
constexpr char kMode[] = "Mode";
constexpr char kInBandRegularisation[] = "In-band regularisation";
constexpr char kLowCut[] = "Low frequency";
constexpr char kHighCut[] = "High frequency";
constexpr char kTransition[] = "Transition width";
// The texts of its modes that are networks; a pair of filters is any other of two channels.
constexpr char kStereoMode[] = "Stereo";
constexpr char kTwoByTwoMode[] = "2x2";

const NamedResult* resultOf(const std::vector<NamedResult>& results, const char* name) {
  for (const NamedResult& r : results)
    if (r.name == name && r.channel.empty()) return &r;
  return nullptr;
}

std::optional<double> valueOf(const std::vector<NamedResult>& results, const char* name) {
  const NamedResult* r = resultOf(results, name);
  return r ? r->value : std::nullopt;
}

// Frames [first, last] of the recording, per channel, at full scale 1.
std::vector<std::vector<double>> selectionOf(const Audio& audio, long first, long last) {
  const long frames = last - first + 1;
  std::vector<float> buffer(static_cast<std::size_t>(frames) * audio.channels);
  std::string problem;
  if (!audio.stream->read(first, frames, audio.channels, buffer.data(), &problem))
    throw failure("cannot read " + audio.path + ": " + problem);
  std::vector<std::vector<double>> channels(audio.channels);
  for (long i = 0; i < frames; ++i)
    for (int c = 0; c < audio.channels; ++c)
      channels[c].push_back(buffer[static_cast<std::size_t>(i) * audio.channels + c] /
                            kHostSampleScale);
  return channels;
}

std::vector<std::vector<double>> channelsOf(const WaveImage& image) {
  std::vector<std::vector<double>> channels(image.channels);
  for (long i = 0; i < image.frames; ++i)
    for (int c = 0; c < image.channels; ++c)
      channels[c].push_back(image.samples[static_cast<std::size_t>(i) * image.channels + c] /
                            kHostSampleScale);
  return channels;
}

}  // namespace

std::optional<Assessment> assessRunDesign(const PluginInfo& plugin, const Audio& audio, long first,
                                          long last, const std::vector<NamedResult>& results,
                                          const std::vector<ClipboardItem>& clipboard,
                                          const std::vector<WaveImage>& images,
                                          std::vector<std::string>* warnings) {
  if (plugin.name.find("Invert Kirkeby") == std::string::npos || !audio.stream) return {};
  const WaveImage* filter = nullptr;
  for (std::size_t i = 0; i < clipboard.size(); ++i)
    if (clipboard[i].format == CF_WAVE && images[i].valid) filter = &images[i];
  if (results.empty() || !filter) return {};

  AssessmentInput in;
  in.sampleRate = audio.sampleRate;
  const NamedResult* mode = resultOf(results, kMode);
  if (audio.channels == 1)
    in.mode = FilterMode::Mono;
  else if (mode && mode->text == kTwoByTwoMode)
    in.mode = FilterMode::TwoByTwo;
  else if (mode && mode->text == kStereoMode)
    in.mode = FilterMode::Stereo;
  else
    in.mode = FilterMode::DualMono;
  const auto low = valueOf(results, kLowCut), high = valueOf(results, kHighCut);
  const auto width = valueOf(results, kTransition);
  const auto beta = valueOf(results, kInBandRegularisation);
  if (low && high && width && beta) {
    DesignRecord d;
    d.lowCutHz = *low;
    d.highCutHz = *high;
    d.transitionOctaves = *width;
    d.inBandRegularisation = *beta;
    in.design = d;
  } else if (beta) {
    in.beta = *beta;
  }
  try {
    in.response = selectionOf(audio, first, last);
    in.filter = channelsOf(*filter);
    return assessFilter(in);
  } catch (const HostError& e) {
    warnings->push_back(std::string("the design could not be assessed: ") + e.what());
    return {};
  }
}

}  // namespace orvane
