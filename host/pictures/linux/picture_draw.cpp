#include "host/pictures/linux/picture_draw.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/errors.h"

namespace orvane {

namespace {

constexpr double kDialogFontWidth = 0.89;  // DejaVu Sans Condensed's width over DejaVu Sans's

}  // namespace

Rgb colourOf(long colorref) {
  unsigned long c = static_cast<unsigned long>(colorref);
  return rgb255(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

void setColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void useDialogFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  // Narrowed to the width of the condensed cut (fonts-dejavu-core has none), whose average
  // character matches the dialog base unit.
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, size * kDialogFontWidth, size);
  cairo_set_font_matrix(cr, &matrix);
  // Unhinted metrics: a text is as wide at every scale, so the enlarged dialog keeps its layout.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

namespace {

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length) {
  FILE* file = static_cast<FILE*>(closure);
  return std::fwrite(data, 1, length, file) == length ? CAIRO_STATUS_SUCCESS
                                                      : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

void finishPng(cairo_t* cr, cairo_surface_t* surface, const std::string& path) {
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  try {
    if (status != CAIRO_STATUS_SUCCESS) {
      throw failure("cannot draw " + path + ": " + cairo_status_to_string(status));
    }
    writePngFile(surface, path);
  } catch (...) {
    cairo_surface_destroy(surface);
    throw;
  }
  cairo_surface_destroy(surface);
}

void writePngFile(cairo_surface_t* surface, const std::string& path) {
  cairo_surface_flush(surface);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    throw failure("cannot draw " + path + ": " +
                  cairo_status_to_string(cairo_surface_status(surface)));
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw failure("cannot write " + path + ": " + std::strerror(errno));
  cairo_status_t status = cairo_surface_write_to_png_stream(surface, writeToFile, file);
  bool closed = std::fclose(file) == 0;
  if (status != CAIRO_STATUS_SUCCESS || !closed) throw failure("cannot write " + path);
}

}  // namespace orvane
