// Where the outputs of each file of a batch go: a folder per file under the batch's folder.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// One folder per file under `outDir`, named after the file; names that repeat get "-2", "-3",
// ... so no file's outputs overwrite another's.
std::vector<std::string> batchFolders(const std::string& outDir,
                                      const std::vector<std::string>& files);

}  // namespace orvane
