// Pictures of an impulse response and of a room's decays, drawn as the host's graphs
// (host/pictures: one value per pixel column), each as PNG and SVG:
//   impulse-time          the response's level, 20 log10 |h| (the largest of each column's
//                         samples) over ms from time zero, the direct sound marked
//   impulse-frequency     its magnitude, |H|^2 in bands of kSpectrumStepOctaves, over a log
//                         frequency axis, the band's edges marked
//   room-decay-<hz>       per octave band (and room-decay-broadband): the decay curve (black)
//                         over the band's energy per millisecond (grey), dB over ms from time
//                         zero, with the fitted lines of EDT (blue), T20 (green) and T30 (red)
//                         and the truncation point marked
// The graphs are made here; drawing them is the system's: linux/ with the host's cairo
// drawing, none/ (a build without cairo) and win32/ (the Windows host draws no graphs) write
// none.
#pragma once

#include <string>
#include <vector>

#include "host/pictures/pictures.h"
#include "host/room/impulse_response.h"
#include "host/room/room_acoustics.h"

namespace orvane {

constexpr int kRoomPictureWidth = 720;   // px
constexpr int kRoomPictureHeight = 400;  // px

// One picture: its file name without extension and the graph it draws.
struct RoomGraph {
  std::string stem;
  GraphSource graph;
};

std::vector<RoomGraph> impulseGraphs(const ImpulseResponse& r);
std::vector<RoomGraph> roomGraphs(const RoomParameters& room);

// The files writeRoomPictures writes into `dir`, in order (<stem>.png, <stem>.svg each).
std::vector<std::string> roomPicturePaths(const std::string& dir,
                                          const std::vector<RoomGraph>& graphs);
// Writes them, creating `dir` when missing. Throws HostError (kExitFailure) naming the file.
void writeRoomPictures(const std::string& dir, const std::vector<RoomGraph>& graphs);

}  // namespace orvane
