// orvane room: the room's parameters of each impulse response given, every file checked
// before any is analysed; one file prints its table, several a table with a row per file.
// With --out the JSON and the pictures are kept as one set (several files: a folder each and
// summary.csv).
#include <ostream>

#include "host/assess/assessment.h"
#include "host/cli/batch_folders.h"
#include "host/cli/commands.h"
#include "host/cli/files_written.h"
#include "host/errors.h"
#include "host/pictures/dialog_picture_names.h"
#include "host/report/output_set.h"
#include "host/report/summary.h"
#include "host/room/room_acoustics.h"
#include "host/room/room_pictures.h"
#include "host/session/audio.h"
#include "host/system/file_writing.h"

namespace orvane {

namespace {

// A mono response at full scale 1, refused in one line when it cannot be analysed.
std::vector<double> readImpulse(const std::string& path, int* sampleRate) {
  if (probeAudio(path).channels != 1) {
    throw badInput(path + " has two channels: an impulse response is a mono file");
  }
  const Audio audio = readAudio(path);
  *sampleRate = audio.sampleRate;
  std::vector<double> h(audio.samples.begin(), audio.samples.end());
  for (double& v : h) v /= kHostSampleScale;
  checkFinite({h}, path);
  bool sound = false;
  for (double v : h) sound = sound || v != 0.0;
  if (!sound) throw badInput(path + ": the response is silent (all its samples are 0)");
  return h;
}

// room.json and the pictures into `folder` of the set; the paths as named.
std::vector<std::string> writeRoomFiles(const OutputSet& set, const std::string& folder,
                                        const RoomParameters& room, const Json& json) {
  const std::string report = pictureInDirectory(folder, "room.json");
  const std::vector<RoomGraph> graphs = roomGraphs(room);
  makeDirectory(set.staged(folder));
  writeTextFile(set.staged(report), dumpJson(json) + "\n");
  writeRoomPictures(set.staged(folder), graphs);
  std::vector<std::string> written = {report};
  for (const std::string& path : roomPicturePaths(folder, graphs)) written.push_back(path);
  return written;
}

}  // namespace

int roomCommand(const RoomOptions& options, std::ostream& out) {
  if (options.outDir) checkOutputFolder(*options.outDir);
  std::vector<RoomParameters> rooms;
  {
    // Every file is read and checked before any is analysed.
    std::vector<std::vector<double>> impulses;
    std::vector<int> rates(options.impulses.size());
    for (std::size_t i = 0; i < options.impulses.size(); ++i)
      impulses.push_back(readImpulse(options.impulses[i], &rates[i]));
    for (std::size_t i = 0; i < impulses.size(); ++i)
      rooms.push_back(analyseRoom(impulses[i], rates[i], options.impulses[i]));
  }
  const bool table = rooms.size() > 1;
  std::vector<Json> jsons;
  for (const RoomParameters& room : rooms) jsons.push_back(roomJson(room));
  SummaryTable summary;
  for (const RoomParameters& room : rooms) {
    std::vector<LabelledField> fields;
    for (const LabelledFigure& f : roomFigures(room)) fields.push_back({f.label, f.value, "", 0});
    summary.add(room.name, fields);
  }

  std::vector<std::string> written;
  if (options.outDir) {
    OutputSet set(*options.outDir);
    const std::vector<std::string> folders = table ? batchFolders(set.target(), options.impulses)
                                                   : std::vector<std::string>{set.target()};
    for (std::size_t i = 0; i < rooms.size(); ++i) {
      for (const std::string& path : writeRoomFiles(set, folders[i], rooms[i], jsons[i]))
        written.push_back(path);
    }
    if (table) {
      written.push_back(pictureInDirectory(set.target(), "summary.csv"));
      writeTextFile(set.staged(written.back()), summary.csv());
    }
    set.commit();
  }
  if (options.json) {
    if (!table) {
      out << dumpJson(jsons.front()) << "\n";
    } else {
      Json all = Json::array();
      for (const Json& j : jsons) all.push_back(j);
      out << dumpJson({{"rooms", all}, {"summary", summary.json()}}) << "\n";
    }
  } else {
    if (table)
      out << summary.csv();
    else
      out << roomText(rooms.front());
    if (options.outDir) writeFilesWritten(out, *options.outDir, written, true);
  }
  out.flush();
  return kExitOk;
}

}  // namespace orvane
