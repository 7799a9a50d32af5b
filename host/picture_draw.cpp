#include "host/picture_draw.h"

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

std::string utf8Of(const std::string& ansi) {
  // 0x80 ... 0x9F of Windows-1252; the rest of the upper half is Latin-1.
  static const unsigned short kHigh[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(ansi.size());
  for (unsigned char ch : ansi) {
    unsigned code = ch;
    if (ch >= 0x80 && ch < 0xA0) code = kHigh[ch - 0x80];
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
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
