// A Linux host built without cairo (the 32-bit check, which compares numbers, not pictures)
// draws nothing: no display, dialog, assessment or waveform pictures, and its reports say so.
#include "host/assess/assessment_pictures.h"
#include "host/pictures/pictures.h"
#include "host/report/wave_pictures.h"

namespace orvane {

std::vector<std::string> picturePaths(const std::string&, const DisplayBoard&,
                                      const std::vector<DialogRecord>&) {
  return {};
}

void writePictures(const std::string&, const DisplayBoard&, const std::vector<DialogRecord>&,
                   const DisplayNames&) {}

std::vector<std::string> assessmentPicturePaths(const std::string&, const Assessment&) {
  return {};
}

void writeAssessmentPictures(const std::string&, const Assessment&) {}

std::vector<std::string> wavePicturePaths(const std::vector<ClipboardFiles>& files,
                                          const std::vector<WaveImage>&) {
  return std::vector<std::string>(files.size());
}

void writeWavePicture(const std::string&, const WaveImage&) {}

}  // namespace orvane
