#include "host/session/folder_watch.h"

#include <system_error>

namespace fs = std::filesystem;

namespace orvane {

FolderSnapshot snapshotFolder(const std::string& folder) {
  FolderSnapshot s;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entry;
    if (!it->is_regular_file(entry)) continue;
    const std::uintmax_t size = it->file_size(entry);
    if (entry) continue;
    const fs::file_time_type changed = it->last_write_time(entry);
    if (entry) continue;
    s.files[it->path().filename().string()] = {size, changed};
  }
  return s;
}

std::vector<std::string> changedFiles(const FolderSnapshot& before, const FolderSnapshot& after) {
  std::vector<std::string> changed;
  for (const auto& [name, now] : after.files) {
    auto was = before.files.find(name);
    if (was == before.files.end() || was->second.size != now.size ||
        was->second.changed != now.changed)
      changed.push_back(name);
  }
  return changed;
}

}  // namespace orvane
