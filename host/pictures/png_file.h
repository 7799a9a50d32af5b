// PNG files written with the standard library alone, for the Windows host's window screenshots
// (the Linux host draws its pictures with cairo, which has its own writer).
#pragma once

#include <string>

#include "host/system/system.h"

namespace orvane {

// Writes `image` to `path` as an 8-bit RGB PNG (no alpha, no interlace): every row unfiltered,
// the image data one zlib stream of stored deflate blocks. Throws HostError (kExitFailure)
// naming the file when the image has no pixels, when its pixel count is not width x height, or
// when the file cannot be created or written; an invalid image creates no file.
void writePng(const std::string& path, const Screenshot& image);

}  // namespace orvane
