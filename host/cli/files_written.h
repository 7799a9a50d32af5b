// The closing lines of a command's text report that wrote an output folder.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// "Files written to FOLDER:" and the paths, one per line; before them, with `pictureNote`, the
// note of a build that draws no pictures.
void writeFilesWritten(std::ostream& out, const std::string& folder,
                       const std::vector<std::string>& written, bool pictureNote);

}  // namespace orvane
