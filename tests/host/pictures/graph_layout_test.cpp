// The graph's layout rules shared by the painters of a display: where each setting comes from,
// the y ranges, grid steps and tick texts as worked values, and agreement with the graph that
// the Linux host draws into its pictures.
#include "host/pictures/graph_layout.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "host/host_test_support.h"
#include "host/pictures/pictures.h"

using namespace orvane;

namespace {

DisplayTargets noTargets() { return {}; }

}  // namespace

TEST(GraphLayout, SettingsComeFromTheGraphThenCurveOneThenCurveTwo) {
  DisplayTargets t = noTargets();
  EXPECT_EQ(graphBackground(t), 0xFFFFFF);
  EXPECT_EQ(graphGridColour(t), 0xC0C0C0);
  EXPECT_EQ(graphCurveColour(t, 1), 0x000000);
  EXPECT_EQ(graphCurveColour(t, 2), 0x0000FF);
  EXPECT_FALSE(graphXLeft(t));
  EXPECT_FALSE(graphXLabel(t));

  t[2].background = 0x222222;
  t[2].xLeft = 2.0;
  t[2].yLabel = "dB";
  EXPECT_EQ(graphBackground(t), 0x222222);
  EXPECT_EQ(graphXLeft(t), 2.0);
  EXPECT_EQ(graphYLabel(t), "dB");
  t[1].background = 0x111111;
  t[1].xLeft = 1.0;
  EXPECT_EQ(graphBackground(t), 0x111111);
  EXPECT_EQ(graphXLeft(t), 1.0);
  t[0].background = 0x000000;  // black is a colour, not "unset"
  t[0].xLeft = 0.0;
  EXPECT_EQ(graphBackground(t), 0x000000);
  EXPECT_EQ(graphXLeft(t), 0.0);

  // A curve's colour is its own only: curve 2 does not take curve 1's.
  t[1].curveColour = 0x800000;
  EXPECT_EQ(graphCurveColour(t, 1), 0x800000);
  EXPECT_EQ(graphCurveColour(t, 2), 0x0000FF);
}

TEST(GraphLayout, YRangeOfACurve) {
  DisplayTargets t = noTargets();
  CurveColumns values{{1, {2.0, std::nullopt, 12.0, NAN}}, {2, {7.0}}};
  // No range given: the values' (2 ... 12) widened by 5 % each way, non-finite ones ignored.
  GraphYRange r = graphYRange(t, values, 1);
  EXPECT_DOUBLE_EQ(r.top, 12.5);
  EXPECT_DOUBLE_EQ(r.bottom, 1.5);
  // All values equal: one unit each way; no values: 1 ... 0.
  r = graphYRange(t, {{1, {3.0, 3.0}}}, 1);
  EXPECT_DOUBLE_EQ(r.top, 4.0);
  EXPECT_DOUBLE_EQ(r.bottom, 2.0);
  r = graphYRange(t, {}, 2);
  EXPECT_DOUBLE_EQ(r.top, 1.0);
  EXPECT_DOUBLE_EQ(r.bottom, 0.0);

  // The other curve's, then the whole graph's, then the curve's own.
  t[2].yTop = 30.0;
  t[2].yBottom = 10.0;
  r = graphYRange(t, values, 1);
  EXPECT_EQ(r.top, 30.0);
  EXPECT_EQ(r.bottom, 10.0);
  t[0].yTop = 0.0;
  r = graphYRange(t, values, 1);
  EXPECT_EQ(r.top, 0.0);
  EXPECT_EQ(r.bottom, 10.0);  // an end the graph does not give still comes from curve 2
  t[1].yBottom = -100.0;
  r = graphYRange(t, values, 1);
  EXPECT_EQ(r.top, 0.0);
  EXPECT_EQ(r.bottom, -100.0);
  EXPECT_EQ(graphYRange(t, values, 2).top, 30.0);  // curve 2 keeps its own

  // A range of no height is opened around its top.
  t[0].yTop = 5.0;
  t[1].yBottom = 5.0;
  r = graphYRange(t, values, 1);
  EXPECT_EQ(r.top, 6.0);
  EXPECT_EQ(r.bottom, 4.0);
}

TEST(GraphLayout, RowsAndColumns) {
  const GraphYRange r{120.0, 20.0};
  EXPECT_DOUBLE_EQ(graphRow(120.0, r, 200), 0.0);
  EXPECT_DOUBLE_EQ(graphRow(20.0, r, 200), 199.0);
  EXPECT_DOUBLE_EQ(graphRow(70.0, r, 200), 99.5);
  EXPECT_DOUBLE_EQ(graphRow(1e9, r, 200), -400.0);  // clamped: still a line off the top
  EXPECT_DOUBLE_EQ(graphRow(-1e9, r, 200), 600.0);
  EXPECT_DOUBLE_EQ(graphColumn(1.5, 0.0, 3.0, 301), 150.0);
  EXPECT_DOUBLE_EQ(graphColumn(3.0, 0.0, 3.0, 301), 300.0);
}

