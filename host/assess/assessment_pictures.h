// Pictures of an assessment, drawn as the host's graphs (host/pictures: one value per pixel
// column, view mode 2 for a log frequency axis), with marker lines and a note each. Names are
// fixed; "-2" is the second channel's (or ear's) picture. With several positions each picture
// is the first position's, but for the band levels, which overlay the others':
//   assessment-bands[-2]       per channel: the third-octave band levels before (curve 1, grey)
//                              and after (curve 2, red) as steps, each column showing the band
//                              it falls in, on a log frequency axis; the pass band's edges
//                              marked; the other positions' after levels over them
//   assessment-time[-2]        per channel: the equalised response's level around its main
//                              peak, dB re the peak (the largest |y| of each column's span, so
//                              no peak falls between columns), over ms; the edge of the
//                              pre-ringing window (1 ms before the peak) marked
//   assessment-whole[-2]       per channel: the whole equalised response in dB re its peak over
//                              ms from the intended arrival (marked), the worst octave's
//                              pre-echo window marked and noted
//   assessment-filter[-2]      the filter's gain in dB over frequency, two filter channels a
//                              picture (2x2: LL, LR then RL, RR); the pass band's edges and the
//                              largest gain marked, the largest gain noted (value, frequency)
//   assessment-separation[-2]  stereo and 2x2, per ear: the separation per band
// Each as PNG and as SVG. The Windows host draws no graphs: there the lists are empty.
#pragma once

#include <string>
#include <vector>

#include "host/assess/assessment.h"
#include "host/pictures/pictures.h"

namespace orvane {

constexpr int kAssessmentPictureWidth = 720;   // px
constexpr int kAssessmentPictureHeight = 400;  // px

// One picture: its file name without extension and the graph it draws.
struct AssessmentGraph {
  std::string stem;
  GraphSource graph;
};

// The graphs of an assessment in the order the files are written.
std::vector<AssessmentGraph> assessmentGraphs(const Assessment& a);

// The files writeAssessmentPictures writes into `dir`, in order (<stem>.png, <stem>.svg).
std::vector<std::string> assessmentPicturePaths(const std::string& dir, const Assessment& a);
// Writes them, creating `dir` when missing. Throws HostError (kExitFailure) naming the file.
void writeAssessmentPictures(const std::string& dir, const Assessment& a);

}  // namespace orvane
