// What the host's pictures add for a person: the clipboard's waveform with its peak, a legend
// and the units a plug-in publishes for its display, a peak kept off the frame, and a filter's
// largest gain drawn as its note states it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/assess/assessment.h"
#include "host/assess/assessment_pictures.h"
#include "host/assess/assess_signals.h"
#include "host/pictures/graph_layout.h"
#include "host/report/wave_pictures.h"

namespace {

constexpr int kRate = 48000;

double largestOf(const std::vector<std::optional<double>>& values) {
  double largest = -INFINITY;
  for (const auto& v : values)
    if (v) largest = std::max(largest, *v);
  return largest;
}

}  // namespace

TEST(ReadablePictures, AWaveformShowsItsPeakAtItsTimeInMs) {
  // 0.1 s of stereo: one sample of 0.9 on the right at 50 ms, among the several a column spans.
  orvane::WaveImage image;
  image.valid = true;
  image.channels = 2;
  image.sampleRate = kRate;
  image.frames = kRate / 10;
  image.samples.assign(static_cast<size_t>(image.frames) * 2, 0.0f);
  image.samples[2400 * 2 + 1] = 0.9f * 32768;
  const orvane::GraphSource g = orvane::waveGraph(image);
  EXPECT_EQ(g.targets[0].xLabel, "ms");
  ASSERT_EQ(g.markers.size(), 1u);
  EXPECT_DOUBLE_EQ(g.markers[0], 50.0);
  EXPECT_NE(g.note.find("0.9 at 50.000 ms (Right)"), std::string::npos) << g.note;
  EXPECT_FLOAT_EQ(largestOf(g.curves.at(2)), 0.9f);
  EXPECT_GT(*g.targets[0].yTop, 0.9);
  ASSERT_EQ(g.legend.size(), 2u);
  EXPECT_EQ(g.legend[1].name, "Right");
}

TEST(ReadablePictures, ADisplayGetsALegendItsUnitsAndRoomOverItsPeak) {
  orvane::GraphSource display;
  display.width = 200;
  display.height = 100;
  display.targets[0].xLabel = "s";
  for (int curve : {1, 2}) {
    display.targets[curve].yTop = 1.0;
    display.targets[curve].yBottom = -1.0;
    display.curves[curve] = std::vector<std::optional<double>>(200, 0.0);
  }
  display.targets[2].curveColour = 0x800080;
  display.curves[1][80] = 0.999;  // on the top row: lost in the frame
  orvane::DisplayNames names;
  names.curves = {{2, 0x800080, "Phase"}, {2, 0x0000FF, "Right"}};
  names.xUnit = "samples";
  const orvane::GraphSource g = orvane::readableGraph(display, names);
  EXPECT_EQ(g.targets[0].xLabel, "samples");
  ASSERT_EQ(g.legend.size(), 2u);
  EXPECT_EQ(g.legend[0].name, "Left");
  EXPECT_EQ(g.legend[1].name, "Phase");
  // Both curves on one range still, high enough for the peak to stand clear of the frame.
  const orvane::GraphYRange one = orvane::graphYRange(g.targets, g.curves, 1);
  const orvane::GraphYRange two = orvane::graphYRange(g.targets, g.curves, 2);
  EXPECT_EQ(one.top, two.top);
  EXPECT_GE(orvane::graphRow(0.999, one, g.height), 1.0);
  EXPECT_EQ(one.bottom, -1.0);
  // One curve drawn: no legend.
  display.curves.erase(2);
  EXPECT_TRUE(orvane::readableGraph(display, names).legend.empty());
}

TEST(ReadablePictures, AFiltersPictureReachesTheLargestGainItsNoteStates) {
  // A resonance as narrow as a few bins of the filter: its peak falls between the points of the
  // drawing's twelfth-octave grid.
  orvane::AssessmentInput in;
  in.sampleRate = kRate;
  in.mode = orvane::FilterMode::Mono;
  in.response = {hosttest::pulseAt(2048, 0)};
  std::vector<double> filter(8192, 0.0);
  for (size_t n = 0; n < filter.size(); ++n)
    filter[n] = 0.02 * std::pow(0.9995, (double)n) * std::cos(2 * M_PI * 3137.0 * n / kRate);
  in.filter = {filter};
  in.bandLowHz = 100.0;
  in.bandHighHz = 10000.0;
  const orvane::Assessment a = orvane::assessFilter(in);
  for (const orvane::AssessmentGraph& graph : orvane::assessmentGraphs(a)) {
    if (graph.stem != "assessment-filter") continue;
    EXPECT_GE(*graph.graph.targets[0].yTop, a.filterGain.maxDb);
    EXPECT_NEAR(largestOf(graph.graph.curves.at(1)), a.filterGain.maxDb, 0.5);
    return;
  }
  FAIL() << "no filter picture";
}
