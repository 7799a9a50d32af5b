#include "host/pictures/dialog_picture_names.h"

#include <filesystem>
#include <map>

namespace orvane {

std::vector<std::pair<const DialogRecord*, std::string>> dialogPictureNames(
    const std::vector<DialogRecord>& dialogs, bool (*pictured)(const DialogRecord&)) {
  std::vector<std::pair<const DialogRecord*, std::string>> names;
  std::map<int, int> seen;
  for (const DialogRecord& d : dialogs) {
    if (!pictured(d)) continue;
    int k = ++seen[d.resource];
    std::string name = "dialog-" + std::to_string(d.resource);
    if (k > 1) name += "-" + std::to_string(k);
    names.emplace_back(&d, name + ".png");
  }
  return names;
}

std::string pictureInDirectory(const std::string& dir, const std::string& name) {
  return (std::filesystem::path(dir) / name).string();
}

}  // namespace orvane
