// A Linux host built without cairo draws nothing: no pictures of an impulse response or a
// room either (its reports say why, kPicturesAbsent).
#include "host/room/room_pictures.h"

namespace orvane {

std::vector<std::string> roomPicturePaths(const std::string&, const std::vector<RoomGraph>&) {
  return {};
}

void writeRoomPictures(const std::string&, const std::vector<RoomGraph>&) {}

}  // namespace orvane
