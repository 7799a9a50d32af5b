#include "host/pictures.h"

#include <filesystem>

#include "host/output_files.h"

namespace orvane {

namespace {

std::string inDir(const std::string& dir, const std::string& name) {
  return (std::filesystem::path(dir) / name).string();
}

bool hasArea(const GraphSource& g) { return g.width > 0 && g.height > 0; }

bool hasSize(const DialogRecord& d) { return d.width > 0 && d.height > 0; }

// File names of the dialogs with a size, in order; the k-th of a resource (k >= 2) gets "-k".
std::vector<std::pair<const DialogRecord*, std::string>> dialogNames(
    const std::vector<DialogRecord>& dialogs) {
  std::vector<std::pair<const DialogRecord*, std::string>> names;
  std::map<int, int> seen;
  for (const DialogRecord& d : dialogs) {
    if (!hasSize(d)) continue;
    int k = ++seen[d.resource];
    std::string name = "dialog-" + std::to_string(d.resource);
    if (k > 1) name += "-" + std::to_string(k);
    names.emplace_back(&d, name + ".png");
  }
  return names;
}

}  // namespace

std::vector<std::string> picturePaths(const std::string& dir, const DisplayBoard& displays,
                                      const std::vector<DialogRecord>& dialogs) {
  std::vector<std::string> paths;
  for (const auto& d : displays.all()) {
    if (!hasArea(graphOf(*d))) continue;
    std::string stem = "display-" + std::to_string(d->number);
    paths.push_back(inDir(dir, stem + ".png"));
    paths.push_back(inDir(dir, stem + ".svg"));
  }
  for (const auto& [dialog, name] : dialogNames(dialogs)) paths.push_back(inDir(dir, name));
  return paths;
}

void writePictures(const std::string& dir, const DisplayBoard& displays,
                   const std::vector<DialogRecord>& dialogs) {
  makeDirectory(dir);
  for (const auto& d : displays.all()) {
    GraphSource graph = graphOf(*d);
    if (!hasArea(graph)) continue;
    std::string stem = "display-" + std::to_string(d->number);
    writeGraphPng(inDir(dir, stem + ".png"), graph);
    writeGraphSvg(inDir(dir, stem + ".svg"), graph);
  }
  for (const auto& [dialog, name] : dialogNames(dialogs)) {
    writeDialogPng(inDir(dir, name), *dialog);
  }
}

}  // namespace orvane
