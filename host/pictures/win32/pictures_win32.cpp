// The Windows host's pictures: every dialog as the screen showed it when it ended. The
// displays lie inside those screenshots, painted by the control itself, so they get no files
// of their own.
#include "host/pictures/dialog_picture_names.h"
#include "host/pictures/pictures.h"
#include "host/pictures/png_file.h"
#include "host/system/file_writing.h"

namespace orvane {

namespace {

bool hasScreen(const DialogRecord& d) { return !d.screen.pixels.empty(); }

}  // namespace

std::vector<std::string> picturePaths(const std::string& dir, const DisplayBoard&,
                                      const std::vector<DialogRecord>& dialogs) {
  std::vector<std::string> paths;
  for (const auto& [dialog, name] : dialogPictureNames(dialogs, hasScreen))
    paths.push_back(pictureInDirectory(dir, name));
  return paths;
}

void writePictures(const std::string& dir, const DisplayBoard&,
                   const std::vector<DialogRecord>& dialogs, const DisplayNames&) {
  makeDirectory(dir);
  for (const auto& [dialog, name] : dialogPictureNames(dialogs, hasScreen)) {
    writePng(pictureInDirectory(dir, name), dialog->screen);
  }
}

}  // namespace orvane
