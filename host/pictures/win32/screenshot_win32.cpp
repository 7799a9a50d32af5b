// A window as the screen shows it, frame and caption included, copied out of the window's DC.
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "host/system/system.h"

namespace orvane {

namespace {

// DCs and the bitmap of one capture, released in reverse order of their making.
struct Capture {
  HWND window = nullptr;
  HDC windowDc = nullptr;
  HDC memoryDc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;  // what the memory DC held before the bitmap
  const uint32_t* bits = nullptr;

  Capture() = default;
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  ~Capture() {
    if (memoryDc && previous && previous != HGDI_ERROR) SelectObject(memoryDc, previous);
    if (bitmap) DeleteObject(bitmap);
    if (memoryDc) DeleteDC(memoryDc);
    if (windowDc) ReleaseDC(window, windowDc);
  }
};

// A copy that gave nothing: every pixel alike (a dialog always shows a caption, a frame and
// controls in more than one colour), as a hidden window or one off the desktop copies.
bool blank(const std::vector<uint32_t>& pixels) {
  for (uint32_t p : pixels) {
    if (p != pixels.front()) return false;
  }
  return true;
}

std::vector<uint32_t> pixelsOf(const Capture& c, size_t count) {
  GdiFlush();  // the DIB's memory holds what GDI drew only after a flush
  std::vector<uint32_t> pixels(c.bits, c.bits + count);
  for (uint32_t& p : pixels) p &= 0x00FFFFFF;  // B, G, R, unused byte: 0x00RRGGBB once masked
  return pixels;
}

Screenshot capture(HWND window) {
  Screenshot shot;
  if (!window || !IsWindow(window)) return shot;
  // Everything painted now, the display controls and the frame included, not when the
  // dialog's loop next finds time; erased too, as a dialog paints its face only then.
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return shot;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return shot;

  Capture c;
  c.window = window;
  c.windowDc = GetWindowDC(window);
  if (!c.windowDc) return shot;
  c.memoryDc = CreateCompatibleDC(c.windowDc);
  if (!c.memoryDc) return shot;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  c.bitmap = CreateDIBSection(c.windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!c.bitmap || !bits) return shot;
  c.bits = static_cast<const uint32_t*>(bits);
  c.previous = SelectObject(c.memoryDc, c.bitmap);
  if (!c.previous || c.previous == HGDI_ERROR) return shot;

  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint32_t> pixels;
  if (BitBlt(c.memoryDc, 0, 0, width, height, c.windowDc, 0, 0, SRCCOPY)) {
    pixels = pixelsOf(c, count);
  }
  // A window the screen does not show (hidden, covered, off the desktop) is asked to print
  // itself into the bitmap instead.
  if (pixels.empty() || blank(pixels)) {
    pixels.clear();
    if (PrintWindow(window, c.memoryDc, 0)) pixels = pixelsOf(c, count);
  }
  if (pixels.empty() || blank(pixels)) return shot;
  shot.width = width;
  shot.height = height;
  shot.pixels = std::move(pixels);
  return shot;
}

}  // namespace

Screenshot captureWindow(HWND window) {
  // Called from inside the plug-in's EndDialog: nothing may be thrown back through its code.
  try {
    return capture(window);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace orvane
