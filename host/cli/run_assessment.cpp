#include "host/cli/run_assessment.h"

#include <cmath>
#include <cstdlib>

#include "host/errors.h"

namespace orvane {

namespace {

const DialogRecord* dialogOf(const std::vector<DialogRecord>& dialogs, int resource) {
  for (const DialogRecord& d : dialogs)
    if (d.resource == resource) return &d;
  return nullptr;
}

const ControlRecord* controlOf(const DialogRecord* d, int id) {
  if (!d) return nullptr;
  for (const ControlRecord& c : d->controls)
    if (c.id == id) return &c;
  return nullptr;
}

// The number a results field shows ("1.e-003", "80"); none when it shows none.
std::optional<double> numberIn(const DialogRecord* d, int id) {
  const ControlRecord* c = controlOf(d, id);
  if (!c) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(c->text.c_str(), &end);
  if (end == c->text.c_str() || !std::isfinite(v)) return std::nullopt;
  return v;
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

// Controls of the designer's dialogs the assessment reads, as a person reads them.
constexpr int kSettingsDialog = 100, kResultsDialog = 107;
constexpr int kStereoMode = 1011, kTwoByTwoMode = 1012;
constexpr int kInBandRegularisation = 1031, kLowCut = 1044, kHighCut = 1045, kTransition = 1046;

}  // namespace

std::optional<Assessment> assessRunDesign(const PluginInfo& plugin, const Audio& audio, long first,
                                          long last, const std::vector<DialogRecord>& dialogs,
                                          const std::vector<ClipboardItem>& clipboard,
                                          const std::vector<WaveImage>& images,
                                          std::vector<std::string>* warnings) {
  if (plugin.name.find("Invert Kirkeby") == std::string::npos || !audio.stream) return {};
  const DialogRecord* results = dialogOf(dialogs, kResultsDialog);
  const WaveImage* filter = nullptr;
  for (std::size_t i = 0; i < clipboard.size(); ++i)
    if (clipboard[i].format == CF_WAVE && images[i].valid) filter = &images[i];
  if (!results || !filter) return {};

  AssessmentInput in;
  in.sampleRate = audio.sampleRate;
  const DialogRecord* settings = dialogOf(dialogs, kSettingsDialog);
  const ControlRecord* stereo = controlOf(settings, kStereoMode);
  const ControlRecord* twoByTwo = controlOf(settings, kTwoByTwoMode);
  if (audio.channels == 1)
    in.mode = FilterMode::Mono;
  else if (twoByTwo && twoByTwo->checked)
    in.mode = FilterMode::TwoByTwo;
  else if (stereo && stereo->checked)
    in.mode = FilterMode::Stereo;
  else
    in.mode = FilterMode::DualMono;
  const auto low = numberIn(results, kLowCut), high = numberIn(results, kHighCut);
  const auto width = numberIn(results, kTransition);
  const auto beta = numberIn(results, kInBandRegularisation);
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
