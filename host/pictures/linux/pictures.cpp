#include "host/pictures/pictures.h"

#include "host/pictures/dialog_picture_names.h"
#include "host/system/file_writing.h"

namespace orvane {

namespace {

bool hasArea(const GraphSource& g) { return g.width > 0 && g.height > 0; }

bool hasSize(const DialogRecord& d) { return d.width > 0 && d.height > 0; }

}  // namespace

std::vector<std::string> picturePaths(const std::string& dir, const DisplayBoard& displays,
                                      const std::vector<DialogRecord>& dialogs) {
  std::vector<std::string> paths;
  for (const auto& d : displays.all()) {
    if (!hasArea(graphOf(*d))) continue;
    std::string stem = "display-" + std::to_string(d->number);
    paths.push_back(pictureInDirectory(dir, stem + ".png"));
    paths.push_back(pictureInDirectory(dir, stem + ".svg"));
  }
  for (const auto& [dialog, name] : dialogPictureNames(dialogs, hasSize))
    paths.push_back(pictureInDirectory(dir, name));
  return paths;
}

void writePictures(const std::string& dir, const DisplayBoard& displays,
                   const std::vector<DialogRecord>& dialogs, const DisplayNames& names) {
  makeDirectory(dir);
  for (const auto& d : displays.all()) {
    GraphSource graph = readableGraph(graphOf(*d), names);
    if (!hasArea(graph)) continue;
    std::string stem = "display-" + std::to_string(d->number);
    writeGraphPng(pictureInDirectory(dir, stem + ".png"), graph);
    writeGraphSvg(pictureInDirectory(dir, stem + ".svg"), graph);
  }
  for (const auto& [dialog, name] : dialogPictureNames(dialogs, hasSize)) {
    writeDialogPng(pictureInDirectory(dir, name), *dialog, kDialogPictureScale, names);
  }
}

}  // namespace orvane
