// The names of the clipboard formats the plug-ins hand over, shared by both systems' transfer
// logs (system_linux.cpp, the Windows person's hooks).
#include "host/system/system.h"

namespace orvane {

std::string clipboardFormatName(UINT format) {
  switch (format) {
    case CF_TEXT:
      return "CF_TEXT";
    case CF_WAVE:
      return "CF_WAVE";
    default:
      return "format " + std::to_string(format);
  }
}

}  // namespace orvane
