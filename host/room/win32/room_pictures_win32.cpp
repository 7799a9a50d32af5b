// The Windows host draws no graphs (its pictures are screenshots of the real dialogs, and an
// impulse response or a room has none): no pictures there.
#include "host/room/room_pictures.h"

namespace orvane {

std::vector<std::string> roomPicturePaths(const std::string&, const std::vector<RoomGraph>&) {
  return {};
}

void writeRoomPictures(const std::string&, const std::vector<RoomGraph>&) {}

}  // namespace orvane
