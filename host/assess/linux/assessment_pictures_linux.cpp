// The Linux host draws an assessment's graphs with the host's cairo drawing (host/pictures).
#include "host/assess/assessment_pictures.h"
#include "host/pictures/dialog_picture_names.h"
#include "host/system/file_writing.h"

namespace orvane {

std::vector<std::string> assessmentPicturePaths(const std::string& dir, const Assessment& a) {
  std::vector<std::string> paths;
  for (const AssessmentGraph& g : assessmentGraphs(a)) {
    paths.push_back(pictureInDirectory(dir, g.stem + ".png"));
    paths.push_back(pictureInDirectory(dir, g.stem + ".svg"));
  }
  return paths;
}

void writeAssessmentPictures(const std::string& dir, const Assessment& a) {
  makeDirectory(dir);
  for (const AssessmentGraph& g : assessmentGraphs(a)) {
    writeGraphPng(pictureInDirectory(dir, g.stem + ".png"), g.graph);
    writeGraphSvg(pictureInDirectory(dir, g.stem + ".svg"), g.graph);
  }
}

}  // namespace orvane
