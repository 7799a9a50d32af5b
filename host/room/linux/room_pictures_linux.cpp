// The Linux host draws the graphs of an impulse response and a room with the host's cairo
// drawing (host/pictures).
#include "host/pictures/dialog_picture_names.h"
#include "host/room/room_pictures.h"
#include "host/system/file_writing.h"

namespace orvane {

std::vector<std::string> roomPicturePaths(const std::string& dir,
                                          const std::vector<RoomGraph>& graphs) {
  std::vector<std::string> paths;
  for (const RoomGraph& g : graphs) {
    paths.push_back(pictureInDirectory(dir, g.stem + ".png"));
    paths.push_back(pictureInDirectory(dir, g.stem + ".svg"));
  }
  return paths;
}

void writeRoomPictures(const std::string& dir, const std::vector<RoomGraph>& graphs) {
  makeDirectory(dir);
  for (const RoomGraph& g : graphs) {
    writeGraphPng(pictureInDirectory(dir, g.stem + ".png"), g.graph);
    writeGraphSvg(pictureInDirectory(dir, g.stem + ".svg"), g.graph);
  }
}

}  // namespace orvane
