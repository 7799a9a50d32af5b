// The graph of a display control, as pictures.h lays it out, drawn with cairo. Where its parts
// go and in which colours is graph_layout.h's, the rules the Windows display control paints by
// too, so the pictures and the screen cannot drift apart.
#include <cairo-svg.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/errors.h"
#include "host/pictures/graph_labels.h"
#include "host/pictures/graph_layout.h"
#include "host/pictures/linux/picture_draw.h"

namespace orvane {

namespace {

constexpr double kLabelFontSize = 10.0;

void drawCurve(cairo_t* cr, const std::vector<std::optional<double>>& values, GraphYRange range,
               int width, int height) {
  int n = std::min<int>(width, static_cast<int>(values.size()));
  auto valid = [&](int k) { return k >= 0 && k < n && values[k] && std::isfinite(*values[k]); };
  std::vector<int> dots;  // values with no neighbour to join
  for (int k = 0; k < n; ++k) {
    if (!valid(k)) continue;
    double y = graphRow(*values[k], range, height) + 0.5;
    if (valid(k - 1)) {
      cairo_line_to(cr, k + 0.5, y);
    } else if (valid(k + 1)) {
      cairo_move_to(cr, k + 0.5, y);
    } else {
      dots.push_back(k);
    }
  }
  cairo_stroke(cr);
  for (int k : dots) {
    cairo_rectangle(cr, k, std::floor(graphRow(*values[k], range, height) + 0.5), 1, 1);
  }
  cairo_fill(cr);
}

void drawGrid(cairo_t* cr, const GraphSource& g, Rgb grid, GraphYRange axis,
              const std::vector<GraphXTick>& xTicks, double* yStep) {
  setColour(cr, grid);
  *yStep = graphGridStep(axis.top - axis.bottom, g.height - 1, kGraphMinGridRows);
  for (double v : graphGridValues(axis.top, axis.bottom, *yStep)) {
    double row = std::round(graphRow(v, axis, g.height));
    cairo_move_to(cr, 0, row + 0.5);
    cairo_line_to(cr, g.width, row + 0.5);
  }
  for (const GraphXTick& tick : xTicks) {
    double column = std::round(tick.column);
    cairo_move_to(cr, column + 0.5, 0);
    cairo_line_to(cr, column + 0.5, g.height);
  }
  cairo_stroke(cr);
}

// The labels as graph_labels.h places them, each on a box of the background colour.
void drawLabels(cairo_t* cr, const GraphSource& g, Rgb background, GraphYRange axis,
                const std::vector<GraphXTick>& xTicks, double yStep) {
  useDialogFont(cr, kLabelFontSize);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t digit;
  cairo_text_extents(cr, "0", &digit);
  GraphLabelFont font;
  font.width = [cr](const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8Of(text).c_str(), &e);
    return e.x_advance;
  };
  // A pixel inside the font's ascent and descent, which hold room the labels' text seldom takes.
  font.above = fe.ascent - 1;
  font.below = fe.descent - 1;
  font.digitHeight = digit.height;
  const Rgb ink = colourOf(graphInk(g.targets));
  for (const GraphLabel& label :
       graphLabels(g.targets, axis, yStep, xTicks, g.width, g.height, font, g.note, g.legend)) {
    const GraphLabelBox& box = label.box;
    setColour(cr, background);
    cairo_rectangle(cr, std::floor(box.left), std::floor(box.top),
                    std::ceil(box.right) - std::floor(box.left),
                    std::ceil(box.bottom) - std::floor(box.top));
    cairo_fill(cr);
    if (label.swatch >= 0) {
      // The curve's line, 2 px thick on the middle of the text's digits.
      setColour(cr, colourOf(label.swatch));
      const double middle = std::floor(label.baseline - font.digitHeight / 2);
      cairo_rectangle(cr, std::floor(label.x - kGraphLegendGap - kGraphLegendLine), middle - 1,
                      kGraphLegendLine, 2);
      cairo_fill(cr);
    }
    setColour(cr, ink);
    cairo_move_to(cr, label.x, label.baseline);
    cairo_show_text(cr, utf8Of(label.text).c_str());
  }
}

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};

