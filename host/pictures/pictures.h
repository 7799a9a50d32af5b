// Pictures of what a run showed a person: every display control as the graph it was
// configured to be (display-<n>.png and display-<n>.svg) and every dialog as it stood when it
// ended (dialog-<resource>.png). Drawn with cairo; text in DejaVu Sans.
//
// The graph (a display's own picture) is W x H pixels, the display window's client size, and
// its plot area is the whole picture, so that the one value the host sampled per pixel
// column (display.h) lands on exactly one column:
//   - column k (0 ... W - 1) shows sample k of every curve, taken at
//     x = xLeft + (xRight - xLeft) * k / (W - 1);
//   - a value v of a curve is drawn through the point
//     (k + 0.5, 0.5 + (yTop - v) / (yTop - yBottom) * (H - 1)), i.e. on pixel row
//     round((yTop - v) / (yTop - yBottom) * (H - 1)) counted from the top: yTop on row 0,
//     yBottom on row H - 1, values outside the range off the picture;
//   - the samples of one curve are joined column to column by 1-pixel lines drawn without
//     antialiasing, so every pixel of a curve has the curve's colour exactly; a column without
//     a value breaks the line. Curves lie over the grid and the frame (curve 2 over curve 1);
//     only the labels lie over them;
//   - grid lines, in the grid colour, lie on the columns and rows that the multiples of a step
//     map to (round as above); the step is the smallest 1, 2 or 5 x 10^n that keeps vertical
//     lines at least kGraphMinGridColumns and horizontal lines at least kGraphMinGridRows
//     pixels apart;
//   - a 1-pixel black frame runs along the outermost rows and columns;
//   - tick labels lie inside the plot along its left (y) and bottom (x) edges, the y axis
//     label (the unit) at the top left, a legend (the host's: readableGraph) at the top right,
//     the x axis label at the bottom right, on the x tick
//     labels' line, or on the line above where it would meet the last of them; each on a box
//     of the background colour drawn last; a label that would come near one placed before it
//     or leave the picture is left out (graph_labels.h). Text is DejaVu Sans, 10 px, narrowed
//     to 89 % of its width.
// Where a setting comes from: background, grid colour and axis labels from the whole graph
// (target 0), else from curve 1, else curve 2 (the axis labels else from the display this one
// replaced, display.h); the x range likewise (as the sampling takes it); each curve's y range
// from that curve, else from the whole graph, else from the other curve, else the range of
// the values; the tick labels of the y axis from curve 1's range.
// Defaults: white background, grid 0xC0C0C0, curve 1 black, curve 2 red. View mode 2 makes the
// x axis logarithmic (graph_layout.h); style and sample rate change nothing.
//
// The dialog picture shows the dialog in the platform layer's pixels (x px = MulDiv(x du, 6,
// 4), y px = MulDiv(y du, 13, 8), a control's position and size mapped separately as dialog
// creation maps them), inside a window frame kDialogFrame pixels wide with a caption bar
// kDialogCaption pixels high, all enlarged kDialogPictureScale times for legibility:
//   width  = scale * (MulDiv(dialog width du, 6, 4) + 2 * kDialogFrame)
//   height = scale * (MulDiv(dialog height du, 13, 8) + 2 * kDialogFrame + kDialogCaption)
// and client pixel (x, y) covers the picture's pixels from
// (scale * (kDialogFrame + x), scale * (kDialogFrame + kDialogCaption + y)) on, scale x scale
// of them. Controls are drawn in the order the dialog lists them (the template's, then the
// windows the host created, so a display covers the frame it lies over); hidden controls are
// left out, disabled ones greyed; a display control shows the graph of the display whose
// window it is (not of one the plug-in destroyed before), drawn by the same routine as
// display-<n>.png, in its own rectangle.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/person/person.h"
#include "host/pictures/display.h"
#include "host/pictures/graph_labels.h"

