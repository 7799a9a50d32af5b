#include "host/pictures/display_paint.h"

namespace orvane {

// The platform layer has no screen and no paint calls; its modal loop counts the window as
// valid once WM_PAINT was sent. The graph is drawn into the run's pictures instead.
void paintDisplay(HWND, const DisplayRecord&) {}

}  // namespace orvane
