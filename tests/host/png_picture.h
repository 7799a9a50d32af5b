// A PNG the host wrote, read back with cairo for the pictures' tests; pixels as 0xRRGGBB.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hosttest {

class Picture {
 public:
  explicit Picture(const std::string& path)
      : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Picture() { cairo_surface_destroy(surface_); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface_); }
  int height() const { return cairo_image_surface_get_height(surface_); }
  uint32_t at(int x, int y) const {
    const unsigned char* row = cairo_image_surface_get_data(surface_) +
                               static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  }
  // Rows of column x that hold `colour`.
  std::vector<int> rowsOf(int x, uint32_t colour) const {
    std::vector<int> rows;
    for (int y = 0; y < height(); ++y) {
      if (at(x, y) == colour) rows.push_back(y);
    }
    return rows;
  }
  // Pixels of `colour` in [x0, x1) x [y0, y1).
  int count(int x0, int y0, int x1, int y1, uint32_t colour) const {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += at(x, y) == colour;
    }
    return n;
  }

 private:
  cairo_surface_t* surface_;
};

}  // namespace hosttest