namespace orvane {

constexpr int kGraphMinGridColumns = 48;  // px between vertical grid lines, at least
constexpr int kGraphMinGridRows = 24;     // px between horizontal grid lines, at least
constexpr int kDialogPictureScale = 2;    // picture pixels per dialog pixel, each way
constexpr int kDialogFrame = 3;           // px, the dialog window's frame on every side
constexpr int kDialogCaption = 18;        // px, the caption bar under the top frame

constexpr long kGraphDefaultMarker = 0x00A000;  // COLORREF: green
constexpr double kGraphPeakRoom = 0.05;         // of a range's span, above a peak at its top

// Why this build draws no pictures at all (a Linux build without cairo, ORVANE_NO_PICTURES),
// said in the reports where the pictures would be named; null where pictures are drawn.
#ifdef ORVANE_NO_PICTURES
constexpr const char* kPicturesAbsent = "not drawn: this build of orvane has no cairo";
#else
constexpr const char* kPicturesAbsent = nullptr;
#endif

// What a graph is drawn from.
struct GraphSource {
  std::array<DisplaySettings, 3> targets;                    // graph, curve 1, curve 2
  std::map<int, std::vector<std::optional<double>>> curves;  // curve -> value per column
  int width = 0;                                             // W, px
  int height = 0;                                            // H, px
  // What the host's own drawings add to a graph (a display has none of them, so its picture
  // stays as the plug-in configured it): vertical marker lines at these abscissae, each on the
  // column its x maps to (as a grid line), in markerColour, over the grid and under the frame
  // and the curves; and a note, a free label at the top right on a box of the background
  // colour, placed right after the y axis label (a line lower where it would meet it).
  std::vector<double> markers;
  long markerColour = kGraphDefaultMarker;
  std::string note;
  // Further curves drawn over curves 1 and 2 on curve 1's y range, as they are drawn, each in
  // its own colour (COLORREF): the host's own drawings again (several positions' levels).
  struct Overlay {
    long colour = 0;
    std::vector<std::optional<double>> values;  // per column
  };
  std::vector<Overlay> overlays;
  // The names of the curves in their colours, at the top right under the note
  // (graph_labels.h); a graph of one curve has none.
  std::vector<GraphLegendItem> legend;
};

// What a plug-in says of its display (its table of results): the name of curve 1 or 2 drawn in
// a colour, and the units of the values on the axes where its own labels say another or none.
struct DisplayNames {
  struct Curve {
    int curve;
    long colour;  // COLORREF
    std::string name;
  };
  std::vector<Curve> curves;
  std::string xUnit, yUnit;  // "" keeps the plug-in's label
};

// The graph of a display as its pictures draw it for a person: the units of `names` on its
// axes; where it shows two curves, a legend, each curve by the name `names` gives its colour,
// else as the left (1) or the right (2) channel's; and a curve whose largest value reaches the
// top row of its range (a filter's peak at full scale) on a range kGraphPeakRoom of its span
// higher, so that the peak shows whole.
GraphSource readableGraph(GraphSource graph, const DisplayNames& names);

// A display as the run left it: W the sampled columns (else the window's width), H the
// window's height. W or H is 0 when the display has no area (no control to lie over).
GraphSource graphOf(const DisplayRecord& display);
// A display as its dialog record keeps it.
GraphSource graphOf(const DisplaySnapshot& display);

// A rectangle of dialog units in the dialog's client pixels, mapped as dialog creation maps it.
RECT dialogUnitsToPixels(int x, int y, int width, int height);

// The pictures; each throws HostError (kExitFailure) naming the file when it cannot be
// written. A graph without area cannot be drawn: HostError too.
void writeGraphPng(const std::string& path, const GraphSource& graph);
void writeGraphSvg(const std::string& path, const GraphSource& graph);
// A display inside a dialog is drawn as readableGraph makes it.
void writeDialogPng(const std::string& path, const DialogRecord& dialog,
                    int scale = kDialogPictureScale, const DisplayNames& names = {});

// The run's pictures in `dir`, in the order writePictures writes them: display-<n>.png and
// display-<n>.svg for every display with an area, then dialog-<resource>.png for every dialog
// with a size (dialog-<resource>-<k>.png for the k-th, k >= 2, of one resource).
std::vector<std::string> picturePaths(const std::string& dir, const DisplayBoard& displays,
                                      const std::vector<DialogRecord>& dialogs);
// Writes them, creating `dir` when missing, each display as readableGraph makes it with `names`.
// Throws HostError (kExitFailure) on failure.
void writePictures(const std::string& dir, const DisplayBoard& displays,
                   const std::vector<DialogRecord>& dialogs, const DisplayNames& names = {});

}  // namespace orvane
