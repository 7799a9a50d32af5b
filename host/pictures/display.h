// The host's display control: the graph window a plug-in creates in its results dialog with
// createDisplay, configures with DISPLAY_SET and fills through its DisplayCallback. It samples
// the curves as a graph would, one value per pixel column; on Windows it also paints them on
// the screen (display_paint.h).
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/xfm.h"

namespace orvane {

// The attributes DISPLAY_SET gave one target (0 the whole graph, 1 and 2 the curves).
// Values behind pointers are copied when the message arrives.
struct DisplaySettings {
  bool configured = false;                             // some DISPLAY_SET was aimed at this target
  std::optional<long> viewMode;                        // 8 plain linear axis, 2 frequency view
  std::optional<long> background;                      // COLORREF
  std::optional<long> curveColour;                     // COLORREF
  std::optional<long> gridColour;                      // COLORREF
  std::optional<double> yTop, yBottom, xLeft, xRight;  // in the curve's units
  std::optional<long> style;
  std::optional<long> sampleRate;  // the message's value as given (Hz, or an address)
  std::optional<std::string> xLabel, yLabel;
};

// A DISPLAY_SET the host does not know, kept as it came.
struct DisplayOtherAttribute {
  int attribute;
  int target;
  long value;
};

// The two axis labels of a graph.
struct AxisLabels {
  std::optional<std::string> x, y;
};

struct DisplayRecord {
  int number = 0;         // 1, 2, ... in order of creation during a session
  HWND window = nullptr;  // null once the window was destroyed
  HWND dialog = nullptr;  // the dialog it lies in
  int dialogResource = 0;
  int controlId = 0;                      // the dialog control it lies over
  bool controlFound = false;              // false: no such control, the window has no area
  RECT rect{};                            // pixels, in the dialog's client coordinates
  XfmDisplayCallback callback = nullptr;  // the plug-in's curve source
  void* user = nullptr;                   // its context, passed back on every call
  std::array<DisplaySettings, 3> targets;
  std::vector<DisplayOtherAttribute> other;
  // The axis labels of the display this one took the place of: the latest one over the same
  // control of the same dialog, destroyed while the dialog stood. A plug-in that switches its
  // view by destroying its display and creating another may label the axes of the first only,
  // yet the quantities on them stay; its graph shows these where it gives no label of its own.
  AxisLabels inherited;
  int messages = 0;  // DISPLAY_SET messages received
  int repaints = 0;  // WM_PAINT messages received
  // Samples, taken when the dialog ended: one x per pixel column across the x range, and
  // for each curve that was configured and answered 1 at least once, its y per column
  // (nullopt where the callback gave no value).
  bool sampled = false;
  int width = 0;  // pixel columns sampled
  std::vector<double> x;
  std::map<int, std::vector<std::optional<double>>> curves;
};

// The displays of one session. Owns the records; the windows belong to their dialogs.
class DisplayBoard {
 public:
  DisplayBoard() = default;
  ~DisplayBoard();
  DisplayBoard(const DisplayBoard&) = delete;
  DisplayBoard& operator=(const DisplayBoard&) = delete;

  // createDisplay: a window of class "OrvaneDisplay" laid over control `controlId` of
  // `dialog`. Returns the window (null only when no window could be created).
  HWND create(HWND dialog, WORD controlId, XfmDisplayCallback callback, void* user);
  // Samples every display of `dialog` that was not sampled yet. Call while the plug-in's
  // curve buffers are alive, i.e. before its dialog procedure has returned from EndDialog.
  void sampleDialog(HWND dialog);

  std::vector<const DisplayRecord*> ofDialog(HWND dialog) const;
  const std::vector<std::unique_ptr<DisplayRecord>>& all() const { return displays_; }

 private:
  std::vector<std::unique_ptr<DisplayRecord>> displays_;
};

// Samples one display now (exposed for tests of the sampling rule).
void sampleDisplay(DisplayRecord* display);

// The window class name of the display control.
extern const char kDisplayClassName[];

}  // namespace orvane
