// Writing a file whole or not at all: the bytes go to a new temporary name in the same folder
// (made by exclusive creation, never through a link), are flushed to the disk, take the mode
// of the file they replace, and only then take the file's name by rename; a failure (a full
// disk, say) leaves the earlier file byte for byte as it was. Throws HostError (kExitFailure)
// naming the file and the system's reason.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvane {

void writeTextFile(const std::string& path, const std::string& text);
void writeBinaryFile(const std::string& path, const std::vector<unsigned char>& bytes);
// The same for a file another routine makes: `make` writes it at the temporary path it is
// given, throwing HostError when it cannot.
void writeFileWhole(const std::string& path, const std::function<void(const std::string&)>& make);
// Creates the directory (and its parents) when missing.
void makeDirectory(const std::string& path);

}  // namespace orvane
