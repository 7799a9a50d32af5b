// orvane_reset: back to the state of a fresh process, except for the blocks still allocated,
// which stay their allocators' to free (and visible in the memory statistics).
#include "internal.h"

// The window half of the layer may keep state of its own to reset; it is called when the
// library defines it.
void platformResetDialogs() __attribute__((weak));

extern "C" ORVANE_EXPORT void orvane_reset(void) {
  userReset();
  memoryResetFaults();
  clipboardReset();
  filesReset();
  moduleResetError();
  saveFileDialogReset();
  if (platformResetDialogs) platformResetDialogs();
}
