// Painting the display control, called by its window procedure on WM_PAINT.
#pragma once

#include <windows.h>

#include "host/pictures/display.h"

namespace orvane {

// Paints `window`, the display control that `display` records, as its graph: background,
// grid, frame, curve 1 and curve 2 sampled through the plug-in's callback one value per pixel
// column (as sampleDisplay takes them), then the axis labels, by the rules of graph_layout.h.
// Always validates the window, so that its dialog can go idle; keeps nothing after it returns
// and never lets an exception out into the window procedure. The Linux layer has no screen:
// there it does nothing (the layer counts a window as valid once WM_PAINT was sent).
void paintDisplay(HWND window, const DisplayRecord& display);

}  // namespace orvane
