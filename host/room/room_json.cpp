// The room's parameters as JSON and as the columns of a table of several responses.
#include <cmath>
#include <cstdio>

#include "host/room/json_figure.h"
#include "host/room/room_acoustics.h"

namespace orvane {

namespace {

Json bandJson(const BandParameters& b) {
  Json j = Json::object();
  if (b.nominalHz) j["hz"] = *b.nominalHz;
  j["edt_s"] = jsonFigure(b.edt.seconds, 3);
  j["t20_s"] = jsonFigure(b.t20.seconds, 3);
  j["t30_s"] = jsonFigure(b.t30.seconds, 3);
  j["c50_db"] = jsonFigure(b.c50Db, 2);
  j["c80_db"] = jsonFigure(b.c80Db, 2);
  j["d50"] = jsonFigure(b.d50, 4);
  j["ts_ms"] = jsonFigure(b.tsMs, 1);
  j["notes"] = b.notes;
  j["edt_r"] = jsonFigure(b.edt.correlation, 5);
  j["t20_r"] = jsonFigure(b.t20.correlation, 5);
  j["t30_r"] = jsonFigure(b.t30.correlation, 5);
  j["decay_range_db"] = jsonFigure(b.decayRangeDb, 1);
  j["truncation_ms"] = jsonFigure(b.truncationMs, 1);
  j["onset_ms"] = jsonFigure(b.onsetMs, 3);
  return j;
}

std::string text(const std::optional<double>& v, int decimals) {
  if (!v || !std::isfinite(*v)) return "";
  char out[40];
  std::snprintf(out, sizeof out, "%.*f", decimals, *v);
  return out;
}

void addFigures(const BandParameters& b, const std::string& of, std::vector<LabelledFigure>* out) {
  out->push_back({"EDT s" + of, text(b.edt.seconds, 3)});
  out->push_back({"T20 s" + of, text(b.t20.seconds, 3)});
  out->push_back({"T30 s" + of, text(b.t30.seconds, 3)});
  out->push_back({"C50 dB" + of, text(b.c50Db, 2)});
  out->push_back({"C80 dB" + of, text(b.c80Db, 2)});
  out->push_back({"D50" + of, text(b.d50, 4)});
  out->push_back({"Ts ms" + of, text(b.tsMs, 1)});
}

}  // namespace

Json roomJson(const RoomParameters& room) {
  Json bands = Json::array();
  for (const BandParameters& b : room.bands) bands.push_back(bandJson(b));
  return {{"room",
           {{"file", room.name},
            {"sample_rate_hz", std::lround(room.sampleRate)},
            {"length_s", jsonFigure(room.lengthS, 6)},
            {"bands", bands},
            {"broadband", bandJson(room.broadband)}}}};
}

std::vector<LabelledFigure> roomFigures(const RoomParameters& room) {
  std::vector<LabelledFigure> figures;
  for (const BandParameters& b : room.bands)
    addFigures(b, " (" + std::to_string(b.nominalHz.value_or(0)) + " Hz)", &figures);
  addFigures(room.broadband, " (broadband)", &figures);
  return figures;
}

}  // namespace orvane
