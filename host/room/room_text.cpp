// The room's parameters as a person reads them: a line per band, then the notes.
#include <cmath>
#include <cstdio>

#include "host/room/room_acoustics.h"

namespace orvane {

namespace {

std::string cell(const std::optional<double>& v, int decimals, int width) {
  char out[48];
  if (!v || !std::isfinite(*v))
    std::snprintf(out, sizeof out, "%*s", width, "-");
  else
    std::snprintf(out, sizeof out, "%*.*f", width, decimals, *v);
  return out;
}

std::string bandName(const BandParameters& b) {
  return b.nominalHz ? std::to_string(*b.nominalHz) + " Hz" : "broadband";
}

std::string line(const BandParameters& b) {
  char name[16];
  std::snprintf(name, sizeof name, "  %-10s", bandName(b).c_str());
  return name + cell(b.edt.seconds, 3, 7) + cell(b.t20.seconds, 3, 7) +
         cell(b.t20.correlation, 4, 8) + cell(b.t30.seconds, 3, 7) + cell(b.t30.correlation, 4, 8) +
         cell(b.c50Db, 2, 8) + cell(b.c80Db, 2, 8) + cell(b.d50, 3, 7) + cell(b.tsMs, 1, 8) +
         cell(b.decayRangeDb, 1, 8) + "\n";
}

}  // namespace

std::string roomText(const RoomParameters& room) {
  char head[200];
  std::snprintf(head, sizeof head, "Room parameters (ISO 3382-1) of %s: %.0f Hz, %.3f s\n",
                room.name.c_str(), room.sampleRate, room.lengthS);
  std::string out = head;
  out +=
      "  band          EDT s  T20 s   T20 r  T30 s   T30 r  C50 dB  C80 dB    D50   Ts ms"
      "  range dB\n";
  for (const BandParameters& b : room.bands) out += line(b);
  out += line(room.broadband);
  std::vector<const BandParameters*> all;
  for (const BandParameters& b : room.bands) all.push_back(&b);
  all.push_back(&room.broadband);
  std::string notes;
  for (const BandParameters* b : all)
    for (const std::string& note : b->notes) notes += "  " + bandName(*b) + ": " + note + "\n";
  if (!notes.empty()) out += "Notes\n" + notes;
  return out;
}

}  // namespace orvane
