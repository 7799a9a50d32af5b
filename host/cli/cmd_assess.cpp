// orvane assess: reads measured responses (one per position) and an inverse filter, checks their
// shapes against the mode before reading their samples, and prints the assessment; with --out it
// also keeps it as a set of files (assessment.json and the pictures).
#include <ostream>

#include "host/assess/assessment.h"
#include "host/assess/assessment_pictures.h"
#include "host/cli/commands.h"
#include "host/cli/files_written.h"
#include "host/errors.h"
#include "host/pictures/dialog_picture_names.h"
#include "host/report/output_set.h"
#include "host/session/audio.h"
#include "host/system/file_writing.h"

namespace orvane {

namespace {

FilterMode modeOf(const std::string& name, int filterChannels) {
  if (name == "mono") return FilterMode::Mono;
  if (name == "dual") return FilterMode::DualMono;
  if (name == "stereo") return FilterMode::Stereo;
  if (name == "2x2") return FilterMode::TwoByTwo;
  return filterChannels == 1 ? FilterMode::Mono : FilterMode::DualMono;
}

// The channels of a file, de-interleaved, at full scale 1 (the host reads 16-bit scale);
// refused, naming the file, when a sample is no finite number.
std::vector<std::vector<double>> channelsOf(const Audio& audio) {
  std::vector<std::vector<double>> channels(audio.channels);
  for (auto& c : channels) c.reserve(static_cast<std::size_t>(audio.frames));
  for (long i = 0; i < audio.frames; ++i) {
    for (int c = 0; c < audio.channels; ++c) {
      channels[c].push_back(audio.samples[static_cast<std::size_t>(i) * audio.channels + c] /
                            kHostSampleScale);
    }
  }
  checkFinite(channels, audio.path);
  return channels;
}

// Writes the assessment's files into the output set, returning their paths as named.
std::vector<std::string> writeAssessmentFiles(const OutputSet& set, const Assessment& a,
                                              const Json& json) {
  const std::string jsonPath = pictureInDirectory(set.target(), "assessment.json");
  writeTextFile(set.staged(jsonPath), dumpJson(json) + "\n");
  writeAssessmentPictures(set.staged(set.target()), a);
  std::vector<std::string> written = {jsonPath};
  for (const std::string& path : assessmentPicturePaths(set.target(), a)) written.push_back(path);
  return written;
}

}  // namespace

int assessCommand(const AssessOptions& options, std::ostream& out) {
  // A folder that cannot take the outputs is refused before the files are read.
  if (options.outDir) checkOutputFolder(*options.outDir);
  const Audio filterFacts = probeAudio(options.filter);
  const FilterMode mode = modeOf(options.mode, filterFacts.channels);
  // Every response is checked before any is read.
  for (const std::string& response : options.responses) {
    const Audio responseFacts = probeAudio(response);
    if (responseFacts.sampleRate != filterFacts.sampleRate) {
      throw badInput(options.filter + ": its sample rate (" +
                     std::to_string(filterFacts.sampleRate) + " Hz) is not that of " + response +
                     " (" + std::to_string(responseFacts.sampleRate) + " Hz)");
    }
    checkAssessmentShape(mode, responseFacts.channels, responseFacts.frames, filterFacts.channels,
                         filterFacts.frames, response, options.filter);
  }

  AssessmentInput input;
  input.sampleRate = filterFacts.sampleRate;
  input.mode = mode;
  input.response = channelsOf(readAudio(options.responses.front()));
  for (std::size_t p = 1; p < options.responses.size(); ++p)
    input.morePositions.push_back(channelsOf(readAudio(options.responses[p])));
  if (options.responses.size() > 1) input.positionNames = options.responses;
  input.filter = channelsOf(readAudio(options.filter));
  input.bandLowHz = options.bandLowHz;
  input.bandHighHz = options.bandHighHz;
  input.beta = options.beta;
  input.design = readDesignRecord(options.filter);
  const Assessment assessment = assessFilter(input);
  const Json json = assessmentJson(assessment);
  // Made only now: input refused above leaves no folder behind.
  std::vector<std::string> written;
  if (options.outDir) {
    OutputSet set(*options.outDir);
    written = writeAssessmentFiles(set, assessment, json);
    set.commit();
  }
  if (options.json) {
    out << dumpJson(json) << "\n";
  } else {
    out << assessmentText(assessment);
    if (!written.empty()) writeFilesWritten(out, *options.outDir, written, false);
  }
  out.flush();
  return kExitOk;
}

}  // namespace orvane
