#include "host/cli/batch_folders.h"

#include <filesystem>
#include <set>

namespace orvane {

std::vector<std::string> batchFolders(const std::string& outDir,
                                      const std::vector<std::string>& files) {
  namespace fs = std::filesystem;
  std::vector<std::string> folders;
  std::set<std::string> used;
  for (const auto& file : files) {
    std::string stem = fs::path(file).stem().string();
    if (stem.empty()) stem = "run";
    std::string name = stem;
    for (int n = 2; used.count(name) != 0; ++n) name = stem + "-" + std::to_string(n);
    used.insert(name);
    folders.push_back((fs::path(outDir) / name).string());
  }
  return folders;
}

}  // namespace orvane
