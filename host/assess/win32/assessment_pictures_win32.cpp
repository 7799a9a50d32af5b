// The Windows host draws no graphs (its pictures are screenshots of the real dialogs, and an
// assessment has none): an assessment gets no pictures there.
#include "host/assess/assessment_pictures.h"

namespace orvane {

std::vector<std::string> assessmentPicturePaths(const std::string&, const Assessment&) {
  return {};
}

void writeAssessmentPictures(const std::string&, const Assessment&) {}

}  // namespace orvane
