// The display control: placement over the dialog control, DISPLAY_SET, and the sampling of
// the curves per pixel column.
#include <gtest/gtest.h>

#include <cstring>

#include "host/pictures/display.h"
#include "host/pictures/graph_layout.h"

using namespace orvane;

namespace {

struct CurveSource {
  std::vector<int> curvesAsked;
};

// Curve 1 is y = 2x + 1; curve 2 never has a value.
int WINAPI testCurve(double x, void* user, short curve, double* y) {
  static_cast<CurveSource*>(user)->curvesAsked.push_back(curve);
  if (curve != 1) return 0;
  *y = 2.0 * x + 1.0;
  return 1;
}

LRESULT CALLBACK parentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}

// A top-level window standing in for a dialog, with a frame control 1301 at (10, 20),
// 200 x 150 pixels.
struct FakeDialog {
  HWND window = nullptr;
  HWND frame = nullptr;
  FakeDialog() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = parentProc;
      wc.lpszClassName = "HostTestDialog";
      registered = RegisterClassA(&wc) != 0;
    }
    window = CreateWindowExA(0, "HostTestDialog", "dialog", WS_POPUP | WS_VISIBLE, 100, 50, 400,
                             300, nullptr, nullptr, nullptr, nullptr);
    frame = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 20, 200, 150, window,
                            reinterpret_cast<HMENU>(1301), nullptr, nullptr);
  }
  ~FakeDialog() {
    if (IsWindow(window)) DestroyWindow(window);
  }
};

void set(HWND display, int attribute, int target, LPARAM value) {
  SendMessageA(display, DISPLAY_SET, displaySetParam(attribute, target), value);
}

}  // namespace

TEST(Display, LiesOverItsControlAndCopiesEveryAttribute) {
  FakeDialog dialog;
  ASSERT_NE(dialog.frame, nullptr);
  DisplayBoard board;
  CurveSource source;
  HWND display = board.create(dialog.window, 1301, testCurve, &source);
  ASSERT_NE(display, nullptr);
  RECT frameRect{}, displayRect{};
  GetWindowRect(dialog.frame, &frameRect);
  GetWindowRect(display, &displayRect);
  EXPECT_EQ(displayRect.left, frameRect.left);
  EXPECT_EQ(displayRect.top, frameRect.top);
  EXPECT_EQ(displayRect.right, frameRect.right);
  EXPECT_EQ(displayRect.bottom, frameRect.bottom);

  const DisplayRecord& r = *board.all().at(0);
  EXPECT_EQ(r.number, 1);
  EXPECT_TRUE(r.controlFound);
  EXPECT_EQ(r.rect.left, 10);
  EXPECT_EQ(r.rect.top, 20);
  EXPECT_EQ(r.rect.right, 210);
  EXPECT_EQ(r.rect.bottom, 170);

  // Values behind pointers are read when the message arrives, not later.
  double top = 120.0, bottom = 20.0, left = 0.0, right = 0.5;
  char xLabel[8] = "s";
  set(display, kDisplayXLabel, 0, reinterpret_cast<LPARAM>(xLabel));
  set(display, kDisplayYLabel, 0, reinterpret_cast<LPARAM>("dB"));
  set(display, kDisplayGridColour, 0, 0xC4C4C4);
  set(display, kDisplayBackground, 0, 0xFFFFFF);
  set(display, kDisplaySampleRate, 0, 8000);
  set(display, kDisplayStyle, 0, 1300);
  set(display, kDisplayViewMode, 1, 8);
  set(display, kDisplayCurveColour, 1, 0x800000);
  set(display, kDisplayYTop, 1, reinterpret_cast<LPARAM>(&top));
  set(display, kDisplayYBottom, 1, reinterpret_cast<LPARAM>(&bottom));
  set(display, kDisplayXLeft, 1, reinterpret_cast<LPARAM>(&left));
  set(display, kDisplayXRight, 1, reinterpret_cast<LPARAM>(&right));
  set(display, 13, 0, 77);                         // not an attribute the host knows
  set(display, kDisplayCurveColour, 3, 0x123456);  // not a target it knows
  top = bottom = left = right = -1.0;
  std::strcpy(xLabel, "zz");

  EXPECT_EQ(r.messages, 14);
  EXPECT_EQ(r.targets[0].xLabel, "s");
  EXPECT_EQ(r.targets[0].yLabel, "dB");
  EXPECT_EQ(r.targets[0].gridColour, 0xC4C4C4);
  EXPECT_EQ(r.targets[0].background, 0xFFFFFF);
  EXPECT_EQ(r.targets[0].sampleRate, 8000);
  EXPECT_EQ(r.targets[0].style, 1300);
  EXPECT_EQ(r.targets[1].viewMode, 8);
  EXPECT_EQ(r.targets[1].curveColour, 0x800000);
  EXPECT_EQ(r.targets[1].yTop, 120.0);
  EXPECT_EQ(r.targets[1].yBottom, 20.0);
  EXPECT_EQ(r.targets[1].xLeft, 0.0);
  EXPECT_EQ(r.targets[1].xRight, 0.5);
  EXPECT_FALSE(r.targets[2].configured);
  ASSERT_EQ(r.other.size(), 2u);
  EXPECT_EQ(r.other[0].attribute, 13);
  EXPECT_EQ(r.other[1].target, 3);
}

