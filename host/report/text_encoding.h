// The plug-ins' texts are 8-bit, in the Windows code page of the host audio editor
// (Windows-1252); the reports and pictures are UTF-8.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {

// The Windows-1252 text `ansi` as UTF-8 ("(RR/LL)\xB9\xB4\xB2" reads "(RR/LL)¹´²"); bytes the code
// page leaves undefined become U+FFFD.
std::string utf8Of(const std::string& ansi);

// Up to three numbers through a printf pattern, for the short lines of reports and pictures.
inline std::string printed(const char* pattern, double a, double b = 0.0, double c = 0.0) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

}  // namespace orvane
