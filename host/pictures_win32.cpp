// The Windows host's pictures: every dialog as the screen showed it when it ended. The
// displays lie inside those screenshots, painted by the control itself, so they get no files
// of their own.
#include <filesystem>
#include <map>
#include <utility>

#include "host/output_files.h"
#include "host/pictures.h"
#include "host/png_file.h"

namespace orvane {

namespace {

std::string inDir(const std::string& dir, const std::string& name) {
  return (std::filesystem::path(dir) / name).string();
}

bool hasScreen(const DialogRecord& d) { return !d.screen.pixels.empty(); }

// File names of the dialogs with a screenshot, in order; the k-th of a resource (k >= 2) gets
// "-k", as the Linux host names its drawn dialogs.
std::vector<std::pair<const DialogRecord*, std::string>> dialogNames(
    const std::vector<DialogRecord>& dialogs) {
  std::vector<std::pair<const DialogRecord*, std::string>> names;
  std::map<int, int> seen;
  for (const DialogRecord& d : dialogs) {
    if (!hasScreen(d)) continue;
    int k = ++seen[d.resource];
    std::string name = "dialog-" + std::to_string(d.resource);
    if (k > 1) name += "-" + std::to_string(k);
    names.emplace_back(&d, name + ".png");
  }
  return names;
}

}  // namespace

std::vector<std::string> picturePaths(const std::string& dir, const DisplayBoard&,
                                      const std::vector<DialogRecord>& dialogs) {
  std::vector<std::string> paths;
  for (const auto& [dialog, name] : dialogNames(dialogs)) paths.push_back(inDir(dir, name));
  return paths;
}

void writePictures(const std::string& dir, const DisplayBoard&,
                   const std::vector<DialogRecord>& dialogs) {
  makeDirectory(dir);
  for (const auto& [dialog, name] : dialogNames(dialogs)) {
    writePng(inDir(dir, name), dialog->screen);
  }
}

}  // namespace orvane
