// The display control on the screen: the graph painted with GDI by the rules the host's
// pictures follow (graph_layout.h), from values the plug-in's callback gives at paint time.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/pictures/display_paint.h"
#include "host/pictures/graph_labels.h"
#include "host/pictures/graph_layout.h"
#include "host/pictures/pictures.h"

namespace orvane {

namespace {

constexpr int kLabelFontHeight = 10;  // px, character height of the axis labels

COLORREF colourOf(long colorref) { return static_cast<COLORREF>(colorref & 0xFFFFFF); }

// A GDI object created for one paint and deleted with it.
class OwnedObject {
 public:
  explicit OwnedObject(HGDIOBJ object) : object_(object) {}
  ~OwnedObject() {
    if (object_) DeleteObject(object_);
  }
  OwnedObject(const OwnedObject&) = delete;
  OwnedObject& operator=(const OwnedObject&) = delete;
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

// An object selected into the DC for a scope; the previous one goes back in when it ends, so
// an owned object is never deleted while selected (declare it after the OwnedObject).
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool ok() const { return previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

struct Graph {
  HDC dc = nullptr;
  int width = 0, height = 0;  // px, the client area
  DisplayTargets targets;
  CurveColumns curves;  // as sampled for this paint
  GraphYRange axis{};   // curve 1's range: the grid rows and y tick labels
  std::vector<GraphXTick> xTicks;
  long background = kGraphDefaultBackground;  // COLORREF
};

// The curves as the host samples them: a record with this display's settings and callback,
// sampled across this window's client width.
CurveColumns sampleNow(HWND window, const DisplayRecord& display) {
  DisplayRecord probe;
  probe.window = window;
  probe.rect = display.rect;
  probe.targets = display.targets;
  probe.callback = display.callback;
  probe.user = display.user;
  sampleDisplay(&probe);
  return probe.curves;
}

int pixelRow(double v, GraphYRange range, int height) {
  return static_cast<int>(std::floor(graphRow(v, range, height) + 0.5));
}

void fillBackground(const Graph& g) {
  OwnedObject brush(CreateSolidBrush(colourOf(g.background)));
  if (!brush.get()) return;
  RECT all{0, 0, g.width, g.height};
  FillRect(g.dc, &all, static_cast<HBRUSH>(brush.get()));
}

void drawGrid(const Graph& g, double* yStep) {
  *yStep = graphGridStep(g.axis.top - g.axis.bottom, g.height - 1, kGraphMinGridRows);
  OwnedObject pen(CreatePen(PS_SOLID, 1, colourOf(graphGridColour(g.targets))));
  Selection selected(g.dc, pen.get());
  if (!selected.ok()) return;
  for (double v : graphGridValues(g.axis.top, g.axis.bottom, *yStep)) {
    const int row = pixelRow(v, g.axis, g.height);
    MoveToEx(g.dc, 0, row, nullptr);
    LineTo(g.dc, g.width, row);
  }
  for (const GraphXTick& tick : g.xTicks) {
    const int column = static_cast<int>(std::floor(tick.column + 0.5));
    MoveToEx(g.dc, column, 0, nullptr);
    LineTo(g.dc, column, g.height);
  }
}

void drawFrame(const Graph& g) {
  OwnedObject pen(CreatePen(PS_SOLID, 1, colourOf(graphInk(g.targets))));
  Selection selectedPen(g.dc, pen.get());
  Selection selectedBrush(g.dc, GetStockObject(NULL_BRUSH));
  if (!selectedPen.ok() || !selectedBrush.ok()) return;
  Rectangle(g.dc, 0, 0, g.width, g.height);
}

// One curve as polylines through (k, row of value k), broken where a column has no value.
// A polyline leaves out its last point, which is set on its own, as is a lone value.
void drawCurve(const Graph& g, int curve, const std::vector<std::optional<double>>& values) {
  const GraphYRange range = graphYRange(g.targets, g.curves, curve);
  const COLORREF colour = colourOf(graphCurveColour(g.targets, curve));
  OwnedObject pen(CreatePen(PS_SOLID, 1, colour));
  Selection selected(g.dc, pen.get());
  if (!selected.ok()) return;
  const int n = std::min<int>(g.width, static_cast<int>(values.size()));
  std::vector<POINT> run;
  auto flush = [&] {
    if (run.size() > 1) Polyline(g.dc, run.data(), static_cast<int>(run.size()));
    if (!run.empty()) SetPixelV(g.dc, run.back().x, run.back().y, colour);
    run.clear();
  };
  for (int k = 0; k < n; ++k) {
    if (values[k] && std::isfinite(*values[k])) {
      run.push_back({k, pixelRow(*values[k], range, g.height)});
    } else {
      flush();
    }
  }
  flush();
}

// The labels as graph_labels.h places them, as opaque text on a box of the background colour.
void drawLabels(const Graph& g, double yStep) {
  OwnedObject font(CreateFontA(-kLabelFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
  Selection selected(g.dc, font.get());
  if (!selected.ok()) return;
  TEXTMETRICA metrics{};
  if (!GetTextMetricsA(g.dc, &metrics)) return;
  GraphLabelFont measure;
  measure.width = [&g](const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(g.dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<double>(size.cx);
  };
  measure.above = metrics.tmAscent;
  measure.below = metrics.tmDescent;
  measure.digitHeight = metrics.tmAscent - metrics.tmInternalLeading;  // about the cap height
  const UINT align = SetTextAlign(g.dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  const COLORREF text = SetTextColor(g.dc, colourOf(graphInk(g.targets)));
  const COLORREF back = SetBkColor(g.dc, colourOf(g.background));
  const int mode = SetBkMode(g.dc, OPAQUE);

  for (const GraphLabel& label :
       graphLabels(g.targets, g.axis, yStep, g.xTicks, g.width, g.height, measure)) {
    // Opaque text: the cell behind it in the background colour, the box's edges too.
    RECT edge{static_cast<LONG>(std::floor(label.box.left)),
              static_cast<LONG>(std::floor(label.box.top)),
              static_cast<LONG>(std::ceil(label.box.right)),
              static_cast<LONG>(std::ceil(label.box.bottom))};
    ExtTextOutA(g.dc, static_cast<int>(std::lround(label.x)),
                static_cast<int>(std::lround(label.baseline)), ETO_OPAQUE, &edge,
                label.text.c_str(), static_cast<UINT>(label.text.size()), nullptr);
  }

  SetBkMode(g.dc, mode);
  SetBkColor(g.dc, back);
  SetTextColor(g.dc, text);
  SetTextAlign(g.dc, align);
}

void drawGraph(HDC dc, HWND window, const DisplayRecord& display) {
  RECT client{};
  if (!GetClientRect(window, &client)) return;
  Graph g;
  g.dc = dc;
  g.width = static_cast<int>(client.right - client.left);
  g.height = static_cast<int>(client.bottom - client.top);
  if (g.width <= 0 || g.height <= 0) return;
  g.targets = graphTargets(display.targets, display.inherited);
  g.curves = sampleNow(window, display);
  g.axis = graphYRange(g.targets, g.curves, 1);
  if (auto xAxis = graphXAxis(g.targets, g.width))
    g.xTicks = graphXTicks(*xAxis, kGraphMinGridColumns);
  g.background = graphBackground(g.targets);

  fillBackground(g);
  double yStep = 0;
  drawGrid(g, &yStep);
  drawFrame(g);
  for (const auto& [curve, values] : g.curves) {  // curve 2 over curve 1
    if (curve == 1 || curve == 2) drawCurve(g, curve, values);
  }
  // The numbers over the curves: a curve crossing them must not make them unreadable.
  drawLabels(g, yStep);
}

}  // namespace

void paintDisplay(HWND window, const DisplayRecord& display) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window, &paint);
  if (!dc) {
    // Nothing to draw on, but the window must not stay invalid: its dialog would never idle.
    ValidateRect(window, nullptr);
    return;
  }
  try {
    drawGraph(dc, window, display);
  } catch (...) {
    // Nothing may leave a window procedure (out of memory while sampling): the window keeps
    // what was drawn and is validated all the same.
  }
  EndPaint(window, &paint);
}

}  // namespace orvane
