#include "host/assess/design_record.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/errors.h"

namespace orvane {

namespace {

double numberAt(const Json& design, const char* key, const std::string& path) {
  if (!design.contains(key) || !design[key].is_number() ||
      !std::isfinite(design[key].get<double>())) {
    throw badInput(path + ": the design record's " + key + " is missing or no number");
  }
  return design[key].get<double>();
}

}  // namespace

std::pair<double, double> designPassBand(const DesignRecord& d) {
  return {d.lowCutHz * std::pow(2.0, d.transitionOctaves / 2),
          d.highCutHz * std::pow(2.0, -d.transitionOctaves / 2)};
}

Json designRecordJson(const DesignRecord& d) {
  Json body = {{"low_cut_hz", d.lowCutHz},
               {"high_cut_hz", d.highCutHz},
               {"transition_octaves", d.transitionOctaves},
               {"in_band_regularisation", d.inBandRegularisation}};
  if (d.outBandRegularisation) body["out_band_regularisation"] = *d.outBandRegularisation;
  return Json{{"design", body}};
}

DesignRecord designRecordFrom(const Json& j, const std::string& path) {
  if (!j.is_object() || !j.contains("design") || !j["design"].is_object())
    throw badInput(path + ": not a design record (no \"design\" object)");
  const Json& design = j["design"];
  DesignRecord d;
  d.lowCutHz = numberAt(design, "low_cut_hz", path);
  d.highCutHz = numberAt(design, "high_cut_hz", path);
  d.transitionOctaves = numberAt(design, "transition_octaves", path);
  d.inBandRegularisation = numberAt(design, "in_band_regularisation", path);
  if (design.contains("out_band_regularisation"))
    d.outBandRegularisation = numberAt(design, "out_band_regularisation", path);
  return d;
}

std::string designRecordPathFor(const std::string& filterPath) {
  std::filesystem::path p(filterPath);
  p.replace_extension(".design.json");
  return p.string();
}

std::optional<DesignRecord> readDesignRecord(const std::string& filterPath) {
  const std::string path = designRecordPathFor(filterPath);
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  const Json j = Json::parse(text.str(), nullptr, false);
  if (j.is_discarded()) throw badInput(path + ": the design record is not JSON");
  return designRecordFrom(j, path);
}

}  // namespace orvane