TEST(GraphLayout, GridStepsAndTicks) {
  EXPECT_DOUBLE_EQ(graphGridStep(100.0, 199.0, 24), 20.0);   // 12.06 needed
  EXPECT_DOUBLE_EQ(graphGridStep(3.0, 299.0, 48), 0.5);      // 0.48
  EXPECT_DOUBLE_EQ(graphGridStep(-100.0, 200.0, 48), 50.0);  // 24, either direction
  EXPECT_DOUBLE_EQ(graphGridStep(10.0, 480.0, 48), 1.0);     // exactly 1 stays 1
  EXPECT_DOUBLE_EQ(graphGridStep(400.0, 100.0, 24), 100.0);  // 96
  EXPECT_EQ(graphGridStep(0.0, 100.0, 24), 0.0);
  EXPECT_EQ(graphGridStep(INFINITY, 100.0, 24), 0.0);
  EXPECT_EQ(graphGridStep(10.0, 0.0, 24), 0.0);

  EXPECT_EQ(graphGridValues(1.0, -1.0, 0.5), (std::vector<double>{-1.0, -0.5, 0.0, 0.5, 1.0}));
  EXPECT_EQ(graphGridValues(0.1, 0.95, 0.2).size(), 4u);  // 0.2 0.4 0.6 0.8
  EXPECT_TRUE(graphGridValues(0.0, 1.0, 0.0).empty());
  EXPECT_TRUE(graphGridValues(0.0, 1e6, 1.0).empty());  // more than a thousand lines

  EXPECT_EQ(graphTickText(40.0, 20.0), "40");
  EXPECT_EQ(graphTickText(-0.5, 0.5), "-0.5");
  EXPECT_EQ(graphTickText(0.25, 0.05), "0.25");
  EXPECT_EQ(graphTickText(-1e-17, 0.1), "0.0");  // a zero off by rounding has no sign
}

// The graph the Linux host draws follows the same rules: its grid lines, background and curve
// rows lie where the layout puts them.
TEST(GraphLayout, AgreesWithTheDrawnGraph) {
  constexpr int kW = 300, kH = 200;
  GraphSource g;
  g.width = kW;
  g.height = kH;
  g.targets[0].configured = true;
  g.targets[0].background = 0xE0FFFF;
  g.targets[0].gridColour = 0x40C080;
  g.targets[0].yTop = 120.0;
  g.targets[0].yBottom = 20.0;
  g.targets[0].xLeft = 0.0;
  g.targets[0].xRight = 3.0;
  g.targets[2].configured = true;
  g.targets[2].curveColour = 0x0000C0;
  g.targets[2].yTop = 10.0;  // curve 2 on its own scale
  g.targets[2].yBottom = 0.0;
  for (int k = 0; k < kW; ++k) g.curves[2].push_back(k < 150 ? 3.0 : 7.0);

  hosttest::ScratchDir dir;
  const std::string path = dir.file("graph.png");
  writeGraphPng(path, g);
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  auto at = [&](int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(s) +
                               static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  };
  auto pixel = [](long colorref) {
    return static_cast<uint32_t>(((colorref & 0xFF) << 16) | (colorref & 0xFF00) |
                                 ((colorref >> 16) & 0xFF));
  };
  auto nearest = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };

  const uint32_t grid = pixel(graphGridColour(g.targets));
  const uint32_t background = pixel(graphBackground(g.targets));
  EXPECT_EQ(at(120, 100), background);

  // Horizontal grid lines: the rows the layout gives for the multiples of its step, in a
  // column no label or curve reaches; rows 0 and H - 1 are the frame's.
  const GraphYRange axis = graphYRange(g.targets, g.curves, 1);
  const double yStep = graphGridStep(axis.top - axis.bottom, kH - 1, kGraphMinGridRows);
  std::set<int> wantRows, gotRows;
  for (double v : graphGridValues(axis.top, axis.bottom, yStep)) {
    const int row = nearest(graphRow(v, axis, kH));
    if (row > 0 && row < kH - 1) wantRows.insert(row);
  }
  for (int y = 1; y < kH - 1; ++y) {
    if (at(120, y) == grid) gotRows.insert(y);
  }
  EXPECT_EQ(gotRows, wantRows);
  EXPECT_EQ(wantRows.size(), 4u);  // 100, 80, 60, 40 (20 and 120 lie on the frame)

  // Vertical ones along a row between the horizontal lines.
  const double xStep = graphGridStep(3.0, kW - 1, kGraphMinGridColumns);
  std::set<int> wantColumns, gotColumns;
  for (double v : graphGridValues(0.0, 3.0, xStep)) {
    const int column = nearest(graphColumn(v, 0.0, 3.0, kW));
    if (column > 0 && column < kW - 1) wantColumns.insert(column);
  }
  for (int x = 1; x < kW - 1; ++x) {
    if (at(x, 100) == grid) gotColumns.insert(x);
  }
  EXPECT_EQ(gotColumns, wantColumns);
  EXPECT_EQ(wantColumns.size(), 5u);

  // Curve 2 on its own range, in its own colour.
  const GraphYRange range2 = graphYRange(g.targets, g.curves, 2);
  const uint32_t colour2 = pixel(graphCurveColour(g.targets, 2));
  EXPECT_EQ(at(100, nearest(graphRow(3.0, range2, kH))), colour2);
  EXPECT_EQ(at(200, nearest(graphRow(7.0, range2, kH))), colour2);
  cairo_surface_destroy(s);
}
