// Writing the files of a run. Throws HostError (kExitFailure) naming the file when it cannot
// be written.
#pragma once

#include <string>
#include <vector>

namespace orvane {

void writeTextFile(const std::string& path, const std::string& text);
void writeBinaryFile(const std::string& path, const std::vector<unsigned char>& bytes);
// Creates the directory (and its parents) when missing.
void makeDirectory(const std::string& path);

}  // namespace orvane