cairo_status_t appendToFile(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

void requireArea(const GraphSource& g, const std::string& path) {
  if (g.width <= 0 || g.height <= 0) {
    throw failure("cannot draw " + path + ": the display has no area");
  }
}

}  // namespace

void drawGraph(cairo_t* cr, const GraphSource& g) {
  if (g.width <= 0 || g.height <= 0) return;
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, g.width, g.height);
  cairo_clip(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);

  const Rgb backgroundColour = colourOf(graphBackground(g.targets));
  setColour(cr, backgroundColour);
  cairo_paint(cr);

  const GraphYRange axis = graphYRange(g.targets, g.curves, 1);
  const std::optional<GraphXAxis> xAxis = graphXAxis(g.targets, g.width);
  const std::vector<GraphXTick> xTicks =
      xAxis ? graphXTicks(*xAxis, kGraphMinGridColumns) : std::vector<GraphXTick>{};
  double yStep = 0;
  drawGrid(cr, g, colourOf(graphGridColour(g.targets)), axis, xTicks, &yStep);

  if (xAxis && !g.markers.empty()) {
    setColour(cr, colourOf(g.markerColour));
    for (double x : g.markers) {
      const double column = std::round(graphXColumn(*xAxis, x));
      if (!std::isfinite(column) || column < 0 || column >= g.width) continue;
      cairo_move_to(cr, column + 0.5, 0);
      cairo_line_to(cr, column + 0.5, g.height);
    }
    cairo_stroke(cr);
  }

  setColour(cr, colourOf(graphInk(g.targets)));
  cairo_rectangle(cr, 0.5, 0.5, g.width - 1, g.height - 1);
  cairo_stroke(cr);

  // Square caps and round joins: the end samples and the turns keep their pixels.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (const auto& [curve, values] : g.curves) {
    if (curve < 1 || curve > 2) continue;
    setColour(cr, colourOf(graphCurveColour(g.targets, curve)));
    drawCurve(cr, values, graphYRange(g.targets, g.curves, curve), g.width, g.height);
  }
  for (const GraphSource::Overlay& o : g.overlays) {
    setColour(cr, colourOf(o.colour));
    drawCurve(cr, o.values, axis, g.width, g.height);
  }
  // The numbers over the curves: a curve crossing them must not make them unreadable.
  drawLabels(cr, g, backgroundColour, axis, xTicks, yStep);
  cairo_restore(cr);
}

GraphSource graphOf(const DisplayRecord& d) {
  GraphSource g;
  g.targets = graphTargets(d.targets, d.inherited);
  g.curves = d.curves;
  g.width = d.sampled && d.width > 0 ? d.width : static_cast<int>(d.rect.right - d.rect.left);
  g.height = static_cast<int>(d.rect.bottom - d.rect.top);
  if (g.width < 0) g.width = 0;
  if (g.height < 0) g.height = 0;
  return g;
}

GraphSource graphOf(const DisplaySnapshot& d) {
  GraphSource g;
  g.targets = graphTargets(d.targets, d.inherited);
  g.curves = d.curves;
  g.width = std::max(0, static_cast<int>(d.rect.right - d.rect.left));
  g.height = std::max(0, static_cast<int>(d.rect.bottom - d.rect.top));
  if (!d.x.empty() && g.width > 0) g.width = static_cast<int>(d.x.size());
  return g;
}

void writeGraphPng(const std::string& path, const GraphSource& graph) {
  requireArea(graph, path);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, graph.width, graph.height);
  cairo_t* cr = cairo_create(surface);
  drawGraph(cr, graph);
  finishPng(cr, surface, path);
}

void writeGraphSvg(const std::string& path, const GraphSource& graph) {
  requireArea(graph, path);
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw failure("cannot write " + path + ": " + std::strerror(errno));
  cairo_surface_t* surface =
      cairo_svg_surface_create_for_stream(appendToFile, file.get(), graph.width, graph.height);
  cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
  cairo_t* cr = cairo_create(surface);
  drawGraph(cr, graph);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw failure("cannot write " + path + ": " + cairo_status_to_string(status));
  }
  if (std::fclose(file.release()) != 0) throw failure("cannot write " + path);
}

}  // namespace orvane
