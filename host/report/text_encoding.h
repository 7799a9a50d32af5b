// The plug-ins' texts are 8-bit, in the Windows code page of the host audio editor
// (Windows-1252); the reports and pictures are UTF-8.
#pragma once

#include <string>

namespace orvane {

// The Windows-1252 text `ansi` as UTF-8 ("(RR/LL)\xB9\xB4\xB2" reads "(RR/LL)¹´²"); bytes the code
// page leaves undefined become U+FFFD.
std::string utf8Of(const std::string& ansi);

}  // namespace orvane
