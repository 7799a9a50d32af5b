// A Linux host built without cairo (the 32-bit check, which compares numbers, not pictures)
// draws nothing: no display, dialog or assessment pictures, and its reports say so.
#include "host/assess/assessment_pictures.h"
#include "host/pictures/pictures.h"

namespace orvane {

std::vector<std::string> picturePaths(const std::string&, const DisplayBoard&,
                                      const std::vector<DialogRecord>&) {
  return {};
}

void writePictures(const std::string&, const DisplayBoard&, const std::vector<DialogRecord>&) {}

std::vector<std::string> assessmentPicturePaths(const std::string&, const Assessment&) {
  return {};
}

void writeAssessmentPictures(const std::string&, const Assessment&) {}

}  // namespace orvane