TEST(Display, SamplesConfiguredCurvesAtEveryPixelColumn) {
  FakeDialog dialog;
  DisplayBoard board;
  CurveSource source;
  HWND display = board.create(dialog.window, 1301, testCurve, &source);
  double left = 1.0, right = 2.0;
  set(display, kDisplayXLeft, 1, reinterpret_cast<LPARAM>(&left));
  set(display, kDisplayXRight, 1, reinterpret_cast<LPARAM>(&right));
  set(display, kDisplayCurveColour, 2, 0x800080);  // configured, but never answers

  board.sampleDialog(dialog.window);
  const DisplayRecord& r = *board.all().at(0);
  ASSERT_TRUE(r.sampled);
  ASSERT_EQ(r.width, 200);
  ASSERT_EQ(r.x.size(), 200u);
  EXPECT_EQ(r.x.front(), 1.0);
  EXPECT_EQ(r.x.back(), 2.0);
  EXPECT_DOUBLE_EQ(r.x[1], 1.0 + 1.0 / 199.0);
  ASSERT_EQ(r.curves.count(1), 1u);
  EXPECT_EQ(r.curves.count(2), 0u);  // a curve exists only when its source answers 1
  for (size_t k = 0; k < r.x.size(); ++k) EXPECT_EQ(*r.curves.at(1)[k], 2.0 * r.x[k] + 1.0);
  EXPECT_EQ(source.curvesAsked.size(), 400u);

  // Once sampled, a display is not asked again.
  board.sampleDialog(dialog.window);
  EXPECT_EQ(source.curvesAsked.size(), 400u);
}

TEST(Display, CurvesNeverConfiguredAreNeverAsked) {
  FakeDialog dialog;
  DisplayBoard board;
  CurveSource source;
  HWND display = board.create(dialog.window, 1301, testCurve, &source);
  double left = 0.0, right = 1.0;
  // The whole graph's x range serves every curve.
  set(display, kDisplayXLeft, 0, reinterpret_cast<LPARAM>(&left));
  set(display, kDisplayXRight, 0, reinterpret_cast<LPARAM>(&right));
  set(display, kDisplayViewMode, 1, 8);
  board.sampleDialog(dialog.window);
  for (int curve : source.curvesAsked) EXPECT_EQ(curve, 1);
  EXPECT_EQ(board.all()[0]->curves.size(), 1u);
}

TEST(Display, WithoutItsControlOrXRangeNothingIsSampled) {
  FakeDialog dialog;
  DisplayBoard board;
  CurveSource source;
  HWND missing = board.create(dialog.window, 999, testCurve, &source);
  EXPECT_NE(missing, nullptr);
  EXPECT_FALSE(board.all()[0]->controlFound);
  HWND noRange = board.create(dialog.window, 1301, testCurve, &source);
  set(noRange, kDisplayViewMode, 1, 8);
  board.sampleDialog(dialog.window);
  EXPECT_TRUE(source.curvesAsked.empty());
  EXPECT_EQ(board.all()[1]->number, 2);
  EXPECT_TRUE(board.all()[1]->x.empty());
  EXPECT_EQ(board.ofDialog(dialog.window).size(), 2u);
}

TEST(Display, ForgetsItsWindowWhenTheDialogGoes) {
  DisplayBoard board;
  CurveSource source;
  {
    FakeDialog dialog;
    board.create(dialog.window, 1301, testCurve, &source);
    EXPECT_NE(board.all()[0]->window, nullptr);
  }
  EXPECT_EQ(board.all()[0]->window, nullptr);
}

TEST(Display, OneCreatedInPlaceOfADestroyedOneShowsItsAxisLabels) {
  FakeDialog dialog;
  DisplayBoard board;
  CurveSource source;
  HWND first = board.create(dialog.window, 1301, testCurve, &source);
  set(first, kDisplayXLabel, 0, reinterpret_cast<LPARAM>("f[Hz]"));
  set(first, kDisplayYLabel, 1, reinterpret_cast<LPARAM>("dB"));
  DestroyWindow(first);
  HWND second = board.create(dialog.window, 1301, testCurve, &source);
  set(second, kDisplayYLabel, 2, reinterpret_cast<LPARAM>("Pa"));
  board.create(dialog.window, 1301, testCurve, &source);  // beside the second, still standing

  const DisplayRecord& r = *board.all()[1];
  EXPECT_FALSE(r.targets[0].xLabel);  // the record keeps what the plug-in sent
  const DisplayTargets shown = graphTargets(r.targets, r.inherited);
  EXPECT_EQ(graphXLabel(shown), "f[Hz]");
  EXPECT_EQ(graphYLabel(shown), "Pa");  // its own label wins
  EXPECT_FALSE(board.all()[2]->inherited.x);
}
